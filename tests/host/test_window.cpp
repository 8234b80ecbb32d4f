// The simulator window driven through its real widgets: keys, sliders, the
// power loop behind "&On" and "&Off", the lamp, and the LCD as it appears on
// the screen.
#include "core/alarms.h"
#include "core/keys.h"
#include "core/sensors.h"
#include "core/settings.h"
#include "core/timebase.h"
#include "display/frame_buffer.h"
#include "host/TfrmMain.h"
#include "host/lcd_palette.h"
#include "host/lcd_presentation.h"
#include "host/panel_widgets.h"
#include "host/power_loop.h"
#include "screens/run_screen.h"
#include "screens/screen.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QOpenGLContext>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <stdio.h>

namespace {

int passes_seen;

// The run screen, counting the passes.
void counting_screen(void) {
    passes_seen++;
    run_screen();
}

// A known frame: every index 0..255 appears, both corners are white.
uint8_t pattern_index(int x, int y) {
    if ((x == 0 && y == 0) || (x == 159 && y == 119)) return COLOUR_WHITE;
    return (uint8_t)(x * 3 + y * 7);
}

void pattern_screen(void) {
    passes_seen++;
    for (int y = 0; y < LCD_HEIGHT; y++)
        for (int x = 0; x < LCD_WIDTH; x++) frame_buffer[y * LCD_WIDTH + x] = pattern_index(x, y);
}

QColor rgb(uint32_t colour) {
    return QColor(colour >> 16, (colour >> 8) & 0xFF, colour & 0xFF);
}

// One step inside the power loop: polled between two passes until it
// returns true.
typedef std::function<bool()> Step;

} // namespace

class WindowTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void displayHasADoubleBufferedFixedFunctionContext();
    void keyClicksDropWhileTheSlotIsFull_data();
    void keyClicksDropWhileTheSlotIsFull();
    void slidersShowRawPositionsAndFillTheLatches();
    void onRunsTheLoopUntilOff();
    void onWhileOnResetsAndDoesNotNest();
    void closingEndsTheLoop_data();
    void closingEndsTheLoop();
    void lampFollowsTheAlarms();
    void panelShowsTheFrameBufferPixelForPixel();

  private:
    bool runWhileOn(const QList<Step> &steps);
    QImage grabPanel();

    TfrmMain *frm = nullptr;
};

void WindowTest::init() {
    reset_program_state();
    passes_seen = 0;
    frm = new TfrmMain;
    frm->show();
    QVERIFY(QTest::qWaitForWindowExposed(frm));
    QVERIFY(frm->renderingContext() != nullptr);
}

void WindowTest::cleanup() {
    delete frm;
    frm = nullptr;
}

// Clicks "&On" and runs the steps one after another between passes; the
// last step is expected to end the loop. Returns false when the loop had to
// be stopped because the steps did not get through in time.
bool WindowTest::runWhileOn(const QList<Step> &steps) {
    int next = 0;
    bool timedOut = false;
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (next < steps.size() && steps[next]()) next++;
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        timedOut = true;
        power_off_request = 1;
    });
    poll.start();
    guard.start(5000);
    QTest::mouseClick(frm->Button1, Qt::LeftButton);
    return !timedOut && next == steps.size();
}

