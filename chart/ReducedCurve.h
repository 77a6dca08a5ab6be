#pragma once

#include <qwt_plot_item.h>
#include <QPen>

#include "chart/MinMaxReduction.h"
#include "chart/RecordSeries.h"

// The record series as a line on the plot. Every paint reduces the samples
// in view to the minimum and maximum of each pixel column of the canvas, so
// the cost of a paint depends on the canvas width rather than on the number
// of records. When there are few records in view, each one also gets a dot.
class ReducedCurve : public QwtPlotItem {
public:
    explicit ReducedCurve(const RecordSeries& series);

    // Values are drawn as raw value / divisor.
    void setDivisor(int divisor);

    void draw(QPainter* painter, const QwtScaleMap& xMap, const QwtScaleMap& yMap,
              const QRectF& canvasRect) const override;
    QRectF boundingRect() const override;

private:
    const RecordSeries& m_series;
    double m_divisor = 1.0;
    QPen m_linePen;
    QPen m_dotPen;
    mutable MinMaxReduction m_reduction;
};
