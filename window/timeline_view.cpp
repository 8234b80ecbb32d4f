#include "window/timeline_view.h"

#include "host/session/session.h"
#include "host/text/printable.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTextDocument>
#include <QToolTip>

#include <algorithm>

namespace {

const QColor RPM_COLOUR(0, 110, 0);
const QColor MAP_COLOUR(0, 70, 200);
const QColor TEMP_COLOUR(170, 90, 0);
const QColor LAMP_SHADE(255, 170, 170);

} // namespace

TimelineView::TimelineView(QWidget *parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAccessibleName(QStringLiteral("Timeline"));
    setToolTip(QString());
}

void TimelineView::setTimeline(const std::vector<timeline_sample> *samples,
                               const std::vector<timeline_note> *notes, long long position) {
    if (samples == samples_ && notes == notes_ && samples->size() == sampleCount_ &&
        notes->size() == noteCount_ && position == position_)
        return;
    samples_ = samples;
    notes_ = notes;
    sampleCount_ = samples->size();
    noteCount_ = notes->size();
    position_ = std::max(position, 0LL);
    describe();
    update();
}

long long TimelineView::length() const {
    return samples_ && !samples_->empty() ? (long long)samples_->size() - 1 : 0;
}

namespace {

QString clockText(long long ticks) {
    return QString::fromStdString(clock_text(ticks));
}

QString noteText(const timeline_note &note) {
    return QString::fromStdString(printable(note.text));
}

} // namespace

QString TimelineView::noteAt(long long tick) const {
    QString text;
    if (!notes_) return text;
    for (const timeline_note &note : *notes_) {
        if (note.tick > tick) break;
        text = noteText(note);
    }
    return text;
}

QRect TimelineView::plotArea() const {
    const int margin = labelHeight() / 3;
    return QRect(margin, margin, width() - 2 * margin, height() - 2 * margin - labelHeight());
}

long long TimelineView::tickAt(int x) const {
    const QRect area = plotArea();
    if (length() == 0 || area.width() <= 1) return 0;
    const long long tick =
        ((long long)(x - area.left()) * length() + (area.width() - 1) / 2) / (area.width() - 1);
    return std::clamp(tick, 0LL, length());
}

int TimelineView::xOf(long long tick) const {
    const QRect area = plotArea();
    return area.left() + (length() ? int(tick * (area.width() - 1) / length()) : 0);
}

void TimelineView::askFor(long long tick) {
    tick = std::clamp(tick, 0LL, length());
    if (seekRequested && samples_) seekRequested(tick);
}

// The accessible description: where the playback is and the note in force.
void TimelineView::describe() {
    const QString note = noteAt(position_);
    setAccessibleDescription(
        QStringLiteral("%1 of %2%3")
            .arg(clockText(position_), clockText(length()),
                 note.isEmpty() ? QString() : QStringLiteral("; note: ") + note));
}

