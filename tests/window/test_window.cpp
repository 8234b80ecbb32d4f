// The simulator window driven through its real widgets: keys, sliders, the
// power loop behind "&On" and "&Off", the lamp, and the LCD as it appears on
// the screen.
#include "core/alarms.h"
#include "core/keys.h"
#include "core/sensors.h"
#include "core/settings.h"
#include "core/timebase.h"
#include "display/frame_buffer.h"
#include "host/shell/engine_timers.h"
#include "host/shell/lcd_palette.h"
#include "host/script/lcd_script.h"
#include "host/shell/power_loop.h"
#include "host/shell/screen_table.h"
#include "screens/run_screen.h"
#include "screens/screen.h"
#include "host/png/png_io.h"
#include "window/TfrmMain.h"
#include "window/lcd_presentation.h"
#include "window/panel_widgets.h"
#include "window/slider_figure.h"
#include "window/timeline_view.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QOpenGLContext>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>

#include <GL/gl.h>

#include <QSettings>
#include <QTemporaryDir>
#include <QWheelEvent>

#include <algorithm>
#include <fstream>
#include <functional>
#include <math.h>
#include <sstream>
#include <stdio.h>
#include <string.h>

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

// Every pixel lit, neighbours in different colours: white and red in a
// checkerboard, so a gap shows black and a blur shows a mixed colour.
uint8_t lit_index(int x, int y) {
    return (x + y) % 2 ? COLOUR_RED : COLOUR_WHITE;
}

void lit_screen(void) {
    passes_seen++;
    for (int y = 0; y < LCD_HEIGHT; y++)
        for (int x = 0; x < LCD_WIDTH; x++) frame_buffer[y * LCD_WIDTH + x] = lit_index(x, y);
}

// The panel column or row of a device pixel: at d device pixels per window
// pixel, nearest-neighbour scaling with block edges an eighth of a pixel in.
int panel_cell(int device, double d) {
    return d == 1.0 ? device : (int)floor((device + 0.375) / d);
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
    void panelKeepsTheShownImageWhileOff();
    void litFrameIsSolidBlocksAtAnyScale();
    void keyboardBindingsUseTheKeySlot_data();
    void keyboardBindingsUseTheKeySlot();
    void wheelOverTheBezelTurnsTheKnob();
    void tooltipsAndHelpNameTheBindings();
    void savedLcdImageIsTheFrameInPaletteColours();
    void recordedSessionReplaysToTheSameFrame();
    void engineTimersMenuIsOffAtStart();
    void powerAndExioKeys();
    void dialogsLeaveTheLoopRunning();
    void savedImageIsExpectedInAReplay();
    void largeWindowKeepsItsMenuBarOnTheScreen();
    void scenarioPlaysLcdshotsFrames();
    void badScenarioPlaysNothing();
    void userInputTakesOverFromAScenario();
    void bundledScenarioPlaysWithItsGoldens();
    void refusedScenarioLeavesEverythingAsItWas();
    void longScenarioIsCheckedWhileTheWindowRuns();
    void transportSeeksAndSpeedsToLcdshotsFrames();
    void notesWrapWholeBesideTheBezel();
    void quickNotesEachGetTheirTurnAndTheLastStays();
    void stoppingAScenarioOrARecordingSaysSo();
    void controlQQuits();
    void secondWindowOpensOffset();
    void typedFiguresAndPageKeysMoveTheSliders();
    void zoomAndWhatIsRememberedSurviveARestart();
    void lcdIsDescribedOnChangeNotPerFrame();

  private:
    bool runWhileOn(const QList<Step> &steps, std::function<void()> powerOn = nullptr);
    bool showScreen(screen_handler screen);
    QImage grabPanel();
    QString panelMismatch(const QImage &shown, std::function<uint8_t(int, int)> frame);

    TfrmMain *frm = nullptr;
};

