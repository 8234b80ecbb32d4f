#include "window/zoom_layout.h"

#include <QFont>
#include <QRect>
#include <QVariant>
#include <QWidget>

namespace {

const char *const BASE_GEOMETRY = "zoomBaseGeometry";
const char *const BASE_FONT = "zoomBaseFontPixels";
const char *const BASE_PARENT_SIZE = "zoomBaseParentSize";
const char *const BASE_PARENT_FONT = "zoomBaseParentFontPixels";

// The geometry and font pixel size at zoom 1, kept on the widget the first
// time it is zoomed.
void zoomOne(QWidget *widget, int factor) {
    if (!widget->property(BASE_GEOMETRY).isValid()) {
        widget->setProperty(BASE_GEOMETRY, widget->geometry());
        if (widget->testAttribute(Qt::WA_SetFont))
            widget->setProperty(BASE_FONT, widget->font().pixelSize());
    }
    const QRect base = widget->property(BASE_GEOMETRY).toRect();
    widget->setGeometry(QRect(base.topLeft() * factor, base.size() * factor));
    const int pixels = widget->property(BASE_FONT).toInt();
    if (pixels > 0) {
        QFont font = widget->font();
        font.setPixelSize(pixels * factor);
        widget->setFont(font);
    }
}

} // namespace

void zoomLayout(QWidget *parent, int factor) {
    if (!parent->property(BASE_PARENT_SIZE).isValid()) {
        // A parent zoomed as a child of its own parent first keeps its size
        // at zoom 1 there.
        const QVariant asChild = parent->property(BASE_GEOMETRY);
        parent->setProperty(BASE_PARENT_SIZE,
                            asChild.isValid() ? asChild.toRect().size() : parent->size());
        parent->setProperty(BASE_PARENT_FONT, parent->font().pixelSize());
    }
    parent->setFixedSize(parent->property(BASE_PARENT_SIZE).toSize() * factor);
    const int pixels = parent->property(BASE_PARENT_FONT).toInt();
    if (pixels > 0) {
        QFont font = parent->font();
        font.setPixelSize(pixels * factor);
        parent->setFont(font);
    }
    for (QWidget *child : parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (!child->isWindow()) zoomOne(child, factor);
}