void TimelineView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const QRect area = plotArea();
    painter.fillRect(rect(), palette().window());
    painter.fillRect(area, Qt::white);
    if (samples_ && samples_->size() > 1) {
        const std::vector<timeline_sample> &s = *samples_;
        // The lamp's bright stretches, shaded.
        for (size_t i = 0; i < s.size();) {
            if (!s[i].lamp_bright) {
                i++;
                continue;
            }
            const size_t start = i;
            while (i < s.size() && s[i].lamp_bright) i++;
            painter.fillRect(
                QRect(QPoint(xOf(start), area.top()), QPoint(xOf(i - 1), area.bottom())),
                LAMP_SHADE);
        }
        // Each trace scaled to its own range over the script, below the
        // strip the note marks take, so no mark hides a trace.
        const QRect traces = area.adjusted(0, 2 * markReach() + 2, 0, 0);
        auto trace = [&](const QColor &colour, auto value) {
            long long lo = value(s[0]), hi = lo;
            for (const timeline_sample &x : s) {
                lo = std::min<long long>(lo, value(x));
                hi = std::max<long long>(hi, value(x));
            }
            if (hi == lo) hi = lo + 1;
            QPolygon line;
            const int columns = area.width();
            for (int c = 0; c < columns; c++) {
                const timeline_sample &x = s[(size_t)tickAt(area.left() + c)];
                line << QPoint(area.left() + c,
                               traces.bottom() - 1 -
                                   int((value(x) - lo) * (traces.height() - 3) / (hi - lo)));
            }
            painter.setPen(QPen(colour, 1));
            painter.drawPolyline(line);
        };
        trace(RPM_COLOUR, [](const timeline_sample &x) { return (long long)x.rpm; });
        trace(MAP_COLOUR, [](const timeline_sample &x) { return (long long)x.map; });
        trace(TEMP_COLOUR, [](const timeline_sample &x) { return (long long)x.temp; });
    }
    if (notes_) {
        painter.setPen(Qt::black);
        painter.setBrush(Qt::black);
        for (const timeline_note &note : *notes_) {
            const int x = xOf(note.tick);
            painter.drawPolygon(
                QPolygon({QPoint(x - markReach(), area.top()), QPoint(x + markReach(), area.top()),
                          QPoint(x, area.top() + 2 * markReach())}));
        }
    }
    painter.setPen(QPen(hasFocus() ? palette().highlight().color() : Qt::black, 2));
    painter.drawLine(xOf(position_), area.top(), xOf(position_), area.bottom());
    painter.setPen(palette().windowText().color());
    const QRect labels(area.left(), area.bottom() + 1, area.width(), labelHeight());
    painter.drawText(labels, Qt::AlignLeft | Qt::AlignVCenter,
                     clockText(position_) + QStringLiteral(" / ") + clockText(length()));
    // The legend, right to left: each trace, the lamp's shading, a note's mark.
    const struct {
        QString text;
        QColor colour;
        bool swatch;
    } legend[] = {{QStringLiteral("RPM"), RPM_COLOUR, false},
                  {QStringLiteral("MAP"), MAP_COLOUR, false},
                  {QStringLiteral("TEMP"), TEMP_COLOUR, false},
                  {QStringLiteral("lamp bright"), LAMP_SHADE, true},
                  {QStringLiteral("\u25BC note"), Qt::black, false}};
    const QFontMetrics metrics = fontMetrics();
    int right = labels.right();
    for (const auto &item : legend) {
        const int width = metrics.horizontalAdvance(item.text);
        painter.setPen(item.swatch ? palette().windowText().color() : item.colour);
        painter.drawText(QRect(right - width, labels.top(), width, labels.height()),
                         Qt::AlignRight | Qt::AlignVCenter, item.text);
        right -= width;
        if (item.swatch) {
            const int side = metrics.ascent() * 2 / 3;
            right -= side + 2;
            painter.fillRect(QRect(right, labels.center().y() - side / 2, side, side), item.colour);
        }
        right -= metrics.horizontalAdvance(QLatin1Char(' ')) * 2;
    }
}

void TimelineView::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton) askFor(tickAt(event->position().toPoint().x()));
}

void TimelineView::mouseMoveEvent(QMouseEvent *event) {
    if (event->buttons() & Qt::LeftButton) askFor(tickAt(event->position().toPoint().x()));
}

void TimelineView::keyPressEvent(QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Left: askFor(position_ - ARROW_TICKS); break;
    case Qt::Key_Right: askFor(position_ + ARROW_TICKS); break;
    case Qt::Key_PageUp: askFor(position_ - PAGE_TICKS); break;
    case Qt::Key_PageDown: askFor(position_ + PAGE_TICKS); break;
    case Qt::Key_Home: askFor(0); break;
    case Qt::Key_End: askFor(length()); break;
    default: QWidget::keyPressEvent(event); return;
    }
    // With the focus, the note in force shows as at a mark under the pointer.
    const QString note = noteAt(position_);
    if (!note.isEmpty())
        QToolTip::showText(mapToGlobal(QPoint(xOf(position_), 0)), Qt::convertFromPlainText(note),
                           this);
}

// A note's text when the pointer rests on its mark; escaped, since a tooltip
// would take markup.
bool TimelineView::event(QEvent *event) {
    if (event->type() != QEvent::ToolTip) return QWidget::event(event);
    const QPoint at = static_cast<QHelpEvent *>(event)->pos();
    QString text;
    if (notes_)
        for (const timeline_note &note : *notes_)
            if (std::abs(at.x() - xOf(note.tick)) <= markReach() &&
                at.y() <= plotArea().top() + 2 * markReach() + 2)
                text = noteText(note);
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(),
                           Qt::convertFromPlainText(text), this);
    return true;
}
