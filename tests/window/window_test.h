// What the window tests share: the test class, its slots defined in a file
// for each part of the window, and the helpers they use.
#pragma once

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

// The passes the power loop ran: the test screens below count them.
extern int passes_seen;

// The run screen, counting the passes.
void counting_screen(void);
// A known frame: every index 0..255 appears, both corners are white.
uint8_t pattern_index(int x, int y);
void pattern_screen(void);
// Every pixel lit, neighbours in different colours: white and red in a
// checkerboard, so a gap shows black and a blur shows a mixed colour.
uint8_t lit_index(int x, int y);
void lit_screen(void);
// The panel column or row of a device pixel: at d device pixels per window
// pixel, nearest-neighbour scaling with block edges an eighth of a pixel in.
int panel_cell(int device, double d);
QColor rgb(uint32_t colour);

// One step inside the power loop: polled between two passes until it
// returns true.
typedef std::function<bool()> Step;
Step after_passes(int n);
Step action(std::function<void()> body);

std::vector<uint8_t> shown();
// lcdshot's frame at every tick of `text` (before the next tick), its
// goldens read from `folder`.
std::vector<std::vector<uint8_t>> lcdshot_tick_frames(const std::string &text,
                                                      const std::string &folder = SCENARIO_DIR);
bool endsWith(const std::string &text, const std::string &end);
std::string fileText(const QString &path);
void writeFile(const QString &path, const std::string &bytes);
// The message box showing `text`, if one is open.
QMessageBox *openMessage(QObject *parent, const QString &text);
void typeEntry(QLineEdit *entry, const QString &text);

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
