// The chart window over a record store: it follows appends, a cleared store
// and the unit; zooms and comes back to the whole range; saves its image.

#include <qwt_plot.h>
#include <qwt_scale_div.h>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

#include <cstdio>

#include "chart/RecordChart.h"

namespace {

constexpr double kMsPerHour = 3600.0 * 1000.0;
// 2024-01-01 00:00:00 as the chart counts time.
constexpr double kFirstMs = 1704067200.0 * 1000.0;

// One record an hour from 2024-01-01 00:00:00 on, value 1000 * (hour % 7).
void appendHours(RecordStore& store, int count) {
    for (int i = 0; i < count; ++i) {
        const int hour = static_cast<int>(store.size());
        DetectorRecord record{};
        std::snprintf(record.timeText, sizeof record.timeText, "2024-01-%02d %02d:00:00",
                      1 + hour / 24, hour % 24);
        record.value = 1000 * (hour % 7);
        store.push_back(record);
    }
}

QwtInterval shown(const RecordChart& chart, int axis) {
    return chart.plot()->axisScaleDiv(axis).interval();
}

}  // namespace

class TestRecordChart : public QObject {
    Q_OBJECT

private slots:
    void followsAppendsClearAndUnit();
    void zoomsComesBackAndSavesTheImage();
};

void TestRecordChart::followsAppendsClearAndUnit() {
    RecordStore store;
    appendHours(store, 3);
    RecordChart chart(store);
    QCOMPARE(chart.series().samples().size(), std::size_t(3));

    appendHours(store, 45);
    chart.recordsAppended();
    chart.recordsAppended();
    QCOMPARE(chart.series().samples().size(), std::size_t(3));
    QTRY_COMPARE(chart.series().samples().size(), std::size_t(48));
    QVERIFY(shown(chart, QwtPlot::xBottom).contains(kFirstMs + 47 * kMsPerHour));
    QVERIFY(shown(chart, QwtPlot::yLeft).contains(6000));

    chart.setUnit(1);
    QCOMPARE(chart.plot()->axisTitle(QwtPlot::yLeft).text(), QString("%LEL.M"));
    QTRY_VERIFY(shown(chart, QwtPlot::yLeft).maxValue() < 20);
    QVERIFY(shown(chart, QwtPlot::yLeft).contains(12.0));

    chart.zoomTo(QRectF(kFirstMs, 0, kMsPerHour, 5));
    store.clear();
    chart.storeCleared();
    QVERIFY(chart.series().empty());
    QVERIFY(chart.showsWholeRange());
    appendHours(store, 2);
    chart.recordsAppended();
    QTRY_COMPARE(chart.series().samples().size(), std::size_t(2));
}

void TestRecordChart::zoomsComesBackAndSavesTheImage() {
    RecordStore store;
    appendHours(store, 240);
    RecordChart chart(store);
    chart.resize(800, 500);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    const QwtInterval whole = shown(chart, QwtPlot::xBottom);

    chart.zoomTo(QRectF(kFirstMs + 10 * kMsPerHour, 1000, 20 * kMsPerHour, 2000));
    QVERIFY(!chart.showsWholeRange());
    QCOMPARE(shown(chart, QwtPlot::xBottom).minValue(), kFirstMs + 10 * kMsPerHour);
    QCOMPARE(shown(chart, QwtPlot::yLeft).maxValue(), 3000.0);

    QWidget* canvas = chart.plot()->canvas();
    const QPointF pointer(canvas->width() / 4.0, canvas->height() / 2.0);
    const double pointerTime = chart.plot()->invTransform(QwtPlot::xBottom, canvas->width() / 4);
    QWheelEvent wheel(pointer, canvas->mapToGlobal(pointer.toPoint()), QPoint(), QPoint(0, 240),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas, &wheel);
    QCOMPARE(shown(chart, QwtPlot::xBottom).width(), 20 * kMsPerHour * 0.64);
    const double onePixel = shown(chart, QwtPlot::xBottom).width() / canvas->width();
    QVERIFY(qAbs(chart.plot()->invTransform(QwtPlot::xBottom, canvas->width() / 4) - pointerTime) <=
            onePixel);

    chart.findChild<QPushButton*>("wholeRangeButton")->click();
    QVERIFY(chart.showsWholeRange());
    QTRY_COMPARE(shown(chart, QwtPlot::xBottom).width(), whole.width());

    QTemporaryDir dir;
    QVERIFY(chart.saveImageAs(dir.filePath("chart.png")));
    QCOMPARE(QImage(dir.filePath("chart.png")).size(), chart.plot()->size());
    QVERIFY(!chart.saveImageAs(dir.filePath("missing/chart.png")));
}

QTEST_MAIN(TestRecordChart)
#include "tst_RecordChart.moc"
