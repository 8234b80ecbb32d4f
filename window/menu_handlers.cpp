// TfrmMain's menu handlers: files in and out (scenarios, data logs, the
// recording, the LCD image) and Help. Files are read as their bytes, and
// every text of a file or a script is shown printable.
#include "window/TfrmMain.h"

#include "display/frame_buffer.h"
#include "host/png/png_io.h"
#include "host/shell/lcd_palette.h"
#include "host/text/printable.h"
#include "window/data_log_dialog.h"
#include "window/file_bytes.h"
#include "window/lcd_presentation.h"
#include "window/menus.h"
#include "window/preferences.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include <string.h>

// A message that leaves the power loop running; text from a script or a
// file name is never taken as markup.
void TfrmMain::showMessage(QMessageBox::Icon icon, const std::string &text) {
    QMessageBox *box = new QMessageBox(icon, QString(), QString(), QMessageBox::Ok, this);
    box->setTextFormat(Qt::PlainText);
    box->setText(QString::fromStdString(text));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void TfrmMain::cannotWrite(const QString &path) {
    showMessage(QMessageBox::Warning, printable("Cannot write " + fileBytesName(path) + "."));
}

void TfrmMain::rememberFolder(QFileDialog *dialog, const QString &name) {
    const QString folder = preferences::lastFolder(name);
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) dialog->setDirectory(folder);
    connect(dialog, &QFileDialog::fileSelected, this, [name](const QString &path) {
        preferences::setLastFolder(name, QFileInfo(path).absolutePath());
    });
}

// A save dialog that leaves the power loop running: the file is written when
// the user confirms.
QFileDialog *TfrmMain::saveDialog(const QString &title, const QString &file,
                                  const QStringList &filters,
                                  const std::function<void(const QString &)> &chosen) {
    QFileDialog *dialog = new QFileDialog(this, title, QString(), QString());
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setNameFilters(filters);
    dialog->selectFile(file);
    dialog->setWindowModality(Qt::WindowModal);
    rememberFolder(dialog, title);
    connect(dialog, &QFileDialog::fileSelected, this, chosen);
    return dialog;
}

QFileDialog *TfrmMain::openDialog(const QString &title, const QString &filters,
                                  const std::function<void(const QString &)> &chosen) {
    QFileDialog *dialog = new QFileDialog(this, title, QString(), filters);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setWindowModality(Qt::WindowModal);
    rememberFolder(dialog, title);
    connect(dialog, &QFileDialog::fileSelected, this, chosen);
    return dialog;
}

// --- Scenarios

void TfrmMain::PlayScenario1Click() {
    if (!PlayDialog1)
        PlayDialog1 = openDialog(QStringLiteral("Play Scenario"),
                                 QStringLiteral("omnira-lcdshot script (*.txt);;Any file (*)"),
                                 [this](const QString &path) { openScriptFile(path); });
    PlayDialog1->open();
}

bool TfrmMain::openScriptFile(const QString &path) {
    std::string bytes;
    if (!readFile(path, lcd_script::MAX_SCRIPT_BYTES, bytes)) {
        showMessage(QMessageBox::Warning,
                    printable("Cannot read " + fileBytesName(path) +
                              " as a scenario: it is missing, not a file or unreadable."));
        return false;
    }
    const QFileInfo file(path);
    preferences::addRecentScenario(file.absoluteFilePath());
    showRecent();
    const bool played =
        sim.play_script(bytes, script_title(bytes, fileBytesName(file.fileName())),
                        "the file " + fileBytesName(path), fileBytesName(file.absolutePath()));
    sessionChanged();
    return played;
}

void TfrmMain::showRecent() {
    Menus->showRecent(preferences::recentScenarios(),
                      [this](const QString &path) { openScriptFile(path); });
}

// --- Data logs

void TfrmMain::OpenDataLog1Click() {
    if (!DataLogDialog1)
        DataLogDialog1 = openDialog(QStringLiteral("Open Data Log"),
                                    QStringLiteral("Engine data log (*.csv);;Any file (*)"),
                                    [this](const QString &path) { openDataLogFile(path); });
    DataLogDialog1->open();
}

bool TfrmMain::openDataLogFile(const QString &path) {
    std::string bytes;
    if (!readFile(path, MAX_LOG_BYTES, bytes)) {
        showMessage(QMessageBox::Warning, printable("Cannot read " + fileBytesName(path) +
                                                    ": it is missing, not a file or unreadable."));
        return false;
    }
    const bool opened = sim.open_log(bytes, fileBytesName(QFileInfo(path).fileName()));
    sessionChanged();
    if (!opened) return false;
    delete ColumnDialog1;
    ColumnDialog1 = new TfrmDataLog(this, sim, zoomFactor);
    ColumnDialog1->setWindowModality(Qt::WindowModal);
    connect(ColumnDialog1, &QDialog::accepted, this, &TfrmMain::ColumnDialog1Accept);
    ColumnDialog1->open();
    return true;
}

// Plays the log with the choices; the chooser listed its warnings.
void TfrmMain::ColumnDialog1Accept() {
    ColumnDialog1->choose();
    sim.play_log();
    sessionChanged();
}

