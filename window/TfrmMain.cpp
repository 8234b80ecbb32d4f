#include "window/TfrmMain.h"

#include "core/alarms.h"
#include "core/keys.h"
#include "display/frame_buffer.h"
#include "host/figures/engine_figures.h"
#include "host/shell/engine_timers.h"
#include "host/shell/lcd_palette.h"
#include "host/shell/power_loop.h"
#include "screens/run_screen.h"
#include "screens/screen.h"
#include "host/png/png_io.h"
#include "window/data_log_dialog.h"
#include "window/lcd_presentation.h"
#include "window/lesson_panel.h"
#include "window/panel_widgets.h"
#include "window/preferences.h"
#include "window/slider_figure.h"
#include "window/timeline_view.h"
#include "window/zoom_layout.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>
#include <QWheelEvent>

#include <string.h>

#include <algorithm>

namespace {

const int CLIENT_WIDTH = 503;
const int CLIENT_HEIGHT = 446;
// The playback strip below the status bar: the transport row, the timeline.
const int TRANSPORT_TOP = 332;
const int TIMELINE_TOP = 358;
const int TIMELINE_HEIGHT = 84;

QLabel *makeLabel(QWidget *parent, const char *text, int left, int top, int width) {
    QLabel *label = new QLabel(QString::fromLatin1(text), parent);
    label->setGeometry(left, top, width, 13);
    return label;
}

// A label keeps its left and top and grows to fit its text.
void setLabelText(QLabel *label, const QString &text) {
    label->setText(text);
    label->resize(qMax(label->width(), label->sizeHint().width()), label->height());
}

// Horizontal slider; a page step of 1 keeps the whole range reachable and
// makes a click on the track move by one, as the arrows do.
QScrollBar *makeSlider(QWidget *parent, int top, slider_id input) {
    QScrollBar *slider = new QScrollBar(Qt::Horizontal, parent);
    slider->setGeometry(352, top, 137, 17);
    slider->setRange(slider_minimum(input), slider_maximum(input));
    slider->setValue(slider_minimum(input));
    slider->setSingleStep(1);
    slider->setPageStep(1);
    slider->setFocusPolicy(Qt::StrongFocus);
    return slider;
}

QPushButton *makeButton(QWidget *parent, const char *caption, int left, int top, int width) {
    QPushButton *button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setGeometry(left, top, width, 25);
    button->setAutoDefault(false);
    return button;
}

// Wheel movement of one notch, in eighths of a degree.
const int WHEEL_NOTCH = 120;

// The keyboard and wheel bindings as Help lists them: the keys, what they do.
struct binding {
    const char *keys;
    const char *action;
};

const binding BINDINGS[] = {
    {"F1", "the F1 key (left bezel key)"},
    {"F2", "the F2 key (right bezel key)"},
    {"Return, Enter, Space", "push the knob"},
    {"+ (main or keypad), Up", "turn the knob one step up"},
    {"- (main or keypad), Down", "turn the knob one step down"},
    {"Mouse wheel over the bezel", "one knob step per notch, up is +"},
    {"Wheel click over the bezel", "push the knob"},
    {"I", "On (power on; afresh while on)"},
    {"O", "Off"},
    {"X", "check or uncheck EXIO"},
    {"P", "while a script plays: pause or resume it"},
    {"N", "while a script is paused: the next tick"},
    {"R", "while a script plays: restart it"},
    {"[ and ]", "while a script plays: half or twice the speed (x1 to x16)"},
    {"Page Up, Page Down on a slider or its entry",
     "move the slider an engine step: 100 rpm, 1.0 inHg or 10 mB, 5 degrees"},
    {"Return in a slider's entry",
     "put the slider where the figure typed shows (a position when followed by raw)"},
    {"Ctrl++, Ctrl+-, Ctrl+0", "zoom the window in, out, back to 1x"},
    {"Left, Right, Page Up, Page Down, Home, End on the timeline",
     "seek a second, ten seconds, to the start or the end"},
};

// The refresh rate a swap is paced to when the screen does not tell its own.
const qreal DEFAULT_REFRESH_HZ = 60.0;

// Ticks and passes of a scenario's rehearsal run at once when it is
// chosen (a library scenario's whole); later slices run for a few
// milliseconds each between frames, and the progress shows after a second.
const long long FIRST_CHECK_SLICE = 50000;
const long long CHECK_STEP = 500;
const qint64 CHECK_SLICE_NS = 8000000;
const int CHECK_GAP_MS = 4;
const int CHECK_PROGRESS_AFTER_MS = 1000;

    // How far a second window opens down and right of the first, in window pixels.
    const int CASCADE_STEP = 32;

    // Where the window holding place `slot` among the simulator's windows
    // opens: `centred` moved a step down and right per window before it,
    // starting over where the screen has no more room.
    QPoint cascaded(QPoint centred, QSize size, const QRect &available, int slot) {
        const int room = qMin(available.right() - (centred.x() + size.width() - 1),
                              available.bottom() - (centred.y() + size.height() - 1));
        const int places = qMax(room, 0) / CASCADE_STEP + 1;
        return centred + QPoint(CASCADE_STEP, CASCADE_STEP) * (qMax(slot, 0) % places);
    }

} // namespace

TfrmMain::TfrmMain()
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("Qirel QX-40 Simulator"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);

    createMenus();

    QWidget *client = new QWidget(this);
    client->setFixedSize(CLIENT_WIDTH, CLIENT_HEIGHT);
    setCentralWidget(client);
    createControls(client);
    connectHandlers();

    // Fixed size: the client area below the menu bar, centred on the screen
    // and cascading from there when other windows of the simulator are open;
    // a window larger than the screen opens at its top-left corner, so that
    // the menu bar is on the screen.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    setZoom(preferences::zoom());
    const QRect available = screen()->availableGeometry();
    // The first window opens where it was left, when that is on the screen.
    QPoint kept;
    if (slot.number() == 0 && preferences::windowPosition(kept) &&
        available.contains(QRect(kept, size())))
        move(kept);
    else if (width() > available.width() || height() > available.height())
        move(available.topLeft());
    else
        move(cascaded(available.center() - QPoint(width() / 2, height() / 2), size(), available,
                      slot.number()));

    FormCreate();
    showFigures();
    noteTimer.start();
    noteClock = [this] { return noteTimer.elapsed(); };
    Timer1->start();
    qApp->installEventFilter(this);
}

TfrmMain::~TfrmMain() {
    qApp->removeEventFilter(this);
    stopRecording();
    FormDestroy();
}

