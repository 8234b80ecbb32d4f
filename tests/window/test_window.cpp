// The simulator window driven through its real widgets: what it forwards to
// its session (keys, clicks, sliders, menus, the time of its clock), the
// power loop behind "&On" and "&Off", the LCD as it appears on the screen
// (lcdshot's frames), and its layout. The session itself is tested headless.
#include "core/alarms.h"
#include "core/keys.h"
#include "core/sensors.h"
#include "core/settings.h"
#include "core/timebase.h"
#include "display/frame_buffer.h"
#include "host/figures/engine_figures.h"
#include "host/png/png_io.h"
#include "host/shell/engine_timers.h"
#include "host/shell/lcd_palette.h"
#include "host/shell/power_loop.h"
#include "host/shell/program_state.h"
#include "host/text/printable.h"
#include "screens/run_screen.h"
#include "screens/screen.h"
#include "window/TfrmMain.h"
#include "window/instrument_panel.h"
#include "window/lcd_presentation.h"
#include "window/menus.h"
#include "window/panel_widgets.h"
#include "window/playback_strip.h"
#include "window/timeline_view.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QOpenGLContext>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest>

#include <GL/gl.h>

#include <math.h>
#include <string.h>

#include <fstream>
#include <functional>

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

Step after_passes(int n) {
    return [n] { return passes_seen >= n; };
}

Step action(std::function<void()> body) {
    return [body] {
        body();
        return true;
    };
}

std::vector<uint8_t> shown() {
    return std::vector<uint8_t>(shown_frame, shown_frame + LCD_PIXELS);
}

// lcdshot's frame at every tick of `text` (before the next tick), its
// goldens read from `folder`.
std::vector<std::vector<uint8_t>> lcdshot_tick_frames(const std::string &text,
                                                      const std::string &folder = SCENARIO_DIR) {
    png_frame_files files(QDir::tempPath().toStdString(), folder);
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

bool endsWith(const std::string &text, const std::string &end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string fileText(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

void writeFile(const QString &path, const std::string &bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), (qint64)bytes.size());
}

// The message box showing `text`, if one is open.
QMessageBox *openMessage(QObject *parent, const QString &text) {
    for (QMessageBox *box : parent->findChildren<QMessageBox *>())
        if (box->isVisible() && box->text().contains(text)) return box;
    return nullptr;
}

void typeEntry(QLineEdit *entry, const QString &text) {
    entry->setFocus();
    entry->clear();
    QTest::keyClicks(entry, text);
    QTest::keyClick(entry, Qt::Key_Return);
}

} // namespace

class WindowTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void displayHasADoubleBufferedFixedFunctionContext();
    void controlsForwardTheirInput();
    void keysFollowTheBindingsAndTheFocus_data();
    void keysFollowTheBindingsAndTheFocus();
    void wheelOverTheBezelTurnsTheKnob();
    void helpListsTheWindowsBindings();
    void controlsCarryTheirNames();
    void onRunsTheLoopUntilOff();
    void onWhileOnResetsAndDoesNotNest();
    void closingEndsTheLoop_data();
    void closingEndsTheLoop();
    void lampAndDescriptionFollowTheInstrument();
    void panelShowsTheFrameBufferPixelForPixel();
    void panelKeepsTheShownImageWhileOff();
    void litFrameIsSolidBlocksAtAnyScale();
    void savedLcdImageIsTheFrameInPaletteColours();
    void recordedSessionReplaysToTheSavedImage();
    void dialogsLeaveTheLoopRunning();
    void largeWindowKeepsItsMenuBarOnTheScreen();
    void scenarioPlaysLcdshotsFrames();
    void lateTimeoutGivesEveryTickDue();
    void latin1ScriptPlaysAsInLcdshot();
    void alertsShowAsPlainText();
    void goldenThroughALinkOutOfTheFolderIsRefused();
    void bidiTitleShowsEscaped();
    void libraryPlaysFromTheMenuWithItsGoldens();
    void longScenarioIsCheckedWhileTheWindowRuns();
    void transportSeeksAndSpeedsToLcdshotsFrames();
    void notesWrapWholeBesideTheBezel();
    void controlQQuits();
    void secondWindowOpensOffset();
    void typedFiguresAndPageKeysMoveTheSliders();
    void zoomAndWhatIsRememberedSurviveARestart();
    void everyZoomScalesThePartsAndRedrawsTheLcd();

  private:
    bool runWhileOn(const QList<Step> &steps, std::function<void()> powerOn = nullptr);
    bool showScreen(screen_handler screen);
    QImage grabPanel();
    QString panelMismatch(const QImage &shown, std::function<uint8_t(int, int)> frame);
    // The clock replaced: `now` is its time; tick() moves it on and times out.
    void fakeClock();
    void tick(qint64 ms = session::TICK_MS);
    void play(const std::string &text, const std::string &title);
    std::string recording() { return frm->simulation().recording(); }

    TfrmMain *frm = nullptr;
    InstrumentPanel *ui = nullptr;
    qint64 now = 0;
};

void WindowTest::init() {
    // Each window starts with nothing remembered.
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "Omnira", "Omnira").clear();
    reset_program_state();
    passes_seen = 0;
    frm = new TfrmMain;
    ui = frm->Controls;
    frm->show();
    QVERIFY(QTest::qWaitForWindowExposed(frm));
    QVERIFY(frm->renderingContext() != nullptr);
}

void WindowTest::cleanup() {
    power_off_request = 1;
    delete frm;
    frm = nullptr;
}

void WindowTest::fakeClock() {
    now = 0;
    frm->setClock([this] { return now; });
}

