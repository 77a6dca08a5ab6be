#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/xls/WorkbookFileCheck.h"
#include "tests/xls/records/RecordBytes.h"
#include "xls/TempFile.h"
#include "xls/XlsDocument.h"

#ifndef _WIN32
#include "tests/FileSizeLimit.h"

// fsync, fclose and rename as the writer calls them (the program is linked
// with --wrap for each): the one named in failingCall fails, though the file
// is closed all the same.
static std::string failingCall;
extern "C" {
int __real_fsync(int fd);
int __real_fclose(FILE* file);
int __real_rename(const char* from, const char* to);
int __wrap_fsync(int fd) {
    return failingCall == "fsync" ? -1 : __real_fsync(fd);
}
int __wrap_fclose(FILE* file) {
    return __real_fclose(file) != 0 || failingCall == "fclose" ? EOF : 0;
}
int __wrap_rename(const char* from, const char* to) {
    return failingCall == "rename" ? -1 : __real_rename(from, to);
}
}
#endif

namespace xls {
namespace {

using test::PhysicalRecord;
using test::SplitRecords;
using test::U16At;
using test::U32At;

constexpr uint16_t kBOF = 0x0809;
constexpr uint16_t kBoundSheet = 0x0085;
constexpr uint16_t kIndex = 0x020B;
constexpr uint16_t kDBCell = 0x00D7;
constexpr uint16_t kRow = 0x0208;

// A record of the stream with its position.
struct Placed {
    size_t position;
    PhysicalRecord record;
};

std::vector<Placed> PlaceRecords(const std::vector<uint8_t>& stream) {
    std::vector<Placed> placed;
    size_t position = 0;
    for (PhysicalRecord& record : SplitRecords(stream)) {
        const size_t size = 4 + record.data.size();
        placed.push_back({position, std::move(record)});
        position += size;
    }
    return placed;
}

std::vector<size_t> PositionsOf(const std::vector<Placed>& records, uint16_t code) {
    std::vector<size_t> positions;
    for (const Placed& placed : records) {
        if (placed.record.code == code) {
            positions.push_back(placed.position);
        }
    }
    return positions;
}

TEST(DocumentStream, NewOneSheetDocumentIs786Bytes) {
    XlsDocument document;
    document.New(1);
    const std::vector<uint8_t> stream = document.BuildStream();
    ASSERT_EQ(stream.size(), 786u);
    const auto records = PlaceRecords(stream);

    EXPECT_EQ(PositionsOf(records, kBOF), (std::vector<size_t>{0, 658}));
    EXPECT_EQ(document.Globals().sheets[0].streamPosition, 658u);
    EXPECT_EQ(document.Worksheets()[0].index.dbcellPositions, std::vector<uint32_t>{750});
    EXPECT_EQ(PositionsOf(records, kDBCell), std::vector<size_t>{750});
    for (const Placed& placed : records) {
        const auto& data = placed.record.data;
        if (placed.record.code == kBoundSheet) {
            EXPECT_EQ(U32At(data, 0), 658u);
        } else if (placed.record.code == kIndex) {
            EXPECT_EQ(U32At(data, 16), 750u);
        } else if (placed.record.code == kDBCell) {
            EXPECT_EQ(U32At(data, 0), 30u);
            EXPECT_EQ(U16At(data, 4), 0u);
        }
    }
}

// Sheets of different sizes: each BOUNDSHEET points at its sheet's BOF, each
// INDEX entry at the DBCELL of the row block, each DBCELL back at the
// block's first ROW and from row to row at the row's first cell.
TEST(DocumentStream, PositionsPointAtEachSheetsOwnRecords) {
    XlsDocument document;
    document.New(3);
    for (int r = 0; r < 70; ++r) {
        document.GetSheet(0)->Cell(r, 0)->SetString(("row " + std::to_string(r)).c_str());
        document.GetSheet(0)->Cell(r, 1)->SetInt(r);
        document.GetSheet(0)->Cell(r, 2)->SetInt(r * 2);
        document.GetSheet(0)->Cell(r, 3)->SetDouble(r + 0.5);
    }
    document.GetSheet(2)->Cell(40, 5)->SetDouble(3.14159);
    const std::vector<uint8_t> stream = document.BuildStream();
    const auto records = PlaceRecords(stream);
    const auto bofs = PositionsOf(records, kBOF);
    const auto dbcells = PositionsOf(records, kDBCell);

    std::vector<size_t> boundSheets;
    std::vector<size_t> indexEntries;
    for (size_t i = 0; i < records.size(); ++i) {
        const PhysicalRecord& record = records[i].record;
        if (record.code == kBoundSheet) {
            boundSheets.push_back(U32At(record.data, 0));
        } else if (record.code == kIndex) {
            for (size_t p = 16; p < record.data.size(); p += 4) {
                indexEntries.push_back(U32At(record.data, p));
            }
        } else if (record.code == kDBCell) {
            // Walk back to the block's first ROW and check every row offset.
            const size_t firstRow = records[i].position - U32At(record.data, 0);
            size_t j = i;
            while (j > 0 && records[j - 1].position >= firstRow) {
                --j;
            }
            EXPECT_EQ(records[j].position, firstRow);
            EXPECT_EQ(records[j].record.code, kRow);
            size_t rows = 0;
            while (records[j + rows].record.code == kRow) {
                ++rows;
            }
            ASSERT_EQ(record.data.size(), 4 + 2 * rows);
            size_t from = records[j + 1].position;
            size_t cell = j + rows;
            for (size_t r = 0; r < rows; ++r) {
                const uint16_t rowIndex = U16At(records[j + r].record.data, 0);
                while (U16At(records[cell].record.data, 0) < rowIndex) {
                    ++cell;
                }
                EXPECT_EQ(from + U16At(record.data, 4 + 2 * r), records[cell].position);
                from = records[cell].position;
            }
        }
    }
    EXPECT_EQ(boundSheets, (std::vector<size_t>{bofs[1], bofs[2], bofs[3]}));
    EXPECT_EQ(indexEntries, dbcells);
    EXPECT_EQ(dbcells.size(), 3u + 1u + 2u);
}

TEST(DocumentStream, FirstRowOffsetsOfABlockWithCellsInEveryRow) {
    XlsDocument document;
    document.New(1);
    document.GetSheet(0)->Cell(0, 1)->SetString("ab");
    document.GetSheet(0)->Cell(2, 0)->SetInt(1);
    document.BuildStream();
    const DBCell& dbcell = document.Worksheets()[0].cellTable.blocks[0].dbcell;
    // Three ROW records; row 0 holds a BLANK (10) and a LABELSST (14), row 1
    // two BLANKs, row 2 an RK (14) and a BLANK.
    EXPECT_EQ(dbcell.rowOffsets, (std::vector<uint16_t>{3 * 20 - 20, 10 + 14, 10 + 10}));
    EXPECT_EQ(dbcell.firstRowOffset, 3u * 20 + 24 + 20 + 24);
}

// Handles to one FORMULA of 65052 bytes: past the limit, and past 4 GiB (small in 32 bits).
TEST(DocumentStream, StreamsPastTheLimitsAreRefused) {
    for (const size_t count : {33000u, 67000u}) {
        XlsDocument document;
        document.New(1);
        CellBlockRef formula = MakeRef<CellBlock>();
        formula->SetType(0x0006);
        formula->As<Formula>()->expression.resize(65000);
        document.Worksheets()[0].cellTable.blocks.emplace_back().cells.assign(count, formula);
        EXPECT_TRUE(document.WriteRecordSets().empty()) << count;
    }
}

class DocumentFile : public ::testing::Test {
protected:
    test::TempFolder folder;
};

TEST_F(DocumentFile, ExportLikeWorkbookReadsBack) {
    XlsDocument document;
    document.New(3);
    XlsSheet* sheet = document.GetSheet(0);
    sheet->Cell(0, 0)->SetString("DateTime");
    sheet->Cell(0, 1)->SetString("PPM.M");
    sheet->Cell(1, 0)->SetString("2024-01-01 00:00:00");
    sheet->Cell(1, 1)->SetString("123");
    sheet->Cell(2, 0)->SetString("2024-01-01 00:00:37");
    sheet->Cell(2, 1)->SetString("caf\xe9");
    document.GetSheet(1)->Cell(1, 1)->SetWideString(u"\u65e5\u672c \u00e9");
    const auto path = folder.Path() / "export.xls";

    ASSERT_TRUE(document.SaveAs(path.u16string().c_str()));
    document.Close();
    document.Close();

    EXPECT_EQ(folder.Entries(), std::vector<std::u16string>{u"export.xls"});
    test::ExpectWorkbookFile(path, document.BuildStream(), document);
}

TEST_F(DocumentFile, NumbersReadBackExactly) {
    XlsDocument document;
    document.New(1);
    XlsSheet* sheet = document.GetSheet(0);
    const int32_t integers[] = {0, 1, -1, 536870911, 536870912, -536870912, -536870913};
    const double doubles[] = {0.5,       2.25,     7.0,     3.14159, 10000.01,  -10000.01,
                              123456.78, 1e-05,    -0.01,   99.99,   214748.36, 214748.3648,
                              1e300,     -2.5e-10, 5242.87, 0.07};
    int k = 0;
    for (int32_t value : integers) {
        sheet->Cell(0, k++)->SetInt(value);
    }
    k = 0;
    for (double value : doubles) {
        sheet->Cell(1, k++)->SetDouble(value);
    }
    const auto path = folder.Path() / "numbers.xls";

    ASSERT_TRUE(document.SaveAs(path.u16string().c_str()));

    test::ExpectWorkbookFile(path, document.BuildStream(), document);
}

TEST_F(DocumentFile, FullSheetOf65535Rows) {
    XlsDocument document;
    document.New(2);
    XlsSheet* sheet = document.GetSheet(0);
    for (int r = 0; r < 65535; ++r) {
        sheet->Cell(r, 0)->SetString(("t" + std::to_string(r % 40000)).c_str());
        sheet->Cell(r, 1)->SetInt(r);
    }
    const auto path = folder.Path() / "full.xls";

    ASSERT_TRUE(document.SaveAs(path.u16string().c_str()));

    EXPECT_EQ(document.Globals().sst.uniqueCount, 40000u);
    EXPECT_EQ(document.Globals().sst.totalCount, 65535u);
    test::ExpectWorkbookFile(path, document.BuildStream(), document);
}

TEST_F(DocumentFile, SavingAgainReplacesTheFile) {
    XlsDocument document;
    document.New(1);
    const auto path = folder.Path() / "again.xls";
    ASSERT_TRUE(document.SaveAs(path.u16string().c_str()));
    document.GetSheet(0)->Cell(3, 2)->SetString("later");

    ASSERT_TRUE(document.SaveAs(path.u16string().c_str()));

    EXPECT_EQ(folder.Entries(), std::vector<std::u16string>{u"again.xls"});
    test::ExpectWorkbookFile(path, document.BuildStream(), document);
}

TEST_F(DocumentFile, FailedSaveLeavesAnExistingFileAndNothingElse) {
    // A non-empty folder in the target's place cannot be replaced by a file.
    const auto target = folder.Path() / "taken.xls";
    test::fs::create_directory(target);
    const std::vector<uint8_t> inner = {1, 2, 3, 4, 5};
    test::WriteFileBytes(target / "inner", inner);
    XlsDocument document;
    document.New(3);
    document.GetSheet(0)->Cell(10, 1)->SetString("lost");

    EXPECT_FALSE(document.SaveAs(target.u16string().c_str()));

    EXPECT_EQ(folder.Entries(), std::vector<std::u16string>{u"taken.xls"});
    EXPECT_EQ(test::ReadFileBytes(target / "inner"), inner);
    document.Close();
}

// The CSV export's save, on both systems: complete files replace the target; a
// failure leaves a folder in the target's place as it was, and nothing beside it.
TEST_F(DocumentFile, FilesAreWrittenBesideTheTargetAndMovedOverIt) {
    const auto target = folder.Path() / "alarms.csv";
    const auto taken = folder.Path() / "taken.csv";
    test::fs::create_directory(taken);
    SaveError error;
    ASSERT_TRUE(WriteFileAtomically(target, "first", error));
    ASSERT_TRUE(WriteFileAtomically(target, "second", error));
    EXPECT_FALSE(WriteFileAtomically(taken, "lost", error));
    EXPECT_NE(error.code, XlsError::Ok);
    EXPECT_FALSE(WriteFileAtomically(folder.Path() / "missing" / "x.csv", "lost", error));

    EXPECT_EQ(test::ReadFileBytes(target), (std::vector<uint8_t>{'s', 'e', 'c', 'o', 'n', 'd'}));
    EXPECT_TRUE(test::fs::is_directory(taken));
    std::vector<std::u16string> entries = folder.Entries();
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::u16string>{u"alarms.csv", u"taken.csv"}));
}

