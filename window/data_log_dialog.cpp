#include "window/data_log_dialog.h"

#include "host/script/lcd_script.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
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

TfrmDataLog::TfrmDataLog(QWidget *parent, const log_header &header, const QString &name)
    : QDialog(parent), names_(header.names) {
    setWindowTitle(QStringLiteral("Open Data Log"));
    QFormLayout *form = new QFormLayout(this);
    QLabel *intro = new QLabel(
        QStringLiteral("Columns of %1 (header on row %2):").arg(name).arg(header.header_row));
    intro->setTextFormat(Qt::PlainText);
    form->addRow(intro);
    for (int role = 0; role < LOG_ROLES; role++) {
        QComboBox *box = Column[role] = new QComboBox;
        box->addItem(QStringLiteral("(none)"));
        // Names are shown as plain, printable text.
        for (const std::string &n : names_) box->addItem(QString::fromStdString(printable(n, 60)));
        box->setCurrentIndex(header.column[role] + 1);
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

log_options TfrmDataLog::options() const {
    log_options o;
    // A column chosen by its name; "(none)" leaves the role out.
    for (int role = 0; role < LOG_ROLES; role++) {
        const int i = Column[role]->currentIndex() - 1;
        if (i >= 0) o.column[role] = names_[(size_t)i];
        o.left_out[role] = i < 0;
    }
    const figure_unit map_units[] = {FIGURE_RAW, FIGURE_INHG, FIGURE_MB};
    const figure_unit temp_units[] = {FIGURE_RAW, FIGURE_C, FIGURE_F};
    o.map_unit = map_units[MapUnit1->currentIndex()];
    o.temp_unit = temp_units[TempUnit1->currentIndex()];
    return o;
}

bool read_data_log(const QString &path, std::string &csv, QString &error) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        error =
            QStringLiteral("Cannot read %1: it is missing, not a file or unreadable.").arg(path);
        return false;
    }
    const QByteArray bytes = file.read((qint64)MAX_LOG_BYTES + 1);
    if ((size_t)bytes.size() > MAX_LOG_BYTES) {
        error = QStringLiteral("%1 is larger than %2 MB: it is not read as a data log.")
                    .arg(path)
                    .arg(MAX_LOG_BYTES >> 20);
        return false;
    }
    csv.assign(bytes.constData(), (size_t)bytes.size());
    return true;
}