void WindowTest::tick(qint64 ms) {
    now += ms;
    frm->Timer1Timer();
}

void WindowTest::play(const std::string &text, const std::string &title) {
    frm->simulation().play_script(text, title, "", "");
    frm->sessionChanged();
}

// Clicks "&On" and runs the steps one after another between passes; the
// last step is expected to end the loop. False when the loop had to be
// stopped because the steps did not get through.
bool WindowTest::runWhileOn(const QList<Step> &steps, std::function<void()> powerOn) {
    int next = 0;
    bool timedOut = false;
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (next < steps.size() && steps[next]()) next++;
    });
    // A safety net only: the steps wait on passes, not on time.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        timedOut = true;
        power_off_request = 1;
    });
    poll.start();
    guard.start(60000);
    if (powerOn)
        powerOn();
    else
        QTest::mouseClick(ui->Button1, Qt::LeftButton);
    const auto finished = [&] { return next == steps.size() && !frm->powerLoopRunning(); };
    return QTest::qWaitFor([&] { return timedOut || finished(); }, 120000) && !timedOut;
}

// What the screen shows of Panel1, in device pixels.
QImage WindowTest::grabPanel() {
    QWindow *surface = frm->lcdSurface();
    return surface->screen()
        ->grabWindow(surface->winId())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
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

// Each control hands its input to the session, which records it, and the
// controls show the session's panel back.
void WindowTest::controlsForwardTheirInput() {
    int32_t entered = 0;
    std::string message;
    QVERIFY(enter_slider_figure(SLIDER_MAP, "1013 mB", false, entered, message));
    const struct {
        const char *control;
        std::function<void()> use;
        std::string line;
        int key; // what reaches the instrument's slot
    } rows[] = {
        {"Image2", [&] { QTest::mouseClick(ui->Image2, Qt::LeftButton); }, "key F1", KEY_F1},
        {"Image3", [&] { QTest::mouseClick(ui->Image3, Qt::LeftButton); }, "key F2", KEY_F2},
        {"Image8", [&] { QTest::mouseClick(ui->Image8, Qt::LeftButton); }, "key PUSH", KEY_PUSH},
        {"Button3", [&] { QTest::mouseClick(ui->Button3, Qt::LeftButton); }, "key PLUS", KEY_PLUS},
        {"Button4", [&] { QTest::mouseClick(ui->Button4, Qt::LeftButton); }, "key MINUS",
         KEY_MINUS},
        {"ScrollBar29", [&] { ui->ScrollBar29->setValue(30000); }, "rpm 30000", 0},
        {"ScrollBar1", [&] { ui->ScrollBar1->setValue(2674); }, "temp 2674", 0},
        {"CheckBox1", [&] { QTest::mouseClick(ui->CheckBox1, Qt::LeftButton); }, "exio on", 0},
        {"Run Engine Timers", [&] { frm->Menus->RunEngineTimers1->trigger(); }, "engine-timers on",
         0},
        {"MAP entry", [&] { typeEntry(ui->MapFigure.Entry, "1013 mB"); },
         "map " + std::to_string(entered), 0},
    };
    for (const auto &row : rows) {
        pending_key = 0;
        row.use();
        QVERIFY2(endsWith(recording(), "\n" + row.line + "\n"), row.control);
        QVERIFY2(pending_key == row.key, row.control);
    }
    QCOMPARE(ui->Label60->text(), QString::number(entered));
    QCOMPARE(ui->Label57->text(), QString("30000"));
    QCOMPARE(ui->Label2->text(), QString("2674"));
    QVERIFY(ui->CheckBox1->isChecked());
    QVERIFY(frm->Menus->RunEngineTimers1->isChecked());
    QCOMPARE(engine_timers_on, 1);
    // Off, the figures are those of the factory settings the next power-on loads.
    QCOMPARE(ui->RpmFigure.Figure->text(), QString("5000 rpm"));
    QCOMPARE(ui->ScrollBar29->accessibleDescription(),
             QString::fromStdString(frm->simulation().slider_text(SLIDER_RPM)));
}

void WindowTest::keysFollowTheBindingsAndTheFocus_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("line");        // recorded with a button focused
    QTest::addColumn<QString>("onTheSlider"); // recorded with the MAP slider focused
    const QString none;
    const auto row = [](const char *name, int key, int modifiers, const QString &line,
                        const QString &onTheSlider) {
        QTest::newRow(name) << key << modifiers << line << onTheSlider;
    };
    row("F1", Qt::Key_F1, 0, "key F1", "key F1");
    row("F2", Qt::Key_F2, 0, "key F2", "key F2");
    row("Return", Qt::Key_Return, 0, "key PUSH", "key PUSH");
    row("Enter", Qt::Key_Enter, Qt::KeypadModifier, "key PUSH", "key PUSH");
    row("Space", Qt::Key_Space, 0, "key PUSH", "key PUSH");
    row("+", Qt::Key_Plus, Qt::ShiftModifier, "key PLUS", "map 101");
    row("keypad +", Qt::Key_Plus, Qt::KeypadModifier, "key PLUS", "map 101");
    row("Up", Qt::Key_Up, 0, "key PLUS", "map 99");
    row("-", Qt::Key_Minus, 0, "key MINUS", "map 99");
    row("keypad -", Qt::Key_Minus, Qt::KeypadModifier, "key MINUS", "map 99");
    row("Down", Qt::Key_Down, 0, "key MINUS", "map 101");
    row("X", Qt::Key_X, 0, "exio on", "exio on");
    row("I", Qt::Key_I, 0, "on", "on");
    row("O", Qt::Key_O, 0, "off", "off");
    row("Page Up on the slider", Qt::Key_PageUp, 0, none,
        "map " + QString::number(slider_page_position(SLIDER_MAP, 100, 1, false)));
    row("Alt+O presses neither button", Qt::Key_O, Qt::AltModifier, none, none);
    row("Ctrl+Up is the slider's own only", Qt::Key_Up, Qt::ControlModifier, none, "map 99");
    row("A is no binding", Qt::Key_A, 0, none, none);
}

