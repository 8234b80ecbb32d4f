#include "window/TfrmMain.h"

#include "display/frame_buffer.h"
#include "host/png/png_io.h"
#include "screens/run_screen.h"
#include "screens/screen.h"
#include "window/instrument_panel.h"
#include "window/key_names.h"
#include "window/lcd_presentation.h"
#include "window/lesson_panel.h"
#include "window/library_resources.h"
#include "window/menus.h"
#include "window/panel_widgets.h"
#include "window/playback_strip.h"
#include "window/preferences.h"
#include "window/timeline_view.h"
#include "window/zoom_layout.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QOpenGLContext>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include <string.h>

#include <algorithm>

namespace {

const int CLIENT_WIDTH = 503;
const int CLIENT_HEIGHT = 446;

// Wheel movement of one notch, in eighths of a degree.
const int WHEEL_NOTCH = 120;

// The refresh rate a swap is paced to when the screen does not tell its own.
const qreal DEFAULT_REFRESH_HZ = 60.0;

// How far a second window opens down and right of the first, in window pixels.
const int CASCADE_STEP = 32;

// Where the window holding place `slot` among the simulator's windows opens:
// `centred` moved a step down and right per window before it, starting over
// where the screen has no more room.
QPoint cascaded(QPoint centred, QSize size, const QRect &available, int slot) {
    const int room = qMin(available.right() - (centred.x() + size.width() - 1),
                          available.bottom() - (centred.y() + size.height() - 1));
    const int places = qMax(room, 0) / CASCADE_STEP + 1;
    return centred + QPoint(CASCADE_STEP, CASCADE_STEP) * (qMax(slot, 0) % places);
}

} // namespace

TfrmMain::TfrmMain()
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      sim(read_golden_file) {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);
    realTime.start();
    setClock([this] { return realTime.elapsed(); });

    Menus = new MainMenus(menuBar(), this);
    QWidget *client = new QWidget(this);
    client->setFixedSize(CLIENT_WIDTH, CLIENT_HEIGHT);
    setCentralWidget(client);
    Controls = new InstrumentPanel(client);
    Controls->Surface1->exposed = [this] { Surface1Expose(); };
    Playback = new PlaybackStrip(client, sim, [this] { sessionChanged(); });
    Lesson1 = new LessonPanel(
        client, sim, [this] { sessionChanged(); }, Controls->Panel1);
    Lesson1->setGeometry(256, 186, 239, 118);
    Timer1 = new QTimer(this);
    Timer1->setInterval(session::TICK_MS);
    connectHandlers();
    loadLibraries();
    connectProfileHandlers();
    showRecent();

    InstrumentPanel &c = *Controls;
    QWidget *order[] = {c.Button1,          c.Button2,
                        c.Button3,          c.Button4,
                        c.Panel1,           c.ScrollBar30,
                        c.MapFigure.Entry,  c.ScrollBar29,
                        c.RpmFigure.Entry,  c.ScrollBar1,
                        c.TempFigure.Entry, c.CheckBox1,
                        c.NoteList,         Playback->PlayPause1,
                        Playback->Step1,    Playback->Restart1,
                        Playback->Speed1,   Playback->Timeline1};
    for (size_t i = 1; i < sizeof order / sizeof order[0]; i++) setTabOrder(order[i - 1], order[i]);
    c.Button1->setFocus();

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
    showSession();
    Timer1->start();
    qApp->installEventFilter(this);
}

TfrmMain::~TfrmMain() {
    qApp->removeEventFilter(this);
    stopRecording();
    FormDestroy();
}

LcdSurface *TfrmMain::lcdSurface() const {
    return Controls->Surface1;
}

void TfrmMain::setClock(std::function<qint64()> source) {
    clock = std::move(source);
    lastTime = clock();
}

