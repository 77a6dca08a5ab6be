#include <QtTest>
#include <vector>

#include "link/LinkFrame.h"
#include "link/ReceiveBuffer.h"

namespace {

constexpr int kCapacity = 10240;

const unsigned char* bytes(const QByteArray& data) {
    return reinterpret_cast<const unsigned char*>(data.constData());
}

int append(ReceiveBuffer& ring, const QByteArray& data) {
    return ring.append(bytes(data), data.size());
}

// Moves the ring's read index to `position` by passing filler bytes through it.
void advanceTo(ReceiveBuffer& ring, int position) {
    std::vector<unsigned char> filler(static_cast<std::size_t>(position), 0xEE);
    QCOMPARE(ring.append(filler.data(), position), position);
    QCOMPARE(ring.read(filler.data(), position), position);
    QCOMPARE(ring.readIndex(), position);
}

QByteArray reply(int payloadLength) {
    QByteArray payload(payloadLength, '\0');
    for (int i = 0; i < payloadLength; ++i) {
        payload[i] = static_cast<char>(i * 7 + 1);
    }
    return buildFrame(kCommandQuery, payload);
}

void checkInvariants(const ReceiveBuffer& ring) {
    QVERIFY(ring.count() >= 0 && ring.count() <= ring.capacity());
    QCOMPARE(ring.writeIndex(), (ring.readIndex() + ring.count()) % ring.capacity());
}

}  // namespace

class TestReceiveBuffer : public QObject {
    Q_OBJECT

private slots:
    void frameIsTakenOnlyWhenWhole_data();
    void frameIsTakenOnlyWhenWhole();
    void frameStraddlingTheEndOfTheRing_data();
    void frameStraddlingTheEndOfTheRing();
    void overflowDropsWhatDoesNotFit();
    void emptyFrameNeedsANinthByte();
    void nothingToTake();
    void readIsLimitedToWhatIsBuffered();
    void releaseLeavesAnEmptyRing();
};

void TestReceiveBuffer::frameIsTakenOnlyWhenWhole_data() {
    QTest::addColumn<QList<int>>("pieces");
    QTest::newRow("3, 10, 15") << QList<int>{3, 10, 15};
    QTest::newRow("byte by byte") << QVector<int>(28, 1).toList();
    QTest::newRow("head split at the length bytes") << QList<int>{4, 24};
    QTest::newRow("one piece") << QList<int>{28};
}

void TestReceiveBuffer::frameIsTakenOnlyWhenWhole() {
    QFETCH(QList<int>, pieces);
    ReceiveBuffer ring;
    ring.init(kCapacity);
    const QByteArray frame = reply(20);
    int offset = 0;
    for (int piece : pieces) {
        QVERIFY(!ring.hasFrame());
        QCOMPARE(append(ring, frame.mid(offset, piece)), piece);
        offset += piece;
    }
    QVERIFY(ring.hasFrame());
    QCOMPARE(ring.pendingLength(), 28);
    QByteArray out(kCapacity, '\0');
    QCOMPARE(ring.takeFrame(reinterpret_cast<unsigned char*>(out.data())), 28);
    QCOMPARE(out.left(28).toHex(), frame.toHex());
    QCOMPARE(ring.count(), 0);
    QCOMPARE(ring.takeFrame(reinterpret_cast<unsigned char*>(out.data())), -1);
}

void TestReceiveBuffer::frameStraddlingTheEndOfTheRing_data() {
    QTest::addColumn<int>("readIndex");
    // The frame is 28 bytes; each row splits it at a different byte, the length bytes
    // (offsets 3 and 4) included.
    for (int split : {1, 3, 4, 5, 27}) {
        QTest::addRow("split after %d bytes", split) << kCapacity - split;
    }
}