void WindowTest::init() {
    // Each window starts with nothing remembered.
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "Omnira", "Omnira").clear();
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
bool WindowTest::runWhileOn(const QList<Step> &steps, std::function<void()> powerOn) {
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
    guard.start(20000); // a safety net only: the steps wait on passes, not on time
    if (powerOn)
        powerOn();
    else
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
        // The high alarm, not the low one of the filter's first passes.
        [&] { return alarm_active != 0 && map_value > settings.map_high_alarm; },
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

// Runs the power loop on `screen` for a few passes and turns the instrument off.
bool WindowTest::showScreen(screen_handler screen) {
    return runWhileOn({
        action([screen] { current_screen = screen; }),
        after_passes(3),
        action([&] { QTest::mouseClick(frm->Button2, Qt::LeftButton); }),
    });
}

// Where the grabbed panel differs from `frame` (x, y -> colour index) drawn at
// the surface's scale, or an empty string. Frame row y is panel row y + 1;
// the panel's top row and right column, and device pixels beyond the last
// LCD block, stay black.
QString WindowTest::panelMismatch(const QImage &shown, std::function<uint8_t(int, int)> frame) {
    const double d = frm->lcdSurface()->devicePixelRatio();
    for (int py = 0; py < shown.height(); py++) {
        for (int px = 0; px < shown.width(); px++) {
            const int x = panel_cell(px, d), y = panel_cell(py, d) - 1;
            const bool inside = x < LCD_WIDTH && y >= 0 && y < LCD_HEIGHT;
            const QColor want = inside ? rgb(palette_colour(frame(x, y))) : QColor(Qt::black);
            const QColor got = shown.pixelColor(px, py);
            if (got != want)
                return QString("device pixel (%1, %2) of LCD pixel (%3, %4) shows %5, expected %6")
                    .arg(px)
                    .arg(py)
                    .arg(x)
                    .arg(y)
                    .arg(got.name(), want.name());
        }
    }
    return QString();
}

void WindowTest::panelShowsTheFrameBufferPixelForPixel() {
    QVERIFY(showScreen(pattern_screen));
    const QImage shown = grabPanel();
    const qreal d = frm->lcdSurface()->devicePixelRatio();
    QCOMPARE(shown.size(), QSize(LCD_PANEL_WIDTH, LCD_PANEL_HEIGHT) * d);
    const QString mismatch = panelMismatch(shown, pattern_index);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    // The corners of the frame are the panel's first column and last LCD row.
    QCOMPARE(shown.pixelColor(0, (int)ceil(d)), QColor(Qt::white));
    QCOMPARE(shown.pixelColor((int)(159 * d + d / 2), (int)(120 * d + d / 2)), QColor(Qt::white));
}

// While off, the LCD keeps the image of the last swap: a repaint draws the
// frame buffer into the back buffer without swapping, and a covered and
// uncovered panel shows the image again.
void WindowTest::panelKeepsTheShownImageWhileOff() {
    QVERIFY(showScreen(pattern_screen));
    const QImage shown = grabPanel();
    QVERIFY(memcmp(shown_frame, frame_buffer, LCD_PIXELS) == 0);

    frm->repaint();
    QCoreApplication::processEvents();
    QCOMPARE(grabPanel(), shown);
    QVERIFY(memcmp(shown_frame, frame_buffer, LCD_PIXELS) == 0);

    QWidget cover;
    cover.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    cover.setAutoFillBackground(true);
    cover.setGeometry(QRect(frm->Panel1->mapToGlobal(QPoint(0, 0)), frm->Panel1->size()));
    cover.show();
    QVERIFY(QTest::qWaitForWindowExposed(&cover));
    QTRY_VERIFY(grabPanel() != shown);
    cover.hide();
    QTRY_COMPARE(grabPanel(), shown);

    // Whether the back buffer shows before a swap is the driver's business;
    // what a repaint drew into it is not.
    for (int i = 0; i < LCD_PIXELS; i++) frame_buffer[i] = lit_index(i % LCD_WIDTH, i / LCD_WIDTH);
    frm->repaint();
    const QSize size = shown.size();
    QImage back(size, QImage::Format_RGBA8888);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, size.width(), size.height(), GL_RGBA, GL_UNSIGNED_BYTE, back.bits());
    const QString mismatch =
        panelMismatch(back.mirrored().convertToFormat(QImage::Format_RGB32), lit_index);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    QVERIFY(memcmp(shown_frame, frame_buffer, LCD_PIXELS) != 0);
}

void WindowTest::litFrameIsSolidBlocksAtAnyScale() {
    QVERIFY(showScreen(lit_screen));
    const QImage shown = grabPanel();
    const QString mismatch = panelMismatch(shown, lit_index);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    // Blocks along the top LCD row: each floor or ceil of the factor wide.
    const double d = frm->lcdSurface()->devicePixelRatio();
    const int row = (int)(1.5 * d);
    int width = 1;
    for (int px = 1; px <= (int)(LCD_WIDTH * d) - 1; px++) {
        if (shown.pixelColor(px, row) == shown.pixelColor(px - 1, row)) {
            width++;
            continue;
        }
        QVERIFY2(width == (int)floor(d) || width == (int)ceil(d),
                 qPrintable(QString("a block %1 wide ends at %2").arg(width).arg(px)));
        width = 1;
    }
}

void WindowTest::keyboardBindingsUseTheKeySlot_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("code");
    QTest::newRow("F1") << (int)Qt::Key_F1 << 0 << KEY_F1;
    QTest::newRow("F2") << (int)Qt::Key_F2 << 0 << KEY_F2;
    QTest::newRow("Return") << (int)Qt::Key_Return << 0 << KEY_PUSH;
    QTest::newRow("Enter") << (int)Qt::Key_Enter << (int)Qt::KeypadModifier << KEY_PUSH;
    QTest::newRow("Space") << (int)Qt::Key_Space << 0 << KEY_PUSH;
    QTest::newRow("+") << (int)Qt::Key_Plus << (int)Qt::ShiftModifier << KEY_PLUS;
    QTest::newRow("keypad +") << (int)Qt::Key_Plus << (int)Qt::KeypadModifier << KEY_PLUS;
    QTest::newRow("Up") << (int)Qt::Key_Up << 0 << KEY_PLUS;
    QTest::newRow("-") << (int)Qt::Key_Minus << 0 << KEY_MINUS;
    QTest::newRow("keypad -") << (int)Qt::Key_Minus << (int)Qt::KeypadModifier << KEY_MINUS;
    QTest::newRow("Down") << (int)Qt::Key_Down << 0 << KEY_MINUS;
    QTest::newRow("Ctrl+Up is no binding") << (int)Qt::Key_Up << (int)Qt::ControlModifier << 0;
    QTest::newRow("A is no binding") << (int)Qt::Key_A << 0 << 0;
}

void WindowTest::keyboardBindingsUseTheKeySlot() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, code);
    const Qt::Key k = (Qt::Key)key;
    const Qt::KeyboardModifiers m = (Qt::KeyboardModifiers)modifiers;
    // Space and Return on a focused button push the knob, not the button.
    frm->Button1->setFocus();
    QTest::keyClick(frm->Button1, k, m);
    QCOMPARE(pending_key, code);
    QCOMPARE(power_off_request, 0);
    // A second key before a screen took the first is dropped.
    QTest::keyClick(frm->Button1, code == KEY_F1 ? Qt::Key_F2 : Qt::Key_F1);
    QCOMPARE(pending_key, code == 0 ? KEY_F1 : code);
    // A focused slider keeps the keys that turn the knob; the others still work.
    pending_key = 0;
    frm->ScrollBar30->setFocus();
    frm->ScrollBar30->setValue(100);
    QTest::keyClick(frm->ScrollBar30, k, m);
    const bool turn = code == KEY_PLUS || code == KEY_MINUS;
    QCOMPARE(pending_key, turn ? 0 : code);
    // + and - move it one step, as Up and Down do.
    if (k == Qt::Key_Plus || k == Qt::Key_Minus)
        QCOMPARE(frm->ScrollBar30->value(), code == KEY_PLUS ? 101 : 99);
}