// The bundled scenarios with their goldens, the lessons and the preset profiles.
void TfrmMain::loadLibraries() {
    load_library(sim.library(LIBRARY_SCENARIOS), QStringLiteral(":/scenarios"));
    load_library(sim.library(LIBRARY_LESSONS), QStringLiteral(":/lessons"));
    load_library(sim.library(LIBRARY_PROFILES), QStringLiteral(":/profiles"));
    Menus->showLibraries(sim, [this](library_kind kind, size_t index) {
        sim.play_library(kind, index);
        sessionChanged();
    });
}

void TfrmMain::connectHandlers() {
    InstrumentPanel &c = *Controls;
    MainMenus &m = *Menus;
    connect(c.Button1, &QPushButton::clicked, this, &TfrmMain::Button1Click);
    connect(c.Button2, &QPushButton::clicked, this, &TfrmMain::Button2Click);
    connect(c.Button3, &QPushButton::clicked, this, &TfrmMain::Button3Click);
    connect(c.Button4, &QPushButton::clicked, this, &TfrmMain::Button4Click);
    connect(c.Image2, &ClickArea::clicked, this, &TfrmMain::Image2Click);
    connect(c.Image3, &ClickArea::clicked, this, &TfrmMain::Image3Click);
    connect(c.Image8, &ClickArea::clicked, this, &TfrmMain::Image8Click);
    connect(c.ScrollBar29, &QScrollBar::valueChanged, this, &TfrmMain::ScrollBar29Change);
    connect(c.ScrollBar30, &QScrollBar::valueChanged, this, &TfrmMain::ScrollBar30Change);
    connect(c.ScrollBar1, &QScrollBar::valueChanged, this, &TfrmMain::ScrollBar1Change);
    connect(c.CheckBox1, &QCheckBox::toggled, this, &TfrmMain::CheckBox1Click);
    for (SliderFigure *figure : {&c.MapFigure, &c.RpmFigure, &c.TempFigure})
        connect(figure->Entry, &QLineEdit::returnPressed, this,
                [this, figure] { figureEntered(*figure); });
    connect(Timer1, &QTimer::timeout, this, &TfrmMain::Timer1Timer);
    connect(m.Exit1, &QAction::triggered, this, &TfrmMain::Exit1Click);
    connect(m.SaveLcdImage1, &QAction::triggered, this, &TfrmMain::SaveLcdImage1Click);
    connect(m.RecordSession1, &QAction::triggered, this, &TfrmMain::RecordSession1Click);
    connect(m.OpenDataLog1, &QAction::triggered, this, &TfrmMain::OpenDataLog1Click);
    connect(m.CopyLcdImage1, &QAction::triggered, this, &TfrmMain::CopyLcdImage1Click);
    connect(m.RunEngineTimers1, &QAction::triggered, this, &TfrmMain::RunEngineTimers1Click);
    connect(m.PlayScenario1, &QAction::triggered, this, &TfrmMain::PlayScenario1Click);
    connect(m.StopScenario1, &QAction::triggered, this, &TfrmMain::StopScenario1Click);
    connect(m.KeyboardAndMouse1, &QAction::triggered, this, &TfrmMain::KeyboardAndMouse1Click);
    connect(m.About1, &QAction::triggered, this, &TfrmMain::About1Click);
    for (int factor = preferences::MIN_ZOOM; factor <= preferences::MAX_ZOOM; factor++)
        connect(m.Zoom1[factor - 1], &QAction::triggered, this,
                [this, factor] { setZoom(factor); });
    connect(m.ZoomIn1, &QAction::triggered, this, [this] { setZoom(zoomFactor + 1); });
    connect(m.ZoomOut1, &QAction::triggered, this, [this] { setZoom(zoomFactor - 1); });
    connect(m.ActualSize1, &QAction::triggered, this, [this] { setZoom(1); });
}

// --- Display set-up

bool TfrmMain::displayReady() const {
    return context && QOpenGLContext::currentContext() == context;
}