// Space and Return on a focused button push the knob, not the button; a
// focused slider keeps Up and Down and takes + and - as its own step.
void WindowTest::keysFollowTheBindingsAndTheFocus() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, line);
    QFETCH(QString, onTheSlider);
    ui->ScrollBar30->setValue(100);
    for (const auto &[focus, expected] :
         {std::pair<QWidget *, QString>{ui->Button1, line},
          std::pair<QWidget *, QString>{ui->ScrollBar30, onTheSlider}}) {
        frm->simulation().power_off();
        frm->simulation().set_exio(false);
        ui->ScrollBar30->setValue(100);
        focus->setFocus();
        const std::string before = recording();
        QTest::keyClick(focus, (Qt::Key)key, (Qt::KeyboardModifiers)modifiers);
        const std::string after = recording();
        QCOMPARE(QString::fromStdString(after.substr(before.size())),
                 expected.isEmpty() ? QString() : expected + "\n");
    }
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
    QCOMPARE(turn(ui->Image1, 120), KEY_PLUS);
    QCOMPARE(turn(ui->Image8, -120), KEY_MINUS);
    QCOMPARE(turn(ui->Panel1, 120), KEY_PLUS);
    // Half notches add up; the second half turns the knob.
    QCOMPARE(turn(ui->Image1, -60), 0);
    QCOMPARE(turn(ui->Image1, -60), KEY_MINUS);
    // A click of the wheel over the bezel pushes the knob.
    QTest::mouseClick(ui->Image1, Qt::MiddleButton);
    QCOMPARE(pending_key, KEY_PUSH);
    pending_key = 0;
    QTest::mouseClick(ui->ScrollBar30, Qt::MiddleButton);
    QCOMPARE(pending_key, 0);
    // Away from the bezel the wheel is the slider's.
    ui->ScrollBar30->setValue(100);
    QCOMPARE(turn(ui->ScrollBar30, 120), 0);
    QVERIFY(ui->ScrollBar30->value() != 100);
}

// Help > Keyboard and mouse: the session's bindings of the window, plain.
void WindowTest::helpListsTheWindowsBindings() {
    frm->Menus->KeyboardAndMouse1->trigger();
    QVERIFY(frm->HelpBox1->isVisible());
    QCOMPARE(frm->HelpBox1->textFormat(), Qt::PlainText);
    const QString help = frm->HelpBox1->text();
    QVERIFY(help.startsWith(QString::fromStdString(bindings_help(IN_WINDOW))));
    QVERIFY(help.contains("Ctrl+Q: power off and quit"));
    QVERIFY(help.contains("one-key slot"));
    frm->HelpBox1->close();
}

// What a screen reader calls the controls that show the session.
void WindowTest::controlsCarryTheirNames() {
    QStringList names = {"LCD",
                         "Figure entry message",
                         "Scenario note",
                         "Scenario notes so far",
                         "Playback speed",
                         "Timeline",
                         "Alarm lamp: alarm"};
    for (const char *slider : {"MAP", "RPM", "TEMP"})
        for (const char *part : {" position", " figure", " figure entry"})
            names << QString(slider) + part;
    for (const QString &name : names) {
        int found = 0;
        for (const QWidget *widget : frm->findChildren<QWidget *>())
            found += widget->accessibleName() == name;
        QVERIFY2(found == 1, qPrintable(name));
    }
}

void WindowTest::onRunsTheLoopUntilOff() {
    ui->ScrollBar1->setValue(2757);
    ui->CheckBox1->setChecked(true);
    int exioWhileChecked = -1;
    uint8_t tick = 0;
    bool done = runWhileOn({
        action([&] {
            current_screen = counting_screen;
            tick = fast_tick;
        }),
        after_passes(2),
        action([&] {
            exioWhileChecked = exio_present;
            ui->CheckBox1->setChecked(false);
            passes_seen = 0;
        }),
        after_passes(1),
        // Timer1 ticks between the passes while on.
        [&] { return fast_tick != tick; },
        action([&] { QTest::mouseClick(ui->Button2, Qt::LeftButton); }),
    });
    QVERIFY(done);
    QCOMPARE(power_off_request, 1);
    QCOMPARE(exioWhileChecked, 1);
    QCOMPARE(exio_present, 0);
    // The power-on ran the RPM and MAP handlers; the TEMP latch reached the
    // instrument with a pass.
    QCOMPARE(rpm_pulse_rate, 1);
    QCOMPARE(map_adc, 1);
    QCOMPARE(temp_adc, 2757);
    // Off: no more passes.
    const int stopped = passes_seen;
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
            QTest::mouseClick(ui->Button1, Qt::LeftButton);
            nestedReturnedWhileOn = power_off_request == 0;
            reset = current_screen == run_screen && settings.map_unit == 1 && alarm_active == 0 &&
                    pending_key == 0;
            // Count the passes again on the screen the power-on restored.
            current_screen = counting_screen;
            passes_seen = 0;
        }),
        after_passes(2),
        action([&] { QTest::mouseClick(ui->Button2, Qt::LeftButton); }),
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
                frm->Menus->Exit1->trigger();
            else
                frm->close();
        }),
    });
    QVERIFY(done);
    QCOMPARE(power_off_request, 1);
    const int stopped = passes_seen;
    QCoreApplication::processEvents();
    QCOMPARE(passes_seen, stopped);
    // The window and its context outlive the loop and go away cleanly.
    QVERIFY(frm->renderingContext() != nullptr);
}