void WindowTest::wheelOverTheBezelTurnsTheKnob() {
    auto turn = [this](QWidget *over, int delta) {
        const QPointF at(over->width() / 2, over->height() / 2);
        QWheelEvent wheel(at, over->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(over, &wheel);
        const uint8_t key = pending_key;
        pending_key = 0;
        return (int)key;
    };
    QCOMPARE(turn(frm->Image1, 120), KEY_PLUS);
    QCOMPARE(turn(frm->Image8, -120), KEY_MINUS);
    QCOMPARE(turn(frm->Panel1, 120), KEY_PLUS);
    // Half notches add up; the second half turns the knob.
    QCOMPARE(turn(frm->Image1, -60), 0);
    QCOMPARE(turn(frm->Image1, -60), KEY_MINUS);
    // Two notches at once: the second is dropped by the full slot.
    QCOMPARE(turn(frm->Image1, 240), KEY_PLUS);
    // A click of the wheel over the bezel pushes the knob.
    QTest::mouseClick(frm->Image1, Qt::MiddleButton);
    QCOMPARE(pending_key, KEY_PUSH);
    pending_key = 0;
    QTest::mouseClick(frm->ScrollBar30, Qt::MiddleButton);
    QCOMPARE(pending_key, 0);
    // Away from the bezel the wheel is the slider's.
    frm->ScrollBar30->setValue(100);
    QCOMPARE(turn(frm->ScrollBar30, 120), 0);
    QVERIFY(frm->ScrollBar30->value() != 100);
}

void WindowTest::tooltipsAndHelpNameTheBindings() {
    struct {
        QWidget *control;
        QStringList names;
    } tips[] = {
        {frm->Image2, {"F1"}},
        {frm->Image3, {"F2"}},
        {frm->Image8, {"Return", "Enter", "Space", "wheel", "+", "-", "Up", "Down"}},
        {frm->Button3, {"+", "Up", "wheel"}},
        {frm->Button4, {"-", "Down", "wheel"}},
        {frm->ScrollBar30, {"arrow keys", "1 to 4096"}},
        {frm->ScrollBar29, {"arrow keys", "1 to 100000"}},
        {frm->ScrollBar1, {"arrow keys", "0 to 4096"}},
        {frm->Button1, {"keyboard: I"}},
        {frm->Button2, {"keyboard: O"}},
        {frm->CheckBox1, {"keyboard: X"}},
    };
    for (auto &t : tips)
        for (const QString &name : t.names)
            QVERIFY2(t.control->toolTip().contains(name),
                     qPrintable(t.control->toolTip() + " lacks " + name));
    const QString help = TfrmMain::bindingsText();
    for (const char *name : {"F1", "F2", "Return", "Enter", "Space", "keypad", "Up", "Down",
                             "wheel", "Wheel click", "I: On", "O: Off", "X: check"})
        QVERIFY2(help.contains(name), name);
}

void WindowTest::savedLcdImageIsTheFrameInPaletteColours() {
    QVERIFY(showScreen(pattern_screen));
    clear_frame_buffer(); // the image is the one on the screen, not the next frame
    QTemporaryDir dir;
    const QString path = dir.filePath("lcd.png");
    QVERIFY(frm->saveLcdImage(path, 1.0));
    QImage saved(path);
    QCOMPARE(saved.size(), QSize(LCD_WIDTH, LCD_HEIGHT));
    for (int y = 0; y < LCD_HEIGHT; y++)
        for (int x = 0; x < LCD_WIDTH; x++)
            if (saved.pixelColor(x, y) != rgb(palette_colour(pattern_index(x, y))))
                QFAIL(qPrintable(QString("saved pixel (%1, %2) is %3")
                                     .arg(x)
                                     .arg(y)
                                     .arg(saved.pixelColor(x, y).name())));
    // At the window's scale each pixel is a nearest-neighbour block.
    const QImage big = frm->lcdImage(1.5);
    QCOMPARE(big.size(), QSize(240, 180));
    QCOMPARE(big.pixelColor(239, 179), QColor(Qt::white));
    QCOMPARE(big.pixelColor(1, 1), QColor(Qt::white));
    QVERIFY(!frm->saveLcdImage(dir.filePath("missing/lcd.png"), 1.0));
    frm->CopyLcdImage1->trigger();
    QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
             frm->lcdImage(1.0).convertToFormat(QImage::Format_RGB32));
}

// A session worked in the window, replayed by lcdshot from its recording,
// ends on the same frame and screen.
void WindowTest::recordedSessionReplaysToTheSameFrame() {
    QTemporaryDir dir;
    const QString path = dir.filePath("session.txt");
    frm->ScrollBar1->setValue(2674);
    frm->ScrollBar29->setValue(30000);
    QVERIFY(frm->startRecording(path));
    frm->RunEngineTimers1->trigger();
    bool done = runWhileOn({
        action([&] { frm->ScrollBar30->setValue(1518); }),
        action([&] { frm->Timer1Timer(); }),
        action([&] { QTest::keyClick(frm->Button1, Qt::Key_F2); }),
        action([&] { frm->CheckBox1->setChecked(true); }),
        action([&] {
            for (int i = 0; i < 12; i++) frm->Timer1Timer();
        }),
        action([&] { QTest::keyClick(frm->Button1, Qt::Key_Space); }),
        action([&] { frm->ScrollBar30->setValue(3000); }),
        action([&] { QTest::mouseClick(frm->Button4, Qt::LeftButton); }),
        action([&] { frm->ScrollBar29->setValue(50000); }),
        action([&] { QTest::mouseClick(frm->Button2, Qt::LeftButton); }),
    });
    QVERIFY(done);
    frm->stopRecording();
    const std::vector<uint8_t> frame(shown_frame, shown_frame + LCD_PIXELS);
    const std::string screen = screen_name(current_screen);
    const uint8_t lamp = lamp_red;

    std::ifstream script(path.toLocal8Bit().constData());
    png_frame_files files(dir.path().toStdString());
    lcd_script replay(files, 1, [](const std::string &) {});
    reset_program_state();
    QVERIFY2(replay.run(script), replay.error().c_str());
    QVERIFY(std::vector<uint8_t>(frame_buffer, frame_buffer + LCD_PIXELS) == frame);
    QCOMPARE(std::string(screen_name(current_screen)), screen);
    QCOMPARE(lamp_red, lamp);
    QCOMPARE(engine_timers_on, 1);
}

