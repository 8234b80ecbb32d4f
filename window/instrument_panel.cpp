#include "window/instrument_panel.h"

#include "core/alarms.h"
#include "host/playback/note_board.h"
#include "host/session/session.h"
#include "host/text/printable.h"
#include "window/lcd_presentation.h"
#include "window/panel_widgets.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStatusBar>

namespace {

// Room for a slider's largest raw position, up to the slider itself.
const int READOUT_WIDTH = 46;

QLabel *makeLabel(QWidget *parent, const char *text, int left, int top, int width) {
    QLabel *label = new QLabel(QString::fromLatin1(text), parent);
    label->setGeometry(left, top, width, 13);
    return label;
}

QLabel *plainLabel(QWidget *parent, int left, int top, int width) {
    QLabel *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(left, top, width, 19);
    return label;
}

// Sets a text only when it changed, so that a pass redraws nothing new.
void setText(QLabel *label, const QString &text) {
    if (label->text() != text) label->setText(text);
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

// The figure's row below its slider, at `top`.
SliderFigure makeFigure(QWidget *parent, slider_id slider, QScrollBar *bar, const char *name,
                        int top) {
    SliderFigure figure{slider, bar, QString::fromLatin1(name), nullptr, nullptr, nullptr, false};
    figure.Figure = plainLabel(parent, 256, top, 92);
    figure.Figure->setAccessibleName(figure.name + QStringLiteral(" figure"));
    figure.Entry = new QLineEdit(parent);
    figure.Entry->setGeometry(352, top, 72, 19);
    figure.Entry->setMaxLength(24);
    figure.Entry->setAccessibleName(figure.name + QStringLiteral(" figure entry"));
    figure.Entry->setToolTip(
        QStringLiteral("Type a figure in the unit beside it, or a position followed by raw, then "
                       "Return: the slider goes where a script's\nfigure would put it. Page Up "
                       "and Page Down move the slider an engine step."));
    figure.Unit = plainLabel(parent, 428, top, 40);
    return figure;
}

QPushButton *makeButton(QWidget *parent, const char *caption, int left, int top, int width) {
    QPushButton *button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setGeometry(left, top, width, 25);
    button->setAutoDefault(false);
    return button;
}

int32_t position(const panel_state &panel, slider_id slider) {
    return slider == SLIDER_RPM   ? panel.rpm_position
           : slider == SLIDER_MAP ? panel.map_position
                                  : panel.temp_position;
}

} // namespace

InstrumentPanel::InstrumentPanel(QWidget *client) : QObject(client) {
    Image1 = new BezelImage(client);
    Image1->setGeometry(0, 0, 241, 249);

    Panel1 = new QWidget(client);
    Panel1->setGeometry(40, 49, LCD_PANEL_WIDTH, LCD_PANEL_HEIGHT);
    Panel1->setAutoFillBackground(true);
    QPalette black = Panel1->palette();
    black.setColor(QPalette::Window, Qt::black);
    Panel1->setPalette(black);
    Panel1->setFocusPolicy(Qt::TabFocus);
    Panel1->setAccessibleName(QStringLiteral("LCD"));
    Surface1 = new LcdSurface;
    // Clicks on the LCD fall through to the panel; the surface never takes focus.
    Surface1->setFlag(Qt::WindowTransparentForInput);
    QWidget *container = QWidget::createWindowContainer(Surface1, Panel1);
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
    Label60 = makeLabel(client, "0", 304, 4, READOUT_WIDTH);
    Label55 = makeLabel(client, "RPM:", 256, 44, 27);
    Label57 = makeLabel(client, "0", 304, 44, READOUT_WIDTH);
    Label1 = makeLabel(client, "TEMP:", 256, 84, 33);
    Label2 = makeLabel(client, "0", 304, 84, READOUT_WIDTH);
    Label60->setAccessibleName(QStringLiteral("MAP position"));
    Label57->setAccessibleName(QStringLiteral("RPM position"));
    Label2->setAccessibleName(QStringLiteral("TEMP position"));

    ScrollBar30 = makeSlider(client, 4, SLIDER_MAP);
    ScrollBar29 = makeSlider(client, 44, SLIDER_RPM);
    ScrollBar1 = makeSlider(client, 84, SLIDER_TEMP);
    MapFigure = makeFigure(client, SLIDER_MAP, ScrollBar30, "MAP", 23);
    RpmFigure = makeFigure(client, SLIDER_RPM, ScrollBar29, "RPM", 63);
    TempFigure = makeFigure(client, SLIDER_TEMP, ScrollBar1, "TEMP", 103);
    for (QScrollBar *slider : {ScrollBar30, ScrollBar29, ScrollBar1})
        slider->installEventFilter(this);
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

    Shape1 = new LampShape(client);
    Shape1->setGeometry(8, 264, 33, 33);

    QFont keyFont = client->font();
    keyFont.setBold(true);
    keyFont.setPixelSize(16);
    Button3 = makeButton(client, "+", 64, 232, 33);
    Button3->setFont(keyFont);
    Button4 = makeButton(client, "-", 144, 232, 33);
    Button4->setFont(keyFont);
    ShownKey1 = new QFrame(client);
    ShownKey1->setObjectName(QStringLiteral("ShownKey1"));
    ShownKey1->setStyleSheet(QStringLiteral("#ShownKey1 { border: 3px solid #ff8000; }"));
    ShownKey1->setAttribute(Qt::WA_TransparentForMouseEvents);
    ShownKey1->hide();
    Button1 = makeButton(client, "&On", 64, 272, 75);
    Button2 = makeButton(client, "&Off", 160, 272, 75);
    // Both captions give Alt+O, which presses neither: I and O do instead.
    Button1->setShortcut(QKeySequence());
    Button2->setShortcut(QKeySequence());

    StatusBar1 = new QStatusBar(client);
    StatusBar1->setGeometry(0, 310, client->width(), 19);
    StatusBar1->setSizeGripEnabled(false);
    setTips();
}

void InstrumentPanel::setTips() {
    Image2->setToolTip(QStringLiteral("F1 key (keyboard: F1)"));
    Image3->setToolTip(QStringLiteral("F2 key (keyboard: F2)"));
    Image8->setToolTip(QStringLiteral("Knob: click, wheel click or Return, Enter, Space to push "
                                      "it;\nturn it with the mouse wheel, + and - or Up and Down"));
    Button1->setToolTip(QStringLiteral("Power on; while on, power on afresh (keyboard: I)"));
    Button2->setToolTip(QStringLiteral("Power off (keyboard: O)"));
    CheckBox1->setToolTip(QStringLiteral("External data unit connected (keyboard: X)"));
    Button3->setToolTip(QStringLiteral("Turn the knob up (keyboard: + or Up; wheel up)"));
    Button4->setToolTip(QStringLiteral("Turn the knob down (keyboard: - or Down; wheel down)"));
    const QString sliderTip = QStringLiteral(
        "%1 input, %2: drag it, or click it and use the arrow keys, Home and End;\n"
        "Page Up and Page Down move it an engine step\n"
        "(reached by Tab, Up, Down, + and - move it one step; clicked, they turn the knob)");
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

void InstrumentPanel::show(const session &s) {
    const panel_state &panel = s.panel();
    {
        const QSignalBlocker rpm(ScrollBar29), map(ScrollBar30), temp(ScrollBar1), exio(CheckBox1);
        ScrollBar29->setValue(panel.rpm_position);
        ScrollBar30->setValue(panel.map_position);
        ScrollBar1->setValue(panel.temp_position);
        CheckBox1->setChecked(panel.exio_checked);
    }
    setText(Label57, QString::number(panel.rpm_position));
    setText(Label60, QString::number(panel.map_position));
    setText(Label2, QString::number(panel.temp_position));
    const bool inForce = s.settings_in_force();
    for (SliderFigure *f : {&MapFigure, &RpmFigure, &TempFigure}) {
        setText(f->Figure, QString::fromStdString(
                               slider_figure(f->slider, position(panel, f->slider), inForce)));
        setText(f->Unit, QString::fromStdString(figure_unit_name(shown_unit(f->slider, inForce))));
        // The slider's reading for a screen reader: its position and figure.
        const QString reading = QString::fromStdString(s.slider_text(f->slider));
        if (f->bar->accessibleDescription() != reading) f->bar->setAccessibleDescription(reading);
    }
    // The lamp's state in its name and a mark inside it as well as in its colour.
    Shape1->setBrushColour(QColor(s.lamp(), 0, 0));
    Shape1->setLit(s.lamp() >= LAMP_BRIGHT);
    const QString lampName = QString::fromLatin1(s.lamp_name());
    if (Shape1->accessibleName() != lampName) Shape1->setAccessibleName(lampName);
    const QString status = QString::fromStdString(s.status());
    if (StatusBar1->currentMessage() != status) StatusBar1->showMessage(status);
    showNotes(s);
    showShownKey(s);
}

void InstrumentPanel::showShownKey(const session &s) {
    const uint8_t code = s.lesson_showing() ? s.lesson()->shown_key() : 0;
    QWidget *const keys[] = {nullptr, Image2, Image3, Image8, Button3, Button4};
    QWidget *key = code < sizeof keys / sizeof *keys ? keys[code] : nullptr;
    if (!key) {
        ShownKey1->hide();
        return;
    }
    ShownKey1->setGeometry(key->geometry().adjusted(-3, -3, 3, 3));
    ShownKey1->show();
    ShownKey1->raise();
}

// The note shown now, and the notes that reached the list since the last
// look; the list starts again when the session's notes do.
void InstrumentPanel::showNotes(const session &s) {
    const note_board &notes = s.notes();
    if (notesEpoch != s.notes_epoch()) {
        notesEpoch = s.notes_epoch();
        notesListed = 0;
        NoteList->clear();
        NoteLabel->clear();
    }
    if (notesListed == notes.listed()) return;
    // The list follows the new notes unless the user has scrolled back.
    const QScrollBar *scroll = NoteList->verticalScrollBar();
    const bool following = scroll->value() == scroll->maximum();
    for (; notesListed < notes.listed(); notesListed++)
        NoteList->addItem(QString::fromStdString(printable(notes.note(notesListed))));
    if (following) NoteList->scrollToBottom();
    NoteLabel->setText(QString::fromStdString(printable(notes.shown())));
}

SliderFigure *InstrumentPanel::figureFor(QWidget *widget) {
    for (SliderFigure *f : {&MapFigure, &RpmFigure, &TempFigure})
        if (widget && (widget == f->bar || widget == f->Entry)) return f;
    return nullptr;
}

void InstrumentPanel::showEntryMessage(const SliderFigure &figure, const std::string &message) {
    EntryMessage->setText(message.empty() ? QString()
                                          : figure.name + QStringLiteral(": ") +
                                                QString::fromStdString(message));
}

key_focus InstrumentPanel::focusKind(QWidget *focus) {
    const SliderFigure *figure = figureFor(focus);
    if (figure && focus == figure->Entry) return FOCUS_SLIDER_ENTRY;
    if (figure) return figure->touched ? FOCUS_SLIDER_POINTER : FOCUS_SLIDER_KEYBOARD;
    if (qobject_cast<QLineEdit *>(focus)) return FOCUS_TYPING;
    // The window's buttons go by their Alt keys: Return and Space push the
    // knob wherever the focus is, so a button focused by the last click is
    // never pressed again by a key meant for the instrument.
    return FOCUS_NONE;
}

// How a slider came by the focus: a click keeps it, the keyboard (or the
// program) gives it the slider's keys.
bool InstrumentPanel::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::FocusIn) {
        SliderFigure *figure = figureFor(qobject_cast<QWidget *>(watched));
        if (figure)
            figure->touched = static_cast<QFocusEvent *>(event)->reason() == Qt::MouseFocusReason;
    }
    return false;
}
