// The small widgets of the simulator window: the bezel picture, the
// transparent click areas over its keys, the alarm lamp and the LCD surface.
#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>
#include <QWindow>

#include <functional>

class QSvgRenderer;

// The bezel picture, rendered from its SVG asset at the widget's size.
class BezelImage : public QWidget {
  public:
    explicit BezelImage(QWidget *parent);

  protected:
    void paintEvent(QPaintEvent *) override;

  private:
    QImage picture;
};

// A transparent area that reports a click (press and release inside it).
class ClickArea : public QWidget {
    Q_OBJECT
  public:
    explicit ClickArea(QWidget *parent);

  signals:
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

  private:
    bool pressed = false;
};

// A filled circle without outline whose colour can be set.
class LampShape : public QWidget {
  public:
    explicit LampShape(QWidget *parent);
    void setBrushColour(const QColor &colour);
    QColor brushColour() const { return colour; }
    // Lit, the lamp has a white ring: its state shows by more than colour.
    void setLit(bool lit);
    bool isLit() const { return lit; }

  protected:
    void paintEvent(QPaintEvent *) override;

  private:
    QColor colour;
    bool lit = false;
};

// The native window the LCD is drawn into through OpenGL.
class LcdSurface : public QWindow {
  public:
    LcdSurface();

    // Called whenever the window system exposes part of the surface.
    std::function<void()> exposed;

  protected:
    void exposeEvent(QExposeEvent *event) override;
};