// The lamp's colour and name, and the LCD's description, are the session's.
void WindowTest::lampAndDescriptionFollowTheInstrument() {
    auto lampColour = [this] { return ui->Shape1->grab().toImage().pixelColor(16, 16); };
    auto description = [this] { return ui->Panel1->accessibleDescription(); };
    QCOMPARE(lampColour(), QColor(255, 0, 0));
    ui->ScrollBar30->setValue(3000);
    ui->ScrollBar1->setValue(2500);
    bool done = runWhileOn({
        [&] { return alarm_active != 0 && map_value > settings.map_high_alarm; },
        [&] { return lampColour() == QColor(LAMP_BRIGHT, 0, 0); },
        action([&] { QVERIFY(ui->Shape1->isLit()); }),
        [&] { return description().contains("Alarm: MAP"); },
        action([&] { QTest::mouseClick(ui->Button2, Qt::LeftButton); }),
    });
    QVERIFY(done);
    QCOMPARE(ui->Shape1->accessibleName(), QString("Alarm lamp: alarm"));
    QAccessibleInterface *lcd = QAccessible::queryAccessibleInterface(ui->Panel1);
    QCOMPARE(lcd->text(QAccessible::Name), QString("LCD"));
    QVERIFY(lcd->text(QAccessible::Description).startsWith("Engine page"));
    // Off, the lamp keeps its last colour and the description follows the
    // session's ticks.
    fakeClock();
    for (int i = 0; i < 2 * lcd_announcer::ANNOUNCE_TICKS && description() != "Instrument off"; i++)
        tick();
    QCOMPARE(description(), QString("Instrument off"));
    QCOMPARE(lampColour(), QColor(LAMP_BRIGHT, 0, 0));
}

// Runs the power loop on `screen` for a few passes and turns the instrument off.
bool WindowTest::showScreen(screen_handler screen) {
    return runWhileOn({
        action([screen] { current_screen = screen; }),
        after_passes(3),
        action([&] { QTest::mouseClick(ui->Button2, Qt::LeftButton); }),
    });
}

// Where the grabbed panel differs from `frame` (x, y -> colour index) drawn at
// the surface's scale, or an empty string. Frame row y is panel row y + 1;
// the panel's top row and right column, and device pixels beyond the last
// LCD block, stay black.
QString WindowTest::panelMismatch(const QImage &shown, std::function<uint8_t(int, int)> frame) {
    const double d = frm->lcdSurface()->devicePixelRatio() * frm->zoom();
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

    QWidget cover;
    cover.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    cover.setAutoFillBackground(true);
    cover.setGeometry(QRect(ui->Panel1->mapToGlobal(QPoint(0, 0)), ui->Panel1->size()));
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
    frm->Menus->CopyLcdImage1->trigger();
    QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
             frm->lcdImage(1.0).convertToFormat(QImage::Format_RGB32));
}

// A session worked in the window and recorded to a file, replayed by
// lcdshot, ends on the window's 1x image, which `expect golden` takes.
void WindowTest::recordedSessionReplaysToTheSavedImage() {
    QTemporaryDir dir;
    const QString session = dir.filePath("session.txt");
    const std::string saved = dir.filePath("saved.png").toStdString();
    ui->ScrollBar29->setValue(30000);
    QVERIFY(frm->startRecording(session));
    QVERIFY(frm->Menus->RecordSession1->isChecked());
    ui->ScrollBar30->setValue(1518);
    bool done = runWhileOn({after_passes(0), action([&] { ui->ScrollBar1->setValue(2674); }),
                            action([&] { QTest::keyClick(frm, Qt::Key_F2); }),
                            [] { return pending_key == 0; },
                            action([&] { QTest::keyClick(frm, Qt::Key_Plus); }),
                            [] { return pending_key == 0; }, action([&] {
                                QVERIFY(frm->saveLcdImage(QString::fromStdString(saved), 1.0));
                                QTest::mouseClick(ui->Button2, Qt::LeftButton);
                            })});
    QVERIFY(done);
    frm->Menus->RecordSession1->trigger(); // unchecked: stops
    QVERIFY(!frm->Menus->RecordSession1->isChecked());
    QVERIFY(fileText(session).rfind(session::RECORDING_HEADER, 0) == 0);
    png_frame_files files(dir.path().toStdString(), dir.path().toStdString());
    lcd_script replay(files, 1, [](const std::string &) {});
    reset_program_state();
    QVERIFY2(replay.run(fileText(session) + "expect golden saved.png\n"), replay.error().c_str());
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
    steps << opened(frm->Menus->KeyboardAndMouse1, [&] { return (QWidget *)frm->HelpBox1; });
    steps << action([&] { frm->HelpBox1->close(); });
    steps << opened(frm->Menus->SaveLcdImage1, [&] { return (QWidget *)frm->SaveDialog1; });
    steps << action([&] {
        frm->SaveDialog1->selectFile(dir.filePath("lcd.png"));
        QMetaObject::invokeMethod(frm->SaveDialog1, "accept");
    });
    steps << opened(frm->Menus->RecordSession1, [&] { return (QWidget *)frm->RecordDialog1; });
    steps << action([&] {
        frm->RecordDialog1->selectFile(dir.filePath("session.txt"));
        QMetaObject::invokeMethod(frm->RecordDialog1, "accept");
    });
    steps << action([&] { QTest::mouseClick(ui->Button2, Qt::LeftButton); });
    QVERIFY(runWhileOn(steps));
    QVERIFY(QFileInfo(dir.filePath("lcd.png")).size() > 0);
    QVERIFY(frm->Menus->RecordSession1->isChecked());
    QVERIFY(QFileInfo(dir.filePath("session.txt")).size() > 0);
}

