#include "window/zoom_layout.h"

#include <QFont>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProxyStyle>
#include <QRect>
#include <QStyleOptionSlider>
#include <QVariant>
#include <QWidget>

namespace {

const char *const BASE_GEOMETRY = "zoomBaseGeometry";
const char *const BASE_FONT = "zoomBaseFontPixels";
const char *const BASE_PARENT_SIZE = "zoomBaseParentSize";
const char *const BASE_PARENT_FONT = "zoomBaseParentFontPixels";
const char *const BASE_MENU_FONT = "zoomBaseMenuFontPixels";
const char *const ZOOM_STYLE = "zoomStyle";

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

// The platform's style, with the sizes of the parts it draws on its own
// multiplied by the zoom.
class ZoomedStyle : public QProxyStyle {
  public:
    explicit ZoomedStyle(int factor) : factor(factor) {}
    int pixelMetric(PixelMetric metric, const QStyleOption *option,
                    const QWidget *widget) const override {
        const int base = QProxyStyle::pixelMetric(metric, option, widget);
        if (atOne) return base;
        switch (metric) {
        case PM_ScrollBarExtent:
        case PM_ScrollBarSliderMin:
        case PM_IndicatorWidth:
        case PM_IndicatorHeight:
        case PM_MenuBarHMargin:
        case PM_MenuBarVMargin:
        case PM_MenuBarItemSpacing:
        case PM_MenuBarPanelWidth:
        case PM_MenuHMargin:
        case PM_MenuVMargin:
        case PM_SmallIconSize:
            return base * factor;
        default:
            return base;
        }
    }
    // A scroll bar's arrows are drawn at a size of their own: the bar drawn
    // at zoom 1 and scaled keeps its look whole.
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                            QPainter *painter, const QWidget *widget) const override {
        const auto *bar = qstyleoption_cast<const QStyleOptionSlider *>(option);
        if (factor == 1 || !bar || control != CC_ScrollBar) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        QStyleOptionSlider unzoomed = *bar;
        unzoomed.rect = QRect(QPoint(), bar->rect.size() / factor);
        painter->save();
        painter->translate(bar->rect.topLeft());
        painter->scale(factor, factor);
        atOne = true;
        QProxyStyle::drawComplexControl(control, &unzoomed, painter, widget);
        atOne = false;
        painter->restore();
    }

  private:
    const int factor;
    mutable bool atOne = false; // drawing at zoom 1, under a scaled painter
};

} // namespace

void zoomChrome(QMainWindow *window, int factor) {
    QMenuBar *bar = window->menuBar();
    if (!bar->property(BASE_MENU_FONT).isValid())
        bar->setProperty(BASE_MENU_FONT, bar->font().pixelSize());
    QFont font = bar->font();
    font.setPixelSize(bar->property(BASE_MENU_FONT).toInt() * factor);
    bar->setFont(font);
    for (QMenu *menu : bar->findChildren<QMenu *>()) menu->setFont(font);
    // A style a zoom, the one before deleted once nothing uses it.
    QObject *before = window->property(ZOOM_STYLE).value<QObject *>();
    QStyle *style = new ZoomedStyle(factor);
    style->setParent(window);
    window->setProperty(ZOOM_STYLE, QVariant::fromValue<QObject *>(style));
    for (QWidget *widget : window->findChildren<QWidget *>()) widget->setStyle(style);
    delete before;
}

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