// --- The recording

bool TfrmMain::startRecording(const QString &path) {
    stopRecording();
    recording.open(QFile::encodeName(path).constData(), std::ios::out | std::ios::trunc);
    if (!recording) return false;
    sim.record_to([this](const std::string &line) { recording << line << std::flush; });
    if (!recording) {
        sim.record_to(nullptr);
        recording.close();
        return false;
    }
    recordingPath = path;
    Menus->RecordSession1->setChecked(true);
    sim.notice("Recording the session to " + fileBytesName(path));
    showSession();
    return true;
}

void TfrmMain::stopRecording() {
    Menus->RecordSession1->setChecked(false);
    if (!recording.is_open()) return;
    sim.record_to(nullptr);
    recording.close();
    sim.notice("Recording to " + fileBytesName(recordingPath) + " stopped");
}

// Checked: asks for the script file and records into it; unchecked: stops.
void TfrmMain::RecordSession1Click() {
    if (!Menus->RecordSession1->isChecked()) {
        stopRecording();
        showSession();
        return;
    }
    Menus->RecordSession1->setChecked(false);
    if (!RecordDialog1)
        RecordDialog1 = saveDialog(QStringLiteral("Record Session"), QStringLiteral("session.txt"),
                                   {QStringLiteral("omnira-lcdshot script (*.txt)")},
                                   [this](const QString &path) {
                                       if (!startRecording(path)) cannotWrite(path);
                                   });
    RecordDialog1->open();
}

// --- The LCD image

QImage TfrmMain::lcdImage(double scale) const {
    QImage image(LCD_WIDTH, LCD_HEIGHT, QImage::Format_Indexed8);
    QVector<QRgb> colours(LCD_PALETTE_SIZE);
    for (int i = 0; i < LCD_PALETTE_SIZE; i++) colours[i] = 0xFF000000u | lcd_palette[i];
    image.setColorTable(colours);
    for (int y = 0; y < LCD_HEIGHT; y++)
        memcpy(image.scanLine(y), shown_frame + y * LCD_WIDTH, LCD_WIDTH);
    if (scale == 1.0) return image;
    return image.convertToFormat(QImage::Format_RGB32)
        .scaled(QSize(LCD_WIDTH, LCD_HEIGHT) * scale, Qt::IgnoreAspectRatio,
                Qt::FastTransformation);
}

bool TfrmMain::saveLcdImage(const QString &path, double scale) const {
    if (scale == 1.0) return write_lcd_indexed_png(fileBytesName(path), shown_frame);
    return lcdImage(scale).save(path, "PNG");
}

// The type list of the dialog holds the choice of size.
void TfrmMain::SaveLcdImage1Click() {
    const double scale = devicePixelRatioF();
    const QString plain = QStringLiteral("PNG image, 160 x 120, exact palette indices (*.png)");
    QStringList filters(plain);
    if (scale != 1.0) {
        const QSize size = QSize(LCD_WIDTH, LCD_HEIGHT) * scale;
        filters << QStringLiteral("PNG image at the window's scale %1x, %2 x %3 (*.png)")
                       .arg(scale)
                       .arg(size.width())
                       .arg(size.height());
    }
    if (!SaveDialog1)
        SaveDialog1 =
            saveDialog(QStringLiteral("Save LCD Image"), QStringLiteral("lcd.png"), filters,
                       [this, plain, scale](const QString &chosen) {
                           QString path = chosen;
                           if (!path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
                               path += QStringLiteral(".png");
                           const bool exact = SaveDialog1->selectedNameFilter() == plain;
                           if (!saveLcdImage(path, exact ? 1.0 : scale)) cannotWrite(path);
                       });
    SaveDialog1->open();
}

void TfrmMain::CopyLcdImage1Click() {
    QGuiApplication::clipboard()->setImage(lcdImage(1.0));
}

// --- Help

QString TfrmMain::bindingsText() {
    return QString::fromStdString(bindings_help(IN_WINDOW)) +
           QStringLiteral(
               "\nEvery key goes through the instrument's one-key slot, as a click does: a key "
               "made before the instrument took the previous one is dropped.\n\nWhile a scenario plays, any click or key of "
               "yours on the instrument's controls stops it, and the instrument runs on live "
               "from there, as it does after the scenario's last line and after Simulation > "
               "Stop Scenario.");
}

// The help stays open beside the window while the instrument runs.
void TfrmMain::KeyboardAndMouse1Click() {
    if (!HelpBox1) {
        HelpBox1 = new QMessageBox(QMessageBox::Information, QStringLiteral("Keyboard and mouse"),
                                   bindingsText(), QMessageBox::Close, this);
        HelpBox1->setTextFormat(Qt::PlainText);
        HelpBox1->setWindowModality(Qt::NonModal);
    }
    HelpBox1->show();
    HelpBox1->raise();
}

void TfrmMain::About1Click() {
    showMessage(QMessageBox::Information,
                "Omnira " + QApplication::applicationVersion().toStdString() +
                    "\n\nA simulator of an engine instrument: its LCD, bezel keys, knob, alarm "
                    "lamp and sensor inputs.");
}
