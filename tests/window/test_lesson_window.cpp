// The window's lesson panel, by QTest: a lesson from the Lessons menu worked
// through Hint, Show me, Skip, the student's own keys and Leave; the panel at
// the zooms, where the focus goes after a lesson starts and after each of
// its buttons, keys that reach the instrument wherever a click left the
// focus, and the strip and timeline that stay put when a note comes.
#include "core/keys.h"
#include "host/shell/power_loop.h"
#include "host/shell/program_state.h"
#include "tests/window/pass_driver.h"
#include "window/TfrmMain.h"
#include "window/instrument_panel.h"
#include "window/lesson_panel.h"
#include "window/menus.h"
#include "window/playback_strip.h"
#include "window/timeline_view.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <functional>

namespace {

// `widget`'s box in `area`'s coordinates.
QRect boxIn(const QWidget *widget, const QWidget *area) {
    return QRect(widget->mapTo(area, QPoint()), widget->size());
}

// Whether all of `label` shows inside the scroll area's viewport, without scrolling.
bool wholeInView(const QLabel *label, const QScrollArea *box) {
    const QRect shown = boxIn(label, box->viewport());
    return box->viewport()->rect().contains(shown) &&
           shown.height() >= label->heightForWidth(label->width());
}

} // namespace

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
    void lessonPanelShowsTheTaskAndTheSummaryAtEveryZoom_data();
    void lessonPanelShowsTheTaskAndTheSummaryAtEveryZoom();
    void focusStaysWithTheKeysThroughALesson();
    void keysReachTheKnobWhereverAClickLeftTheFocus();
    void stripAndTimelineStayPutWhenANoteComesAndGoes();

  private:
    void startLesson() { frm->Menus->Lessons1->actions().first()->trigger(); }
    // The recording's lines added by `input`.
    QString recorded(const std::function<void()> &input);
    // Alt and a letter, as a keyboard presses a panel button.
    void alt(Qt::Key key) {
        QTest::keyClick(frm->focusWidget(), key, Qt::AltModifier);
        listen();
    }
    // How often `text` was said through the panel's description.
    int timesSaid(const QString &text) const {
        return (int)std::count_if(said.begin(), said.end(),
                                  [&](const QString &s) { return s.contains(text); });
    }

    TfrmMain *frm = nullptr;
    LessonPanel *panel = nullptr;
    // Each text said through the panel's description, looked at between
    // passes; `missed` counts the sayings overwritten between two looks.
    QStringList said;
    int missed = 0, heard = 0;
    void listen() {
        if (panel->announcements == heard) return;
        missed += panel->announcements - heard - 1;
        heard = panel->announcements;
        said << panel->accessibleDescription();
    }
};

void LessonWindowTest::init() {
    reset_program_state();
    frm = new TfrmMain;
    panel = frm->Lesson1;
    said.clear();
    missed = heard = 0;
    frm->show();
    QVERIFY(QTest::qWaitForWindowExposed(frm));
    // Alt shortcuts reach only the active window.
    frm->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frm));
}

void LessonWindowTest::cleanup() {
    power_off_request = 1;
    frm->setZoom(1);
    delete frm;
    frm = nullptr;
}

QString LessonWindowTest::recorded(const std::function<void()> &input) {
    const std::string before = frm->simulation().recording();
    input();
    return QString::fromStdString(frm->simulation().recording().substr(before.size()));
}

void LessonWindowTest::lessonPanelShowsTheTaskAndTheSummaryAtEveryZoom_data() {
    QTest::addColumn<int>("zoom");
    for (int zoom = 1; zoom <= 4; zoom++)
        QTest::newRow(qPrintable(QString("x%1").arg(zoom))) << zoom;
}