void WindowTest::largeWindowKeepsItsMenuBarOnTheScreen() {
    const QRect available = frm->screen()->availableGeometry();
    if (frm->frameGeometry().width() > available.width())
        QCOMPARE(frm->frameGeometry().topLeft(), available.topLeft());
    else
        QVERIFY(available.contains(frm->frameGeometry()));
    QVERIFY(available.contains(frm->Menus->MainMenu1->mapToGlobal(QPoint(0, 0))));
}

// A scenario plays a tick per 100 ms of the window's clock, its frames on
// the screen those of lcdshot, the controls following it.
void WindowTest::scenarioPlaysLcdshotsFrames() {
    const std::string text = "# Warm-up\nnote Starting\nrpm 2400 rpm\nmap 30.0 inHg\n"
                             "temp 15 C\non\nhold 1\nnote Warming\nramp temp 60 C 0.5\n"
                             "key PLUS\nhold 0.3\nexio on\nexpect screen run\n";
    const std::vector<std::vector<uint8_t>> expected = lcdshot_tick_frames(text);
    reset_program_state();
    fakeClock();
    play(text, "Warm-up");
    QVERIFY(frm->simulation().playing());
    QCOMPARE(ui->NoteLabel->text(), QString("Starting"));
    QVERIFY(frm->Menus->StopScenario1->isEnabled());
    int timeouts = 0;
    for (; frm->simulation().playing() && timeouts < 100; timeouts++) {
        QVERIFY2(shown() == expected[(size_t)frm->Playback->Timeline1->position()],
                 qPrintable(QString::number(timeouts)));
        // The controls follow the script without firing their handlers,
        // which would take over from it.
        QCOMPARE(ui->ScrollBar1->value(), frm->simulation().panel().temp_position);
        QCOMPARE(ui->Label2->text(), QString::number(frm->simulation().panel().temp_position));
        tick();
    }
    QCOMPARE(timeouts, 18); // hold 1, ramp 0.5 and hold 0.3: a tick each
    QVERIFY(shown() == expected.back());
    QCOMPARE(ui->StatusBar1->currentMessage(), QString::fromStdString(frm->simulation().status()));
    QVERIFY(ui->CheckBox1->isChecked());
    QVERIFY(!frm->Menus->StopScenario1->isEnabled());
    frm->simulation().power_off();
}

// A timeout of Timer1 that comes late hands the session all the time that
// passed: 250 ms are two ticks.
void WindowTest::lateTimeoutGivesEveryTickDue() {
    fakeClock();
    QTest::mouseClick(ui->Image2, Qt::LeftButton);
    tick(250);
    QVERIFY(endsWith(recording(), "key F1\ntick 2\n"));
    tick(50);
    QVERIFY(endsWith(recording(), "key F1\ntick 3\n"));
}

// A script's bytes reach the session as they are in the file: a Latin-1
// note, and a line that would pass the line limit as UTF-8, play as in
// lcdshot; the note shows escaped.
void WindowTest::latin1ScriptPlaysAsInLcdshot() {
    QTemporaryDir dir;
    const std::string wide(1400, '\xE9');
    const std::string text =
        "# Caf\xE9\nnote Caf\xE9 " + wide + "\non\nhold 0.5\nkey F2\nhold 0.2\n";
    writeFile(dir.filePath("latin1.txt"), text);
    const std::vector<std::vector<uint8_t>> expected = lcdshot_tick_frames(text);
    QVERIFY(!expected.empty());
    reset_program_state();
    fakeClock();
    QVERIFY(frm->openScriptFile(dir.filePath("latin1.txt")));
    QVERIFY(frm->simulation().playing());
    while (frm->simulation().playing()) tick();
    QVERIFY(shown() == expected.back());
    QCOMPARE(ui->NoteLabel->text(), QString::fromStdString(printable("Caf\xE9 " + wide)));
    QVERIFY(ui->StatusBar1->currentMessage().startsWith("Caf\\xE9: ended"));
    frm->simulation().power_off();
}

// The session's alerts show in a box of their own, as plain text.
void WindowTest::alertsShowAsPlainText() {
    frm->Timer1->stop();
    play("on\nhold 1\nrpm 99999 rpm\n", "<b>Bad</b>");
    QVERIFY(!frm->simulation().playing());
    QCOMPARE(fast_tick, 0);
    QMessageBox *box = openMessage(frm, "line 3: 99999 rpm is out of reach");
    QVERIFY(box);
    QCOMPARE(box->textFormat(), Qt::PlainText);
    QVERIFY(box->text().contains("\"<b>Bad</b>\""));
    QVERIFY(!frm->openScriptFile(QDir::tempPath() + "/missing-omnira.txt"));
    QVERIFY(openMessage(frm, "it is missing, not a file or unreadable"));
}

