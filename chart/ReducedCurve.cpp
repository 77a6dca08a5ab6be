#include "chart/ReducedCurve.h"

#include <qwt_painter.h>
#include <qwt_scale_map.h>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>

namespace {

const QColor kLineColour(4, 12, 89);
const QColor kDotColour(200, 40, 30);
// Dots are drawn while there are at least this many pixel columns per record.
constexpr std::size_t kColumnsPerDot = 4;

}  // namespace

ReducedCurve::ReducedCurve(const RecordSeries& series)
    : m_series(series), m_linePen(kLineColour, 1.0), m_dotPen(kDotColour, 4.0) {
    m_dotPen.setCapStyle(Qt::RoundCap);
    setItemAttribute(QwtPlotItem::AutoScale, true);
    setRenderHint(QwtPlotItem::RenderAntialiased, true);
    setZ(20);
}

void ReducedCurve::setDivisor(int divisor) {
    m_divisor = divisor;
    itemChanged();
}

void ReducedCurve::draw(QPainter* painter, const QwtScaleMap& xMap, const QwtScaleMap& yMap,
                        const QRectF& canvasRect) const {
    const int columns = std::max(1, static_cast<int>(canvasRect.width()));
    const double from = std::min(xMap.s1(), xMap.s2());
    const double to = std::max(xMap.s1(), xMap.s2());
    const std::vector<ChartSample>& points =
        m_reduction.reduce(m_series.samples(), from, to, columns);

    QPolygonF line;
    line.reserve(static_cast<int>(points.size()));
    for (const ChartSample& point : points)
        line << QPointF(xMap.transform(point.timeMs), yMap.transform(point.value / m_divisor));

    painter->setPen(m_linePen);
    QwtPainter::drawPolyline(painter, line);
    if (m_reduction.visibleCount() * kColumnsPerDot <= static_cast<std::size_t>(columns)) {
        painter->setPen(m_dotPen);
        QwtPainter::drawPoints(painter, line);
    }
}

// An invalid rectangle leaves the scales to the plot when there is nothing to
// show.
QRectF ReducedCurve::boundingRect() const {
    if (m_series.empty())
        return QRectF(1.0, 1.0, -2.0, -2.0);
    const std::vector<ChartSample>& samples = m_series.samples();
    const double firstTime = samples.front().timeMs;
    const double lowest = m_series.minValue() / m_divisor;
    return QRectF(firstTime, lowest, samples.back().timeMs - firstTime,
                  m_series.maxValue() / m_divisor - lowest);
}