void WindowTest::engineTimersMenuIsOffAtStart() {
    QVERIFY(!frm->RunEngineTimers1->isChecked());
    QCOMPARE(engine_timers_on, 0);
    frm->RunEngineTimers1->trigger();
    QCOMPARE(engine_timers_on, 1);
    QVERIFY(frm->recorder().script().find("engine-timers on\n") != std::string::npos);
    frm->RunEngineTimers1->trigger();
    QCOMPARE(engine_timers_on, 0);
}

void WindowTest::powerAndExioKeys() {
    QTest::keyClick(frm, Qt::Key_X);
    QVERIFY(frm->CheckBox1->isChecked());
    // Alt+O, the mnemonic both captions share, presses neither button.
    QTest::keyClick(frm->Button1, Qt::Key_O, Qt::AltModifier);
    QCOMPARE(power_off_request, 0);
    bool done =
        runWhileOn({action([] { current_screen = counting_screen; }), after_passes(2), action([&] {
                        // I while on powers on afresh, and the loop goes on.
                        current_screen = counting_screen;
                        QTest::keyClick(frm->Button2, Qt::Key_I);
                        QVERIFY(current_screen == run_screen);
                        QCOMPARE(power_off_request, 0);
                        current_screen = counting_screen;
                    }),
                    after_passes(4), action([&] { QTest::keyClick(frm, Qt::Key_O); })},
                   [&] { QTest::keyClick(frm->ScrollBar30, Qt::Key_I); });
    QVERIFY(done);
    QCOMPARE(power_off_request, 1);
    QCOMPARE(exio_present, 1);
}

// Help, Save LCD Image... and Record Session... leave the passes running
// while they are open; the files are written when the user confirms.
void WindowTest::dialogsLeaveTheLoopRunning() {
    QTemporaryDir dir;
    int mark = 0;
    auto opened = [&](QAction *menu, std::function<QWidget *()> dialog) {
        return QList<Step>{action([&, menu] {
                               menu->trigger();
                               mark = passes_seen;
                           }),
                           [&, dialog] { return passes_seen > mark + 3 && dialog()->isVisible(); }};
    };
    QList<Step> steps;
    steps << action([] { current_screen = counting_screen; });
    steps << opened(frm->KeyboardAndMouse1, [&] { return (QWidget *)frm->HelpBox1; });
    steps << action([&] { frm->HelpBox1->close(); });
    steps << opened(frm->SaveLcdImage1, [&] { return (QWidget *)frm->SaveDialog1; });
    steps << action([&] {
        frm->SaveDialog1->selectFile(dir.filePath("lcd.png"));
        QMetaObject::invokeMethod(frm->SaveDialog1, "accept");
    });
    steps << opened(frm->RecordSession1, [&] { return (QWidget *)frm->RecordDialog1; });
    steps << action([&] {
        frm->RecordDialog1->selectFile(dir.filePath("session.txt"));
        QMetaObject::invokeMethod(frm->RecordDialog1, "accept");
    });
    steps << action([&] { QTest::mouseClick(frm->Button2, Qt::LeftButton); });
    QVERIFY(runWhileOn(steps));
    QVERIFY(QFileInfo(dir.filePath("lcd.png")).size() > 0);
    QVERIFY(frm->RecordSession1->isChecked());
    QVERIFY(QFileInfo(dir.filePath("session.txt")).size() > 0);
}

// The window's 1x image is the exact indexed PNG that `expect golden` takes:
// a recorded session replayed by lcdshot ends on it.
void WindowTest::savedImageIsExpectedInAReplay() {
    QTemporaryDir dir;
    const std::string session = dir.filePath("session.txt").toStdString();
    const std::string saved = dir.filePath("saved.png").toStdString();
    QVERIFY(frm->startRecording(QString::fromStdString(session)));
    frm->ScrollBar29->setValue(30000);
    frm->ScrollBar30->setValue(1518);
    bool done = runWhileOn({after_passes(0), action([&] { frm->ScrollBar1->setValue(2674); }),
                            action([&] { QTest::keyClick(frm, Qt::Key_Plus); }),
                            [] { return pending_key == 0; }, action([&] {
                                QVERIFY(frm->saveLcdImage(QString::fromStdString(saved), 1.0));
                                QTest::mouseClick(frm->Button2, Qt::LeftButton);
                            })});
    QVERIFY(done);
    frm->stopRecording();
    std::ifstream script(session);
    png_frame_files files(dir.path().toStdString(), dir.path().toStdString());
    lcd_script replay(files, 1, [](const std::string &) {});
    reset_program_state();
    QVERIFY2(replay.run(script), replay.error().c_str());
    QVERIFY2(replay.run("expect golden saved.png\n"), replay.error().c_str());
}

void WindowTest::largeWindowKeepsItsMenuBarOnTheScreen() {
    const QRect available = frm->screen()->availableGeometry();
    if (frm->frameGeometry().width() > available.width())
        QCOMPARE(frm->frameGeometry().topLeft(), available.topLeft());
    else
        QVERIFY(available.contains(frm->frameGeometry()));
    QVERIFY(available.contains(frm->MainMenu1->mapToGlobal(QPoint(0, 0))));
}