void TfrmMain::createMenus() {
    MainMenu1 = menuBar();
    File1 = MainMenu1->addMenu(QStringLiteral("&File"));
    SaveLcdImage1 = File1->addAction(QStringLiteral("&Save LCD Image..."));
    RecordSession1 = File1->addAction(QStringLiteral("&Record Session..."));
    RecordSession1->setCheckable(true);
    OpenDataLog1 = File1->addAction(QStringLiteral("Open &Data Log..."));
    File1->addSeparator();
    Exit1 = File1->addAction(QStringLiteral("&Exit"));
    Exit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    Edit1 = MainMenu1->addMenu(QStringLiteral("&Edit"));
    CopyLcdImage1 = Edit1->addAction(QStringLiteral("&Copy LCD Image"));
    Simulation1 = MainMenu1->addMenu(QStringLiteral("&Simulation"));
    RunEngineTimers1 = Simulation1->addAction(QStringLiteral("Run &Engine Timers"));
    RunEngineTimers1->setCheckable(true);
    Simulation1->addSeparator();
    Scenarios1 = Simulation1->addMenu(QStringLiteral("S&cenarios"));
    for (const scenario_entry &entry : bundled_scenarios()) {
        // A title is the file's text: an & in it is shown, not a shortcut.
        QString label = entry.title;
        Scenarios1->addAction(label.replace('&', QStringLiteral("&&")), this, [this, entry] {
            QFile file(entry.path);
            file.open(QIODevice::ReadOnly);
            playScenario(QString::fromUtf8(file.readAll()), QStringLiteral(":/scenarios"),
                         entry.title, QStringLiteral("the scenario library"));
        });
    }
    Scenarios1->setEnabled(!Scenarios1->isEmpty());
    Lessons1 = Simulation1->addMenu(QStringLiteral("&Lessons"));
    for (const scenario_entry &entry : bundled_scenarios(QStringLiteral(":/lessons"))) {
        QString label = entry.title;
        Lessons1->addAction(label.replace('&', QStringLiteral("&&")), this, [this, entry] {
            QFile file(entry.path);
            file.open(QIODevice::ReadOnly);
            playLesson(QString::fromUtf8(file.readAll()), entry.title);
        });
    }
    Lessons1->setEnabled(!Lessons1->isEmpty());
    PlayScenario1 = Simulation1->addAction(QStringLiteral("&Play Scenario..."));
    RecentScenarios1 = Simulation1->addMenu(QStringLiteral("&Recent Scenarios"));
    showRecentScenarios();
    StopScenario1 = Simulation1->addAction(QStringLiteral("S&top Scenario"));
    StopScenario1->setEnabled(false);
    View1 = MainMenu1->addMenu(QStringLiteral("&View"));
    QActionGroup *zooms = new QActionGroup(this);
    for (int factor = preferences::MIN_ZOOM; factor <= preferences::MAX_ZOOM; factor++) {
        QAction *zoom = View1->addAction(QStringLiteral("Zoom &%1x").arg(factor));
        zoom->setCheckable(true);
        zooms->addAction(zoom);
        connect(zoom, &QAction::triggered, this, [this, factor] { setZoom(factor); });
        Zoom1[factor - 1] = zoom;
    }
    View1->addSeparator();
    ZoomIn1 = View1->addAction(QStringLiteral("Zoom &In"));
    ZoomIn1->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    ZoomOut1 = View1->addAction(QStringLiteral("Zoom &Out"));
    ZoomOut1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    ActualSize1 = View1->addAction(QStringLiteral("&Actual Size"));
    ActualSize1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    Help1 = MainMenu1->addMenu(QStringLiteral("&Help"));
    KeyboardAndMouse1 = Help1->addAction(QStringLiteral("&Keyboard and mouse"));
    About1 = Help1->addAction(QStringLiteral("&About Omnira"));
}

