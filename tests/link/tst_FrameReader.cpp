#include <QtTest>

#include "link/FrameReader.h"

namespace {

QByteArray reply(int payloadLength, int seed = 1) {
    QByteArray payload(payloadLength, '\0');
    for (int i = 0; i < payloadLength; ++i) {
        payload[i] = static_cast<char>(i * 7 + seed);
    }
    return buildFrame(kCommandQuery, payload);
}

QByteArray withByte(QByteArray frame, int offset, int value) {
    frame[offset] = static_cast<char>(value);
    return frame;
}

// A frame reader that records what it hands out.
struct Reader {
    explicit Reader(int capacity = kLargestFrameLength) : reader(capacity) {
        reader.setFrameHandler([this](const unsigned char* frame, int length) {
            frames.append(QByteArray(reinterpret_cast<const char*>(frame), length));
        });
        reader.setDiscardHandler([this](int count, DiscardReason reason) {
            discards.append(QString::number(count) + QLatin1Char(' ') + discardReasonText(reason));
        });
    }

    void receive(const QByteArray& bytes) {
        reader.receive(bytes);
        const ReceiveBuffer& ring = reader.buffer();
        QVERIFY(ring.count() >= 0 && ring.count() <= ring.capacity());
        QCOMPARE(ring.writeIndex(), (ring.readIndex() + ring.count()) % ring.capacity());
    }

    FrameReader reader;
    QList<QByteArray> frames;
    QStringList discards;
};

}  // namespace

class TestFrameReader : public QObject {
    Q_OBJECT

private slots:
    void frameInPieces();
    void everyFrameOfAChunkIsHandled();
    void emptyFrameIsCompleteAtEightBytes();
    void badInputIsSkipped_data();
    void badInputIsSkipped();
    void quietLineWithNothingBuffered();
    void chunkLargerThanTheFreeSpace_data();
    void chunkLargerThanTheFreeSpace();
    void largestFrameAcrossTheEndOfTheRing();
    void frameLongerThanTheRingIsSkipped();
};

void TestFrameReader::frameInPieces() {
    Reader r;
    const QByteArray frame = reply(20);
    r.receive(frame.left(3));
    r.receive(frame.mid(3, 10));
    QVERIFY(r.frames.isEmpty());
    r.receive(frame.mid(13, 15));
    QCOMPARE(r.frames, QList<QByteArray>{frame});
    QVERIFY(r.discards.isEmpty());
    QCOMPARE(r.reader.buffer().count(), 0);
}

void TestFrameReader::everyFrameOfAChunkIsHandled() {
    Reader r;
    const QByteArray first = reply(20, 1);
    const QByteArray second = reply(30, 2);
    const QByteArray third = reply(10, 3);
    r.receive(first + second + third.left(5));
    QCOMPARE(r.frames, (QList<QByteArray>{first, second}));
    r.receive(third.mid(5));
    QCOMPARE(r.frames.size(), 3);
    QCOMPARE(r.frames.last(), third);
}

void TestFrameReader::emptyFrameIsCompleteAtEightBytes() {
    Reader r;
    const QByteArray empty = buildFrame(kCommandQuery, QByteArray());
    r.receive(empty.left(7));
    QVERIFY(r.frames.isEmpty());
    r.receive(empty.mid(7));
    QCOMPARE(r.frames, QList<QByteArray>{empty});
    QCOMPARE(r.reader.buffer().count(), 0);
}

void TestFrameReader::badInputIsSkipped_data() {
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<int>("framesBeforeQuiet");
    QTest::addColumn<QList<QByteArray>>("frames");
    QTest::addColumn<QStringList>("discards");

    const QByteArray good = reply(20, 1);
    const QByteArray other = reply(10, 5);
    const QByteArray badChecksum = withByte(good, 25, good.at(25) + 1);
    const QByteArray badTrailer = withByte(good, 27, 0xB4);
    const QByteArray longer = withByte(good, 3, 0x01);  // announces 276 payload bytes
    const QByteArray shorter = withByte(good, 4, 10);   // announces 10 payload bytes

    QTest::newRow("stray bytes") << QByteArray("xyz\x01") + good << 1 << QList<QByteArray>{good}
                                 << QStringList{"4 no header"};
    QTest::newRow("lone first header byte")
        << QByteArray("\x0a") + good << 1 << QList<QByteArray>{good} << QStringList{"1 no header"};
    QTest::newRow("garbage around frames")
        << "ab" + good + "cd" + other << 2 << QList<QByteArray>{good, other}
        << QStringList{"2 no header", "2 no header"};
    QTest::newRow("bad checksum") << badChecksum + good << 1 << QList<QByteArray>{good}
                                  << QStringList{"28 bad checksum"};
    QTest::newRow("bad trailer") << badTrailer + good << 1 << QList<QByteArray>{good}
                                 << QStringList{"28 bad trailer"};
    QTest::newRow("length too short")
        << shorter + good << 1 << QList<QByteArray>{good} << QStringList{"28 bad trailer"};
    QTest::newRow("length too long, more frames follow")
        << longer + good + other << 0 << QList<QByteArray>{good, other}
        << QStringList{"28 incomplete frame"};
    QTest::newRow("length too long, last frame")
        << good + longer << 1 << QList<QByteArray>{good} << QStringList{"28 incomplete frame"};
    QTest::newRow("largest announced length")
        << QByteArray::fromHex("0a0b0bffff") + good << 0 << QList<QByteArray>{good}
        << QStringList{"5 incomplete frame"};
    QTest::newRow("garbage only") << QByteArray("\x01\x02\x03\xa3\xb3") << 0 << QList<QByteArray>{}
                                  << QStringList{"5 no header"};
    QTest::newRow("garbage ending in a header")
        << QByteArray("\x01\x02\x0a\x0b") << 0 << QList<QByteArray>{}
        << QStringList{"2 no header", "2 incomplete frame"};
    QTest::newRow("garbage, then a cut frame")
        << QByteArray("\x01\x02") + good.left(20) << 0 << QList<QByteArray>{}
        << QStringList{"2 no header", "20 incomplete frame"};
    QTest::newRow("stray bytes, then a bad frame")
        << "ab" + badChecksum + good << 1 << QList<QByteArray>{good}
        << QStringList{"2 no header", "28 bad checksum"};
}