// The frame an lcdshot run of `text` from program start ends on.
std::vector<uint8_t> lcdshot_frame(const std::string &text, panel_state *panel = nullptr) {
    png_frame_files files(QDir::tempPath().toStdString(), SCENARIO_DIR);
    lcd_script headless(files, 1, [](const std::string &) {});
    reset_program_state();
    if (!headless.run(text)) return {};
    if (panel) *panel = headless.panel();
    return std::vector<uint8_t>(frame_buffer, frame_buffer + LCD_PIXELS);
}

// A scenario plays one tick per timeout of Timer1, the controls following it,
// and ends on lcdshot's frame; the session it leaves replays to it too.
void WindowTest::scenarioPlaysLcdshotsFrames() {
    const std::string text = "# Warm-up\nnote Starting\nrpm 2400 rpm\nmap 30.0 inHg\n"
                             "temp 15 C\non\nhold 1\nnote Warming\nramp temp 60 C 0.5\n"
                             "key PLUS\nhold 0.3\nexio on\nexpect screen run\n";
    QVERIFY(frm->playScenario(QString::fromStdString(text), QString(), "Warm-up"));
    QCOMPARE(frm->NoteLabel->text(), QString("Starting"));
    int timeouts = 0;
    while (frm->scenarioPlaying() && timeouts < 100) {
        frm->Timer1Timer();
        timeouts++;
    }
    QCOMPARE(timeouts, 18); // hold 1, ramp 0.5 and hold 0.3: a tick each
    QVERIFY(frm->StatusBar1->currentMessage().contains("ended"));
    const std::vector<uint8_t> shown(shown_frame, shown_frame + LCD_PIXELS);
    const std::string session = frm->recorder().script();

    panel_state panel;
    QVERIFY(lcdshot_frame(text, &panel) == shown);
    QCOMPARE(frm->ScrollBar29->value(), panel.rpm_position);
    QCOMPARE(frm->ScrollBar30->value(), panel.map_position);
    QCOMPARE(frm->ScrollBar1->value(), panel.temp_position);
    QCOMPARE(frm->Label2->text(), QString::number(panel.temp_position));
    QVERIFY(frm->CheckBox1->isChecked());
    QVERIFY(lcdshot_frame(session) == shown);
}

void WindowTest::badScenarioPlaysNothing() {
    // No live tick either, however long the check takes on a busy machine:
    // any tick seen is then the script's.
    frm->Timer1->stop();
    QVERIFY(!frm->playScenario("on\nhold 1\nrpm 99999 rpm\n", QString(), "Bad"));
    QVERIFY(!frm->scenarioPlaying());
    QCOMPARE(fast_tick, 0);
    bool told = false;
    for (QMessageBox *box : frm->findChildren<QMessageBox *>())
        told |= box->isVisible() && box->text().contains("line 3: 99999 rpm is out of reach");
    QVERIFY(told);
}

void WindowTest::userInputTakesOverFromAScenario() {
    QVERIFY(frm->playScenario("on\nhold 10\n", QString(), "Long"));
    frm->Timer1Timer();
    QTest::keyClick(frm, Qt::Key_Plus);
    QVERIFY(!frm->scenarioPlaying());
    QCOMPARE(pending_key, KEY_PLUS);
    QCOMPARE(frm->StatusBar1->currentMessage(),
             QString("Long: stopped; the instrument runs on live"));
    // The live loop goes on from there, until Off.
    bool done = runWhileOn({action([] { current_screen = counting_screen; }), after_passes(3),
                            action([&] { QTest::keyClick(frm, Qt::Key_O); })},
                           [] { QCoreApplication::processEvents(); });
    QVERIFY(done);
}