// The task stays at the top in view with the hint and the well-done text
// after it, every text at the zoom's size, and the summary shows whole.
void LessonWindowTest::lessonPanelShowsTheTaskAndTheSummaryAtEveryZoom() {
    QFETCH(int, zoom);
    frm->setZoom(zoom);
    QScrollArea *box = panel->findChild<QScrollArea *>();
    const int pixels = frm->centralWidget()->font().pixelSize();
    QCOMPARE(pixels, 11 * zoom);
    const auto taskInView = [&] {
        QVERIFY(panel->rect().contains(boxIn(panel->TaskLabel, panel)));
        QVERIFY(wholeInView(panel->TaskLabel, box));
        QCOMPARE(box->verticalScrollBar()->value(), 0);
    };
    PassDriver d(frm);
    const bool done =
        d.run([&] { startLesson(); },
              {
                  [&] { return panel->StepLabel->text() == "Step 1 of 4"; },
                  PassDriver::action(taskInView),
                  PassDriver::action([&] { alt(Qt::Key_I); }),
                  [&] { return panel->HintLabel->isVisible(); },
                  PassDriver::action(taskInView),
                  PassDriver::action([&] { alt(Qt::Key_M); }),
                  [&] { return panel->StepLabel->text() == "Step 2 of 4"; },
                  [&] { return panel->WellLabel->isVisible(); },
                  PassDriver::action([&] {
                      taskInView();
                      QVERIFY(boxIn(panel->WellLabel, panel).top() >
                              boxIn(panel->TaskLabel, panel).bottom());
                      for (QLabel *text : {panel->TaskLabel, panel->WellLabel, panel->TitleLabel,
                                           panel->StepLabel})
                          QCOMPARE(QFontInfo(text->font()).pixelSize(), pixels);
                      alt(Qt::Key_L);
                  }),
                  [&] { return panel->StepLabel->text() == "Lesson left"; },
                  PassDriver::action([&] {
                      QVERIFY(panel->TaskLabel->text().contains("steps done"));
                      QVERIFY(wholeInView(panel->TaskLabel, box));
                      const QString dir = qEnvironmentVariable("OMNIRA_GRAB_DIR");
                      if (!dir.isEmpty())
                          frm->grab().save(dir + QString("/summary_x%1.png").arg(zoom));
                  }),
              });
    QVERIFY(done);
}

// After Start the keys are the instrument's: Return pushes the knob. A
// panel button pressed by its Alt key leaves the focus in the panel, on a
// button that can still be pressed; Leave and Close give it to the LCD.
// The task, the hint and the well-done text are each said once.
void LessonWindowTest::focusStaysWithTheKeysThroughALesson() {
    QWidget *lcd = frm->Controls->Panel1;
    const auto inPanel = [&] {
        QWidget *focus = frm->focusWidget();
        return focus && panel->isAncestorOf(focus) && focus->isEnabled();
    };
    QString task, hint, well;
    PassDriver d(frm);
    const bool done =
        d.run([&] { startLesson(); },
              {
                  [&] { return panel->StepLabel->text() == "Step 1 of 4"; },
                  PassDriver::action([&] {
                      QCOMPARE(frm->focusWidget(), lcd);
                      task = panel->TaskLabel->text();
                      QCOMPARE(recorded([&] { QTest::keyClick(lcd, Qt::Key_Return); }),
                               QString("key PUSH\n"));
                      alt(Qt::Key_I);
                      hint = panel->HintLabel->text();
                      QVERIFY(!hint.isEmpty());
                      QCOMPARE(frm->focusWidget(), panel->ShowMe1);
                      QVERIFY(!panel->Hint1->isEnabled());
                      alt(Qt::Key_M);
                      QVERIFY(inPanel());
                  }),
                  [&] { return panel->StepLabel->text() == "Step 2 of 4"; },
                  PassDriver::action([&] {
                      well = panel->WellLabel->text();
                      QVERIFY(!well.isEmpty());
                      QVERIFY(inPanel());
                      alt(Qt::Key_K);
                      QCOMPARE(frm->focusWidget(), panel->Skip1);
                  }),
                  [&] { return panel->StepLabel->text() == "Step 3 of 4"; },
                  PassDriver::action([&] {
                      QVERIFY(inPanel());
                      alt(Qt::Key_L);
                      QCOMPARE(panel->StepLabel->text(), QString("Lesson left"));
                      QCOMPARE(frm->focusWidget(), lcd);
                  }),
                  PassDriver::action([&] {
                      alt(Qt::Key_L);
                      QVERIFY(!panel->isVisible());
                      QCOMPARE(frm->focusWidget(), lcd);
                  }),
              },
              [&] { listen(); });
    QVERIFY(done);
    QCOMPARE(missed, 0);
    for (const QString &text : {task, hint, well, QString("steps done on your own")})
        QVERIFY2(timesSaid(text) == 1,
                 qPrintable(text + " said " + QString::number(timesSaid(text))));
}