void TfrmMain::createControls(QWidget *client) {
    Image1 = new BezelImage(client);
    Image1->setGeometry(0, 0, 241, 249);

    Panel1 = new QWidget(client);
    Panel1->setGeometry(40, 49, LCD_PANEL_WIDTH, LCD_PANEL_HEIGHT);
    Panel1->setAutoFillBackground(true);
    QPalette black = Panel1->palette();
    black.setColor(QPalette::Window, Qt::black);
    Panel1->setPalette(black);
    Panel1->setFocusPolicy(Qt::TabFocus);
    display = new LcdSurface;
    display->exposed = [this] { Surface1Expose(); };
    // Clicks on the LCD fall through to the panel; the surface never takes focus.
    display->setFlag(Qt::WindowTransparentForInput);
    QWidget *container = QWidget::createWindowContainer(display, Panel1);
    container->setGeometry(0, 0, LCD_PANEL_WIDTH, LCD_PANEL_HEIGHT);
    container->setFocusPolicy(Qt::NoFocus);

    // The key areas lie over the bezel picture, above the panel.
    Image2 = new ClickArea(client);
    Image2->setGeometry(52, 184, 33, 41);
    Image3 = new ClickArea(client);
    Image3->setGeometry(154, 184, 33, 41);
    Image8 = new ClickArea(client);
    Image8->setGeometry(100, 200, 41, 29);

    Label53 = makeLabel(client, "MAP:", 256, 4, 26);
    Label60 = makeLabel(client, "0", 304, 4, 6);
    Label55 = makeLabel(client, "RPM:", 256, 44, 27);
    Label57 = makeLabel(client, "0", 304, 44, 6);
    Label1 = makeLabel(client, "TEMP:", 256, 84, 33);
    Label2 = makeLabel(client, "0", 304, 84, 6);
    Label60->setAccessibleName(QStringLiteral("MAP position"));
    Label57->setAccessibleName(QStringLiteral("RPM position"));
    Label2->setAccessibleName(QStringLiteral("TEMP position"));

    ScrollBar30 = makeSlider(client, 4, SLIDER_MAP);
    ScrollBar29 = makeSlider(client, 44, SLIDER_RPM);
    ScrollBar1 = makeSlider(client, 84, SLIDER_TEMP);
    MapFigure = new SliderFigure(client, SLIDER_MAP, ScrollBar30, QStringLiteral("MAP"), 23);
    RpmFigure = new SliderFigure(client, SLIDER_RPM, ScrollBar29, QStringLiteral("RPM"), 63);
    TempFigure = new SliderFigure(client, SLIDER_TEMP, ScrollBar1, QStringLiteral("TEMP"), 103);
    EntryMessage = new QLabel(client);
    EntryMessage->setGeometry(256, 123, 239, 41);
    EntryMessage->setTextFormat(Qt::PlainText);
    EntryMessage->setWordWrap(true);
    EntryMessage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    EntryMessage->setAccessibleName(QStringLiteral("Figure entry message"));

    CheckBox1 = new QCheckBox(QStringLiteral("EXIO"), client);
    CheckBox1->setGeometry(256, 166, 97, 17);

    NoteLabel = new QLabel;
    NoteLabel->setTextFormat(Qt::PlainText);
    NoteLabel->setWordWrap(true);
    NoteLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    NoteLabel->setMargin(3);
    NoteLabel->setAccessibleName(QStringLiteral("Scenario note"));
    NoteLabel->setText(
        QStringLiteral("A scenario's notes show here as it plays (Simulation > Scenarios)."));
    NoteBox = new QScrollArea(client);
    NoteBox->setGeometry(256, 186, 239, 62);
    NoteBox->setWidget(NoteLabel);
    NoteBox->setWidgetResizable(true);
    NoteBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    NoteBox->setFocusPolicy(Qt::NoFocus);
    NoteBox->viewport()->setBackgroundRole(QPalette::Base);
    NoteList = new QListWidget(client);
    NoteList->setGeometry(256, 252, 239, 52);
    NoteList->setWordWrap(true);
    NoteList->setTextElideMode(Qt::ElideNone);
    NoteList->setAlternatingRowColors(true);
    NoteList->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    NoteList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    NoteList->setAccessibleName(QStringLiteral("Scenario notes so far"));

    Lesson1 = new LessonPanel(client);
    Lesson1->setGeometry(256, 186, 239, 118);
    Lesson1->recorder = &session;
    Lesson1->played = [this] { followLesson(); };
    Lesson1->controls = [this] {
        panel_state controls;
        controls.rpm_position = ScrollBar29->value();
        controls.map_position = ScrollBar30->value();
        controls.temp_position = ScrollBar1->value();
        controls.exio_checked = CheckBox1->isChecked();
        controls.running = instrumentOn();
        controls.engine_timers = RunEngineTimers1->isChecked();
        return controls;
    };
    // The lesson starts from program start: a new session, as a scenario's.
    Lesson1->starting = [this] {
        stopRecording();
        session = session_recorder();
    };

    Shape1 = new LampShape(client);
    Shape1->setGeometry(8, 264, 33, 33);
    showLamp();

    QFont keyFont = font();
    keyFont.setBold(true);
    keyFont.setPixelSize(16);
    Button3 = makeButton(client, "+", 64, 232, 33);
    Button3->setFont(keyFont);
    Button4 = makeButton(client, "-", 144, 232, 33);
    Button4->setFont(keyFont);
    Button1 = makeButton(client, "&On", 64, 272, 75);
    Button2 = makeButton(client, "&Off", 160, 272, 75);
    // Both captions give Alt+O, which presses neither: I and O do instead.
    Button1->setShortcut(QKeySequence());
    Button2->setShortcut(QKeySequence());

    StatusBar1 = new QStatusBar(client);
    StatusBar1->setGeometry(0, 310, CLIENT_WIDTH, 19);
    StatusBar1->setSizeGripEnabled(false);

    PlayPause1 = makeButton(client, "Pause", 8, TRANSPORT_TOP, 75);
    Step1 = makeButton(client, "Step", 88, TRANSPORT_TOP, 60);
    Restart1 = makeButton(client, "Restart", 153, TRANSPORT_TOP, 70);
    Speed1 = new QComboBox(client);
    Speed1->setGeometry(228, TRANSPORT_TOP, 64, 25);
    for (int speed : script_player::SPEEDS)
        Speed1->addItem(QStringLiteral("x%1").arg(speed), speed);
    Speed1->setAccessibleName(QStringLiteral("Playback speed"));
    Timeline1 = new TimelineView(client);
    Timeline1->setGeometry(0, TIMELINE_TOP, CLIENT_WIDTH, TIMELINE_HEIGHT);
    Timeline1->seekRequested = [this](long long tick) { Timeline1Seek(tick); };

    Timer1 = new QTimer(this);
    Timer1->setInterval(100);

    Panel1->setAccessibleName(QStringLiteral("LCD"));
    Panel1->setAccessibleDescription(QString::fromStdString(describe_lcd(false).text));

    QWidget *order[] = {
        Button1,           Button2,          Button3,     Button4,          Panel1,
        ScrollBar30,       MapFigure->Entry, ScrollBar29, RpmFigure->Entry, ScrollBar1,
        TempFigure->Entry, CheckBox1,        NoteList,    PlayPause1,       Step1,
        Restart1,          Speed1,           Timeline1};
    for (size_t i = 1; i < sizeof order / sizeof order[0]; i++) setTabOrder(order[i - 1], order[i]);
    Button1->setFocus();

    Image2->setToolTip(QStringLiteral("F1 key (keyboard: F1)"));
    Image3->setToolTip(QStringLiteral("F2 key (keyboard: F2)"));
    Image8->setToolTip(QStringLiteral("Knob: click, wheel click or Return, Enter, Space to push "
                                      "it;\nturn it with the mouse wheel, + and - or Up and Down"));
    Button1->setToolTip(QStringLiteral("Power on; while on, power on afresh (keyboard: I)"));
    Button2->setToolTip(QStringLiteral("Power off (keyboard: O)"));
    CheckBox1->setToolTip(QStringLiteral("External data unit connected (keyboard: X)"));
    PlayPause1->setToolTip(QStringLiteral("Pause or resume the script playing (keyboard: P)"));
    Step1->setToolTip(QStringLiteral("While paused: the next tick (keyboard: N)"));
    Restart1->setToolTip(QStringLiteral("Play the script again from its start (keyboard: R)"));
    Speed1->setToolTip(QStringLiteral("Playback speed (keyboard: [ and ])"));
    Timeline1->setToolTip(QString());
    Button3->setToolTip(QStringLiteral("Turn the knob up (keyboard: + or Up; wheel up)"));
    Button4->setToolTip(QStringLiteral("Turn the knob down (keyboard: - or Down; wheel down)"));
    const QString sliderTip = QStringLiteral(
        "%1 input, %2: drag it, or click it and use the arrow keys, Home and End;\n"
        "Page Up and Page Down move it an engine step\n"
        "(while a slider has the focus, Up, Down, + and - move it one step, not the knob)");
    ScrollBar30->setToolTip(
        sliderTip.arg(QStringLiteral("MAP sensor"), QStringLiteral("1 to 4096")));
    ScrollBar29->setToolTip(
        sliderTip.arg(QStringLiteral("Engine-speed pulse"), QStringLiteral("1 to 100000")));
    ScrollBar1->setToolTip(
        sliderTip.arg(QStringLiteral("Temperature sensor"), QStringLiteral("0 to 4096")));
    NoteBox->setToolTip(QStringLiteral("The scenario's note, shown for at least %1 s of real "
                                       "time;\na note that comes sooner waits its turn")
                            .arg(note_board::MIN_SHOW_MS / 1000.0));
    NoteList->setToolTip(QStringLiteral("The scenario's notes so far"));
}

void TfrmMain::connectHandlers() {
    connect(Exit1, &QAction::triggered, this, &TfrmMain::Exit1Click);
    connect(Button1, &QPushButton::clicked, this, &TfrmMain::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TfrmMain::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TfrmMain::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TfrmMain::Button4Click);
    connect(Image2, &ClickArea::clicked, this, &TfrmMain::Image2Click);
    connect(Image3, &ClickArea::clicked, this, &TfrmMain::Image3Click);
    connect(Image8, &ClickArea::clicked, this, &TfrmMain::Image8Click);
    connect(ScrollBar29, &QScrollBar::valueChanged, this, &TfrmMain::ScrollBar29Change);
    connect(ScrollBar30, &QScrollBar::valueChanged, this, &TfrmMain::ScrollBar30Change);
    connect(ScrollBar1, &QScrollBar::valueChanged, this, &TfrmMain::ScrollBar1Change);
    connect(Timer1, &QTimer::timeout, this, &TfrmMain::Timer1Timer);
    connect(CheckBox1, &QCheckBox::toggled, this, &TfrmMain::CheckBox1Click);
    connect(SaveLcdImage1, &QAction::triggered, this, &TfrmMain::SaveLcdImage1Click);
    connect(RecordSession1, &QAction::triggered, this, &TfrmMain::RecordSession1Click);
    connect(CopyLcdImage1, &QAction::triggered, this, &TfrmMain::CopyLcdImage1Click);
    connect(RunEngineTimers1, &QAction::triggered, this, &TfrmMain::RunEngineTimers1Click);
    connect(KeyboardAndMouse1, &QAction::triggered, this, &TfrmMain::KeyboardAndMouse1Click);
    connect(About1, &QAction::triggered, this, &TfrmMain::About1Click);
    connect(ZoomIn1, &QAction::triggered, this, [this] { setZoom(zoomFactor + 1); });
    connect(ZoomOut1, &QAction::triggered, this, [this] { setZoom(zoomFactor - 1); });
    connect(ActualSize1, &QAction::triggered, this, [this] { setZoom(1); });
    for (SliderFigure *figure : {MapFigure, RpmFigure, TempFigure})
        connect(figure->Entry, &QLineEdit::returnPressed, this,
                [this, figure] { figureEntered(figure); });
    connect(PlayScenario1, &QAction::triggered, this, &TfrmMain::PlayScenario1Click);
    connect(OpenDataLog1, &QAction::triggered, this, &TfrmMain::OpenDataLog1Click);
    connect(StopScenario1, &QAction::triggered, this, &TfrmMain::StopScenario1Click);
    connect(PlayPause1, &QPushButton::clicked, this, &TfrmMain::PlayPause1Click);
    connect(Step1, &QPushButton::clicked, this, &TfrmMain::Step1Click);
    connect(Restart1, &QPushButton::clicked, this, &TfrmMain::Restart1Click);
    connect(Speed1, &QComboBox::currentIndexChanged, this, &TfrmMain::Speed1Change);
}