// The library is bundled, titled, in the order of its course, and plays in
// the window with the goldens it checks, to lcdshot's frame.
void WindowTest::bundledScenarioPlaysWithItsGoldens() {
    const QList<scenario_entry> library = bundled_scenarios();
    QFile course(SCENARIO_DIR "/course.list");
    QVERIFY(course.open(QIODevice::ReadOnly));
    QStringList files, expected = QString::fromUtf8(course.readAll()).split('\n');
    expected.removeIf([](const QString &line) { return line.isEmpty() || line.startsWith('#'); });
    for (const scenario_entry &entry : library) files << QFileInfo(entry.path).fileName();
    QCOMPARE(files, expected);
    QCOMPARE(frm->Scenarios1->actions().size(), library.size());
    const auto run_up = std::find_if(library.begin(), library.end(), [](const scenario_entry &e) {
        return e.path.endsWith("run_up.txt");
    });
    QVERIFY(run_up != library.end());
    QCOMPARE(run_up->title, QString("Run-up and magneto check"));
    QFile file(run_up->path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const std::string text = file.readAll().toStdString();
    QVERIFY(frm->playScenario(QString::fromStdString(text), ":/scenarios", run_up->title));
    for (int timeouts = 0; frm->scenarioPlaying() && timeouts < 10000; timeouts++)
        frm->Timer1Timer();
    QVERIFY(!frm->scenarioPlaying());
    QVERIFY(frm->StatusBar1->currentMessage().contains("ended"));
    const std::vector<uint8_t> shown(shown_frame, shown_frame + LCD_PIXELS);
    QVERIFY(lcdshot_frame(text) == shown);
}

// The message box showing `text`, if one is open.
QMessageBox *openMessage(QObject *parent, const QString &text) {
    for (QMessageBox *box : parent->findChildren<QMessageBox *>())
        if (box->isVisible() && box->text().contains(text)) return box;
    return nullptr;
}

// A script refused late in its check touches nothing live: the instrument,
// the sliders, the lamp, the session and its recording go on as they were;
// the message names where it came from and shows its title as plain text.
void WindowTest::refusedScenarioLeavesEverythingAsItWas() {
    QTemporaryDir dir;
    QVERIFY(frm->startRecording(dir.filePath("session.txt")));
    frm->ScrollBar29->setValue(30000);
    frm->ScrollBar30->setValue(1518);
    const QString title = "<img src=x><b>LICENCE EXPIRED</b> & <a href=x>more</a>";
    // The live instrument: on, a key taken and one waiting.
    power_on_sequence();
    power_pass(0);
    press_key(KEY_PUSH);
    power_pass(0);
    press_key(KEY_PLUS);
    program_state before, after;
    save_program_state(before);
    const std::string session = frm->recorder().script();
    QVERIFY(!frm->playScenario("on\nmap 3000\nhold 30\nexpect screen map_setup\n", QString(), title,
                               "the file /tmp/x.txt"));
    save_program_state(after);
    QVERIFY(after.bytes == before.bytes);
    QCOMPARE(frm->recorder().script(), session);
    QVERIFY(frm->RecordSession1->isChecked());
    QCOMPARE(frm->ScrollBar30->value(), 1518);
    QMessageBox *box = openMessage(frm, "LICENCE EXPIRED");
    QVERIFY(box);
    QCOMPARE(box->textFormat(), Qt::PlainText);
    QVERIFY(box->text().contains(title + "\" from the file /tmp/x.txt has an error"));
    QVERIFY(box->text().contains("line 4: the screen is run"));
    frm->stopRecording();
}

// A script near the limits is checked in slices between frames: the window
// keeps running passes, shows the progress, and Cancel drops the script.
void WindowTest::longScenarioIsCheckedWhileTheWindowRuns() {
    QProgressDialog *progress = nullptr;
    int passesAtStart = 0;
    bool done =
        runWhileOn({action([] { current_screen = counting_screen; }), after_passes(2), action([&] {
                        QVERIFY(frm->playScenario("on\nhold 14000\n", QString(), "Long"));
                        QVERIFY(frm->scenarioChecking());
                        passesAtStart = passes_seen;
                    }),
                    // The window's passes go on while the check shows its progress.
                    [&] {
                        progress = frm->findChild<QProgressDialog *>();
                        return progress && progress->isVisible() && progress->value() > 0 &&
                               passes_seen > passesAtStart + 2;
                    },
                    action([&] {
                        QTest::mouseClick(progress->findChild<QPushButton *>(), Qt::LeftButton);
                        QVERIFY(!frm->scenarioChecking());
                        QVERIFY(!frm->scenarioPlaying());
                    }),
                    action([&] { QTest::keyClick(frm, Qt::Key_O); })});
    QVERIFY(done);
}

// lcdshot's frame at every tick of `text` (before the next tick).
std::vector<std::vector<uint8_t>> lcdshot_tick_frames(const std::string &text) {
    png_frame_files files(QDir::tempPath().toStdString(), SCENARIO_DIR);
    lcd_script headless(files, 1, [](const std::string &) {});
    reset_program_state();
    std::vector<std::vector<uint8_t>> frames;
    if (!headless.load(text)) return frames;
    for (lcd_script::step next; (next = headless.advance()) != lcd_script::STEP_FAILED;) {
        if (next == lcd_script::STEP_PASS) {
            headless.pass();
            continue;
        }
        frames.emplace_back(frame_buffer, frame_buffer + LCD_PIXELS);
        if (next == lcd_script::STEP_DONE) break;
        headless.tick();
    }
    return frames;
}

// The transport: a seek by the timeline (click, keys) shows lcdshot's frame
// at that tick, P pauses and resumes, N steps, and x16 plays lcdshot's frames
// to the end.
void WindowTest::transportSeeksAndSpeedsToLcdshotsFrames() {
    const std::string text =
        "rpm 30000\nmap 1522\ntemp 2674\non\nnote Warm\nhold 20\n"
        "ramp rpm 2400 rpm 10\nkey F2\nnote Check\nhold 20\nmap 4000\nhold 5\n";
    const std::vector<std::vector<uint8_t>> expected = lcdshot_tick_frames(text);
    QCOMPARE(expected.size(), size_t(551));
    QVERIFY(frm->playScenario(QString::fromStdString(text), QString(), "Transport"));
    QCOMPARE(frm->Timeline1->length(), 550);
    const auto shown = [] { return std::vector<uint8_t>(frame_buffer, frame_buffer + LCD_PIXELS); };
    for (long long tick : {420LL, 3LL, 301LL, 550LL, 299LL}) {
        frm->Timeline1Seek(tick);
        QCOMPARE(frm->Timeline1->position(), tick);
        QVERIFY2(shown() == expected[tick], qPrintable(QString::number(tick)));
    }
    // Seeking to the end paused it there; P resumes and pauses.
    QCOMPARE(frm->PlayPause1->text(), QString("Resume"));
    QTest::keyClick(frm, Qt::Key_P);
    QCOMPARE(frm->PlayPause1->text(), QString("Pause"));
    QTest::keyClick(frm, Qt::Key_P);
    QCOMPARE(frm->PlayPause1->text(), QString("Resume"));
    QTest::keyClick(frm, Qt::Key_N);
    QCOMPARE(frm->Timeline1->position(), 300);
    QVERIFY(shown() == expected[300]);
    frm->Timeline1->setFocus();
    QTest::keyClick(frm->Timeline1, Qt::Key_Right);
    QCOMPARE(frm->Timeline1->position(), 310);
    QVERIFY(shown() == expected[310]);
    QTest::mouseClick(frm->Timeline1, Qt::LeftButton, {},
                      QPoint(frm->Timeline1->width() / 2, frm->Timeline1->height() / 2));
    QVERIFY(qAbs(frm->Timeline1->position() - 275) <= 2);
    QVERIFY(shown() == expected[frm->Timeline1->position()]);
    QVERIFY(frm->scenarioPlaying()); // none of these took over

    // From the start at x16: 16 ticks a timeout of Timer1, lcdshot's frames.
    QTest::keyClick(frm, Qt::Key_R);
    for (int i = 0; i < 4; i++) QTest::keyClick(frm, Qt::Key_BracketRight);
    QCOMPARE(frm->Speed1->currentText(), QString("x16"));
    int timeouts = 0;
    for (; frm->scenarioPlaying() && timeouts < 1000; timeouts++) {
        frm->Timer1Timer();
        if (frm->scenarioPlaying()) QVERIFY(shown() == expected[frm->Timeline1->position()]);
    }
    QCOMPARE(timeouts, 35); // 550 ticks, 16 a timeout
    QVERIFY(shown() == expected.back());
}

QStringList listed(const QListWidget *list) {
    QStringList texts;
    for (int i = 0; i < list->count(); i++) texts << list->item(i)->text();
    return texts;
}

// The note shows beside the bezel as plain text wrapped whole, in the box
// and in the list: the library's longest note fits the box, a longer one
// scrolls in it.
void WindowTest::notesWrapWholeBesideTheBezel() {
    QVERIFY(frm->NoteBox->geometry().left() > frm->Image1->geometry().right());
    QString longest;
    for (const scenario_entry &entry : bundled_scenarios()) {
        QFile file(entry.path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        for (const QString &line : QString::fromUtf8(file.readAll()).split('\n'))
            if (line.startsWith("note ") && line.size() > longest.size()) longest = line.mid(5);
    }
    const QString flood = QString("<b>Not bold</b> ").repeated(40);
    for (const QString &note : {longest, flood}) {
        QVERIFY(frm->playScenario("note " + note + "\n", QString(), "Long note"));
        QApplication::processEvents();
        QCOMPARE(frm->NoteLabel->text(), note.trimmed());
        const int needed = frm->NoteLabel->heightForWidth(frm->NoteLabel->width());
        QVERIFY(frm->NoteLabel->width() <= frm->NoteBox->viewport()->width());
        QVERIFY(frm->NoteLabel->height() >= needed);
        const QRect item = frm->NoteList->visualItemRect(frm->NoteList->item(0));
        QVERIFY(item.width() <= frm->NoteList->viewport()->width());
        QVERIFY(item.height() >= needed - 2 * frm->NoteLabel->margin());
    }
    QVERIFY(frm->NoteBox->verticalScrollBar()->maximum() > 0);
    QVERIFY(frm->playScenario("note " + longest + "\n", QString(), "Longest"));
    QApplication::processEvents();
    QCOMPARE(frm->NoteBox->verticalScrollBar()->maximum(), 0);
    QCOMPARE(frm->NoteLabel->textFormat(), Qt::PlainText);
}

// Quick notes wait their turn on a fake clock, each shown for the minimum
// time; the list keeps them, and the last stays after the end.
void WindowTest::quickNotesEachGetTheirTurnAndTheLastStays() {
    qint64 now = 1000;
    frm->noteClock = [&] { return now; };
    QVERIFY(frm->playScenario("note One\nnote Two\nhold 0.2\nnote Three\nhold 0.1\n", QString(),
                              "Quick"));
    for (int timeouts = 0; frm->scenarioPlaying() && timeouts < 10; timeouts++) frm->Timer1Timer();
    QVERIFY(frm->StatusBar1->currentMessage().contains("ended"));
    const qint64 wait = note_board::MIN_SHOW_MS;
    const QList<QPair<qint64, QString>> turns = {{1000, "One"},
                                                 {1000 + wait - 1, "One"},
                                                 {1000 + wait, "Two"},
                                                 {1000 + 2 * wait, "Three"},
                                                 {1000 + 100 * wait, "Three"}};
    for (const auto &turn : turns) {
        now = turn.first;
        frm->Timer1Timer();
        QCOMPARE(frm->NoteLabel->text(), turn.second);
    }
    QCOMPARE(listed(frm->NoteList), QStringList({"One", "Two", "Three"}));
    QVERIFY(frm->playScenario("note Four\n", QString(), "Next"));
    QCOMPARE(listed(frm->NoteList), QStringList({"Four"}));
}

void WindowTest::stoppingAScenarioOrARecordingSaysSo() {
    QVERIFY(frm->playScenario("hold 10\n", QString(), "Idle"));
    frm->StopScenario1->trigger();
    QCOMPARE(frm->StatusBar1->currentMessage(), QString("Idle: stopped"));
    QTemporaryDir dir;
    const QString path = dir.filePath("session.txt");
    QVERIFY(frm->startRecording(path));
    frm->RecordSession1->trigger(); // unchecks it
    QCOMPARE(frm->StatusBar1->currentMessage(), "Recording to " + path + " stopped");
    QVERIFY(frm->startRecording(path));
    QVERIFY(frm->playScenario("hold 10\n", QString(), "Idle"));
    QCOMPARE(frm->StatusBar1->currentMessage(),
             "Playing Idle; the recording to " + path + " stopped");
}

// Ctrl+Q reaches File > Exit past the window's key bindings.
void WindowTest::controlQQuits() {
    QObject::disconnect(frm->Exit1, &QAction::triggered, frm, nullptr);
    QSignalSpy exits(frm->Exit1, &QAction::triggered);
    frm->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frm));
    QTest::keyClick(frm, Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(exits.count(), 1);
}

// Where the screen has room below and right of the first window, the second
// opens a step down and right; where it has none (a large scale factor), on it.
void WindowTest::secondWindowOpensOffset() {
    const QRect available = frm->screen()->availableGeometry();
    const QRect first = frm->frameGeometry();
    const bool room =
        first.right() + 32 <= available.right() && first.bottom() + 32 <= available.bottom();
    TfrmMain second;
    QCOMPARE(second.pos() - frm->pos(), room ? QPoint(32, 32) : QPoint(0, 0));
}

void typeEntry(QLineEdit *entry, const QString &text) {
    entry->setFocus();
    entry->clear();
    QTest::keyClicks(entry, text);
    QTest::keyClick(entry, Qt::Key_Return);
}

// Off, the figures are those of the factory settings the next power-on
// loads. An entry's I, O and Return are typing, not the instrument's keys.
void WindowTest::typedFiguresAndPageKeysMoveTheSliders() {
    typeEntry(frm->RpmFigure->Entry, "2400");
    QCOMPARE(frm->RpmFigure->Figure->text(), QString("2400 rpm"));
    QCOMPARE(frm->RpmFigure->Unit->text(), QString("rpm"));
    QCOMPARE(frm->EntryMessage->text(), QString());
    QTest::keyClick(frm->RpmFigure->Entry, Qt::Key_PageUp);
    QCOMPARE(frm->RpmFigure->Figure->text(), QString("2500 rpm"));
    frm->ScrollBar29->setFocus();
    QTest::keyClick(frm->ScrollBar29, Qt::Key_PageDown);
    QTest::keyClick(frm->ScrollBar29, Qt::Key_PageDown);
    QCOMPARE(frm->RpmFigure->Figure->text(), QString("2300 rpm"));

    typeEntry(frm->RpmFigure->Entry, "30000 raw");
    QCOMPARE(frm->ScrollBar29->value(), 30000);
    typeEntry(frm->RpmFigure->Entry, "16667");
    QCOMPARE(frm->ScrollBar29->value(), 30000);
    QCOMPARE(frm->EntryMessage->text(),
             QString("RPM: 16667 rpm is out of reach: the slider gives 0 rpm to 16666 rpm"));
    QCOMPARE(frm->EntryMessage->textFormat(), Qt::PlainText);
    typeEntry(frm->TempFigure->Entry, "io");
    QCOMPARE(frm->EntryMessage->text(), QString("TEMP: not a figure in C: io"));
    QVERIFY(!QString::fromStdString(frm->recorder().script())
                 .contains(QRegularExpression("^(on|off)$", QRegularExpression::MultilineOption)));
}

void WindowTest::zoomAndWhatIsRememberedSurviveARestart() {
    QCOMPARE(frm->zoom(), 1);
    const QSize atOne = frm->size();
    frm->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frm));
    QTest::keyClick(frm, Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(frm, Qt::Key_Equal, Qt::ControlModifier);
    QCOMPARE(frm->zoom(), 3);
    QTest::keyClick(frm, Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(frm->zoom(), 2);
    QCOMPARE(frm->Panel1->size(), QSize(161, 121) * 2);

    QTemporaryDir dir;
    const QString script = dir.filePath("cruise & climb.txt");
    QFile file(script);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("on\nhold 1\n");
    file.close();
    frm->PlayScenario1Click();
    emit frm->PlayDialog1->fileSelected(script);
    frm->PlayDialog1->close();
    frm->move(40, 30);
    QTRY_COMPARE(frm->pos(), QPoint(40, 30));
    frm->close();
    delete frm;

    reset_program_state();
    frm = new TfrmMain;
    frm->show();
    QVERIFY(QTest::qWaitForWindowExposed(frm));
    QCOMPARE(frm->zoom(), 2);
    QCOMPARE(frm->Panel1->size(), QSize(161, 121) * 2);
    // Where it was left, when it fits there (not at a large scale factor).
    const QRect available = frm->screen()->availableGeometry();
    QCOMPARE(frm->pos(), available.contains(QRect(QPoint(40, 30), frm->size()))
                             ? QPoint(40, 30)
                             : available.topLeft());
    frm->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frm));
    const QList<QAction *> recent = frm->RecentScenarios1->actions();
    QCOMPARE(recent.size(), 1);
    QCOMPARE(recent[0]->text(), QString("cruise && climb.txt"));
    frm->PlayScenario1Click();
    QCOMPARE(frm->PlayDialog1->directory().absolutePath(), QDir(dir.path()).absolutePath());
    frm->PlayDialog1->close();
    // The instrument itself starts with its memory empty.
    QCOMPARE(map_filter_acc, 0u);
    QTest::keyClick(frm, Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(frm->zoom(), 1);
    QCOMPARE(frm->size(), atOne);
}