// What the screen shows of Panel1, in device pixels.
QImage WindowTest::grabPanel() {
    QWindow *surface = frm->lcdSurface();
    return surface->screen()
        ->grabWindow(surface->winId())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

Step after_passes(int n) {
    return [n] { return passes_seen >= n; };
}

Step action(std::function<void()> body) {
    return [body] {
        body();
        return true;
    };
}

void WindowTest::displayHasADoubleBufferedFixedFunctionContext() {
    const QSurfaceFormat format = frm->renderingContext()->format();
    QCOMPARE(format.swapBehavior(), QSurfaceFormat::DoubleBuffer);
    QVERIFY(format.redBufferSize() >= 8 && format.greenBufferSize() >= 8 &&
            format.blueBufferSize() >= 8);
    QVERIFY(format.depthBufferSize() >= 24);
    QVERIFY(format.version() >= qMakePair(2, 1));
    QVERIFY(format.profile() != QSurfaceFormat::CoreProfile);
    QCOMPARE(QOpenGLContext::currentContext(), frm->renderingContext());
}

void WindowTest::keyClicksDropWhileTheSlotIsFull_data() {
    QTest::addColumn<int>("control");
    QTest::addColumn<int>("code");
    QTest::newRow("Image2 is F1") << 0 << KEY_F1;
    QTest::newRow("Image3 is F2") << 1 << KEY_F2;
    QTest::newRow("Image8 pushes the knob") << 2 << KEY_PUSH;
    QTest::newRow("+ turns up") << 3 << KEY_PLUS;
    QTest::newRow("- turns down") << 4 << KEY_MINUS;
}

void WindowTest::keyClicksDropWhileTheSlotIsFull() {
    QFETCH(int, control);
    QFETCH(int, code);
    QWidget *controls[] = {frm->Image2, frm->Image3, frm->Image8, frm->Button3, frm->Button4};
    QTest::mouseClick(controls[control], Qt::LeftButton);
    QCOMPARE(pending_key, code);
    // A second click before a screen took the first is dropped.
    QTest::mouseClick(controls[(control + 1) % 5], Qt::LeftButton);
    QCOMPARE(pending_key, code);
}

void WindowTest::slidersShowRawPositionsAndFillTheLatches() {
    struct {
        QScrollBar *slider;
        QLabel *label;
        int first, last;
        std::function<int()> latch;
    } sliders[] = {
        {frm->ScrollBar30, frm->Label60, 1, 4096, [] { return (int)map_slider; }},
        {frm->ScrollBar29, frm->Label57, 1, 100000, [] { return (int)rpm_pulse_rate; }},
        {frm->ScrollBar1, frm->Label2, 0, 4096, [] { return (int)temp_slider; }},
    };
    for (auto &s : sliders) {
        QCOMPARE(s.label->text(), QString("0"));
        // The keyboard reaches both ends of the range.
        s.slider->setFocus();
        QTest::keyClick(s.slider, Qt::Key_End);
        QCOMPARE(s.label->text(), QString::number(s.last));
        QCOMPARE(s.latch(), s.last);
        QVERIFY(s.label->width() >= s.label->sizeHint().width());
        QTest::keyClick(s.slider, Qt::Key_Home);
        QCOMPARE(s.label->text(), QString::number(s.first));
        QCOMPARE(s.latch(), s.first);
    }
    // The latches reach the instrument only with a pass.
    QCOMPARE(map_adc, 0);
}

void WindowTest::onRunsTheLoopUntilOff() {
    // The timer ticks from the start, with the instrument off.
    uint8_t tick = fast_tick;
    QTRY_VERIFY_WITH_TIMEOUT(fast_tick != tick, 1000);
    frm->ScrollBar1->setValue(2757);
    frm->CheckBox1->setChecked(true);
    int exioWhileChecked = -1;
    bool done = runWhileOn({
        action([&] {
            current_screen = counting_screen;
            tick = fast_tick;
        }),
        after_passes(2),
        action([&] {
            exioWhileChecked = exio_present;
            frm->CheckBox1->setChecked(false);
            passes_seen = 0;
        }),
        after_passes(1),
        // ... and between the passes while on.
        [&] { return fast_tick != tick; },
        action([&] { QTest::mouseClick(frm->Button2, Qt::LeftButton); }),
    });
    QVERIFY(done);
    QCOMPARE(power_off_request, 1);
    QCOMPARE(exioWhileChecked, 1);
    QCOMPARE(exio_present, 0);
    // The power-on ran the RPM and MAP handlers but not the TEMP one, whose
    // latch still reached the instrument.
    QCOMPARE(frm->Label57->text(), QString("1"));
    QCOMPARE(frm->Label60->text(), QString("1"));
    QCOMPARE(rpm_pulse_rate, 1);
    QCOMPARE(map_adc, 1);
    QCOMPARE(temp_adc, 2757);

    // Off: no more passes.
    int stopped = passes_seen;
    QCoreApplication::processEvents();
    QCOMPARE(passes_seen, stopped);
}

void WindowTest::onWhileOnResetsAndDoesNotNest() {
    bool nestedReturnedWhileOn = false;
    bool reset = false;
    bool done = runWhileOn({
        action([] { current_screen = counting_screen; }),
        after_passes(2),
        action([&] {
            settings.map_unit = 0;
            pending_key = KEY_F2;
            alarm_active = ALARM_MAP;
            QTest::mouseClick(frm->Button1, Qt::LeftButton);
            nestedReturnedWhileOn = power_off_request == 0;
            reset = current_screen == run_screen && settings.map_unit == 1 && alarm_active == 0 &&
                    pending_key == 0;
            // Count the passes again on the screen the power-on restored.
            current_screen = counting_screen;
            passes_seen = 0;
        }),
        after_passes(2),
        action([&] { QTest::mouseClick(frm->Button2, Qt::LeftButton); }),
    });
    QVERIFY2(nestedReturnedWhileOn, "a second On started a loop of its own");
    QVERIFY2(reset, "a second On did not run the power-on sequence");
    QVERIFY2(done, "one Off did not end the loop");
}

void WindowTest::closingEndsTheLoop_data() {
    QTest::addColumn<bool>("viaMenu");
    QTest::newRow("close box") << false;
    QTest::newRow("File, Exit") << true;
}

void WindowTest::closingEndsTheLoop() {
    QFETCH(bool, viaMenu);
    bool done = runWhileOn({
        action([] { current_screen = counting_screen; }),
        after_passes(2),
        action([&] {
            if (viaMenu)
                frm->Exit1->trigger();
            else
                frm->close();
        }),
    });
    QVERIFY(done);
    QCOMPARE(power_off_request, 1);
    int stopped = passes_seen;
    QCoreApplication::processEvents();
    QCOMPARE(passes_seen, stopped);
    // The window and its context outlive the loop and go away cleanly.
    QVERIFY(frm->renderingContext() != nullptr);
    delete frm;
    frm = nullptr;
}

void WindowTest::lampFollowsTheAlarms() {
    auto lampColour = [this] { return frm->Shape1->grab().toImage().pixelColor(16, 16); };
    QCOMPARE(lampColour(), QColor(255, 0, 0));

    frm->ScrollBar30->setValue(1514);
    frm->ScrollBar1->setValue(2500);
    bool done = runWhileOn({
        [&] { return lampColour() == QColor(LAMP_DARK, 0, 0); },
        action([&] { frm->ScrollBar30->setValue(3000); }),
        [&] { return alarm_active != 0; },
        // The lamp follows on the pass after the alarm was raised.
        [&] { return lampColour() == QColor(LAMP_BRIGHT, 0, 0); },
        action([&] { QTest::mouseClick(frm->Button2, Qt::LeftButton); }),
    });
    QVERIFY(done);
    QCOMPARE(alarm_active, (uint32_t)ALARM_MAP);
    // Off: the lamp keeps its last colour.
    QCoreApplication::processEvents();
    QCOMPARE(lampColour(), QColor(LAMP_BRIGHT, 0, 0));
}

void WindowTest::panelShowsTheFrameBufferPixelForPixel() {
    bool done = runWhileOn({
        action([] { current_screen = pattern_screen; }),
        after_passes(3),
        action([&] { QTest::mouseClick(frm->Button2, Qt::LeftButton); }),
    });
    QVERIFY(done);

    const QImage shown = grabPanel();
    const int d = qRound(frm->lcdSurface()->devicePixelRatio());
    QCOMPARE(shown.size(), QSize(LCD_PANEL_WIDTH * d, LCD_PANEL_HEIGHT * d));
    // Row y of the frame is panel row y + 1, column x is panel column x; the
    // top row and the right column stay black. Each LCD pixel fills its
    // d x d square.
    auto expected = [](int px, int py) -> QColor {
        if (py == 0 || px == LCD_WIDTH) return Qt::black;
        return rgb(palette_colour(pattern_index(px, py - 1)));
    };
    for (int py = 0; py < LCD_PANEL_HEIGHT; py++) {
        for (int px = 0; px < LCD_PANEL_WIDTH; px++) {
            const QColor want = expected(px, py);
            for (int i = 0; i < d * d; i++) {
                const QColor got = shown.pixelColor(px * d + i % d, py * d + i / d);
                if (got != want)
                    QFAIL(qPrintable(QString("panel (%1, %2) shows %3, expected %4")
                                         .arg(px)
                                         .arg(py)
                                         .arg(got.name(), want.name())));
            }
        }
    }
    QCOMPARE(shown.pixelColor(0, d), QColor(Qt::white));
    QCOMPARE(shown.pixelColor(159 * d, 120 * d), QColor(Qt::white));

    // A repaint draws into the back buffer only: the screen keeps the image.
    clear_frame_buffer();
    frm->repaint();
    QCOMPARE(grabPanel(), shown);
}

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        fputs("window_tests: no X display; run them under xvfb-run (make test)\n", stderr);
        return 1;
    }
    QApplication app(argc, argv);
    WindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_window.moc"
