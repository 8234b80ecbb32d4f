// The lesson panel of the window: the lesson's title, the step (n of m),
// the task, the hint and the well text as plain text, and Hint, Show me,
// Skip and Leave; at the end the summary. It lies over the note area while
// a lesson runs. The lesson itself is the host's lesson_player; the window
// runs the live instrument and tells the panel of each pass and tick.
#pragma once

#include "host/lessons/lesson_player.h"

#include <QFrame>

#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QScrollArea;

class LessonPanel : public QFrame {
  public:
    explicit LessonPanel(QWidget *parent);

    // Checks and starts a lesson; false with `error` when it is refused,
    // the instrument left as it was.
    bool start(const QString &text, const QString &title, QString &error);
    bool running() const;
    // Ends the lesson where it is and hides the panel.
    void close();
    lesson_player *lesson() const { return player.get(); }

    // From the window's power loop and its 100 ms timer.
    void afterPass();
    void afterTick();

    // The lesson played lines of its own (its scene, Show me, Skip): the
    // window's controls follow lesson()->panel().
    std::function<void()> played;
    // The window's controls as the student has left them.
    std::function<panel_state()> controls;
    // A lesson passed its check and its scene is about to play from program
    // start: the window starts a new session.
    std::function<void()> starting;
    // Leave, or Close after the summary: the panel hides.
    std::function<void()> closed;
    // Everything the lesson plays is recorded here too.
    session_recorder *recorder = nullptr;

    QLabel *TitleLabel;
    QLabel *StepLabel;
    QLabel *TaskLabel;
    QLabel *HintLabel;
    QLabel *WellLabel;
    QPushButton *Hint1;
    QPushButton *ShowMe1;
    QPushButton *Skip1;
    QPushButton *Leave1;

  private:
    void Hint1Click();
    void ShowMe1Click();
    void Skip1Click();
    void Leave1Click();
    void playAnswers(void (lesson_player::*play)(const panel_state &));
    void refresh();

    std::unique_ptr<frame_files> files;
    std::unique_ptr<lesson_player> player;
    QScrollArea *TextBox;
    // What the panel shows, to redraw only on a change.
    int shownStep = -1;
    int shownState = -1;
    std::string shownHint, shownWell;
};
