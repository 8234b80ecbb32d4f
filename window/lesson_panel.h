// The lesson panel of the window: the lesson's title, the step (n of m),
// the task, the hint and the well text as plain text, and Hint, Show me,
// Skip and Leave; at the end the summary. It lies over the note area while
// the session has a lesson, and forwards its buttons to the session.
#pragma once

#include "host/lessons/lesson_player.h"

#include <QFrame>

#include <functional>
#include <string>

class QLabel;
class QPushButton;
class QScrollArea;
class session;

class LessonPanel : public QFrame {
  public:
    // `acted` is called after each input forwarded to the session; `keys`
    // takes the focus back when the student leaves.
    LessonPanel(QWidget *parent, session &s, std::function<void()> acted, QWidget *keys);

    // The session's lesson: shown while there is one, hidden when none;
    // true when it shows a lesson it did not show before.
    bool showLesson();

    // Says `text` through the panel's accessible description, which sends
    // a screen reader its event; announcements counts them.
    void announce(const QString &text);
    int announcements = 0;

    QLabel *TitleLabel;
    QLabel *StepLabel;
    QLabel *TaskLabel;
    QLabel *HintLabel;
    QLabel *WellLabel;
    QPushButton *Hint1;
    QPushButton *ShowMe1;
    QPushButton *Skip1;
    QPushButton *Leave1;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    session &s;
    std::function<void()> acted;
    QWidget *keys;
    QScrollArea *TextBox;
    // The lesson shown, to redraw only on a change.
    const lesson_player *shownLesson = nullptr;
    int shownStep = -1;
    int shownState = -1;
    std::string shownTitle, shownHint, shownWell, shownShowing;
};