void TestFrameReader::badInputIsSkipped() {
    QFETCH(QByteArray, stream);
    QFETCH(int, framesBeforeQuiet);
    QFETCH(QList<QByteArray>, frames);
    QFETCH(QStringList, discards);

    // Fed whole and in pieces of 3 bytes: the outcome does not depend on the pieces.
    for (int piece : {int(stream.size()), 3}) {
        Reader r;
        for (int offset = 0; offset < stream.size(); offset += piece) {
            r.receive(stream.mid(offset, piece));
        }
        QCOMPARE(r.frames.size(), framesBeforeQuiet);
        r.reader.endOfReply();
        QCOMPARE(r.frames, frames);
        QCOMPARE(r.discards, discards);
        QCOMPARE(r.reader.buffer().count(), 0);
    }
}

void TestFrameReader::quietLineWithNothingBuffered() {
    Reader r;
    r.reader.endOfReply();
    r.receive(reply(20));
    r.reader.endOfReply();
    QCOMPARE(r.frames.size(), 1);
    QVERIFY(r.discards.isEmpty());
}

void TestFrameReader::chunkLargerThanTheFreeSpace_data() {
    QTest::addColumn<int>("capacity");
    QTest::addColumn<int>("payloadLength");
    QTest::addColumn<int>("frameCount");

    QTest::newRow("ring of 64, ten 28-byte frames") << 64 << 20 << 10;
    QTest::newRow("ring of 10240, twelve 1008-byte frames") << 10240 << 1000 << 12;
    QTest::newRow("panel ring, three frames of 6553 records") << kLargestFrameLength << 65530 << 3;
}

void TestFrameReader::chunkLargerThanTheFreeSpace() {
    QFETCH(int, capacity);
    QFETCH(int, payloadLength);
    QFETCH(int, frameCount);

    Reader r(capacity);
    QByteArray chunk;
    QList<QByteArray> expected;
    for (int i = 0; i < frameCount; ++i) {
        expected.append(reply(payloadLength, i));
        chunk += expected.last();
    }
    QVERIFY(chunk.size() > capacity);
    r.receive(chunk);
    QCOMPARE(r.frames.size(), frameCount);
    QVERIFY(r.frames == expected);
    QVERIFY(r.discards.isEmpty());
}

void TestFrameReader::largestFrameAcrossTheEndOfTheRing() {
    Reader r;
    const QByteArray filler = reply(30000, 9);
    r.receive(filler);
    r.receive(filler);
    const QByteArray largest = reply(kMaxPayloadLength, 3);
    QCOMPARE(largest.size(), 65543);
    r.receive(largest.left(40000));
    r.receive(largest.mid(40000));
    QCOMPARE(r.frames.size(), 3);
    QVERIFY(r.frames.last() == largest);
    // The largest frame started 60016 bytes into the 65543-byte ring and wrapped.
    QCOMPARE(r.reader.buffer().readIndex(), 2 * filler.size());
    QVERIFY(r.discards.isEmpty());
}

void TestFrameReader::frameLongerThanTheRingIsSkipped() {
    Reader r(64);
    const QByteArray good = reply(20);
    r.receive(QByteArray::fromHex("0a0b0b0064") + good);
    QCOMPARE(r.frames, QList<QByteArray>{good});
    QCOMPARE(r.discards, QStringList{"5 frame too long"});
}

QTEST_APPLESS_MAIN(TestFrameReader)
#include "tst_FrameReader.moc"