// A golden is read by lcdshot's rule: from the scenario's folder or below
// it, and a link that leads out of the folder is refused.
void WindowTest::goldenThroughALinkOutOfTheFolderIsRefused() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("scenario") && QDir(dir.path()).mkpath("elsewhere"));
    reset_program_state();
    QVERIFY(write_lcd_indexed_png(dir.filePath("elsewhere/frame.png").toStdString(), frame_buffer));
    QVERIFY(write_lcd_indexed_png(dir.filePath("scenario/inside.png").toStdString(), frame_buffer));
    QVERIFY(QFile::link("../elsewhere/frame.png", dir.filePath("scenario/link.png")));
    writeFile(dir.filePath("scenario/inside.txt"), "expect golden inside.png\nhold 1\n");
    writeFile(dir.filePath("scenario/link.txt"), "expect golden link.png\nhold 1\n");
    frm->Timer1->stop();
    QVERIFY(frm->openScriptFile(dir.filePath("scenario/inside.txt")));
    QVERIFY(frm->simulation().playing());
    QVERIFY(!frm->openScriptFile(dir.filePath("scenario/link.txt")));
    QVERIFY(openMessage(frm, "golden link.png is outside the goldens' folder"));
}

// A title with a bidirectional override shows escaped, in the status line
// and in Recent Scenarios, which tells two files of one name apart.
void WindowTest::bidiTitleShowsEscaped() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("a") && QDir(dir.path()).mkpath("b"));
    const QString name = QString("run") + QChar(0x202E) + "txt.exe.txt";
    writeFile(dir.filePath("a/" + name), "# Evil \xE2\x80\xAEtxt.exe\nhold 1\n");
    writeFile(dir.filePath("b/" + name), "hold 1\n");
    frm->Timer1->stop();
    QVERIFY(frm->openScriptFile(dir.filePath("b/" + name)));
    QVERIFY(frm->openScriptFile(dir.filePath("a/" + name)));
    const QString status = ui->StatusBar1->currentMessage();
    QVERIFY2(status.startsWith("Evil \\u{202E}txt.exe: playing"), qPrintable(status));
    const QList<QAction *> recent = frm->Menus->RecentScenarios1->actions();
    QCOMPARE(recent.size(), 2);
    const QString escaped = "run\\u{202E}txt.exe.txt \u2014 ";
    QCOMPARE(recent[0]->text(), escaped + QDir(dir.filePath("a")).absolutePath());
    QCOMPARE(recent[1]->text(), escaped + QDir(dir.filePath("b")).absolutePath());
    for (QAction *entry : recent) QVERIFY(!entry->text().contains(QChar(0x202E)));
}

// The library from the window's resources: the menu lists its titles in
// the course's order, and a scenario plays with the goldens it checks to
// lcdshot's frame.
void WindowTest::libraryPlaysFromTheMenuWithItsGoldens() {
    const script_library &library = frm->simulation().library(LIBRARY_SCENARIOS);
    QStringList files,
        course = QString::fromStdString(fileText(SCENARIO_DIR "/course.list")).split('\n');
    course.removeIf([](const QString &line) { return line.isEmpty() || line.startsWith('#'); });
    for (const library_entry &entry : library.entries())
        files << QString::fromStdString(entry.name) + ".txt";
    QCOMPARE(files, course);
    const QList<QAction *> menu = frm->Menus->Scenarios1->actions();
    QCOMPARE((size_t)menu.size(), library.entries().size());
    const int runUp = library.find("run_up");
    QVERIFY(runUp >= 0);
    QCOMPARE(menu[runUp]->text(), QString("Run-up and magneto check"));
    const std::vector<std::vector<uint8_t>> expected =
        lcdshot_tick_frames(fileText(SCENARIO_DIR "/run_up.txt"));
    reset_program_state();
    fakeClock();
    menu[runUp]->trigger();
    QVERIFY(frm->simulation().playing());
    while (frm->simulation().playing()) tick(5000);
    QVERIFY(!openMessage(frm, "stopped"));
    QVERIFY(shown() == expected.back());
    frm->simulation().power_off();
}

// A long script is checked in slices between frames: the window keeps
// running passes, shows the progress after a second of its clock, and
// Cancel drops the script.
void WindowTest::longScenarioIsCheckedWhileTheWindowRuns() {
    QProgressDialog *progress = nullptr;
    int passesAtStart = 0;
    bool done = runWhileOn(
        {action([] { current_screen = counting_screen; }), after_passes(2), action([&] {
             // Each look at the clock is a tick later.
             frm->setClock([this] { return now += session::TICK_MS; });
             play("on\nhold 14000\n", "Long");
             QVERIFY(frm->simulation().checking());
             passesAtStart = passes_seen;
         }),
         [&] {
             progress = frm->CheckProgress1;
             return progress && progress->isVisible() && progress->value() > 0 &&
                    passes_seen > passesAtStart + 2;
         },
         action([&] {
             QCOMPARE(progress->labelText(), QString("Checking the scenario \"Long\"..."));
             QTest::mouseClick(progress->findChild<QPushButton *>(), Qt::LeftButton);
             QVERIFY(!frm->simulation().checking());
             QVERIFY(!frm->simulation().playing());
         }),
         action([&] { QTest::keyClick(frm, Qt::Key_O); })});
    QVERIFY(done);
    QVERIFY(frm->CheckProgress1 == nullptr);
}