bool TfrmMain::displayReady() const {
    return context && QOpenGLContext::currentContext() == context;
}

// Display set-up: a rendering context for the LCD surface, made current for
// the life of the window, and a cleared buffer.
void TfrmMain::FormCreate() {
    display->create();
    context = new QOpenGLContext;
    // The requested format is a wish: the platform falls back to the closest
    // one it has (a smaller depth buffer, for one).
    context->setFormat(display->requestedFormat());
    if (!context->create()) {
        QMessageBox::critical(this, QString(),
                              QStringLiteral("Creating Rendering Context failed."));
    } else if (!context->makeCurrent(display)) {
        QMessageBox::critical(this, QString(),
                              QStringLiteral("MakeCurrent of rendering context failed."));
    }
    if (displayReady()) clear_display();
    current_screen = run_screen;
}

void TfrmMain::FormClose() {
    if (slot.number() == 0) preferences::setWindowPosition(pos());
    stopScenario();
    power_off_request = 1;
    stopRecording();
}

void TfrmMain::FormDestroy() {
    if (!context) return;
    context->doneCurrent();
    delete context;
    context = nullptr;
}

void TfrmMain::FormPaint() {
    if (displayReady()) present_frame();
}

void TfrmMain::FormResize() {
    if (!displayReady()) return;
    const qreal ratio = display->devicePixelRatio() * zoomFactor;
    const QSize pixels = QSize(LCD_PANEL_WIDTH, LCD_PANEL_HEIGHT) * ratio;
    set_display_viewport(ratio, pixels.width(), pixels.height());
}

void TfrmMain::Exit1Click() {
    stopScenario();
    power_off_request = 1;
    QCoreApplication::quit();
}

// Power-on, then the power loop until "&Off", closing or "&Exit" sets
// power_off_request. The loop ends only at the end of a pass, after its
// messages were processed, so a window closed inside a pass is never drawn
// into again; the window itself outlives the loop.
void TfrmMain::Button1Click() {
    stopScenario();
    session.input("on");
    power_on_sequence();
    ScrollBar29Change();
    ScrollBar30Change();
    // "&On" while on arrives inside the running loop: the power-on above is
    // all it does, so the loop goes on and a single "&Off" ends it.
    runPowerLoop();
}

// A scenario's playback also ends the loop: its passes are the script's.
void TfrmMain::runPowerLoop() {
    if (loopRunning) return;
    loopRunning = true;
    while (!power_off_request && !player) {
        power_pass(CheckBox1->isChecked() ? 1 : 0);
        session.pass();
        Lesson1->afterPass();
        showLamp();
        showFigures();
        describeLcd();
        if (displayReady()) {
            present_frame();
            swapDisplay();
        }
        waitForRefresh();
        QCoreApplication::processEvents();
    }
    loopRunning = false;
    showFigures();
    describeLcd();
}

void TfrmMain::swapDisplay() {
    if (!display->isExposed()) return;
    context->swapBuffers(display);
    remember_shown_frame();
}

// Where the swap returned without waiting for the screen (a software
// renderer, a virtual display, vsync off), waits out the rest of the refresh
// period handling events, so that the loop runs a pass per refresh as on a
// desktop instead of spinning.
void TfrmMain::waitForRefresh() {
    const qreal rate = screen()->refreshRate();
    const qint64 period = qint64(1e9 / (rate >= 1.0 ? rate : DEFAULT_REFRESH_HZ));
    const qint64 left = frameClock.isValid() ? period - frameClock.nsecsElapsed() : 0;
    if (left > 1000000) {
        QEventLoop wait;
        QTimer::singleShot(int(left / 1000000), Qt::PreciseTimer, &wait, &QEventLoop::quit);
        wait.exec();
    }
    frameClock.start();
}

bool TfrmMain::instrumentOn() const {
    return loopRunning && power_off_request == 0;
}

// On live, or in the script being played: the settings in force are the
// instrument's own, else the factory ones the next power-on loads.
bool TfrmMain::instrumentRunning() const {
    return player ? player->script().panel().running : instrumentOn();
}

void TfrmMain::Button2Click() {
    stopScenario();
    session.input("off");
    power_off_request = 1;
}

// Every key binding ends here: recorded, then stored unless the slot is full.
void TfrmMain::clickKey(uint8_t code, const char *name) {
    takeOver();
    session.input(std::string("key ") + name);
    press_key(code);
}

void TfrmMain::Image2Click() {
    clickKey(KEY_F1, "F1");
}
void TfrmMain::Image3Click() {
    clickKey(KEY_F2, "F2");
}
void TfrmMain::Image8Click() {
    clickKey(KEY_PUSH, "PUSH");
}
void TfrmMain::Button3Click() {
    clickKey(KEY_PLUS, "PLUS");
}
void TfrmMain::Button4Click() {
    clickKey(KEY_MINUS, "MINUS");
}

// The power-on sequence runs the RPM and MAP handlers itself: only a moved
// slider is an input of its own.
void TfrmMain::ScrollBar29Change() {
    if (sender() == ScrollBar29) takeOver();
    if (sender() == ScrollBar29) session.input("rpm " + std::to_string(ScrollBar29->value()));
    setLabelText(Label57, QString::number(ScrollBar29->value()));
    rpm_slider_change(ScrollBar29->value());
    RpmFigure->show(instrumentRunning());
}

void TfrmMain::ScrollBar30Change() {
    if (sender() == ScrollBar30) takeOver();
    if (sender() == ScrollBar30) session.input("map " + std::to_string(ScrollBar30->value()));
    setLabelText(Label60, QString::number(ScrollBar30->value()));
    map_slider_change((uint16_t)ScrollBar30->value());
    MapFigure->show(instrumentRunning());
}

