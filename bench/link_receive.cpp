// Receive path of the link: deliveries of reply frames through the frame reader, with
// verification, decoding and storing of the records; and the log lines of one frame.

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QDateTime>
#include <QStringList>

#include "link/FrameReader.h"
#include "link/LinkFrame.h"
#include "link/RecordDecoder.h"
#include "link/RecordLog.h"

namespace {

// Largest delivery seen from a serial port on this platform.
constexpr int kDeliverySize = 4095;

QByteArray replyFrame(int recordCount, int seed) {
    QByteArray payload;
    payload.reserve(recordCount * kRecordLength);
    for (int k = 0; k < recordCount; ++k) {
        const int second = (seed + k) % 60;
        const char record[kRecordLength] = {24,
                                            5,
                                            6,
                                            10,
                                            static_cast<char>(k % 60),
                                            static_cast<char>(second),
                                            static_cast<char>(k >> 24),
                                            static_cast<char>(k >> 16),
                                            static_cast<char>(k >> 8),
                                            static_cast<char>(k)};
        payload.append(record, kRecordLength);
    }
    return buildFrame(kCommandQuery, payload);
}

// About 4 MB of reply frames with `recordsPerFrame` records each.
QByteArray replyStream(int recordsPerFrame) {
    const int frameBytes = recordsPerFrame * kRecordLength + kFrameOverhead;
    QByteArray stream;
    for (int i = 0; stream.size() < 4 * 1024 * 1024 - frameBytes; ++i) {
        stream += replyFrame(recordsPerFrame, i);
    }
    return stream;
}

void BM_ReceiveReplyFrames(benchmark::State& state) {
    const QByteArray stream = replyStream(static_cast<int>(state.range(0)));
    const auto* bytes = reinterpret_cast<const unsigned char*>(stream.constData());
    RecordStore store;
    FrameReader reader;
    reader.setFrameHandler(
        [&store](const unsigned char* frame, int length) { decodeRecords(frame, length, store); });
    for (auto _ : state) {
        store.clear();
        for (int offset = 0; offset < stream.size(); offset += kDeliverySize) {
            reader.receive(bytes + offset, std::min(kDeliverySize, stream.size() - offset));
        }
        benchmark::DoNotOptimize(store.data());
    }
    state.SetBytesProcessed(state.iterations() * stream.size());
    state.counters["records"] = static_cast<double>(store.size());
}
BENCHMARK(BM_ReceiveReplyFrames)->Arg(100)->Arg(6553)->Unit(benchmark::kMillisecond);

// One frame of 6553 records handled with its log lines (decode, store, texts); the
// lines are joined as one block, ready for the log pane.
void BM_FrameOf6553RecordsWithLogLines(benchmark::State& state) {
    const QByteArray frame = replyFrame(6553, 0);
    const auto* bytes = reinterpret_cast<const unsigned char*>(frame.constData());
    const QDateTime now = QDateTime::currentDateTime();
    for (auto _ : state) {
        RecordStore store;
        const QStringList lines =
            handleReplyFrame(bytes, frame.size(), static_cast<int>(state.range(0)), now, store);
        benchmark::DoNotOptimize(lines.join(QLatin1Char('\n')).size());
    }
}
BENCHMARK(BM_FrameOf6553RecordsWithLogLines)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
