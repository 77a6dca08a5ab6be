// Times the export of a full record store (exporter and save, without the
// dialog): export_records_bench [RECORDS] [OUT.xls] [REPEATS]
// Last line: records=... best_ms=... median_ms=...
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "export/RecordExporter.h"

namespace {

RecordStore makeStore(int count) {
    RecordStore store(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const int second = 37 * i;
        std::snprintf(store[i].timeText, sizeof store[i].timeText, "2024-%02d-%02d %02d:%02d:%02d",
                      1 + second / 2592000 % 12, 1 + second / 86400 % 28, second / 3600 % 24,
                      second / 60 % 60, second % 60);
        store[i].value = (i * 7919) % 100000 - 5000;
    }
    return store;
}

}  // namespace

int main(int argc, char* argv[]) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 65534;
    const std::string path = argc > 2 ? argv[2] : "export_records_bench.xls";
    const int repeats = argc > 3 ? std::atoi(argv[3]) : 5;
    const RecordStore store = makeStore(count);
    const std::u16string widePath(path.begin(), path.end());

    std::vector<double> times;
    for (int run = 0; run < repeats; ++run) {
        const auto start = std::chrono::steady_clock::now();
        RecordExporter exporter;
        if (!exporter.exportRecords(store, widePath, 0)) {
            std::fprintf(stderr, "export to %s failed\n", path.c_str());
            return 1;
        }
        const std::chrono::duration<double, std::milli> elapsed =
            std::chrono::steady_clock::now() - start;
        times.push_back(elapsed.count());
    }
    std::sort(times.begin(), times.end());
    std::printf("records=%d best_ms=%.1f median_ms=%.1f\n", count, times.front(),
                times[times.size() / 2]);
    return 0;
}