TEST_F(DocumentFile, UncreatablePathFailsAndCreatesNothing) {
    XlsDocument document;
    document.New(1);
    EXPECT_FALSE(document.SaveAs((folder.Path() / "missing" / "out.xls").u16string().c_str()));
    EXPECT_EQ(document.LastError().code, XlsError::FolderMissing);
    EXPECT_FALSE(document.SaveAs(u""));
    EXPECT_FALSE(document.SaveAs(nullptr));
    XlsDocument withoutSheets;
    EXPECT_FALSE(withoutSheets.SaveAs((folder.Path() / "none.xls").u16string().c_str()));
    withoutSheets.AddSheet("Data", -1);  // but still without fonts, XFs and styles
    EXPECT_FALSE(withoutSheets.SaveAs((folder.Path() / "none.xls").u16string().c_str()));
    Formula longText;  // its STRING passes the 16-bit DBCELL offset from row 0 to row 1
    longText.hasStringResult = true;
    longText.string.text.SetWide(std::u16string(32767, u'x'));
    document.GetSheet(0)->Cell(0, 0)->SetFormula(longText);
    document.GetSheet(0)->Cell(1, 0)->SetInt(1);
    EXPECT_FALSE(document.SaveAs((folder.Path() / "long.xls").u16string().c_str()));
    EXPECT_EQ(document.LastError().systemCode, TooLarge().systemCode);
    EXPECT_TRUE(folder.Entries().empty());
}