void TfrmMain::ScrollBar1Change() {
    takeOver();
    session.input("temp " + std::to_string(ScrollBar1->value()));
    setLabelText(Label2, QString::number(ScrollBar1->value()));
    temp_slider_change((uint16_t)ScrollBar1->value());
    TempFigure->show(instrumentRunning());
}

// While a script plays, its own ticks stand for the timer's: a timeout is
// 100 ms of real time for the player. Live, the session so far extends the
// timeline a tick at a time.
void TfrmMain::Timer1Timer() {
    showNotes();
    if (player) {
        player->run_for(Timer1->interval());
        afterPlayback();
        return;
    }
    session.tick();
    announcer.tick();
    host_timer_tick(instrumentOn() ? 1 : 0);
    Lesson1->afterTick();
    // Off, no pass runs: a description held back is given here.
    if (!loopRunning) describeLcd();
    if (!playedTimeline.empty()) {
        playedTimeline.push_back(sample_instrument());
        Timeline1->setPosition((long long)playedTimeline.size() - 1);
    }
}

void TfrmMain::PlayPause1Click() {
    if (!player) return;
    if (player->status() == script_player::PAUSED)
        player->resume();
    else
        player->pause();
    showTransport();
}

void TfrmMain::Step1Click() {
    if (!player) return;
    player->step();
    afterPlayback();
}

void TfrmMain::Restart1Click() {
    if (!player) return;
    stopRecording();
    player->restart();
    afterPlayback();
}

void TfrmMain::Speed1Change() {
    if (player) player->set_speed(Speed1->currentData().toInt());
}

// Seeking rewrites the session to what the script had recorded by then, so
// a recording to a file, which cannot be taken back, stops.
void TfrmMain::Timeline1Seek(long long tick) {
    if (!player) return;
    if (recording.is_open()) {
        stopRecording();
        StatusBar1->showMessage(QStringLiteral("Recording stopped: the playback moved."));
    }
    player->seek(tick);
    // The notes start again from the one in force there.
    notes.clear();
    notesListed = 0;
    NoteList->clear();
    NoteLabel->clear();
    const QString note = Timeline1->noteAt(player->position());
    if (!note.isEmpty()) notes.post(note.toStdString(), noteClock());
    afterPlayback();
}

void TfrmMain::CheckBox1Click() {
    takeOver();
    session.input(CheckBox1->isChecked() ? "exio on" : "exio off");
}

// While the instrument is off nothing swaps the buffers, so an uncovered
// panel gets its last image back straight into the front buffer.
void TfrmMain::Surface1Expose() {
    if (displayReady() && !instrumentOn()) redraw_shown_frame();
}

QImage TfrmMain::lcdImage(double scale) const {
    QImage image(LCD_WIDTH, LCD_HEIGHT, QImage::Format_Indexed8);
    QVector<QRgb> colours(LCD_PALETTE_SIZE);
    for (int i = 0; i < LCD_PALETTE_SIZE; i++) colours[i] = 0xFF000000u | lcd_palette[i];
    image.setColorTable(colours);
    for (int y = 0; y < LCD_HEIGHT; y++)
        memcpy(image.scanLine(y), shown_frame + y * LCD_WIDTH, LCD_WIDTH);
    if (scale == 1.0) return image;
    return image.convertToFormat(QImage::Format_RGB32)
        .scaled(QSize(LCD_WIDTH, LCD_HEIGHT) * scale, Qt::IgnoreAspectRatio,
                Qt::FastTransformation);
}

bool TfrmMain::saveLcdImage(const QString &path, double scale) const {
    if (scale == 1.0) return write_lcd_indexed_png(path.toLocal8Bit().toStdString(), shown_frame);
    return lcdImage(scale).save(path, "PNG");
}

// A save dialog that leaves the power loop running: the file is written when
// the user confirms. The type list of the LCD image holds the choice of size.
QFileDialog *TfrmMain::saveDialog(const QString &title, const QString &file,
                                  const QStringList &filters,
                                  const std::function<void(const QString &)> &chosen) {
    QFileDialog *dialog = new QFileDialog(this, title, QString(), QString());
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setNameFilters(filters);
    dialog->selectFile(file);
    dialog->setWindowModality(Qt::WindowModal);
    rememberFolder(dialog, title);
    connect(dialog, &QFileDialog::fileSelected, this, chosen);
    return dialog;
}

void TfrmMain::SaveLcdImage1Click() {
    const double scale = devicePixelRatioF();
    const QString plain = QStringLiteral("PNG image, 160 x 120, exact palette indices (*.png)");
    QStringList filters(plain);
    if (scale != 1.0) {
        const QSize size = QSize(LCD_WIDTH, LCD_HEIGHT) * scale;
        filters << QStringLiteral("PNG image at the window's scale %1x, %2 x %3 (*.png)")
                       .arg(scale)
                       .arg(size.width())
                       .arg(size.height());
    }
    if (!SaveDialog1)
        SaveDialog1 =
            saveDialog(QStringLiteral("Save LCD Image"), QStringLiteral("lcd.png"), filters,
                       [this, plain, scale](const QString &chosen) {
                           QString path = chosen;
                           if (!path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
                               path += QStringLiteral(".png");
                           const bool exact = SaveDialog1->selectedNameFilter() == plain;
                           if (!saveLcdImage(path, exact ? 1.0 : scale)) cannotWrite(path);
                       });
    SaveDialog1->open();
}

void TfrmMain::cannotWrite(const QString &path) {
    showMessage(QMessageBox::Warning, QStringLiteral("Cannot write %1.").arg(path));
}

// A message that leaves the power loop running.
void TfrmMain::showMessage(QMessageBox::Icon icon, const QString &text) {
    QMessageBox *box = new QMessageBox(icon, QString(), QString(), QMessageBox::Ok, this);
    // Text from a script or a file name is never taken as markup.
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void TfrmMain::PlayScenario1Click() {
    if (!PlayDialog1) {
        PlayDialog1 =
            new QFileDialog(this, QStringLiteral("Play Scenario"), QString(),
                            QStringLiteral("omnira-lcdshot script (*.txt);;Any file (*)"));
        PlayDialog1->setFileMode(QFileDialog::ExistingFile);
        PlayDialog1->setWindowModality(Qt::WindowModal);
        rememberFolder(PlayDialog1, QStringLiteral("Play Scenario"));
        connect(PlayDialog1, &QFileDialog::fileSelected, this, &TfrmMain::openScriptFile);
    }
    PlayDialog1->open();
}

bool TfrmMain::openScriptFile(const QString &path) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || file.size() > (qint64)lcd_script::MAX_SCRIPT_BYTES ||
        !file.open(QIODevice::ReadOnly)) {
        showMessage(QMessageBox::Warning,
                    QStringLiteral("Cannot read %1 as a scenario: it is missing, not a file, "
                                   "unreadable or larger than 1 MB.")
                        .arg(path));
        return false;
    }
    const QString text = QString::fromUtf8(file.readAll());
    preferences::addRecentScenario(QFileInfo(path).absoluteFilePath());
    showRecentScenarios();
    return playScenario(text, QFileInfo(path).absolutePath(),
                        scenario_title(text, QFileInfo(path).fileName()),
                        QStringLiteral("the file %1").arg(path));
}

