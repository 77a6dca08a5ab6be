// Times the chart and the CSV export with a large record store, on the
// offscreen platform unless another one is chosen:
//
//   bench_chart_csv [RECORDS] [REPEATS] [OUT_DIR]   (default: 250000 7 .)
//
// - redraw: a full redraw of a 1000x600 chart window holding all records
//   (replot and render of the whole plot, axes included);
// - append: one frame of 6553 records arriving at a chart of RECORDS records,
//   from the notification to the redrawn plot (parsing and merging included);
// - csv: the CSV file of all records, text, write and rename.
// Each line gives the best and the median time of the repeats.
#include <qwt_plot.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "chart/RecordChart.h"
#include "export/CsvExport.h"

namespace {

constexpr int kFrameRecords = 6553;

// One record every 37 seconds from 2024-01-01 on, values of a slow wave with
// a spike every 1000 records.
void appendRecords(RecordStore& store, int count) {
    for (int n = 0; n < count; ++n) {
        const int i = static_cast<int>(store.size());
        const int second = 37 * (i % 10000000);
        const int day = second / 86400;
        DetectorRecord record{};
        std::snprintf(record.timeText, sizeof record.timeText, "%04d-%02d-%02d %02d:%02d:%02d",
                      2024 + day / 336 % 100, 1 + day / 28 % 12, 1 + day % 28, second / 3600 % 24,
                      second / 60 % 60, second % 60);
        record.value = 300 + i % 5000 + (i % 1000 == 0 ? 20000 : 0);
        store.push_back(record);
    }
}

void report(const char* name, std::vector<double> times, double targetMs) {
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("%-8s best_ms=%.1f median_ms=%.1f target_ms=%.0f %s\n", name, times.front(), median,
                targetMs, median <= targetMs ? "ok" : "OVER");
}

double timeOnce(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void redrawAll(RecordChart& chart) {
    chart.plot()->replot();
    chart.plot()->grab();
}

}  // namespace

int main(int argc, char* argv[]) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 250000;
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 7;
    const std::string outDir = argc > 3 ? argv[3] : ".";

    RecordStore store;
    appendRecords(store, count);
    std::vector<double> redraw, append, csv;
    for (int run = 0; run < repeats; ++run) {
        store.resize(static_cast<std::size_t>(count));
        RecordChart chart(store);
        chart.resize(1000, 600);
        chart.show();
        QApplication::processEvents();
        redraw.push_back(timeOnce([&] { redrawAll(chart); }));

        appendRecords(store, kFrameRecords);
        append.push_back(timeOnce([&] {
            chart.recordsAppended();
            chart.refresh();
            chart.plot()->grab();
        }));
    }
    store.resize(static_cast<std::size_t>(count));
    const std::string path = outDir + "/bench_chart_csv.csv";
    const std::u16string widePath(path.begin(), path.end());
    for (int run = 0; run < repeats; ++run)
        csv.push_back(timeOnce([&] { exportCsv(store, widePath, 1); }));
    std::remove(path.c_str());

    std::printf("records=%d frame=%d\n", count, kFrameRecords);
    report("redraw", redraw, 50);
    report("append", append, 20);
    report("csv", csv, 150);
    return 0;
}