// A rendering context for the LCD surface, made current for the life of the
// window, and a cleared buffer.
void TfrmMain::FormCreate() {
    LcdSurface *display = lcdSurface();
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
    stopRecording();
    sim.power_off();
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
    const qreal ratio = lcdSurface()->devicePixelRatio() * zoomFactor;
    const QSize pixels = QSize(LCD_PANEL_WIDTH, LCD_PANEL_HEIGHT) * ratio;
    set_display_viewport(ratio, pixels.width(), pixels.height());
}

// While the loop is not running nothing swaps the buffers, so an uncovered
// panel gets its last image back straight into the front buffer.
void TfrmMain::Surface1Expose() {
    if (displayReady() && !loopRunning) redraw_shown_frame();
}

void TfrmMain::setZoom(int factor) {
    zoomFactor = std::clamp(factor, preferences::MIN_ZOOM, preferences::MAX_ZOOM);
    Menus->showZoom(zoomFactor);
    zoomLayout(centralWidget(), zoomFactor);
    zoomLayout(Controls->Panel1, zoomFactor);
    zoomChrome(this, zoomFactor);
    preferences::setZoom(zoomFactor);
    adjustSize();
    // A window grown past the screen's edge comes back, its menu bar first.
    if (isVisible()) {
        const QRect available = screen()->availableGeometry();
        const QRect frame = frameGeometry();
        move(std::clamp(frame.left(), available.left(),
                        std::max(available.left(), available.right() + 1 - frame.width())),
             std::clamp(frame.top(), available.top(),
                        std::max(available.top(), available.bottom() + 1 - frame.height())));
    }
    FormResize();
    // Outside the power loop nothing draws the panel at its new size but
    // the frame it shows.
    if (loopRunning)
        FormPaint();
    else
        Surface1Expose();
}

// --- Input, forwarded to the session

void TfrmMain::Button1Click() {
    sim.power_on();
    sessionChanged();
}

void TfrmMain::Button2Click() {
    sim.power_off();
    sessionChanged();
}

void TfrmMain::Exit1Click() {
    sim.power_off();
    QCoreApplication::quit();
}

void TfrmMain::forward(panel_action action) {
    act(sim, action);
    sessionChanged();
}

void TfrmMain::Image2Click() {
    forward(ACT_F1);
}
void TfrmMain::Image3Click() {
    forward(ACT_F2);
}
void TfrmMain::Image8Click() {
    forward(ACT_PUSH);
}
void TfrmMain::Button3Click() {
    forward(ACT_PLUS);
}
void TfrmMain::Button4Click() {
    forward(ACT_MINUS);
}

void TfrmMain::moveSlider(slider_id slider, int position) {
    sim.move_slider(slider, position);
    sessionChanged();
}

void TfrmMain::ScrollBar29Change() {
    moveSlider(SLIDER_RPM, Controls->ScrollBar29->value());
}
void TfrmMain::ScrollBar30Change() {
    moveSlider(SLIDER_MAP, Controls->ScrollBar30->value());
}
void TfrmMain::ScrollBar1Change() {
    moveSlider(SLIDER_TEMP, Controls->ScrollBar1->value());
}

void TfrmMain::CheckBox1Click() {
    sim.set_exio(Controls->CheckBox1->isChecked());
    sessionChanged();
}

void TfrmMain::RunEngineTimers1Click() {
    sim.set_engine_timers(Menus->RunEngineTimers1->isChecked());
    sessionChanged();
}

void TfrmMain::StopScenario1Click() {
    sim.take_over();
    sessionChanged();
}

void TfrmMain::figureEntered(SliderFigure &figure) {
    sim.enter_figure(figure.slider, figure.Entry->text().toStdString());
    Controls->showEntryMessage(figure, sim.entry_message());
    sessionChanged();
}

// The time Timer1's clock moved since the last timeout: a late timeout
// makes up every tick that was due.
void TfrmMain::Timer1Timer() {
    const qint64 now = clock();
    sim.elapse(double(now - lastTime));
    lastTime = now;
    sessionChanged();
}