void TfrmMain::OpenDataLog1Click() {
    if (!DataLogDialog1) {
        DataLogDialog1 =
            new QFileDialog(this, QStringLiteral("Open Data Log"), QString(),
                            QStringLiteral("Engine data log (*.csv);;Any file (*)"));
        DataLogDialog1->setFileMode(QFileDialog::ExistingFile);
        DataLogDialog1->setWindowModality(Qt::WindowModal);
        rememberFolder(DataLogDialog1, QStringLiteral("Open Data Log"));
        connect(DataLogDialog1, &QFileDialog::fileSelected, this, &TfrmMain::openDataLogFile);
    }
    DataLogDialog1->open();
}

bool TfrmMain::openDataLogFile(const QString &path) {
    QString problem;
    log_header header;
    std::string error;
    if (!read_data_log(path, dataLog, problem)) {
        showMessage(QMessageBox::Warning, problem);
        return false;
    }
    if (!read_log_header(dataLog, header, error)) {
        showMessage(QMessageBox::Warning, QStringLiteral("%1 is no data log this reads: %2.")
                                              .arg(path, QString::fromStdString(error)));
        return false;
    }
    dataLogPath = path;
    delete ColumnDialog1;
    ColumnDialog1 = new TfrmDataLog(this, header, QFileInfo(path).fileName());
    ColumnDialog1->setWindowModality(Qt::WindowModal);
    connect(ColumnDialog1, &QDialog::accepted, this, &TfrmMain::ColumnDialog1Accept);
    ColumnDialog1->open();
    return true;
}

void TfrmMain::ColumnDialog1Accept() {
    log_options options = ColumnDialog1->options();
    options.title = QFileInfo(dataLogPath).fileName().toStdString();
    log_conversion result;
    if (!convert_data_log(dataLog, options, result)) {
        showMessage(QMessageBox::Warning, QStringLiteral("%1 gives no scenario: %2.")
                                              .arg(dataLogPath, QString::fromStdString(result.error)));
        return;
    }
    const QString title = QFileInfo(dataLogPath).fileName();
    if (playScenario(QString::fromStdString(result.script), QFileInfo(dataLogPath).absolutePath(),
                     title, QStringLiteral("the data log %1").arg(dataLogPath)) &&
        !result.warnings.empty())
        StatusBar1->showMessage(QStringLiteral("%1: %2 warnings, the first: %3")
                                    .arg(title)
                                    .arg(result.warnings.size())
                                    .arg(QString::fromStdString(result.warnings[0])));
}

void TfrmMain::StopScenario1Click() {
    takeOver();
}

bool TfrmMain::playScenario(const QString &text, const QString &folder, const QString &title,
                            const QString &source) {
    cancelCheck();
    checkFiles = std::make_unique<scenario_files>(folder);
    // Captions show beside the LCD; the pictures the script names are lcdshot's.
    checked = std::make_unique<script_player>(*checkFiles, [](const std::string &) {});
    checkedTitle = title;
    checkedSource = source.isEmpty() ? QStringLiteral("a script") : source;
    if (!checked->load(text.toStdString())) return refuseScenario();
    return checkScenario(checked->check(FIRST_CHECK_SLICE));
}

// A slice of the check, between frames.
void TfrmMain::checkSlice() {
    if (!checked) return;
    QElapsedTimer slice;
    slice.start();
    lcd_script::rehearsal outcome;
    do outcome = checked->check(CHECK_STEP);
    while (outcome == lcd_script::REHEARSING && slice.nsecsElapsed() < CHECK_SLICE_NS);
    checkScenario(outcome);
}

// After a slice of the chosen scenario's rehearsal, which runs on its own
// copy of the program state (the instrument, the panel and the session go on
// as they were): plays it once the rehearsal passed; false when refused.
bool TfrmMain::checkScenario(lcd_script::rehearsal outcome) {
    switch (outcome) {
    case lcd_script::REHEARSING:
        if (!checkProgress) {
            checkProgress = new QProgressDialog(this);
            QLabel *label = new QLabel(checkProgress);
            label->setTextFormat(Qt::PlainText);
            label->setText(QStringLiteral("Checking the scenario \"%1\"...").arg(checkedTitle));
            checkProgress->setLabel(label);
            checkProgress->setWindowTitle(QStringLiteral("Play Scenario"));
            checkProgress->setMinimumDuration(CHECK_PROGRESS_AFTER_MS);
            checkProgress->setWindowModality(Qt::NonModal);
            connect(checkProgress, &QProgressDialog::canceled, this, &TfrmMain::cancelCheck);
        }
        checkProgress->setMaximum(1000);
        checkProgress->setValue(int(checked->check_progress() * 1000));
        QTimer::singleShot(CHECK_GAP_MS, this, &TfrmMain::checkSlice);
        return true;
    case lcd_script::REFUSED: return refuseScenario();
    case lcd_script::REHEARSED: break;
    }
    closeCheckProgress();
    // The rehearsal left the program at its start: a new session with it.
    stopScenario();
    const QString recordingStopped =
        recording.is_open() ? QStringLiteral("; the recording to %1 stopped").arg(recordingPath)
                            : QString();
    stopRecording();
    Lesson1->close();
    player = std::move(checked);
    playerFiles = std::move(checkFiles);
    playerTitle = checkedTitle;
    session = session_recorder();
    notes.clear();
    notesListed = 0;
    NoteList->clear();
    NoteLabel->clear();
    player->echo_to(&session);
    player->notes_to([this](const std::string &text) { notes.post(text, noteClock()); });
    StopScenario1->setEnabled(true);
    Timeline1->setTimeline(&player->timeline(), &player->notes());
    Speed1->setCurrentIndex(0);
    StatusBar1->showMessage(QStringLiteral("Playing %1%2").arg(playerTitle, recordingStopped));
    player->run_for(0);
    afterPlayback();
    return true;
}

// Says why the scenario chosen plays nothing; the box stays until dismissed.
bool TfrmMain::refuseScenario() {
    showMessage(QMessageBox::Warning,
                QStringLiteral("The scenario \"%1\" from %2 has an error and plays nothing:\n%3")
                    .arg(checkedTitle, checkedSource, QString::fromStdString(checked->error())));
    cancelCheck();
    return false;
}

// Drops the scenario being checked, if any; nothing of it has run live.
void TfrmMain::cancelCheck() {
    checked.reset();
    checkFiles.reset();
    closeCheckProgress();
}

void TfrmMain::closeCheckProgress() {
    if (!checkProgress) return;
    QProgressDialog *progress = checkProgress;
    checkProgress = nullptr;
    progress->disconnect(this);
    progress->deleteLater();
}

// After the player ran: the controls, the frame and the timeline follow it;
// at its end, or when an expectation failed, the instrument runs on live.
void TfrmMain::afterPlayback() {
    showPlayback();
    const script_player::state status = player->status();
    if (status != script_player::ENDED && status != script_player::FAILED) return;
    if (status == script_player::FAILED)
        showMessage(QMessageBox::Warning,
                    QStringLiteral("The scenario \"%1\" stopped: %2")
                        .arg(playerTitle, QString::fromStdString(player->error())));
    const QString ended = QStringLiteral("%1: ended; the instrument runs on live").arg(playerTitle);
    takeOver();
    StatusBar1->showMessage(ended);
}

