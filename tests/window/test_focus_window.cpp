// The window as a keyboard and a screen reader use it: the lesson panel at
// the zooms, where the focus goes after a lesson starts and after each of
// its buttons, keys that reach the instrument wherever a click left the
// focus, the strip and timeline that stay put when a note comes, and what
// is said through the LCD's description.
#include "core/settings.h"
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
#include <QtTest>

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

class FocusWindowTest : public QObject {
    Q_OBJECT
    // What the window remembers goes to a folder of the test's own.
    QTemporaryDir settingsDir;

  private slots:
    void initTestCase() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    }
    void init();
    void cleanup();
    void lessonPanelShowsTheTaskAndTheSummaryAtEveryZoom_data();
    void lessonPanelShowsTheTaskAndTheSummaryAtEveryZoom();
    void focusStaysWithTheKeysThroughALesson();
    void keysReachTheKnobWhereverAClickLeftTheFocus();
    void stripAndTimelineStayPutWhenANoteComesAndGoes();
    void slidersFiguresAndTheDescriptionFollowTheScreen();

  private:
    void startLesson() { frm->Menus->Lessons1->actions().first()->trigger(); }
    // The recording's lines added by `input`.
    QString recorded(const std::function<void()> &input);
    // Alt and a letter, as a keyboard presses a panel button.
    void alt(Qt::Key key) {
        QTest::keyClick(frm->focusWidget(), key, Qt::AltModifier);
        listen();
    }
    // How often `text` was said through `widget`'s description.
    int timesSaid(const QWidget *widget, const QString &text) const {
        int times = 0;
        for (const auto &[by, description] : said)
            times += by == widget && description.contains(text);
        return times;
    }

    TfrmMain *frm = nullptr;
    LessonPanel *panel = nullptr;
    // Each text said through the LCD's or the panel's description, looked
    // at between passes; `missed` counts the sayings that came between two
    // looks, whose text was overwritten.
    QList<std::pair<const QWidget *, QString>> said;
    int missed = 0, heardLcd = 0, heardPanel = 0;
    void listen() {
        const std::pair<QWidget *, int *> sources[] = {{frm->Controls->Panel1, &heardLcd},
                                                       {panel, &heardPanel}};
        for (const auto &[widget, heard] : sources) {
            const int now = widget == panel ? panel->announcements : frm->Controls->announcements;
            if (now == *heard) continue;
            missed += now - *heard - 1;
            *heard = now;
            said << std::pair<const QWidget *, QString>(widget, widget->accessibleDescription());
        }
    }
};

void FocusWindowTest::init() {
    reset_program_state();
    frm = new TfrmMain;
    panel = frm->Lesson1;
    said.clear();
    missed = heardLcd = heardPanel = 0;
    frm->show();
    QVERIFY(QTest::qWaitForWindowExposed(frm));
    // Alt shortcuts reach only the active window.
    frm->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frm));
}

void FocusWindowTest::cleanup() {
    power_off_request = 1;
    frm->setZoom(1);
    delete frm;
    frm = nullptr;
}

QString FocusWindowTest::recorded(const std::function<void()> &input) {
    const std::string before = frm->simulation().recording();
    input();
    return QString::fromStdString(frm->simulation().recording().substr(before.size()));
}

void FocusWindowTest::lessonPanelShowsTheTaskAndTheSummaryAtEveryZoom_data() {
    QTest::addColumn<int>("zoom");
    for (int zoom = 1; zoom <= 4; zoom++)
        QTest::newRow(qPrintable(QString("x%1").arg(zoom))) << zoom;
}

// The task stays at the top in view with the hint and the well-done text
// after it, every text at the zoom's size, and the summary shows whole.
void FocusWindowTest::lessonPanelShowsTheTaskAndTheSummaryAtEveryZoom() {
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
void FocusWindowTest::focusStaysWithTheKeysThroughALesson() {
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
        QVERIFY2(timesSaid(panel, text) == 1,
                 qPrintable(text + " said " + QString::number(timesSaid(panel, text))));
}

// A click on the bezel's + leaves Return to the knob; a click on a slider
// leaves + and - to the knob; F1 and F2 act in a figure entry, where the
// digits still type.
void FocusWindowTest::keysReachTheKnobWhereverAClickLeftTheFocus() {
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
void FocusWindowTest::stripAndTimelineStayPutWhenANoteComesAndGoes() {
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

// In PERCENT mode the RPM figure beside its slider, and the slider's
// description, are in percent as the screen shows; the LCD's description is
// set within a second of the frame that shows the run screen, and said once
// for a key, not again for the engine's figures moving on by themselves.
void FocusWindowTest::slidersFiguresAndTheDescriptionFollowTheScreen() {
    InstrumentPanel &c = *frm->Controls;
    int shownAt = -1, describedAt = -1, ticks = 0, mark = 0;
    qsizetype before = 0;
    PassDriver d(frm);
    const bool done = d.run(
        [&] {
            for (auto [slider, figure] : {std::pair<slider_id, const char *>{SLIDER_MAP, "30.0"},
                                          {SLIDER_RPM, "2400"},
                                          {SLIDER_TEMP, "45"}})
                frm->simulation().enter_figure(slider, figure);
            QTest::mouseClick(c.Button1, Qt::LeftButton);
        },
        {
            [&] {
                if (shownAt < 0 && frm->simulation().description().screen == "Engine page")
                    shownAt = ticks;
                describedAt = ticks;
                return c.Panel1->accessibleDescription().startsWith("Engine page");
            },
            PassDriver::action([&] {
                settings.rpm_display_mode = 1;
                settings.rpm_100_percent = 2700;
                c.ScrollBar29->setFocus();
                QTest::keyClick(c.ScrollBar29, Qt::Key_PageUp);
            }),
            [&] { return c.RpmFigure.Figure->text() == "92 %"; },
            PassDriver::action([&] {
                QVERIFY(c.ScrollBar29->accessibleDescription().endsWith(" 92 %"));
                mark = ticks;
            }),
            [&] { return ticks > mark + 20; },
            PassDriver::action([&] {
                before = said.size();
                mark = ticks;
                QTest::mouseClick(c.Button3, Qt::LeftButton);
            }),
            // Ten seconds of the engine running on, its figures settling.
            [&] { return ticks > mark + 100; },
        },
        [&] {
            ticks = (int)(d.now / session::TICK_MS);
            listen();
        });
    QVERIFY(done);
    QVERIFY(shownAt >= 0);
    QVERIFY2(describedAt - shownAt <= 10, qPrintable(QString::number(describedAt - shownAt)));
    QCOMPARE(missed, 0);
    QStringList after;
    for (qsizetype i = before; i < said.size(); i++)
        if (said[i].first == c.Panel1) after << said[i].second;
    QVERIFY2(after.size() == 1 && after[0].startsWith("Timers page"),
             qPrintable(after.join(" | ")));
}

QTEST_MAIN(FocusWindowTest)
#include "test_focus_window.moc"