#ifndef _WIN32
TEST_F(DocumentFile, ExistingFileSurvivesAFailedSaveByteForByte) {
    const auto path = folder.Path() / "kept.xls";
    XlsDocument first;
    first.New(1);
    first.GetSheet(0)->Cell(0, 0)->SetString("first");
    ASSERT_TRUE(first.SaveAs(path.u16string().c_str()));
    const std::vector<uint8_t> before = test::ReadFileBytes(path);
    XlsDocument second;
    second.New(3);
    for (int r = 0; r < 3000; ++r) {
        second.GetSheet(0)->Cell(r, 0)->SetString(("value " + std::to_string(r)).c_str());
    }

    bool saved = true;
    {
        const FileSizeLimit limit(16 * 1024);
        saved = second.SaveAs(path.u16string().c_str());
    }
    for (const char* call : {"fsync", "fclose", "rename"}) {
        failingCall = call;
        EXPECT_FALSE(second.SaveAs(path.u16string().c_str())) << call;
    }
    failingCall.clear();

    EXPECT_FALSE(saved);
    EXPECT_EQ(test::ReadFileBytes(path), before);
    EXPECT_EQ(folder.Entries(), std::vector<std::u16string>{u"kept.xls"});
}
#endif

}  // namespace
}  // namespace xls
