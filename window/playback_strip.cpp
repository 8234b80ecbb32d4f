#include "window/playback_strip.h"

#include "host/session/session.h"
#include "window/timeline_view.h"

#include <QComboBox>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

// The transport row and the timeline below it, in window pixels.
const int TRANSPORT_TOP = 332;
const int TIMELINE_TOP = 358;
const int TIMELINE_HEIGHT = 84;

QPushButton *makeButton(QWidget *parent, const char *caption, int left, int width,
                        const char *tip) {
    QPushButton *button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setGeometry(left, TRANSPORT_TOP, width, 25);
    button->setAutoDefault(false);
    button->setToolTip(QString::fromLatin1(tip));
    return button;
}

} // namespace

PlaybackStrip::PlaybackStrip(QWidget *client, session &s, std::function<void()> acted)
    : QObject(client), s(s), acted(std::move(acted)) {
    PlayPause1 =
        makeButton(client, "Pause", 8, 75, "Pause or resume the script playing (keyboard: P)");
    Step1 = makeButton(client, "Step", 88, 60, "While paused: the next tick (keyboard: N)");
    Restart1 = makeButton(client, "Restart", 153, 70,
                          "Play the script again from its start (keyboard: R)");
    Speed1 = new QComboBox(client);
    Speed1->setGeometry(228, TRANSPORT_TOP, 64, 25);
    for (int speed : script_player::SPEEDS)
        Speed1->addItem(QStringLiteral("x%1").arg(speed), speed);
    Speed1->setAccessibleName(QStringLiteral("Playback speed"));
    Speed1->setToolTip(QStringLiteral("Playback speed (keyboard: [ and ])"));
    Timeline1 = new TimelineView(client);
    Timeline1->setGeometry(0, TIMELINE_TOP, client->width(), TIMELINE_HEIGHT);
    Timeline1->seekRequested = [this](long long tick) { Timeline1Seek(tick); };

    connect(PlayPause1, &QPushButton::clicked, this, &PlaybackStrip::PlayPause1Click);
    connect(Step1, &QPushButton::clicked, this, &PlaybackStrip::Step1Click);
    connect(Restart1, &QPushButton::clicked, this, &PlaybackStrip::Restart1Click);
    connect(Speed1, &QComboBox::currentIndexChanged, this, &PlaybackStrip::Speed1Change);
    show();
}

void PlaybackStrip::PlayPause1Click() {
    s.pause_resume();
    acted();
}

void PlaybackStrip::Step1Click() {
    s.step();
    acted();
}

void PlaybackStrip::Restart1Click() {
    s.restart();
    acted();
}

void PlaybackStrip::Speed1Change() {
    s.set_speed(Speed1->currentData().toInt());
    acted();
}

void PlaybackStrip::Timeline1Seek(long long tick) {
    s.seek(tick);
    acted();
}

// Enabled while a script plays; Step while it is paused.
void PlaybackStrip::show() {
    const bool playing = s.playing();
    const bool paused = playing && s.player()->status() == script_player::PAUSED;
    const QString caption = paused ? QStringLiteral("Resume") : QStringLiteral("Pause");
    if (PlayPause1->text() != caption) PlayPause1->setText(caption);
    for (QWidget *control : {(QWidget *)PlayPause1, (QWidget *)Restart1, (QWidget *)Speed1})
        control->setEnabled(playing);
    Step1->setEnabled(paused);
    const int speed = Speed1->findData(s.speed());
    if (speed != Speed1->currentIndex()) {
        const QSignalBlocker quiet(Speed1);
        Speed1->setCurrentIndex(speed);
    }
    Timeline1->setTimeline(&s.timeline(), &s.timeline_notes(), s.timeline_position());
    Timeline1->setEnabled(s.timeline_seekable());
}
