#include "host/TfrmMain.h"

#include "core/keys.h"
#include "core/timebase.h"
#include "host/lcd_presentation.h"
#include "host/panel_widgets.h"
#include "host/power_loop.h"
#include "screens/run_screen.h"
#include "screens/screen.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QOpenGLContext>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>

namespace {

const int CLIENT_WIDTH = 503;
const int CLIENT_HEIGHT = 329;

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
QScrollBar *makeSlider(QWidget *parent, int top, int minimum, int maximum) {
    QScrollBar *slider = new QScrollBar(Qt::Horizontal, parent);
    slider->setGeometry(352, top, 137, 17);
    slider->setRange(minimum, maximum);
    slider->setValue(minimum);
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

} // namespace

TfrmMain::TfrmMain()
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("Qirel QX-40 Simulator"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);

    MainMenu1 = menuBar();
    File1 = MainMenu1->addMenu(QStringLiteral("&File"));
    Exit1 = File1->addAction(QStringLiteral("&Exit"));

    QWidget *client = new QWidget(this);
    client->setFixedSize(CLIENT_WIDTH, CLIENT_HEIGHT);
    setCentralWidget(client);
    createControls(client);
    connectHandlers();

    // Fixed size: the client area below the menu bar, centred on the screen.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    move(screen()->availableGeometry().center() - QPoint(width() / 2, height() / 2));

    FormCreate();
    Timer1->start();
}

TfrmMain::~TfrmMain() {
    FormDestroy();
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

    Label53 = makeLabel(client, "MAP:", 256, 8, 26);
    Label60 = makeLabel(client, "0", 304, 8, 6);
    Label55 = makeLabel(client, "RPM:", 256, 32, 27);
    Label57 = makeLabel(client, "0", 304, 32, 6);
    Label1 = makeLabel(client, "TEMP:", 256, 56, 33);
    Label2 = makeLabel(client, "0", 304, 56, 6);

    ScrollBar30 = makeSlider(client, 8, 1, 4096);
    ScrollBar29 = makeSlider(client, 32, 1, 100000);
    ScrollBar1 = makeSlider(client, 56, 0, 4096);

    CheckBox1 = new QCheckBox(QStringLiteral("EXIO"), client);
    CheckBox1->setGeometry(256, 88, 97, 17);

    Shape1 = new LampShape(client);
    Shape1->setGeometry(8, 264, 33, 33);
    Shape1->setBrushColour(QColor(255, 0, 0));

    QFont keyFont = font();
    keyFont.setBold(true);
    keyFont.setPixelSize(16);
    Button3 = makeButton(client, "+", 64, 232, 33);
    Button3->setFont(keyFont);
    Button4 = makeButton(client, "-", 144, 232, 33);
    Button4->setFont(keyFont);
    Button1 = makeButton(client, "&On", 64, 272, 75);
    Button2 = makeButton(client, "&Off", 160, 272, 75);

    StatusBar1 = new QStatusBar(client);
    StatusBar1->setGeometry(0, 310, CLIENT_WIDTH, 19);
    StatusBar1->setSizeGripEnabled(false);

    Timer1 = new QTimer(this);
    Timer1->setInterval(100);

    QWidget *order[] = {Button1,     Button2,     Button3,    Button4,  Panel1,
                        ScrollBar30, ScrollBar29, ScrollBar1, CheckBox1};
    for (size_t i = 1; i < sizeof order / sizeof order[0]; i++) setTabOrder(order[i - 1], order[i]);
    Button1->setFocus();
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
    power_off_request = 1;
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
    if (displayReady()) set_display_viewport(display->devicePixelRatio());
}

void TfrmMain::Exit1Click() {
    power_off_request = 1;
    QCoreApplication::quit();
}

// Power-on, then the power loop until "&Off", closing or "&Exit" sets
// power_off_request. The loop ends only at the end of a pass, after its
// messages were processed, so a window closed inside a pass is never drawn
// into again; the window itself outlives the loop.
void TfrmMain::Button1Click() {
    power_on_sequence();
    ScrollBar29Change();
    ScrollBar30Change();
    // "&On" while on arrives inside the running loop: the power-on above is
    // all it does, so the loop goes on and a single "&Off" ends it.
    if (loopRunning) return;
    loopRunning = true;
    while (!power_off_request) {
        power_pass(CheckBox1->isChecked() ? 1 : 0);
        Shape1->setBrushColour(QColor(lamp_red, 0, 0));
        if (displayReady()) {
            present_frame();
            swapDisplay();
        }
        QCoreApplication::processEvents();
    }
    loopRunning = false;
}

void TfrmMain::swapDisplay() {
    if (display->isExposed()) context->swapBuffers(display);
}

void TfrmMain::Button2Click() {
    power_off_request = 1;
}

void TfrmMain::Image2Click() {
    press_key(KEY_F1);
}
void TfrmMain::Image3Click() {
    press_key(KEY_F2);
}
void TfrmMain::Image8Click() {
    press_key(KEY_PUSH);
}
void TfrmMain::Button3Click() {
    press_key(KEY_PLUS);
}
void TfrmMain::Button4Click() {
    press_key(KEY_MINUS);
}

void TfrmMain::ScrollBar29Change() {
    setLabelText(Label57, QString::number(ScrollBar29->value()));
    rpm_slider_change(ScrollBar29->value());
}

void TfrmMain::ScrollBar30Change() {
    setLabelText(Label60, QString::number(ScrollBar30->value()));
    map_slider_change((uint16_t)ScrollBar30->value());
}

void TfrmMain::ScrollBar1Change() {
    setLabelText(Label2, QString::number(ScrollBar1->value()));
    temp_slider_change((uint16_t)ScrollBar1->value());
}

void TfrmMain::Timer1Timer() {
    timebase_tick();
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
