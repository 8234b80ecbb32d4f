// Beside each sensor slider: the figure the instrument makes of its
// position, and an entry that takes a figure (or a position) and puts the
// slider where the script language would.
#pragma once
#include "host/figures/engine_figures.h"

#include <QObject>
#include <QString>

class QLabel;
class QLineEdit;
class QScrollBar;
class QWidget;

class SliderFigure : public QObject {
  public:
    // Laid out in the line below the slider's own, at `top`.
    SliderFigure(QWidget *parent, slider_id slider, QScrollBar *bar, const QString &name, int top);

    const slider_id slider;
    QScrollBar *const bar;
    const QString name;
    QLabel *Figure;
    QLineEdit *Entry;
    QLabel *Unit;

    // What the instrument shows for the slider's position under the settings
    // in force, and the unit an entry is read in.
    void show(bool instrumentOn);
    // Reads the entry and moves the slider where the script language would;
    // returns the warning or the refusal, empty when there is none.
    QString enter(bool instrumentOn);
    // Page Up (1) or Page Down (-1): the slider an engine step on.
    void pageStep(int direction, bool instrumentOn);
};
