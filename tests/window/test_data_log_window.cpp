// File > Open Data Log...: the column chooser shows the columns found, and
// the chosen ones are converted and played; a file that is no log is refused.
// The Instrument menu: preset profiles, Load and Save Profile..., Factory
// Settings, the profile kept for the next run and the one a flight plays under.
#include "host/shell/program_state.h"
#include "window/TfrmMain.h"
#include "window/data_log_dialog.h"
#include "window/instrument_panel.h"
#include "window/menus.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString NORMALLY_ASPIRATED = QStringLiteral("Normally aspirated four-cylinder, oil in F");

void writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class DataLogWindowTest : public QObject {
    Q_OBJECT
    // What the window remembers goes to a folder of the test's own.
    QTemporaryDir settingsDir;
    QTemporaryDir files;

  private slots:
    void initTestCase() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    }
    void init() {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Omnira", "Omnira").clear();
        open();
    }
    void cleanup() {
        delete frm;
        frm = nullptr;
    }
    void chooserShowsTheColumnsFoundAndPlaysTheChoice();
    void aFileThatIsNoLogIsRefused();
    void everyWarningIsShown();
    void aPresetFromTheMenuIsInForce();
    void aSavedProfileLoadsBack();
    void aBadProfileIsRefusedByItsLine();
    void theProfileIsKeptForTheNextRun();
    void theChooserTakesAPartAndAProfile();

  private:
    void open() {
        reset_program_state();
        frm = new TfrmMain;
        frm->show();
        QVERIFY(QTest::qWaitForWindowExposed(frm));
    }
    // The Instrument menu's item of that text.
    QAction *item(const QString &text) const {
        for (QAction *action : frm->Menus->Instrument1->actions())
            if (action->text() == text) return action;
        return nullptr;
    }
    QMessageBox *shownMessage() const {
        for (QMessageBox *box : frm->findChildren<QMessageBox *>())
            if (box->isVisible()) return box;
        return nullptr;
    }

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

// A preset from the menu is the session's profile, named in the title, and
// Factory Settings takes it away again.
void DataLogWindowTest::aPresetFromTheMenuIsInForce() {
    item(NORMALLY_ASPIRATED)->trigger();
    QVERIFY(frm->simulation().has_profile());
    QVERIFY(frm->windowTitle().endsWith(QStringLiteral("Profile: ") + NORMALLY_ASPIRATED));
    item("&Factory Settings")->trigger();
    QVERIFY(!frm->simulation().has_profile());
    QCOMPARE(frm->windowTitle(), QStringLiteral("Qirel QX-40 Simulator"));
}

void DataLogWindowTest::aSavedProfileLoadsBack() {
    item(NORMALLY_ASPIRATED)->trigger();
    const QString path = files.filePath("mine.txt");
    QVERIFY(frm->saveProfileFile(path));
    const std::string saved = frm->simulation().save_profile("x");
    item("&Factory Settings")->trigger();
    QVERIFY(!frm->simulation().has_profile());
    QVERIFY(frm->loadProfileFile(path));
    QCOMPARE(QString::fromStdString(frm->simulation().profile_title()), NORMALLY_ASPIRATED);
    QCOMPARE(frm->simulation().save_profile("x"), saved);
    QVERIFY(!frm->saveProfileFile(files.filePath("no/folder/mine.txt")));
    QTRY_VERIFY(shownMessage());
    QVERIFY(shownMessage()->text().startsWith("Cannot write "));
}

void DataLogWindowTest::aBadProfileIsRefusedByItsLine() {
    item(NORMALLY_ASPIRATED)->trigger();
    const QString path = files.filePath("<b>bad<b>.txt");
    writeFile(path, "# Bad\nset temp_unit F\nset temp_high_alarm 245 C\n");
    QVERIFY(!frm->loadProfileFile(path));
    QTRY_VERIFY(shownMessage());
    QCOMPARE(shownMessage()->textFormat(), Qt::PlainText);
    QVERIFY2(shownMessage()->text().startsWith("<b>bad<b>.txt is no profile this reads: line 3: "),
             qPrintable(shownMessage()->text()));
    QCOMPARE(QString::fromStdString(frm->simulation().profile_title()), NORMALLY_ASPIRATED);
    QVERIFY(frm->windowTitle().endsWith(NORMALLY_ASPIRATED));
}

// A new window with the same settings has the profile of the last in force.
void DataLogWindowTest::theProfileIsKeptForTheNextRun() {
    const QString path = files.filePath("kept.txt");
    writeFile(path, "# Kept\nset temp_unit F\n");
    QVERIFY(frm->loadProfileFile(path));
    writeFile(path, "# Changed on disk\n");
    cleanup();
    open();
    QCOMPARE(frm->simulation().profile_title(), std::string("Kept"));
    QVERIFY(frm->windowTitle().endsWith("Profile: Kept"));
    item("&Factory Settings")->trigger();
    cleanup();
    open();
    QVERIFY(!frm->simulation().has_profile());
}

void DataLogWindowTest::theChooserTakesAPartAndAProfile() {
    item(NORMALLY_ASPIRATED)->trigger();
    const QString path = files.filePath("clock.csv");
    QByteArray log = "Time,RPM,MAP\n";
    for (int s = 0; s < 120; s++)
        log += QTime(10, 15).addSecs(s).toString("hh:mm:ss").toLatin1() + ",2400,24.0\n";
    writeFile(path, log);
    QVERIFY(frm->openDataLogFile(path));
    TfrmDataLog *chooser = frm->ColumnDialog1;
    QVERIFY(chooser->PartClock1->isEnabled());
    QCOMPARE(chooser->Profile1->currentText(), QStringLiteral("Profile: ") + NORMALLY_ASPIRATED);
    QVERIFY(frm->simulation().log_under_profile);
    chooser->Profile1->setCurrentIndex(1);
    QVERIFY(!frm->simulation().log_under_profile);

    const struct {
        const char *start, *end;
        int clock;
        bool plays;
        const char *shown; // how the span or the warnings start
    } cases[] = {
        {"10:16", "10:16:10", 1, true, "0:00:10 of the log from row 62 at 10:16:00"},
        {"later", "", 0, false, "Nothing can play: the start takes seconds"},
    };
    for (const auto &c : cases) {
        chooser->PartClock1->setCurrentIndex(c.clock);
        chooser->Start1->setText(c.start);
        chooser->End1->setText(c.end);
        emit chooser->End1->editingFinished();
        QCOMPARE(chooser->Play1->isEnabled(), c.plays);
        const QString shown = c.plays ? chooser->Span1->text() : chooser->Warnings1->toPlainText();
        QVERIFY2(shown.startsWith(c.shown), qPrintable(shown));
    }
}

QTEST_MAIN(DataLogWindowTest)
#include "test_data_log_window.moc"
