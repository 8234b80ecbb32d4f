// File > Open Data Log...: the column chooser shows the columns found, and
// the chosen ones are converted and played; a file that is no log is refused.
#include "host/shell/program_state.h"
#include "window/TfrmMain.h"
#include "window/data_log_dialog.h"
#include "window/instrument_panel.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

class DataLogWindowTest : public QObject {
    Q_OBJECT
    // What the window remembers goes to a folder of the test's own.
    QTemporaryDir settingsDir;

  private slots:
    void initTestCase() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    }
    void init() {
        reset_program_state();
        frm = new TfrmMain;
        frm->show();
        QVERIFY(QTest::qWaitForWindowExposed(frm));
    }
    void cleanup() {
        delete frm;
        frm = nullptr;
    }
    void chooserShowsTheColumnsFoundAndPlaysTheChoice();
    void aFileThatIsNoLogIsRefused();
    void everyWarningIsShown();

  private:
    TfrmMain *frm = nullptr;
};

void DataLogWindowTest::chooserShowsTheColumnsFoundAndPlaysTheChoice() {
    QVERIFY(frm->openDataLogFile(SAMPLE_DIR "/glass_cockpit.csv"));
    TfrmDataLog *chooser = frm->ColumnDialog1;
    QTRY_VERIFY(chooser->isVisible());
    const char *const found[LOG_ROLES] = {"Lcl Time", "Lcl Date", "E1 RPM", "E1 MAP", "E1 OilT"};
    for (int role = 0; role < LOG_ROLES; role++)
        QCOMPARE(chooser->Column[role]->currentText(), QString(found[role]));

    chooser->Column[LOG_TEMP]->setCurrentText("E1 CHT1");
    chooser->accept();
    QVERIFY(frm->simulation().log_column[LOG_TEMP] >= 0);
    QCOMPARE(frm->simulation().log().names[(size_t)frm->simulation().log_column[LOG_TEMP]],
             std::string("E1 CHT1"));
    QTRY_VERIFY(frm->simulation().playing());
    QLabel *note = frm->Controls->NoteLabel;
    QVERIFY(note->text().startsWith("glass_cockpit.csv: 0:02:39 of the log from row 4"));
    QVERIFY(note->text().contains("temperature 185 to 358 F"));
}

// Every warning of the conversion is listed in the chooser, not only the first.
void DataLogWindowTest::everyWarningIsShown() {
    QTemporaryDir dir;
    const QString path = dir.filePath("gaps.csv");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Time,RPM,MAP\n0:00:00,2400,30.0\n0:00:01,x,30.0\n0:00:01,2500,\n"
               "0:00:05,2500,31.0\n");
    file.close();
    QVERIFY(frm->openDataLogFile(path));
    const std::vector<std::string> &warnings = frm->simulation().log_warnings();
    QVERIFY(warnings.size() >= 2);
    const QString listed = frm->ColumnDialog1->Warnings1->toPlainText();
    for (const std::string &warning : warnings)
        QVERIFY2(listed.contains(QString::fromStdString(warning)), warning.c_str());
}

void DataLogWindowTest::aFileThatIsNoLogIsRefused() {
    QTemporaryDir dir;
    const QString path = dir.filePath("notes.csv");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("a,b\n1,2\n");
    file.close();
    QVERIFY(!frm->openDataLogFile(path));
    QVERIFY(!frm->openDataLogFile(dir.filePath("missing.csv")));
    QVERIFY(frm->ColumnDialog1 == nullptr);
    QTRY_VERIFY(frm->findChild<QMessageBox *>() != nullptr);
    QVERIFY(frm->findChild<QMessageBox *>()->text().contains("no header row naming a time column"));
}

QTEST_MAIN(DataLogWindowTest)
#include "test_data_log_window.moc"