// The description changes in substance with a new screen, not with the
// figures of each frame; the lamp's name says its state.
void WindowTest::lcdIsDescribedOnChangeNotPerFrame() {
    auto description = [this] { return frm->Panel1->accessibleDescription(); };
    QString engine, afterLive, lamp;
    int position = 1000;
    bool done = runWhileOn({
        [&] { return description().startsWith("Engine page"); },
        action([&] {
            engine = description();
            lamp = frm->Shape1->accessibleName();
        }),
        // Live figures over many frames.
        [&] {
            frm->ScrollBar29->setValue(position += 1000);
            return position >= 30000;
        },
        action([&] {
            afterLive = description();
            frm->Image3->clicked(); // F2 acknowledges the cold engine's alarms
        }),
        [&] { return pending_key == 0; },
        action([&] { frm->Image8->clicked(); }),
        [&] { return description().startsWith("Main menu"); },
        action([&] { frm->Button2->click(); }),
    });
    QVERIFY(done);
    QCOMPARE(afterLive, engine);
    QVERIFY(engine.startsWith("Engine page. 0:00 0.0. 0 RPM. 0.0 inHg. TEMP: -273 C"));
    QVERIFY(engine.contains("Alarm: MAP low, TEMP low"));
    QVERIFY(description().contains("Alarm acknowledged: MAP low, TEMP low"));
    QCOMPARE(lamp, QString("Alarm lamp: alarm"));
    // What a screen reader gets through the accessibility interfaces.
    QAccessibleInterface *lcd = QAccessible::queryAccessibleInterface(frm->Panel1);
    QCOMPARE(lcd->text(QAccessible::Name), QString("LCD"));
    QVERIFY(lcd->text(QAccessible::Description).startsWith("Main menu. Qirel MAIN MENU"));
    // Switched off within the second, it is said once the second is over.
    QTRY_COMPARE(description(), QString("Instrument off"));
}

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        fputs("window_tests: no X display; run them under xvfb-run (make test)\n", stderr);
        return 1;
    }
    QApplication app(argc, argv);
    // What the windows remember goes to a folder of the tests' own.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    WindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_window.moc"
