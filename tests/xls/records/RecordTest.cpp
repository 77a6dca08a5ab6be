#include "xls/records/Record.h"

#include <gtest/gtest.h>

#include "tests/xls/records/RecordBytes.h"
#include "xls/records/BOF.h"
#include "xls/records/YEOF.h"

namespace xls {
namespace {

using test::Bytes;
using test::MakeBytes;
using test::SplitRecords;
using test::WriteBytes;

// A record whose data is a given byte string.
class RawRecord : public Record {
public:
    RawRecord(uint16_t code, Bytes bytes) : Record(code), bytes_(std::move(bytes)) {}

    uint32_t DataSize() override {
        SetDataSize(static_cast<uint32_t>(bytes_.size()));
        return Record::DataSize();
    }

    uint32_t Write(uint8_t* out) override {
        return WriteData(out, [this](uint8_t* d) { std::copy(bytes_.begin(), bytes_.end(), d); });
    }

private:
    Bytes bytes_;
};

Bytes Counting(size_t size) {
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    }
    return bytes;
}

TEST(RecordFraming, EmptyDataWritesHeaderOnly) {
    RawRecord record(0x1234, {});
    EXPECT_EQ(record.RecordSize(), 4u);
    EXPECT_EQ(WriteBytes(record), MakeBytes({0x34, 0x12, 0x00, 0x00}));
}

TEST(RecordFraming, DataOfOneFullRecordHasNoContinue) {
    RawRecord record(0x0042, Counting(8224));
    EXPECT_EQ(record.RecordSize(), 8228u);
    const auto records = SplitRecords(WriteBytes(record));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].code, 0x0042);
    EXPECT_EQ(records[0].data, Counting(8224));
}

TEST(RecordFraming, OneByteMoreThanARecordGoesToAContinue) {
    RawRecord record(0x0042, Counting(8225));
    EXPECT_EQ(record.RecordSize(), 8233u);
    const Bytes bytes = WriteBytes(record);
    const Bytes data = Counting(8225);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 4), MakeBytes({0x42, 0x00, 0x20, 0x20}));
    EXPECT_EQ(Bytes(bytes.begin() + 4, bytes.begin() + 8228), Bytes(data.begin(), data.end() - 1));
    EXPECT_EQ(Bytes(bytes.begin() + 8228, bytes.end()),
              MakeBytes({0x3C, 0x00, 0x01, 0x00, data.back()}));
}

TEST(RecordFraming, TwoFullRecordsOfData) {
    RawRecord record(0x0042, Counting(16448));
    EXPECT_EQ(record.RecordSize(), 16456u);
    const auto records = SplitRecords(WriteBytes(record));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].code, 0x0042);
    EXPECT_EQ(records[1].code, 0x003C);
    EXPECT_EQ(records[0].data.size(), 8224u);
    EXPECT_EQ(records[1].data.size(), 8224u);
}

TEST(RecordFraming, WritingTwiceGivesTheSameBytes) {
    RawRecord record(0x0042, Counting(9000));
    EXPECT_EQ(WriteBytes(record), WriteBytes(record));
}

TEST(FramingRecords, GlobalsBof) {
    BOF bof(BOF::kWorkbookGlobals);
    EXPECT_EQ(WriteBytes(bof),
              MakeBytes({0x09, 0x08, 0x10, 0x00, 0x00, 0x06, 0x05, 0x00, 0xA0, 0x19,
                         0xCD, 0x07, 0xC9, 0xC0, 0x00, 0x00, 0x06, 0x03, 0x00, 0x00}));
}

TEST(FramingRecords, WorksheetBof) {
    BOF bof(BOF::kWorksheet);
    EXPECT_EQ(WriteBytes(bof),
              MakeBytes({0x09, 0x08, 0x10, 0x00, 0x00, 0x06, 0x10, 0x00, 0xA0, 0x19,
                         0xCD, 0x07, 0xC9, 0xC0, 0x00, 0x00, 0x06, 0x03, 0x00, 0x00}));
}

TEST(FramingRecords, Eof) {
    YEOF eof;
    EXPECT_EQ(WriteBytes(eof), MakeBytes({0x0A, 0x00, 0x00, 0x00}));
}

}  // namespace
}  // namespace xls
