#include "window/lesson_panel.h"

#include "host/session/session.h"
#include "host/text/printable.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

// Text whose font follows the window's zoom; `colour` invalid for the usual.
QLabel *textLabel(const QString &accessibleName, QColor colour = QColor()) {
    QLabel *label = new QLabel;
    if (colour.isValid()) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, colour);
        label->setPalette(palette);
    }
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setAccessibleName(accessibleName);
    return label;
}

QPushButton *panelButton(const QString &text, const QString &tip) {
    QPushButton *button = new QPushButton(text);
    button->setToolTip(tip);
    button->setAccessibleName(QString(text).remove(QLatin1Char('&')));
    return button;
}

} // namespace

LessonPanel::LessonPanel(QWidget *parent, session &s, std::function<void()> acted, QWidget *keys)
    : QFrame(parent), s(s), acted(std::move(acted)), keys(keys) {
    setFrameShape(QFrame::StyledPanel);
    setAccessibleName(QStringLiteral("Lesson"));
    setAutoFillBackground(true);
    TitleLabel = textLabel(QStringLiteral("Lesson title"));
    // Only the weight set: the size stays the zoom's.
    QFont bold;
    bold.setBold(true);
    TitleLabel->setFont(bold);
    StepLabel = textLabel(QStringLiteral("Lesson step"));
    TaskLabel = textLabel(QStringLiteral("Lesson task"));
    HintLabel = textLabel(QStringLiteral("Lesson hint"), QColor(0x80, 0x50, 0x00));
    WellLabel = textLabel(QStringLiteral("Lesson well done"), QColor(0x00, 0x60, 0x00));

    QWidget *texts = new QWidget;
    QVBoxLayout *textLayout = new QVBoxLayout(texts);
    textLayout->setContentsMargins(2, 2, 2, 2);
    // The task first, where it is seen without scrolling at every zoom.
    for (QLabel *label : {TaskLabel, HintLabel, WellLabel}) textLayout->addWidget(label);
    textLayout->addStretch();
    TextBox = new QScrollArea;
    TextBox->setWidget(texts);
    TextBox->setWidgetResizable(true);
    TextBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    TextBox->setFocusPolicy(Qt::NoFocus);

    // Alt and the underlined letter press a button (Alt+H is the Help
    // menu's); Alt+L both Leave and Close.
    Hint1 = panelButton(QStringLiteral("H&int"), QStringLiteral("Show the step's hint"));
    ShowMe1 = panelButton(QStringLiteral("Show &me"),
                          QStringLiteral("Play the step's inputs on the instrument"));
    Skip1 = panelButton(QStringLiteral("S&kip"),
                        QStringLiteral("Go on to the next step (its inputs play)"));
    Leave1 = panelButton(QStringLiteral("&Leave"), QStringLiteral("End the lesson here"));
    Hint1->setObjectName(QStringLiteral("Hint1"));
    ShowMe1->setObjectName(QStringLiteral("ShowMe1"));
    Skip1->setObjectName(QStringLiteral("Skip1"));
    Leave1->setObjectName(QStringLiteral("Leave1"));
    QHBoxLayout *buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    for (QPushButton *button : {Hint1, ShowMe1, Skip1, Leave1}) {
        button->setFocusPolicy(Qt::TabFocus);
        button->installEventFilter(this);
        buttons->addWidget(button);
    }

    QVBoxLayout *layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->setSpacing(2);
    layout->addWidget(TitleLabel);
    layout->addWidget(StepLabel);
    layout->addWidget(TextBox, 1);
    layout->addLayout(buttons);

    // Leave during the lesson shows the summary; after it, Close hides the panel.
    const std::pair<QPushButton *, void (session::*)()> actions[] = {
        {Hint1, &session::lesson_hint},
        {ShowMe1, &session::lesson_show_me},
        {Skip1, &session::lesson_skip},
        {Leave1, &session::lesson_leave}};
    for (const auto &[button, action] : actions)
        connect(button, &QPushButton::clicked, this, [this, act = action] {
            (this->s.*act)();
            this->acted();
        });
    hide();
}

bool LessonPanel::showLesson() {
    const lesson_player *lesson = s.lesson();
    setVisible(lesson != nullptr);
    if (!lesson) {
        shownLesson = nullptr;
        return false;
    }
    const int state = lesson->status();
    const int step = lesson->step_number();
    if (lesson == shownLesson && s.lesson_title() == shownTitle && state == shownState &&
        step == shownStep && lesson->hint_text() == shownHint && lesson->well() == shownWell &&
        lesson->showing() == shownShowing)
        return false;
    const bool begun = lesson != shownLesson;
    if (begun) raise();
    shownLesson = lesson;
    shownTitle = s.lesson_title();
    shownState = state;
    shownStep = step;
    shownHint = lesson->hint_text();
    shownWell = lesson->well();
    shownShowing = lesson->showing();
    const auto text = [](const std::string &t) { return QString::fromStdString(printable(t)); };
    const bool waiting = state == lesson_player::WAITING;
    const bool showing = state == lesson_player::SHOWING;
    TitleLabel->setText(QString::fromStdString(shownTitle));
    WellLabel->setText(text(shownWell));
    WellLabel->setVisible(!shownWell.empty());
    HintLabel->setText(text(shownHint));
    HintLabel->setVisible(!shownHint.empty());
    if (waiting || showing) {
        QString stepText = QStringLiteral("Step %1 of %2").arg(step).arg(lesson->step_count());
        if (showing) stepText += QStringLiteral(" \u2014 Showing: ") + text(shownShowing);
        StepLabel->setText(stepText);
    } else if (state == lesson_player::FAILED) {
        StepLabel->setText(QStringLiteral("The lesson stopped"));
    } else {
        StepLabel->setText(state == lesson_player::LEFT ? QStringLiteral("Lesson left")
                                                        : QStringLiteral("Lesson complete"));
    }
    TaskLabel->setText(text(lesson->shown_task()));
    Hint1->setEnabled(waiting && lesson->has_hint() && shownHint.empty());
    ShowMe1->setEnabled(waiting);
    Skip1->setEnabled(waiting);
    Leave1->setText(waiting || showing ? QStringLiteral("&Leave") : QStringLiteral("C&lose"));
    Leave1->setAccessibleName(waiting || showing ? QStringLiteral("Leave") : QStringLiteral("Close"));
    return begun;
}

void LessonPanel::announce(const QString &text) {
    setAccessibleDescription(text);
    announcements++;
}

// A button pressed by its Alt shortcut: pressed at once, and the focus stays
// in the panel on the next button that can be pressed; Leave and Close hand
// it back to the instrument's keys.
bool LessonPanel::eventFilter(QObject *watched, QEvent *event) {
    QPushButton *button = qobject_cast<QPushButton *>(watched);
    if (!button || event->type() != QEvent::Shortcut) return false;
    button->click();
    if (button == Leave1 || !isVisible()) {
        keys->setFocus(Qt::ShortcutFocusReason);
        return true;
    }
    for (QPushButton *next : {button, ShowMe1, Skip1, Leave1})
        if (next->isEnabled()) {
            next->setFocus(Qt::ShortcutFocusReason);
            break;
        }
    return true;
}
