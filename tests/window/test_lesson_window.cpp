// The window's lesson panel: a lesson from the Lessons menu worked through
// Hint, Show me, Skip, the student's own keys and Leave, by QTest.
#include "core/keys.h"
#include "host/shell/power_loop.h"
#include "host/shell/program_state.h"
#include "tests/window/pass_driver.h"
#include "window/TfrmMain.h"
#include "window/instrument_panel.h"
#include "window/lesson_panel.h"
#include "window/menus.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

class LessonWindowTest : public QObject {
    Q_OBJECT
    // What the window remembers goes to a folder of the test's own.
    QTemporaryDir settingsDir;

  private slots:
    void initTestCase() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    }
    void init();
    void cleanup();
    void lessonsMenuFollowsTheCourse();
    void lessonThroughHintShowMeSkipAndLeave();

  private:
    TfrmMain *frm = nullptr;
    std::unique_ptr<PassDriver> driver;
};

void LessonWindowTest::init() {
    reset_program_state();
    frm = new TfrmMain;
    frm->show();
    QVERIFY(QTest::qWaitForWindowExposed(frm));
    // The lesson's time goes by the passes: a hint never comes due by
    // itself, however slow the machine.
    driver.reset(new PassDriver(frm));
}

void LessonWindowTest::cleanup() {
    power_off_request = 1;
    delete frm;
    frm = nullptr;
    driver.reset();
}

void LessonWindowTest::lessonsMenuFollowsTheCourse() {
    const QList<QAction *> lessons = frm->Menus->Lessons1->actions();
    QVERIFY(lessons.size() >= 6);
    QCOMPARE(lessons.first()->text(), QString("Reading the run screen"));
    QCOMPARE(lessons.last()->text(), QString("Setting and entering a security code"));
    QVERIFY(!frm->Lesson1->isVisible());
}

void LessonWindowTest::lessonThroughHintShowMeSkipAndLeave() {
    LessonPanel *panel = frm->Lesson1;
    QCOMPARE(panel->Hint1->accessibleName(), QString("Hint"));
    QCOMPARE(panel->ShowMe1->accessibleName(), QString("Show me"));
    auto on_step = [panel](int n) {
        return panel->StepLabel->text() == QString("Step %1 of 4").arg(n);
    };
    auto click = [](QPushButton *button) {
        return [button] {
            QTest::mouseClick(button, Qt::LeftButton);
            return true;
        };
    };
    int minus_clicks = 0;
    // Show me said what it played and lit the + it pressed on the bezel.
    bool saw_shown_key = false;
    const QList<Step> steps = {
        [&] { return panel->isVisible() && on_step(1); },
        // The student's next action is on the instrument.
        [&] { return frm->focusWidget() == frm->Controls->Panel1; },
        click(panel->Hint1),
        [&] { return panel->HintLabel->text().startsWith("The knob turns"); },
        click(panel->ShowMe1),
        [&] { return on_step(2) && panel->WellLabel->text().startsWith("TIMERS:"); },
        click(panel->Skip1),
        [&] { return on_step(3); },
        // The student's own keys, each taken by a pass before the next.
        [&] {
            if (pending_key == 0 && minus_clicks < 2) {
                QTest::mouseClick(frm->Controls->Button4, Qt::LeftButton);
                minus_clicks++;
            }
            return on_step(4);
        },
        click(panel->Leave1),
        [&] {
            return panel->StepLabel->text() == "Lesson left" &&
                   panel->TaskLabel->text().startsWith(
                       "1 of 4 steps done on your own, 0 with a hint, 1 shown, 1 skipped");
        },
        click(panel->Leave1),
        [&] {
            power_off_request = 1;
            return true;
        },
    };
    int next = 0;
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        driver->tick();
        if (panel->StepLabel->text().contains("Showing: ") &&
            frm->Controls->ShownKey1->isVisible() &&
            frm->Controls->ShownKey1->geometry().contains(frm->Controls->Button3->geometry()))
            saw_shown_key = true;
        if (next < steps.size() && steps[next]()) next++;
    });
    poll.start();
    frm->Menus->Lessons1->actions().first()->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(next, (int)steps.size(), 30000);
    QVERIFY(!panel->isVisible());
    QVERIFY(saw_shown_key);
    // The lesson's inputs and the student's are in the session.
    const std::string session = frm->simulation().recording();
    QVERIFY(session.find("key PLUS") != std::string::npos);
    QVERIFY(session.find("key MINUS") != std::string::npos);
}

QTEST_MAIN(LessonWindowTest)
#include "test_lesson_window.moc"
