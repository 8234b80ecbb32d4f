#include "window/data_log_dialog.h"

#include "host/session/session.h"
#include "host/text/printable.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

const char *const ROLE_LABELS[LOG_ROLES] = {"&Time:", "&Date:", "&RPM:", "&MAP:", "T&emperature:"};
const figure_unit MAP_UNITS[] = {FIGURE_RAW, FIGURE_INHG, FIGURE_MB};
const figure_unit TEMP_UNITS[] = {FIGURE_RAW, FIGURE_C, FIGURE_F};

// The unit boxes: the log's own first, then the units a slider takes, the
// session's choice current.
QComboBox *unit_box(const figure_unit (&units)[3], figure_unit chosen) {
    QComboBox *box = new QComboBox;
    for (figure_unit u : units) {
        box->addItem(u == FIGURE_RAW ? QStringLiteral("as the log says")
                                     : QString::fromStdString(figure_unit_name(u)));
        if (u == chosen) box->setCurrentIndex(box->count() - 1);
    }
    return box;
}

QLabel *plain_label(const QString &text) {
    QLabel *label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

} // namespace

TfrmDataLog::TfrmDataLog(QWidget *parent, session &s, int zoom) : QDialog(parent), sim(s) {
    setWindowTitle(QStringLiteral("Open Data Log"));
    // A window of its own takes no font from the main window: the window's,
    // at its zoom.
    QFont zoomed = parent ? parent->font() : font();
    if (zoomed.pixelSize() > 0) zoomed.setPixelSize(zoomed.pixelSize() * zoom);
    setFont(zoomed);
    const log_header &header = s.log();
    QFormLayout *form = new QFormLayout(this);
    form->addRow(plain_label(QStringLiteral("Columns of %1 (header on row %2):")
                                 .arg(QString::fromStdString(s.log_name()))
                                 .arg(header.header_row)));
    for (int role = 0; role < LOG_ROLES; role++) {
        QComboBox *box = Column[role] = new QComboBox;
        box->addItem(QStringLiteral("(none)"));
        // Names are shown as plain, printable text.
        for (const std::string &n : header.names)
            box->addItem(QString::fromStdString(printable(n, 60)));
        box->setCurrentIndex(s.log_column[role] + 1);
        form->addRow(QString::fromLatin1(ROLE_LABELS[role]), box);
    }
    MapUnit1 = unit_box(MAP_UNITS, s.log_map_unit);
    TempUnit1 = unit_box(TEMP_UNITS, s.log_temp_unit);
    form->addRow(QStringLiteral("MAP &unit:"), MapUnit1);
    form->addRow(QStringLiteral("Temperature u&nit:"), TempUnit1);

    Start1 = new QLineEdit(QString::fromStdString(s.log_start));
    End1 = new QLineEdit(QString::fromStdString(s.log_end));
    PartClock1 = new QComboBox;
    PartClock1->addItems(
        {QStringLiteral("after the first row"), QStringLiteral("clock times of the log")});
    PartClock1->setCurrentIndex(s.log_part_clock ? 1 : 0);
    PartClock1->setEnabled(s.log_has_clock());
    QHBoxLayout *part = new QHBoxLayout;
    part->addWidget(Start1);
    part->addWidget(new QLabel(QStringLiteral("to")));
    part->addWidget(End1);
    part->addWidget(PartClock1);
    QLabel *partLabel = new QLabel(QStringLiteral("&Start, end:"));
    partLabel->setBuddy(Start1);
    form->addRow(partLabel, part);
    QLabel *partHelp = new QLabel(QString::fromLatin1(LOG_PART_HELP));
    partHelp->setWordWrap(true);
    form->addRow(partHelp);
    for (QLineEdit *edit : {Start1, End1}) edit->setAccessibleDescription(partHelp->text());

    Profile1 = new QComboBox;
    if (s.has_profile())
        Profile1->addItem(QStringLiteral("Profile: ") + QString::fromStdString(s.profile_title()));
    Profile1->addItem(QStringLiteral("Factory settings"));
    Profile1->setCurrentIndex(s.has_profile() && !s.log_under_profile ? 1 : 0);
    Profile1->setEnabled(s.has_profile());
    form->addRow(QStringLiteral("&Plays under:"), Profile1);

    Span1 = plain_label(QString());
    form->addRow(QStringLiteral("Plays:"), Span1);
    Warnings1 = new QPlainTextEdit;
    Warnings1->setReadOnly(true);
    Warnings1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Warnings1->setMinimumWidth(QFontMetrics(zoomed).averageCharWidth() * 70);
    Warnings1->setFixedHeight(QFontMetrics(zoomed).lineSpacing() * 8);
    form->addRow(QStringLiteral("&Warnings:"), Warnings1);

    QDialogButtonBox *buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    Play1 = buttons->button(QDialogButtonBox::Ok);
    Play1->setText(QStringLiteral("Convert and &Play"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (QComboBox *box : findChildren<QComboBox *>())
        connect(box, &QComboBox::currentIndexChanged, this, &TfrmDataLog::choose);
    for (QLineEdit *edit : {Start1, End1})
        connect(edit, &QLineEdit::editingFinished, this, &TfrmDataLog::choose);
    choose();
}

// A column by its place in the log; "(none)" leaves the role out. The
// session converts again: its warnings, or why nothing plays, are shown.
void TfrmDataLog::choose() {
    for (int role = 0; role < LOG_ROLES; role++)
        sim.log_column[role] = Column[role]->currentIndex() - 1;
    sim.log_map_unit = MAP_UNITS[MapUnit1->currentIndex()];
    sim.log_temp_unit = TEMP_UNITS[TempUnit1->currentIndex()];
    sim.log_start = Start1->text().toStdString();
    sim.log_end = End1->text().toStdString();
    sim.log_part_clock = PartClock1->currentIndex() == 1;
    sim.log_under_profile = sim.has_profile() && Profile1->currentIndex() == 0;
    const bool converts = sim.convert_log();
    Play1->setEnabled(converts);
    Span1->setText(QString::fromStdString(converts ? sim.log_span() : std::string("nothing")));
    std::string text = converts ? "" : "Nothing can play: " + sim.log_error() + ".\n";
    const std::vector<std::string> &warnings = sim.log_warnings();
    if (converts && warnings.empty()) text = "none";
    for (const std::string &warning : warnings) text += "- " + warning + "\n";
    Warnings1->setPlainText(QString::fromStdString(text));
}