// The controls follow the script without firing their handlers; the frame
// and the lamp are those of its last pass.
void TfrmMain::showPlayback() {
    showPanel(player->script().panel());
    showNotes();
    Timeline1->setPosition(player->position());
    showTransport();
}

void TfrmMain::showPanel(const panel_state &panel) {
    {
        const QSignalBlocker rpm(ScrollBar29), map(ScrollBar30), temp(ScrollBar1), exio(CheckBox1),
            timers(RunEngineTimers1);
        ScrollBar29->setValue(panel.rpm_position);
        ScrollBar30->setValue(panel.map_position);
        ScrollBar1->setValue(panel.temp_position);
        CheckBox1->setChecked(panel.exio_checked);
        RunEngineTimers1->setChecked(panel.engine_timers);
    }
    setLabelText(Label57, QString::number(panel.rpm_position));
    setLabelText(Label60, QString::number(panel.map_position));
    setLabelText(Label2, QString::number(panel.temp_position));
    showLamp();
    showFigures();
    describeLcd();
    if (displayReady()) {
        present_frame();
        swapDisplay();
    }
}

bool TfrmMain::playLesson(const QString &text, const QString &title) {
    stopScenario();
    QString error;
    if (!Lesson1->start(text, title, error)) {
        showMessage(QMessageBox::Warning,
                    QStringLiteral("The lesson \"%1\" cannot start: %2").arg(title, error));
        return false;
    }
    StatusBar1->showMessage(QStringLiteral("Lesson: %1").arg(title));
    return true;
}

// The controls follow what the lesson played; the live loop runs while the
// lesson has the instrument on.
void TfrmMain::followLesson() {
    const panel_state &panel = Lesson1->lesson()->panel();
    showPanel(panel);
    if (panel.running && !loopRunning) QTimer::singleShot(0, this, &TfrmMain::runPowerLoop);
}

// The transport follows the player: enabled while a script plays.
void TfrmMain::showTransport() {
    const bool playing = player != nullptr;
    const bool paused = playing && player->status() == script_player::PAUSED;
    PlayPause1->setText(paused ? QStringLiteral("Resume") : QStringLiteral("Pause"));
    for (QWidget *control : {(QWidget *)PlayPause1, (QWidget *)Restart1, (QWidget *)Speed1})
        control->setEnabled(playing);
    Step1->setEnabled(paused);
    Timeline1->setEnabled(playing);
}

// The note due now, and the notes that reached the list since the last look.
// They stay after the scenario, until the next one starts.
void TfrmMain::showNotes() {
    notes.update(noteClock());
    if (notesListed == notes.listed()) return;
    // The list follows the new notes unless the user has scrolled back.
    const QScrollBar *scroll = NoteList->verticalScrollBar();
    const bool following = scroll->value() == scroll->maximum();
    for (; notesListed < notes.listed(); notesListed++)
        NoteList->addItem(QString::fromStdString(notes.note(notesListed)));
    if (following) NoteList->scrollToBottom();
    NoteLabel->setText(QString::fromStdString(notes.shown()));
}

// Ends a scenario where it is, with no more of its lines, and says so.
void TfrmMain::stopScenario() {
    if (!player) return;
    player->echo_to(nullptr);
    // The timeline keeps what was played, up to where it stopped.
    playedTimeline = player->timeline();
    playedTimeline.resize((size_t)player->position() + 1);
    playedNotes.clear();
    for (const timeline_note &note : player->notes())
        if (note.tick <= player->position()) playedNotes.push_back(note);
    Timeline1->setTimeline(&playedTimeline, &playedNotes);
    Timeline1->setPosition(player->position());
    player->notes_to(nullptr);
    player.reset();
    StopScenario1->setEnabled(false);
    StatusBar1->showMessage(QStringLiteral("%1: stopped").arg(playerTitle));
    showTransport();
}

// The user takes over from a scenario: it stops and the instrument runs on
// live from where it left it, on or off.
void TfrmMain::takeOver() {
    if (!player) return;
    const bool running = player->script().panel().running;
    stopScenario();
    if (!running) return;
    StatusBar1->showMessage(
        QStringLiteral("%1: stopped; the instrument runs on live").arg(playerTitle));
    QTimer::singleShot(0, this, &TfrmMain::runPowerLoop);
}

void TfrmMain::CopyLcdImage1Click() {
    QGuiApplication::clipboard()->setImage(lcdImage(1.0));
}

bool TfrmMain::startRecording(const QString &path) {
    stopRecording();
    recording.open(path.toLocal8Bit().constData(), std::ios::out | std::ios::trunc);
    if (!recording) return false;
    recording << "# Omnira session: an lcdshot script of every input since the window opened\n";
    session.stream_to([this](const std::string &line) { recording << line << std::flush; });
    if (!recording) {
        recording.close();
        session.stream_to(nullptr);
        return false;
    }
    recordingPath = path;
    RecordSession1->setChecked(true);
    StatusBar1->showMessage(QStringLiteral("Recording the session to %1").arg(path));
    return true;
}

void TfrmMain::stopRecording() {
    RecordSession1->setChecked(false);
    if (!recording.is_open()) return;
    session.stream_to(nullptr);
    recording.close();
    StatusBar1->showMessage(QStringLiteral("Recording to %1 stopped").arg(recordingPath));
}

// Checked: asks for the script file and records into it; unchecked: stops.
void TfrmMain::RecordSession1Click() {
    if (!RecordSession1->isChecked()) {
        stopRecording();
        return;
    }
    RecordSession1->setChecked(false);
    if (!RecordDialog1)
        RecordDialog1 = saveDialog(QStringLiteral("Record Session"), QStringLiteral("session.txt"),
                                   {QStringLiteral("omnira-lcdshot script (*.txt)")},
                                   [this](const QString &path) {
                                       if (!startRecording(path)) cannotWrite(path);
                                   });
    RecordDialog1->open();
}

void TfrmMain::RunEngineTimers1Click() {
    takeOver();
    engine_timers_on = RunEngineTimers1->isChecked() ? 1 : 0;
    session.input(engine_timers_on ? "engine-timers on" : "engine-timers off");
}

QString TfrmMain::bindingsText() {
    QString text;
    for (const binding &b : BINDINGS)
        text += QStringLiteral("%1: %2\n").arg(QLatin1String(b.keys), QLatin1String(b.action));
    text += QStringLiteral("\nEvery key goes through the instrument's one-key slot, as a click "
                           "does: a key made before the instrument took the previous one is "
                           "dropped. While a slider has the focus, Up, Down, + and - "
                           "move the slider one step instead. Return and Space push the knob "
                           "wherever the focus is, never a focused button.\n\nWhile a scenario "
                           "plays, any click or key of yours on the instrument's controls stops "
                           "it, and the instrument runs on live from there, as it does after "
                           "the scenario's last line and after Simulation > Stop Scenario.");
    return text;
}

// The help stays open beside the window while the instrument runs.
void TfrmMain::KeyboardAndMouse1Click() {
    if (!HelpBox1) {
        HelpBox1 = new QMessageBox(QMessageBox::Information, QStringLiteral("Keyboard and mouse"),
                                   bindingsText(), QMessageBox::Close, this);
        HelpBox1->setWindowModality(Qt::NonModal);
    }
    HelpBox1->show();
    HelpBox1->raise();
}

