#include "window/data_log_dialog.h"

#include "host/session/session.h"
#include "host/text/printable.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>

namespace {

const char *const ROLE_LABELS[LOG_ROLES] = {"&Time:", "&Date:", "&RPM:", "&MAP:", "T&emperature:"};

// The unit boxes: the log's own first, then the units a slider takes.
QComboBox *unit_box(const QStringList &units) {
    QComboBox *box = new QComboBox;
    box->addItem(QStringLiteral("as the log says"));
    box->addItems(units);
    return box;
}

} // namespace

TfrmDataLog::TfrmDataLog(QWidget *parent, const session &s) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Open Data Log"));
    const log_header &header = s.log();
    QFormLayout *form = new QFormLayout(this);
    QLabel *intro = new QLabel(QStringLiteral("Columns of %1 (header on row %2):")
                                   .arg(QString::fromStdString(s.log_name()))
                                   .arg(header.header_row));
    intro->setTextFormat(Qt::PlainText);
    form->addRow(intro);
    for (int role = 0; role < LOG_ROLES; role++) {
        QComboBox *box = Column[role] = new QComboBox;
        box->addItem(QStringLiteral("(none)"));
        // Names are shown as plain, printable text.
        for (const std::string &n : header.names)
            box->addItem(QString::fromStdString(printable(n, 60)));
        box->setCurrentIndex(s.log_column[role] + 1);
        form->addRow(QString::fromLatin1(ROLE_LABELS[role]), box);
    }
    MapUnit1 = unit_box({QStringLiteral("inHg"), QStringLiteral("mB")});
    TempUnit1 = unit_box({QStringLiteral("C"), QStringLiteral("F")});
    form->addRow(QStringLiteral("MAP &unit:"), MapUnit1);
    form->addRow(QStringLiteral("Temperature u&nit:"), TempUnit1);
    QDialogButtonBox *buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Convert and &Play"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

// A column by its place in the log; "(none)" leaves the role out.
void TfrmDataLog::choose(session &s) const {
    for (int role = 0; role < LOG_ROLES; role++)
        s.log_column[role] = Column[role]->currentIndex() - 1;
    const figure_unit map_units[] = {FIGURE_RAW, FIGURE_INHG, FIGURE_MB};
    const figure_unit temp_units[] = {FIGURE_RAW, FIGURE_C, FIGURE_F};
    s.log_map_unit = map_units[MapUnit1->currentIndex()];
    s.log_temp_unit = temp_units[TempUnit1->currentIndex()];
}
