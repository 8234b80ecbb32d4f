// The playback strip below the status bar: Pause/Resume, Step, Restart, the
// speed box and the timeline. It forwards each to the session and shows the
// session's player in them.
#pragma once

#include <QObject>

#include <functional>

class QComboBox;
class QPushButton;
class QWidget;
class TimelineView;
class session;

class PlaybackStrip : public QObject {
  public:
    // Laid out on `client`; `acted` is called after each input forwarded.
    PlaybackStrip(QWidget *client, session &s, std::function<void()> acted);

    QPushButton *PlayPause1;
    QPushButton *Step1;
    QPushButton *Restart1;
    QComboBox *Speed1;
    TimelineView *Timeline1;

    void PlayPause1Click();
    void Step1Click();
    void Restart1Click();
    void Speed1Change();
    void Timeline1Seek(long long tick);

    // The transport and the timeline as the session has them.
    void show();

  private:
    session &s;
    std::function<void()> acted;
};