// The knob and key bindings, for every key that reaches this window.
bool TfrmMain::keyboardKey(int key) {
    switch (key) {
    case Qt::Key_F1: Image2Click(); return true;
    case Qt::Key_F2: Image3Click(); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space: Image8Click(); return true;
    case Qt::Key_Plus:
    case Qt::Key_Up: Button3Click(); return true;
    case Qt::Key_Minus:
    case Qt::Key_Down: Button4Click(); return true;
    case Qt::Key_I: Button1->click(); return true;
    case Qt::Key_O: Button2->click(); return true;
    case Qt::Key_X: CheckBox1->click(); return true;
    case Qt::Key_P: PlayPause1Click(); return true;
    case Qt::Key_N: Step1Click(); return true;
    case Qt::Key_R: Restart1Click(); return true;
    case Qt::Key_BracketLeft:
    case Qt::Key_BracketRight:
        Speed1->setCurrentIndex(
            std::clamp(Speed1->currentIndex() + (key == Qt::Key_BracketLeft ? -1 : 1), 0,
                       Speed1->count() - 1));
        return true;
    default: return false;
    }
}

// One knob step per whole notch; a fine-grained wheel adds up to notches.
bool TfrmMain::wheelTurn(int delta) {
    wheelRemainder += delta;
    while (wheelRemainder >= WHEEL_NOTCH) {
        wheelRemainder -= WHEEL_NOTCH;
        Button3Click();
    }
    while (wheelRemainder <= -WHEEL_NOTCH) {
        wheelRemainder += WHEEL_NOTCH;
        Button4Click();
    }
    return true;
}

bool TfrmMain::eventFilter(QObject *watched, QEvent *event) {
    QWidget *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != this) return false;
    if (event->type() == QEvent::KeyPress) {
        QKeyEvent *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers other =
            key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
        if (other != Qt::NoModifier) return false;
        // Page Up and Page Down on a slider or its entry: an engine step.
        if (SliderFigure *figure = figureFor(focusWidget())) {
            if (key->key() == Qt::Key_PageUp || key->key() == Qt::Key_PageDown) {
                figure->pageStep(key->key() == Qt::Key_PageUp ? 1 : -1, instrumentRunning());
                return true;
            }
        }
        // An entry keeps every other key for its typing.
        if (qobject_cast<QLineEdit *>(focusWidget())) return false;
        // A focused slider keeps Up and Down, and takes + and - as one step.
        if (QScrollBar *slider = qobject_cast<QScrollBar *>(focusWidget())) {
            switch (key->key()) {
            case Qt::Key_Plus:
                slider->triggerAction(QAbstractSlider::SliderSingleStepAdd);
                return true;
            case Qt::Key_Minus:
                slider->triggerAction(QAbstractSlider::SliderSingleStepSub);
                return true;
            case Qt::Key_Up:
            case Qt::Key_Down: return false;
            }
        }
        return keyboardKey(key->key());
    }
    if (event->type() == QEvent::MouseButtonPress) {
        QMouseEvent *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::MiddleButton) return false;
        const QPoint at = Image1->mapFromGlobal(mouse->globalPosition().toPoint());
        if (!Image1->rect().contains(at)) return false;
        Image8Click();
        return true;
    }
    if (event->type() == QEvent::Wheel) {
        QWheelEvent *wheel = static_cast<QWheelEvent *>(event);
        const QPoint at = Image1->mapFromGlobal(wheel->globalPosition().toPoint());
        if (!Image1->rect().contains(at)) return false;
        return wheelTurn(wheel->angleDelta().y());
    }
    return false;
}

void TfrmMain::closeEvent(QCloseEvent *event) {
    FormClose();
    event->accept();
}

void TfrmMain::paintEvent(QPaintEvent *event) {
    QMainWindow::paintEvent(event);
    FormPaint();
}

void TfrmMain::resizeEvent(QResizeEvent *event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TfrmMain::showFigures() {
    for (SliderFigure *figure : {MapFigure, RpmFigure, TempFigure})
        figure->show(instrumentRunning());
}

// The lamp's state in its name and a mark inside it as well as in its colour.
void TfrmMain::showLamp() {
    const bool bright = lamp_red >= LAMP_BRIGHT;
    Shape1->setBrushColour(QColor(lamp_red, 0, 0));
    Shape1->setLit(bright);
    const QString name = QString::fromLatin1(lamp_accessible_name(bright));
    if (Shape1->accessibleName() != name) Shape1->setAccessibleName(name);
}

// The LCD's description for a screen reader, given anew (with its event)
// only on a change of substance and at most once a second.
void TfrmMain::describeLcd() {
    const lcd_description description = describe_lcd(instrumentRunning());
    // Setting the description sends the accessibility event.
    if (announcer.offer(description))
        Panel1->setAccessibleDescription(QString::fromStdString(description.text));
}

void TfrmMain::figureEntered(SliderFigure *figure) {
    takeOver();
    const QString message = figure->enter(instrumentRunning());
    EntryMessage->setText(message.isEmpty() ? QString()
                                            : figure->name + QStringLiteral(": ") + message);
    figure->show(instrumentRunning());
}

SliderFigure *TfrmMain::figureFor(QWidget *widget) const {
    for (SliderFigure *figure : {MapFigure, RpmFigure, TempFigure})
        if (widget && (widget == figure->bar || widget == figure->Entry)) return figure;
    return nullptr;
}

void TfrmMain::setZoom(int factor) {
    zoomFactor = std::clamp(factor, preferences::MIN_ZOOM, preferences::MAX_ZOOM);
    Zoom1[zoomFactor - 1]->setChecked(true);
    ZoomIn1->setEnabled(zoomFactor < preferences::MAX_ZOOM);
    ZoomOut1->setEnabled(zoomFactor > preferences::MIN_ZOOM);
    zoomLayout(centralWidget(), zoomFactor);
    zoomLayout(Panel1, zoomFactor);
    preferences::setZoom(zoomFactor);
    adjustSize();
    FormResize();
    FormPaint();
}

void TfrmMain::showRecentScenarios() {
    RecentScenarios1->clear();
    for (const QString &path : preferences::recentScenarios()) {
        QString label = QFileInfo(path).fileName();
        RecentScenarios1
            ->addAction(label.replace('&', QStringLiteral("&&")), this,
                        [this, path] { openScriptFile(path); })
            ->setToolTip(path);
    }
    RecentScenarios1->setEnabled(!RecentScenarios1->isEmpty());
}

void TfrmMain::rememberFolder(QFileDialog *dialog, const QString &name) {
    const QString folder = preferences::lastFolder(name);
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) dialog->setDirectory(folder);
    connect(dialog, &QFileDialog::fileSelected, this, [name](const QString &path) {
        preferences::setLastFolder(name, QFileInfo(path).absolutePath());
    });
}

void TfrmMain::About1Click() {
    showMessage(QMessageBox::Information,
                QStringLiteral("Omnira %1\n\nA simulator of an engine instrument: its LCD, "
                               "bezel keys, knob, alarm lamp and sensor inputs.")
                    .arg(QApplication::applicationVersion()));
}
