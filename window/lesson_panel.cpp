#include "window/lesson_panel.h"

#include "window/scenarios.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

QLabel *textLabel(const QString &accessibleName) {
    QLabel *label = new QLabel;
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

LessonPanel::LessonPanel(QWidget *parent) : QFrame(parent) {
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    TitleLabel = textLabel(QStringLiteral("Lesson title"));
    QFont bold = TitleLabel->font();
    bold.setBold(true);
    TitleLabel->setFont(bold);
    StepLabel = textLabel(QStringLiteral("Lesson step"));
    TaskLabel = textLabel(QStringLiteral("Lesson task"));
    HintLabel = textLabel(QStringLiteral("Lesson hint"));
    HintLabel->setStyleSheet(QStringLiteral("color: #805000"));
    WellLabel = textLabel(QStringLiteral("Lesson well done"));
    WellLabel->setStyleSheet(QStringLiteral("color: #006000"));

    QWidget *texts = new QWidget;
    QVBoxLayout *textLayout = new QVBoxLayout(texts);
    textLayout->setContentsMargins(2, 2, 2, 2);
    for (QLabel *label : {WellLabel, TaskLabel, HintLabel}) textLayout->addWidget(label);
    textLayout->addStretch();
    TextBox = new QScrollArea;
    TextBox->setWidget(texts);
    TextBox->setWidgetResizable(true);
    TextBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    TextBox->setFocusPolicy(Qt::NoFocus);

    Hint1 = panelButton(QStringLiteral("&Hint"), QStringLiteral("Show the step's hint"));
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
        buttons->addWidget(button);
    }

    QVBoxLayout *layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->setSpacing(2);
    layout->addWidget(TitleLabel);
    layout->addWidget(StepLabel);
    layout->addWidget(TextBox, 1);
    layout->addLayout(buttons);

    connect(Hint1, &QPushButton::clicked, this, [this] { Hint1Click(); });
    connect(ShowMe1, &QPushButton::clicked, this, [this] { ShowMe1Click(); });
    connect(Skip1, &QPushButton::clicked, this, [this] { Skip1Click(); });
    connect(Leave1, &QPushButton::clicked, this, [this] { Leave1Click(); });
    hide();
}

bool LessonPanel::start(const QString &text, const QString &title, QString &error) {
    auto lessonFiles = std::make_unique<scenario_files>(QStringLiteral(":/lessons"));
    auto lesson = std::make_unique<lesson_player>(*lessonFiles, [](const std::string &) {});
    lesson->echo_to(recorder);
    if (!lesson->load(text.toStdString())) {
        error = QString::fromStdString(lesson->error());
        return false;
    }
    files = std::move(lessonFiles);
    player = std::move(lesson);
    if (starting) starting();
    player->begin();
    TitleLabel->setText(player->title().empty() ? title : QString::fromStdString(player->title()));
    shownStep = shownState = -1;
    show();
    raise();
    refresh();
    if (played) played();
    return true;
}

bool LessonPanel::running() const {
    return player && player->status() == lesson_player::WAITING;
}

void LessonPanel::afterPass() {
    if (!running()) return;
    player->after_pass();
    refresh();
}

void LessonPanel::afterTick() {
    if (!running()) return;
    player->after_tick();
    refresh();
}

void LessonPanel::Hint1Click() {
    if (!running()) return;
    player->hint();
    refresh();
}

void LessonPanel::ShowMe1Click() {
    playAnswers(&lesson_player::show_me);
}

void LessonPanel::Skip1Click() {
    playAnswers(&lesson_player::skip);
}

// Show me and Skip: the step's inputs play from the controls as they are,
// and the window's controls follow.
void LessonPanel::playAnswers(void (lesson_player::*play)(const panel_state &)) {
    if (!running()) return;
    (player.get()->*play)(controls());
    refresh();
    if (played) played();
}

// Leave during the lesson shows the summary; after it, Close hides the panel.
void LessonPanel::Leave1Click() {
    if (running()) {
        player->leave();
        refresh();
        return;
    }
    close();
}

void LessonPanel::close() {
    if (player) player->echo_to(nullptr);
    player.reset();
    hide();
    if (closed) closed();
}

void LessonPanel::refresh() {
    if (!player) return;
    const int state = player->status();
    const int step = player->step_number();
    if (state == shownState && step == shownStep && player->hint_text() == shownHint &&
        player->well() == shownWell)
        return;
    shownState = state;
    shownStep = step;
    shownHint = player->hint_text();
    shownWell = player->well();
    const bool waiting = state == lesson_player::WAITING;
    WellLabel->setText(QString::fromStdString(shownWell));
    WellLabel->setVisible(!shownWell.empty());
    HintLabel->setText(QString::fromStdString(shownHint));
    HintLabel->setVisible(!shownHint.empty());
    if (waiting) {
        StepLabel->setText(QStringLiteral("Step %1 of %2").arg(step).arg(player->step_count()));
        TaskLabel->setText(QString::fromStdString(player->task()));
    } else if (state == lesson_player::FAILED) {
        StepLabel->setText(QStringLiteral("The lesson stopped"));
        TaskLabel->setText(QString::fromStdString(player->error()));
    } else {
        StepLabel->setText(state == lesson_player::LEFT ? QStringLiteral("Lesson left")
                                                        : QStringLiteral("Lesson complete"));
        TaskLabel->setText(QString::fromStdString(player->summary_text()));
    }
    Hint1->setEnabled(waiting && player->has_hint() && shownHint.empty());
    ShowMe1->setEnabled(waiting);
    Skip1->setEnabled(waiting);
    Leave1->setText(waiting ? QStringLiteral("&Leave") : QStringLiteral("&Close"));
    Leave1->setAccessibleName(waiting ? QStringLiteral("Leave") : QStringLiteral("Close"));
}
