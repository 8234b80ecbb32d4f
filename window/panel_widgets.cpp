#include "window/panel_widgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>

BezelImage::BezelImage(QWidget *parent) : QWidget(parent) {}

void BezelImage::paintEvent(QPaintEvent *) {
    // Rendered once per device-pixel size, so it stays sharp on large screens.
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = size() * ratio;
    if (picture.size() != pixels) {
        picture = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        QSvgRenderer renderer(QStringLiteral(":/assets/bezel.svg"));
        renderer.setAspectRatioMode(Qt::IgnoreAspectRatio);
        QPainter svg(&picture);
        svg.setRenderHint(QPainter::Antialiasing);
        svg.setRenderHint(QPainter::SmoothPixmapTransform);
        renderer.render(&svg, QRectF(QPointF(0, 0), QSizeF(pixels)));
        picture.setDevicePixelRatio(ratio);
    }
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), picture);
}

ClickArea::ClickArea(QWidget *parent) : QWidget(parent) {
    setCursor(Qt::PointingHandCursor);
}

void ClickArea::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton) pressed = true;
}

void ClickArea::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton || !pressed) return;
    pressed = false;
    if (rect().contains(event->position().toPoint())) emit clicked();
}

LampShape::LampShape(QWidget *parent) : QWidget(parent) {}

void LampShape::setBrushColour(const QColor &newColour) {
    if (newColour == colour) return;
    colour = newColour;
    update();
}

void LampShape::setLit(bool newLit) {
    if (newLit == lit) return;
    lit = newLit;
    update();
}

void LampShape::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(rect()));
    if (!lit) return;
    // A white rim just inside the edge, leaving the middle the lamp's colour.
    const qreal ring = width() / 12.0;
    painter.setPen(QPen(Qt::white, ring));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(rect()).adjusted(ring / 2, ring / 2, -ring / 2, -ring / 2));
}

LcdSurface::LcdSurface() {
    setSurfaceType(QSurface::OpenGLSurface);
    // Double-buffered RGBA 8-8-8 with a 32-bit depth buffer, and a
    // compatibility profile for the fixed-function point drawing.
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(0);
    format.setDepthBufferSize(32);
    format.setStencilBufferSize(0);
    format.setVersion(2, 1);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    // A swap waits for the screen's refresh where the platform can.
    format.setSwapInterval(1);
    setFormat(format);
}

void LcdSurface::exposeEvent(QExposeEvent *event) {
    QWindow::exposeEvent(event);
    if (isExposed() && exposed) exposed();
}
