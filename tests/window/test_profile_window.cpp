// The Instrument menu (preset profiles, Load and Save Profile..., Factory
// Settings; the profile kept for the next run) and the data log's chooser
// (every warning listed before playing, the part, the profile it plays under).
#include "host/shell/program_state.h"
#include "window/TfrmMain.h"
#include "window/data_log_dialog.h"
#include "window/menus.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
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

class ProfileWindowTest : public QObject {
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
    void aPresetChangesWhatTheLcdShows();
    void aSavedProfileLoadsBack();
    void aBadProfileIsRefusedByItsLine();
    void theProfileIsKeptForTheNextRun();
    void theChooserListsEveryWarningBeforePlaying();
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
    // The LCD's text ten seconds after power-on, the timebase driven by its
    // tick between the loop's passes.
    void powerOn(std::string &text) {
        now = 0;
        frm->setClock([this] { return now; });
        text.clear();
        QTimer poll;
        poll.setInterval(0);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!frm->powerLoopRunning() || !text.empty()) return;
            now += session::TICK_MS;
            frm->Timer1Timer();
            if (now < 10000) return;
            text = frm->simulation().description().text;
            frm->Button2Click();
            poll.stop();
        });
        poll.start();
        frm->Button1Click();
        QTRY_VERIFY_WITH_TIMEOUT(!text.empty() && !frm->powerLoopRunning(), 60000);
    }
    QMessageBox *shownMessage() const {
        for (QMessageBox *box : frm->findChildren<QMessageBox *>())
            if (box->isVisible()) return box;
        return nullptr;
    }

    TfrmMain *frm = nullptr;
    qint64 now = 0; // the window's clock while the instrument is on
};

void ProfileWindowTest::aPresetChangesWhatTheLcdShows() {
    std::string factory, preset, again;
    powerOn(factory);
    QVERIFY(item(NORMALLY_ASPIRATED));
    QVERIFY(item("&Load Profile..."));
    item(NORMALLY_ASPIRATED)->trigger();
    QVERIFY(frm->simulation().has_profile());
    QVERIFY(frm->windowTitle().endsWith(QStringLiteral("Profile: ") + NORMALLY_ASPIRATED));
    powerOn(preset);
    // The preset's oil label and F, where the factory settings show TEMP in C.
    QVERIFY2(factory.find("TEMP: -273 C.") != std::string::npos, factory.c_str());
    QVERIFY2(preset.find("OIL: -459 F.") != std::string::npos, preset.c_str());
    item("&Factory Settings")->trigger();
    QCOMPARE(frm->windowTitle(), QStringLiteral("Qirel QX-40 Simulator"));
    powerOn(again);
    QCOMPARE(again, factory);
}

void ProfileWindowTest::aSavedProfileLoadsBack() {
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

void ProfileWindowTest::aBadProfileIsRefusedByItsLine() {
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
void ProfileWindowTest::theProfileIsKeptForTheNextRun() {
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

void ProfileWindowTest::theChooserListsEveryWarningBeforePlaying() {
    const QString path = files.filePath("bad.csv");
    QByteArray log = "Time,RPM,Oil\n0,2400,80\n1,\"2410,80\n2,x,81\n";
    for (int row = 3; row < 60; row++) log += QByteArray::number(row) + ",,\n";
    writeFile(path, log + "60,24");
    QVERIFY(frm->openDataLogFile(path));
    TfrmDataLog *chooser = frm->ColumnDialog1;
    QTRY_VERIFY(chooser->isVisible());
    QVERIFY(!frm->simulation().playing());
    const std::vector<std::string> &warnings = frm->simulation().log_warnings();
    QVERIFY(warnings.size() >= 4);
    const QString listed = chooser->Warnings1->toPlainText();
    for (const std::string &warning : warnings)
        QVERIFY2(listed.contains(QString::fromStdString(warning)), warning.c_str());
    QVERIFY(listed.contains("no MAP column found"));
    QVERIFY(listed.contains("the last row is cut short"));
    chooser->accept();
    QTRY_VERIFY(frm->simulation().playing());
    QVERIFY(!shownMessage());
}

void ProfileWindowTest::theChooserTakesAPartAndAProfile() {
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
        {"0:30", "", 0, true, "0:01:29 of the log from row 32 at 10:15:30"},
        {"10:16", "10:16:10", 1, true, "0:00:10 of the log from row 62 at 10:16:00"},
        {"later", "", 0, false, "Nothing can play: the start takes seconds"},
        {"90", "30", 0, false, "Nothing can play: the end does not come after the start"},
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

QTEST_MAIN(ProfileWindowTest)
#include "test_profile_window.moc"