// The transport and the timeline forward to the session's player, and the
// frames on the screen are lcdshot's at each tick.
void WindowTest::transportSeeksAndSpeedsToLcdshotsFrames() {
    const std::string text =
        "rpm 30000\nmap 1522\ntemp 2674\non\nnote Warm\nhold 20\n"
        "ramp rpm 2400 rpm 10\nkey F2\nnote Check\nhold 20\nmap 4000\nhold 5\n";
    const std::vector<std::vector<uint8_t>> expected = lcdshot_tick_frames(text);
    QCOMPARE(expected.size(), size_t(551));
    reset_program_state();
    fakeClock();
    play(text, "Transport");
    PlaybackStrip &strip = *frm->Playback;
    QCOMPARE(strip.Timeline1->length(), 550);
    // A seek stops a recording, which cannot take it back: the file closes.
    QTemporaryDir dir;
    QVERIFY(frm->startRecording(dir.filePath("session.txt")));
    for (long long tick : {420LL, 3LL, 301LL, 550LL, 299LL}) {
        strip.Timeline1Seek(tick);
        QCOMPARE(strip.Timeline1->position(), tick);
        QVERIFY2(shown() == expected[tick], qPrintable(QString::number(tick)));
    }
    QVERIFY(!frm->Menus->RecordSession1->isChecked());
    const std::string recorded = fileText(dir.filePath("session.txt"));
    QVERIFY(!recorded.empty());
    QVERIFY(strip.Timeline1->accessibleDescription().startsWith("0:29 of 0:55; note: Warm"));
    // Seeking to the end paused it there; P resumes and pauses.
    QCOMPARE(strip.PlayPause1->text(), QString("Resume"));
    QVERIFY(strip.Step1->isEnabled());
    QTest::keyClick(frm, Qt::Key_P);
    QCOMPARE(strip.PlayPause1->text(), QString("Pause"));
    QVERIFY(!strip.Step1->isEnabled());
    QTest::mouseClick(strip.PlayPause1, Qt::LeftButton);
    QTest::keyClick(frm, Qt::Key_N);
    QCOMPARE(strip.Timeline1->position(), 300);
    QVERIFY(shown() == expected[300]);
    strip.Timeline1->setFocus();
    QTest::keyClick(strip.Timeline1, Qt::Key_Right);
    QCOMPARE(strip.Timeline1->position(), 310);
    QVERIFY(shown() == expected[310]);
    QTest::mouseClick(strip.Timeline1, Qt::LeftButton, {},
                      QPoint(strip.Timeline1->width() / 2, strip.Timeline1->height() / 2));
    QVERIFY(qAbs(strip.Timeline1->position() - 275) <= 2);
    QVERIFY(shown() == expected[strip.Timeline1->position()]);
    QVERIFY(frm->simulation().playing()); // none of these took over

    // From the start at x16: 16 ticks a timeout, lcdshot's frames.
    QTest::keyClick(frm, Qt::Key_R);
    for (int i = 0; i < 4; i++) QTest::keyClick(frm, Qt::Key_BracketRight);
    QCOMPARE(strip.Speed1->currentText(), QString("x16"));
    strip.Speed1->setCurrentIndex(3);
    QCOMPARE(frm->simulation().speed(), 8);
    strip.Speed1->setCurrentIndex(4);
    int timeouts = 0;
    for (; frm->simulation().playing() && timeouts < 1000; timeouts++) {
        tick();
        if (frm->simulation().playing()) QVERIFY(shown() == expected[strip.Timeline1->position()]);
    }
    QCOMPARE(timeouts, 35); // 550 ticks, 16 a timeout
    QVERIFY(shown() == expected.back());
    QVERIFY(fileText(dir.filePath("session.txt")) == recorded);
    // After the end the timeline goes on with the live session, not seekable.
    QVERIFY(!strip.Timeline1->isEnabled() && !strip.PlayPause1->isEnabled());
    frm->simulation().power_off();
}

QStringList listed(const QListWidget *list) {
    QStringList texts;
    for (int i = 0; i < list->count(); i++) texts << list->item(i)->text();
    return texts;
}

// The note shows beside the bezel as plain text wrapped whole, in the box
// and in the list: the library's longest note fits the box, a longer one
// scrolls in it. The list starts again with the next script.
void WindowTest::notesWrapWholeBesideTheBezel() {
    QVERIFY(ui->NoteBox->geometry().left() > ui->Image1->geometry().right());
    std::string longest;
    for (const library_entry &entry : frm->simulation().library(LIBRARY_SCENARIOS).entries())
        for (size_t at = entry.text.find("\nnote "); at != std::string::npos;
             at = entry.text.find("\nnote ", at + 1)) {
            const std::string note =
                entry.text.substr(at + 6, entry.text.find('\n', at + 1) - at - 6);
            if (note.size() > longest.size()) longest = note;
        }
    const std::string flood = QString("<b>Not bold</b> ").repeated(40).toStdString();
    fakeClock();
    for (const std::string &note : {longest, flood}) {
        play("note " + note + "\n", "Long note");
        QApplication::processEvents();
        QCOMPARE(ui->NoteLabel->text(), QString::fromStdString(note).trimmed());
        const int needed = ui->NoteLabel->heightForWidth(ui->NoteLabel->width());
        QVERIFY(ui->NoteLabel->width() <= ui->NoteBox->viewport()->width());
        QVERIFY(ui->NoteLabel->height() >= needed);
        const QRect item = ui->NoteList->visualItemRect(ui->NoteList->item(0));
        QVERIFY(item.width() <= ui->NoteList->viewport()->width());
        QVERIFY(item.height() >= needed - 2 * ui->NoteLabel->margin());
    }
    QVERIFY(ui->NoteBox->verticalScrollBar()->maximum() > 0);
    play("note " + longest + "\nnote Two\nhold 0.1\n", "Longest");
    QApplication::processEvents();
    QCOMPARE(ui->NoteBox->verticalScrollBar()->maximum(), 0);
    QCOMPARE(ui->NoteLabel->textFormat(), Qt::PlainText);
    // The second note waits its turn by the window's clock.
    tick(note_board::MIN_SHOW_MS);
    QCOMPARE(ui->NoteLabel->text(), QString("Two"));
    QCOMPARE(listed(ui->NoteList), QStringList({QString::fromStdString(longest), "Two"}));
}