// Shows the session, then runs what it has due: the power loop while the
// instrument runs live, a slice of a script's check.
void TfrmMain::sessionChanged() {
    showSession();
    if (sim.loop_running() && !loopRunning) QTimer::singleShot(0, this, &TfrmMain::runPowerLoop);
    if (sim.checking() && !checkDue) {
        if (checkStarted < 0) checkStarted = clock();
        checkDue = true;
        QTimer::singleShot(0, this, &TfrmMain::checkSlice);
    }
    if (!sim.checking()) checkStarted = -1;
}

void TfrmMain::showSession() {
    Controls->show(sim);
    Menus->show(sim);
    Playback->show();
    // A lesson begun: the student's next action is on the instrument, so
    // Return pushes the knob rather than starting the lesson again.
    if (Lesson1->showLesson()) Controls->Panel1->setFocus();
    // What changed on the LCD, and in the lesson, each said once.
    const std::string said = sim.announcement();
    if (!said.empty()) Controls->Panel1->setAccessibleDescription(QString::fromStdString(said));
    const std::string lesson = sim.lesson_announcement();
    if (!lesson.empty()) Lesson1->announce(QString::fromStdString(lesson));
    const std::string alert = sim.take_alert();
    if (!alert.empty()) showMessage(QMessageBox::Warning, alert);
    // The session stops a recording a seek or a new script cannot extend.
    if (recording.is_open() && !sim.recording_streamed()) {
        recording.close();
        Menus->RecordSession1->setChecked(false);
    }
    if (!sim.checking()) closeCheckProgress();
    // Outside the power loop a script's or a lesson's passes made the frame.
    if (!loopRunning && displayReady() && memcmp(shown_frame, frame_buffer, LCD_PIXELS) != 0) {
        present_frame();
        swapDisplay();
    }
}

// --- The power loop and the check

// One pass a frame while the instrument runs live, until Off, closing the
// window, a script taking over or a test setting power_off_request. The loop
// ends only at the end of a pass, after its messages were processed, so a
// window closed inside a pass is never drawn into again; the window itself
// outlives the loop.
void TfrmMain::runPowerLoop() {
    if (loopRunning) return;
    loopRunning = true;
    while (sim.loop_running()) {
        sim.pass();
        showSession();
        if (displayReady()) {
            present_frame();
            swapDisplay();
        }
        waitForRefresh();
        QCoreApplication::processEvents();
    }
    loopRunning = false;
    sessionChanged();
}

void TfrmMain::swapDisplay() {
    if (!lcdSurface()->isExposed()) return;
    context->swapBuffers(lcdSurface());
    remember_shown_frame();
}

// Where the swap returned without waiting for the screen (a software
// renderer, a virtual display, vsync off), waits out the rest of the refresh
// period handling events, so that the loop runs a pass per refresh as on a
// desktop instead of spinning.
void TfrmMain::waitForRefresh() {
    const qreal rate = screen()->refreshRate();
    const qint64 period = qint64(1000 / (rate >= 1.0 ? rate : DEFAULT_REFRESH_HZ));
    const qint64 left = lastSwap < 0 ? 0 : period - (clock() - lastSwap);
    if (left > 1) {
        QEventLoop wait;
        QTimer::singleShot(int(left), Qt::PreciseTimer, &wait, &QEventLoop::quit);
        wait.exec();
    }
    lastSwap = clock();
}

// Slices of the check for about CHECK_SLICE_MS by the clock, the window's
// events between them.
void TfrmMain::checkSlice() {
    checkDue = false;
    const qint64 start = clock();
    while (sim.check_slice() && clock() - start < session::CHECK_SLICE_MS) {
    }
    if (sim.checking() && clock() - checkStarted >= session::CHECK_PROGRESS_AFTER_MS)
        showCheckProgress();
    sessionChanged();
}