void TestReceiveBuffer::frameStraddlingTheEndOfTheRing() {
    QFETCH(int, readIndex);
    ReceiveBuffer ring;
    ring.init(kCapacity);
    advanceTo(ring, readIndex);
    const QByteArray frame = reply(20);
    QCOMPARE(append(ring, frame), frame.size());
    checkInvariants(ring);
    QVERIFY(ring.hasFrame());
    QByteArray out(frame.size(), '\0');
    QCOMPARE(ring.takeFrame(reinterpret_cast<unsigned char*>(out.data())), frame.size());
    QCOMPARE(out.toHex(), frame.toHex());
    QCOMPARE(ring.readIndex(), (readIndex + frame.size()) % kCapacity);
    checkInvariants(ring);
}

void TestReceiveBuffer::overflowDropsWhatDoesNotFit() {
    ReceiveBuffer ring;
    ring.init(kCapacity);
    advanceTo(ring, 100);
    QCOMPARE(append(ring, QByteArray(10230, 'a')), 10230);
    QCOMPARE(append(ring, QByteArray(10, 'b') + QByteArray(10, 'c')), 10);
    QCOMPARE(ring.count(), kCapacity);
    checkInvariants(ring);
    QCOMPARE(append(ring, "d"), 0);
    QByteArray out(kCapacity, '\0');
    QCOMPARE(ring.read(reinterpret_cast<unsigned char*>(out.data()), kCapacity), kCapacity);
    QCOMPARE(out.right(11), QByteArray("a") + QByteArray(10, 'b'));
    checkInvariants(ring);
}

void TestReceiveBuffer::emptyFrameNeedsANinthByte() {
    ReceiveBuffer ring;
    ring.init(kCapacity);
    const QByteArray empty = buildFrame(kCommandQuery, QByteArray());
    QCOMPARE(append(ring, empty), 8);
    QVERIFY(!ring.hasFrame());
    QCOMPARE(append(ring, "\x0a"), 1);
    QVERIFY(ring.hasFrame());
    QByteArray out(kCapacity, '\0');
    QCOMPARE(ring.takeFrame(reinterpret_cast<unsigned char*>(out.data())), 8);
    QCOMPARE(out.left(8).toHex(), empty.toHex());
    QCOMPARE(ring.count(), 1);
}

void TestReceiveBuffer::nothingToTake() {
    ReceiveBuffer ring;
    ring.init(kCapacity);
    QCOMPARE(append(ring, QByteArray()), 0);
    QCOMPARE(ring.append(nullptr, -5), 0);
    QCOMPARE(ring.count(), 0);
    // A head announcing a frame longer than the ring is never complete.
    QCOMPARE(append(ring, QByteArray::fromHex("0a0b0bffff") + QByteArray(kCapacity, 'x')),
             kCapacity);
    QVERIFY(!ring.hasFrame());
    unsigned char out[16];
    QCOMPARE(ring.takeFrame(out), -1);
    QCOMPARE(ring.count(), kCapacity);
}

void TestReceiveBuffer::readIsLimitedToWhatIsBuffered() {
    ReceiveBuffer ring;
    ring.init(kCapacity);
    append(ring, "abc");
    unsigned char out[8] = {};
    QCOMPARE(ring.read(out, 0), 0);
    QCOMPARE(ring.read(out, -1), 0);
    QCOMPARE(ring.peek(out, 8), 3);
    QCOMPARE(ring.count(), 3);
    QCOMPARE(ring.read(out, 8), 3);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(out), 3), QByteArray("abc"));
    QCOMPARE(ring.read(out, 8), 0);
    checkInvariants(ring);
}

void TestReceiveBuffer::releaseLeavesAnEmptyRing() {
    ReceiveBuffer ring;
    ring.init(kCapacity);
    append(ring, reply(20));
    ring.release();
    QCOMPARE(ring.count(), 0);
    QCOMPARE(ring.capacity(), 0);
    QCOMPARE(append(ring, reply(20)), 0);
    QVERIFY(!ring.hasFrame());
    ring.init(64);
    QCOMPARE(append(ring, reply(20)), 28);
    QVERIFY(ring.hasFrame());
}

QTEST_APPLESS_MAIN(TestReceiveBuffer)
#include "tst_ReceiveBuffer.moc"