// Ctrl+Q reaches File > Exit past the window's key bindings.
void WindowTest::controlQQuits() {
    QObject::disconnect(frm->Menus->Exit1, &QAction::triggered, frm, nullptr);
    QSignalSpy exits(frm->Menus->Exit1, &QAction::triggered);
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

// An entry's figure goes to the session and its message shows beside it;
// I, O and Return in an entry are typing, Page Up and Page Down a step.
void WindowTest::typedFiguresAndPageKeysMoveTheSliders() {
    typeEntry(ui->RpmFigure.Entry, "2400");
    QCOMPARE(ui->RpmFigure.Figure->text(), QString("2400 rpm"));
    QCOMPARE(ui->RpmFigure.Unit->text(), QString("rpm"));
    QCOMPARE(ui->EntryMessage->text(), QString());
    QTest::keyClick(ui->RpmFigure.Entry, Qt::Key_PageUp);
    QCOMPARE(ui->RpmFigure.Figure->text(), QString("2500 rpm"));
    ui->ScrollBar29->setFocus();
    QTest::keyClick(ui->ScrollBar29, Qt::Key_PageDown);
    QTest::keyClick(ui->ScrollBar29, Qt::Key_PageDown);
    QCOMPARE(ui->RpmFigure.Figure->text(), QString("2300 rpm"));
    typeEntry(ui->RpmFigure.Entry, "30000 raw");
    QCOMPARE(ui->ScrollBar29->value(), 30000);
    typeEntry(ui->RpmFigure.Entry, "16667");
    QCOMPARE(ui->ScrollBar29->value(), 30000);
    QCOMPARE(ui->EntryMessage->text(),
             "RPM: " + QString::fromStdString(frm->simulation().entry_message()));
    QVERIFY(ui->EntryMessage->text().contains("out of reach"));
    QCOMPARE(ui->EntryMessage->textFormat(), Qt::PlainText);
    typeEntry(ui->TempFigure.Entry, "io");
    QVERIFY(ui->EntryMessage->text().startsWith("TEMP: "));
    QVERIFY(recording().find("\non\n") == std::string::npos);
    QVERIFY(recording().find("\noff\n") == std::string::npos);
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
    QCOMPARE(ui->Panel1->size(), QSize(161, 121) * 2);

    QTemporaryDir dir;
    const QString script = dir.filePath("cruise & climb.txt");
    writeFile(script, "on\nhold 1\n");
    frm->PlayScenario1Click();
    emit frm->PlayDialog1->fileSelected(script);
    frm->PlayDialog1->close();
    frm->move(40, 30);
    QTRY_COMPARE(frm->pos(), QPoint(40, 30));
    frm->close();
    delete frm;

    reset_program_state();
    frm = new TfrmMain;
    ui = frm->Controls;
    frm->show();
    QVERIFY(QTest::qWaitForWindowExposed(frm));
    QCOMPARE(frm->zoom(), 2);
    QCOMPARE(ui->Panel1->size(), QSize(161, 121) * 2);
    // Where it was left, when it fits there (not at a large scale factor).
    const QRect available = frm->screen()->availableGeometry();
    QCOMPARE(frm->pos(), available.contains(QRect(QPoint(40, 30), frm->size()))
                             ? QPoint(40, 30)
                             : available.topLeft());
    frm->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frm));
    const QList<QAction *> recent = frm->Menus->RecentScenarios1->actions();
    QCOMPARE(recent.size(), 1);
    QVERIFY(recent[0]->text().startsWith("cruise && climb.txt \u2014 "));
    frm->PlayScenario1Click();
    QCOMPARE(frm->PlayDialog1->directory().absolutePath(), QDir(dir.path()).absolutePath());
    frm->PlayDialog1->close();
    // The instrument itself starts with its memory empty.
    QCOMPARE(map_filter_acc, 0u);
    QTest::keyClick(frm, Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(frm->zoom(), 1);
    QCOMPARE(frm->size(), atOne);
}

// Zoomed while off, the LCD shows its last frame whole at every zoom; the
// readouts keep their whole figures; the parts Qt sizes itself grow too;
// a window grown past the screen's edge comes back.
void WindowTest::everyZoomScalesThePartsAndRedrawsTheLcd() {
    ui->ScrollBar29->setValue(30002);
    QVERIFY(showScreen(pattern_screen));
    const int indicator = ui->CheckBox1->style()->pixelMetric(QStyle::PM_IndicatorWidth,
                                                              nullptr, ui->CheckBox1);
    const QRect available = frm->screen()->availableGeometry();
    for (int factor : {2, 3, 4, 1}) {
        frm->move(available.center());
        frm->setZoom(factor);
        QCOMPARE(ui->Label57->text(), QString("30002"));
        QVERIFY(ui->Label57->width() >= ui->Label57->sizeHint().width());
        QCOMPARE(frm->menuBar()->font().pixelSize(), 11 * factor);
        QCOMPARE(ui->CheckBox1->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr,
                                                     ui->CheckBox1),
                 indicator * factor);
        QTRY_VERIFY(available.contains(frm->frameGeometry()) ||
                    frm->frameGeometry().topLeft() == available.topLeft());
        // A grab sees only the part of the panel on the screen.
        if (!frm->screen()->geometry().contains(
                QRect(ui->Panel1->mapToGlobal(QPoint(0, 0)), ui->Panel1->size())))
            continue;
        QString mismatch;
        QTRY_VERIFY2((mismatch = panelMismatch(grabPanel(), pattern_index)).isEmpty(),
                     qPrintable(QString("zoom %1: %2").arg(factor).arg(mismatch)));
    }
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