void TfrmMain::showCheckProgress() {
    if (!CheckProgress1) {
        CheckProgress1 = new QProgressDialog(this);
        QLabel *label = new QLabel(CheckProgress1);
        label->setTextFormat(Qt::PlainText);
        label->setText(QStringLiteral("Checking the scenario \"%1\"...")
                           .arg(QString::fromStdString(sim.checking_title())));
        CheckProgress1->setLabel(label);
        CheckProgress1->setWindowTitle(QStringLiteral("Play Scenario"));
        CheckProgress1->setWindowModality(Qt::NonModal);
        CheckProgress1->setAutoClose(false);
        CheckProgress1->setAutoReset(false);
        CheckProgress1->setMinimumDuration(0);
        CheckProgress1->setMaximum(1000);
        connect(CheckProgress1, &QProgressDialog::canceled, this, [this] {
            sim.cancel_check();
            sessionChanged();
        });
        CheckProgress1->show();
    }
    CheckProgress1->setValue(int(sim.check_progress() * 1000));
}

void TfrmMain::closeCheckProgress() {
    if (!CheckProgress1) return;
    QProgressDialog *progress = CheckProgress1;
    CheckProgress1 = nullptr;
    progress->disconnect(this);
    progress->deleteLater();
}

// --- Keys and the wheel

// A key goes where the session's key table routes it by what has the
// focus: a slider takes + and - as its step and keeps Up and Down, an entry
// keeps its typing but for the function keys, and Page Up and Page Down on a
// slider or its entry move the slider an engine step.
bool TfrmMain::keyPressed(const QKeyEvent *key) {
    const Qt::KeyboardModifiers other =
        key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    QWidget *focus = focusWidget();
    SliderFigure *figure = Controls->figureFor(focus);
    const key_route route =
        route_key(keyboardCode(key->key(), key->modifiers()), key->text().toStdString(),
                  Controls->focusKind(focus), other != Qt::NoModifier, IN_WINDOW);
    switch (route.kind) {
    case ROUTE_KEEP: return false;
    case ROUTE_SLIDER_PAGE:
        sim.page_slider(figure->slider, route.direction);
        sessionChanged();
        return true;
    case ROUTE_SLIDER_STEP:
        figure->bar->triggerAction(route.direction > 0 ? QAbstractSlider::SliderSingleStepAdd
                                                       : QAbstractSlider::SliderSingleStepSub);
        return true;
    case ROUTE_ACTION: forward(route.action); return true;
    }
    return false;
}

// One knob step per whole notch; a fine-grained wheel adds up to notches.
bool TfrmMain::wheelTurned(int delta) {
    wheelRemainder += delta;
    while (wheelRemainder >= WHEEL_NOTCH) {
        wheelRemainder -= WHEEL_NOTCH;
        forward(ACT_PLUS);
    }
    while (wheelRemainder <= -WHEEL_NOTCH) {
        wheelRemainder += WHEEL_NOTCH;
        forward(ACT_MINUS);
    }
    return true;
}

bool TfrmMain::eventFilter(QObject *watched, QEvent *event) {
    QWidget *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != this) return false;
    const BezelImage *bezel = Controls->Image1;
    switch (event->type()) {
    case QEvent::KeyPress: return keyPressed(static_cast<QKeyEvent *>(event));
    case QEvent::MouseButtonPress: {
        QMouseEvent *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::MiddleButton ||
            !bezel->rect().contains(bezel->mapFromGlobal(mouse->globalPosition().toPoint())))
            return false;
        forward(ACT_PUSH);
        return true;
    }
    case QEvent::Wheel: {
        QWheelEvent *wheel = static_cast<QWheelEvent *>(event);
        if (!bezel->rect().contains(bezel->mapFromGlobal(wheel->globalPosition().toPoint())))
            return false;
        return wheelTurned(wheel->angleDelta().y());
    }
    default: return false;
    }
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
