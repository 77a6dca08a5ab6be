// "CHART" on the serial panel: the chart window follows the records that come
// over a pseudo-terminal from the stand-in detector, new queries and the unit.

#include <QComboBox>
#include <QtTest>

#include "LinkTestSupport.h"
#include "chart/RecordChart.h"
#include "link/SerialWidget.h"
#include "link/Units.h"

namespace {

constexpr int kReceiveTimeoutMs = 30000;
constexpr int kRecords = 1500;

}  // namespace

class TestSerialWidgetChart : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void chartFollowsQueriesAndTheUnit();

private:
    void query(SerialWidget& panel, const QString& from, const QString& to, int expected);

    MessageBoxWatcher boxes_;
    DetectorSimulator simulator_;
};

void TestSerialWidgetChart::initTestCase() {
    qputenv("VENTRIX_SYSTEM_PORTS", "");
    QVERIFY(simulator_.start({"--records", QString::number(kRecords), "--seed", "5"}));
    qputenv("VENTRIX_EXTRA_PORTS", simulator_.devicePath().toLocal8Bit());
}

void TestSerialWidgetChart::query(SerialWidget& panel, const QString& from, const QString& to,
                                  int expected) {
    setQueryRange(panel, from, to);
    QTRY_VERIFY_WITH_TIMEOUT(buttonWithText(panel, "QUERY DATA")->isEnabled(), kReceiveTimeoutMs);
    QVERIFY(clickButton(panel, "QUERY DATA"));
    QTRY_COMPARE_WITH_TIMEOUT(int(panel.records().size()), expected, kReceiveTimeoutMs);
}

void TestSerialWidgetChart::chartFollowsQueriesAndTheUnit() {
    SerialWidget panel;
    query(panel, "2000-01-01 00:00:00", "2099-12-31 23:59:59", kRecords);
    QVERIFY(clickButton(panel, "CHART"));
    auto* chart = panel.findChild<RecordChart*>();
    QVERIFY(chart && chart->isWindow() && chart->isVisible());
    QTRY_COMPARE(chart->series().samples().size(), std::size_t(kRecords));

    panel.findChild<QComboBox*>("unitCombo")->setCurrentIndex(kUnitVol);
    QCOMPARE(chart->unit(), kUnitVol);

    const QList<CsvRecord> all = simulator_.records();
    const QString from = all.value(100).timeText;
    const QString to = all.value(159).timeText;
    const int inRange = recordsBetween(all, from, to).size();
    chart->zoomTo(QRectF(0, 0, 1, 1));
    query(panel, from, to, inRange);
    QTRY_COMPARE(chart->series().samples().size(), std::size_t(inRange));
    QVERIFY(chart->showsWholeRange());
}

QTEST_MAIN(TestSerialWidgetChart)
#include "tst_SerialWidgetChart.moc"
