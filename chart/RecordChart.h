#pragma once

#include <QWidget>
#include <cstddef>

#include "chart/RecordSeries.h"
#include "link/DetectorRecord.h"

class QLabel;
class QTimer;
class QwtPlot;
class ReducedCurve;

// The records of the store as a line of value over time, in the unit chosen
// on the panel. The chart reads the store it is given and is told when records
// were appended, when the store was cleared and when the unit changed; it
// parses each record once and redraws at most about ten times a second.
//
// Mouse: the wheel zooms the time axis about the pointer, a rectangle drawn
// with the left button zooms into it, the right button drags the view along;
// "WHOLE RANGE" shows all records again. The time and value under the pointer
// are shown above the plot, and "SAVE IMAGE" writes the plot as a PNG file.
class RecordChart : public QWidget {
    Q_OBJECT

public:
    explicit RecordChart(const RecordStore& store, QWidget* parent = nullptr);

    const RecordSeries& series() const { return m_series; }
    QwtPlot* plot() const { return m_plot; }
    int unit() const { return m_unit; }
    // True while the scales follow the records (no zoom or pan since the last
    // "WHOLE RANGE").
    bool showsWholeRange() const;

    // Writes the plot as it is shown into a PNG file, replacing the file only
    // when the whole image was written.
    bool saveImageAs(const QString& path) const;

public slots:
    void recordsAppended();
    void storeCleared();
    void setUnit(int unitIndex);
    // Takes in the records appended since the last refresh and redraws now.
    void refresh();
    void showWholeRange();
    void zoomTo(const QRectF& rect);
    void saveImage();
    void showWindow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildToolRow();
    QwtPlot* buildPlot();
    void buildNavigation();
    void scheduleRefresh();
    // Forgets the records taken so far; the next refresh takes the store anew.
    void restartSeries();
    void zoomTimeAt(int pointerX, double steps);
    void showPointer(const QPoint& position);
    void showValueTitle();

    const RecordStore& m_store;
    std::size_t m_taken = 0;
    RecordSeries m_series;
    int m_unit = 0;
    QwtPlot* m_plot = nullptr;
    ReducedCurve* m_curve = nullptr;
    QLabel* m_pointerLabel = nullptr;
    QTimer* m_refreshTimer = nullptr;
};
