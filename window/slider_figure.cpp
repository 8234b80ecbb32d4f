#include "window/slider_figure.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

namespace {

QLabel *plainLabel(QWidget *parent, int left, int top, int width) {
    QLabel *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(left, top, width, 19);
    return label;
}

} // namespace

SliderFigure::SliderFigure(QWidget *parent, slider_id slider, QScrollBar *bar, const QString &name,
                           int top)
    : QObject(parent), slider(slider), bar(bar), name(name) {
    Figure = plainLabel(parent, 256, top, 92);
    Figure->setAccessibleName(name + QStringLiteral(" figure"));
    Entry = new QLineEdit(parent);
    Entry->setGeometry(352, top, 72, 19);
    Entry->setMaxLength(24);
    Entry->setAccessibleName(name + QStringLiteral(" figure entry"));
    Entry->setToolTip(QStringLiteral("Type a figure in the unit beside it, or a position followed "
                                     "by raw, then Return: the slider goes where a script's\n"
                                     "figure would put it. Page Up and Page Down move the slider "
                                     "an engine step."));
    Unit = plainLabel(parent, 428, top, 40);
}

void SliderFigure::show(bool instrumentOn) {
    const QString figure =
        QString::fromStdString(slider_figure(slider, bar->value(), instrumentOn));
    if (Figure->text() != figure) Figure->setText(figure);
    const QString unit = QString::fromStdString(figure_unit_name(shown_unit(slider, instrumentOn)));
    if (Unit->text() != unit) Unit->setText(unit);
}

QString SliderFigure::enter(bool instrumentOn) {
    int32_t position = 0;
    std::string message;
    if (enter_slider_figure(slider, Entry->text().toStdString(), instrumentOn, position, message))
        bar->setValue(position);
    return QString::fromStdString(message);
}

void SliderFigure::pageStep(int direction, bool instrumentOn) {
    bar->setValue(slider_page_position(slider, bar->value(), direction, instrumentOn));
}
