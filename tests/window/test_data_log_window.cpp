// File > Open Data Log...: the column chooser shows the columns found, and
// the chosen ones are converted and played; a file that is no log is refused.
#include "host/shell/program_state.h"
#include "window/TfrmMain.h"
#include "window/data_log_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
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
    QTRY_VERIFY(frm->scenarioPlaying());
    QVERIFY(frm->NoteLabel->text().startsWith("glass_cockpit.csv: 0:02:39 of the log from row 4"));
    QVERIFY(frm->NoteLabel->text().contains("temperature 185 to 358 F"));
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
