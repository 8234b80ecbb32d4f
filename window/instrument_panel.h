// The instrument's front and its control strip in the window: the bezel with
// its keys and knob, the LCD panel, the sensor sliders with their readings
// and entries, EXIO, the lamp, On/Off, the status bar and a scenario's
// notes. It makes the controls and shows the session in them; the window's
// handlers forward what the user does with them.
#pragma once

#include "host/figures/engine_figures.h"
#include "host/session/bindings.h"

#include <QObject>
#include <QString>

#include <string>

class BezelImage;
class ClickArea;
class LampShape;
class LcdSurface;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollArea;
class QScrollBar;
class QStatusBar;
class session;

// Beside a slider: the figure the instrument makes of its position, an
// entry that takes a figure (or a position) and the unit it is read in.
struct SliderFigure {
    slider_id slider;
    QScrollBar *bar;
    QString name;
    QLabel *Figure;
    QLineEdit *Entry;
    QLabel *Unit;
    // The slider took the focus from a click or a drag, not the keyboard.
    bool touched;
};

class InstrumentPanel : public QObject {
  public:
    // The controls, laid out on `client` at the window's fixed positions.
    explicit InstrumentPanel(QWidget *client);

    BezelImage *Image1;
    ClickArea *Image2;
    ClickArea *Image3;
    ClickArea *Image8;
    QWidget *Panel1;
    // The native window inside Panel1 that shows the LCD.
    LcdSurface *Surface1;
    QLabel *Label53;
    QLabel *Label60;
    QLabel *Label55;
    QLabel *Label57;
    QLabel *Label1;
    QLabel *Label2;
    QScrollBar *ScrollBar30;
    QScrollBar *ScrollBar29;
    QScrollBar *ScrollBar1;
    SliderFigure MapFigure, RpmFigure, TempFigure;
    // The last entry's warning or refusal.
    QLabel *EntryMessage;
    QCheckBox *CheckBox1;
    LampShape *Shape1;
    QPushButton *Button3;
    QPushButton *Button4;
    QPushButton *Button1;
    QPushButton *Button2;
    QStatusBar *StatusBar1;
    // A scenario's notes beside the bezel: the one shown, wrapped whole in a
    // box that scrolls when it is longer, and the notes so far.
    QScrollArea *NoteBox;
    QLabel *NoteLabel;
    QListWidget *NoteList;
    // An outline over the bezel key Show me pressed a moment ago.
    QFrame *ShownKey1;

    // The controls as the session has them, without firing their handlers;
    // the readings, the lamp, the status line and the notes.
    void show(const session &s);
    // The figure beside `widget`, a slider or its entry; null for any other.
    SliderFigure *figureFor(QWidget *widget);
    // The entry's message after a figure was typed into it.
    void showEntryMessage(const SliderFigure &figure, const std::string &message);
    // What `focus` is to the keys.
    key_focus focusKind(QWidget *focus);

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void showNotes(const session &s);
    void showShownKey(const session &s);
    void setTips();

    // How many notes NoteList holds, and the count of restarts they belong to.
    size_t notesListed = 0;
    unsigned notesEpoch = 0;
};