// A click on the bezel's + leaves Return to the knob; a click on a slider
// leaves + and - to the knob; F1 and F2 act in a figure entry, where the
// digits still type.
void LessonWindowTest::keysReachTheKnobWhereverAClickLeftTheFocus() {
    InstrumentPanel &c = *frm->Controls;
    QCOMPARE(recorded([&] { QTest::mouseClick(c.Button3, Qt::LeftButton); }),
             QString("key PLUS\n"));
    QCOMPARE(frm->focusWidget(), c.Button3);
    QCOMPARE(recorded([&] { QTest::keyClick(c.Button3, Qt::Key_Return); }), QString("key PUSH\n"));
    QCOMPARE(recorded([&] { QTest::keyClick(c.Button3, Qt::Key_Space); }), QString("key PUSH\n"));

    QTest::mouseClick(c.ScrollBar30, Qt::LeftButton, {},
                      QPoint(c.ScrollBar30->width() / 2, c.ScrollBar30->height() / 2));
    QCOMPARE(frm->focusWidget(), c.ScrollBar30);
    const int map = c.ScrollBar30->value();
    QCOMPARE(recorded([&] { QTest::keyClick(c.ScrollBar30, Qt::Key_Plus, Qt::ShiftModifier); }),
             QString("key PLUS\n"));
    QCOMPARE(recorded([&] { QTest::keyClick(c.ScrollBar30, Qt::Key_Minus); }),
             QString("key MINUS\n"));
    QCOMPARE(c.ScrollBar30->value(), map);
    // Reached by Tab, + is the slider's step.
    c.ScrollBar30->clearFocus();
    c.ScrollBar30->setFocus(Qt::TabFocusReason);
    QCOMPARE(recorded([&] { QTest::keyClick(c.ScrollBar30, Qt::Key_Plus, Qt::ShiftModifier); }),
             QString("map %1\n").arg(map + 1));

    QLineEdit *entry = c.RpmFigure.Entry;
    QTest::mouseClick(entry, Qt::LeftButton);
    QCOMPARE(frm->focusWidget(), entry);
    QCOMPARE(recorded([&] { QTest::keyClick(entry, Qt::Key_F1); }), QString("key F1\n"));
    QCOMPARE(recorded([&] { QTest::keyClick(entry, Qt::Key_F2); }), QString("key F2\n"));
    QCOMPARE(recorded([&] { QTest::keyClicks(entry, "2400+o"); }), QString());
    QCOMPARE(entry->text(), QString("2400+o"));
}

// While a scenario plays at zoom 1, the LCD, the transport, the timeline and
// the note fit a 1280 x 800 screen together; a note that comes with a seek,
// or goes with one, moves none of them.
void LessonWindowTest::stripAndTimelineStayPutWhenANoteComesAndGoes() {
    PlaybackStrip &strip = *frm->Playback;
    InstrumentPanel &c = *frm->Controls;
    frm->Timer1->stop();
    qint64 now = 0;
    frm->setClock([&] { return now; });
    frm->simulation().play_script(
        "on\nhold 5\nnote A note long enough to wrap over more than one line in the box beside "
        "the bezel, and on to a third line of text there.\nhold 5\n",
        "Notes", "", "");
    frm->sessionChanged();
    QTRY_VERIFY(frm->simulation().playing());
    QWidget *parts[] = {c.Panel1,       strip.PlayPause1, strip.Step1,
                        strip.Restart1, strip.Speed1,     strip.Timeline1,
                        c.NoteBox,      c.NoteList,       c.StatusBar1};
    QList<QRect> before;
    for (QWidget *part : parts) {
        QVERIFY(frm->rect().contains(QRect(part->mapTo(frm, QPoint()), part->size())));
        before << part->geometry();
    }
    QVERIFY(frm->frameGeometry().width() <= 1280 && frm->frameGeometry().height() <= 800);
    for (long long tick : {80LL, 10LL, 90LL}) {
        strip.Timeline1Seek(tick);
        QApplication::processEvents();
        QCOMPARE(c.NoteLabel->text().startsWith("A note"), tick > 50);
        for (size_t i = 0; i < sizeof parts / sizeof *parts; i++)
            QCOMPARE(parts[i]->geometry(), before[(int)i]);
    }
    frm->simulation().take_over();
    frm->simulation().power_off();
}

void LessonWindowTest::lessonsMenuFollowsTheCourse() {
    const QList<QAction *> lessons = frm->Menus->Lessons1->actions();
    QVERIFY(lessons.size() >= 6);
    QCOMPARE(lessons.first()->text(), QString("Reading the run screen"));
    QCOMPARE(lessons.last()->text(), QString("Setting and entering a security code"));
    QVERIFY(!frm->Lesson1->isVisible());
}

void LessonWindowTest::lessonThroughHintShowMeSkipAndLeave() {
    // The lesson's time goes by the passes: a hint never comes due by
    // itself, however slow the machine.
    PassDriver driver(frm);
    QCOMPARE(panel->Hint1->accessibleName(), QString("Hint"));
    QCOMPARE(panel->ShowMe1->accessibleName(), QString("Show me"));
    auto on_step = [this](int n) {
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
        driver.tick();
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
