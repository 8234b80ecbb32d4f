// The timeline below the panel while a script plays: its length, the
// position, the notes as marks (their text on hover, and for the one at the
// position when focused), the traces of RPM, MAP and TEMP as the instrument
// showed them, and the moments the lamp was bright, shaded. A click or a drag
// on it, or the arrow keys while it has the focus, asks to seek.
#pragma once

#include "host/playback/script_player.h"

#include <QWidget>

#include <functional>

class TimelineView : public QWidget {
  public:
    explicit TimelineView(QWidget *parent);

    // What to draw: the samples of every tick (none hides the traces), the
    // notes and the position in ticks; redrawn when any of them changed.
    void setTimeline(const std::vector<timeline_sample> *samples,
                     const std::vector<timeline_note> *notes, long long position);
    long long position() const { return position_; }
    long long length() const;

    // Called with the tick the user asks for.
    std::function<void(long long tick)> seekRequested;

    // The text of the note in force at `tick`, empty before the first.
    QString noteAt(long long tick) const;

    // Ticks an arrow key moves: a second; Page Up and Down: ten.
    static constexpr long long ARROW_TICKS = 10;
    static constexpr long long PAGE_TICKS = 100;

  protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;

  private:
    QRect plotArea() const;
    // Sizes follow the font, so the view grows with the window's zoom: the
    // labels' line, and a note mark's reach either side of its tick.
    int labelHeight() const { return fontMetrics().height(); }
    int markReach() const { return labelHeight() / 4; }
    long long tickAt(int x) const;
    int xOf(long long tick) const;
    void askFor(long long tick);
    void describe();

    const std::vector<timeline_sample> *samples_ = nullptr;
    const std::vector<timeline_note> *notes_ = nullptr;
    size_t sampleCount_ = 0, noteCount_ = 0;
    long long position_ = 0;
};
