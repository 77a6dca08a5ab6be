// Checks a saved workbook file with the Python readers: the compound file
// holds exactly the stream "Workbook" with the expected bytes (olefile), and
// a workbook reader (xlrd) finds the document's sheets and cells. Under Wine,
// where no Linux program can be started, the file and its references are
// left in VENTRIX_DEFERRED_CHECK_DIR for scripts/check-windows-output.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "xls/XlsDocument.h"

namespace xls::test {

namespace fs = std::filesystem;

inline std::vector<uint8_t> ReadFileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline void WriteFileText(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

inline std::string CurrentTestName() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

// A fresh folder per test, removed afterwards.
class TempFolder {
public:
    TempFolder() {
        std::random_device random;
        path_ = fs::temp_directory_path() /
                ("ventrix-xls-" + CurrentTestName() + "-" + std::to_string(random()));
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const fs::path& Path() const { return path_; }
    std::vector<std::u16string> Entries() const {
        std::vector<std::u16string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(path_)) {
            names.push_back(entry.path().filename().u16string());
        }
        return names;
    }

private:
    fs::path path_;
};

// JSON string of 16-bit units, every unit outside printable ASCII escaped.
inline std::string JsonText(std::u16string_view units) {
    std::string json = "\"";
    for (char16_t unit : units) {
        if (unit >= 0x20 && unit < 0x7F && unit != u'"' && unit != u'\\') {
            json += static_cast<char>(unit);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(unit));
            json += escaped;
        }
    }
    return json + "\"";
}

// 8-bit cell text is read back byte for byte as code units.
inline std::u16string WidenBytes(std::string_view text) {
    std::u16string wide;
    for (unsigned char c : text) {
        wide.push_back(static_cast<char16_t>(c));
    }
    return wide;
}

inline std::string JsonNumber(double value) {
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    std::string hex = "\"";
    for (int i = 0; i < 8; ++i) {
        char byte[3];
        std::snprintf(byte, sizeof byte, "%02x", static_cast<unsigned>((bits >> (8 * i)) & 0xFF));
        hex += byte;
    }
    return hex + "\"";
}

inline std::string JsonCell(const XlsCell& cell, int row, int column) {
    const std::string at = "[" + std::to_string(row) + "," + std::to_string(column) + ",";
    switch (cell.Type()) {
        case CellString:
            return at + "\"text\"," + JsonText(WidenBytes(cell.Text())) + "]";
        case CellWString:
            return at + "\"text\"," + JsonText(cell.WideText()) + "]";
        case CellInt:
            return at + "\"number\"," + JsonNumber(cell.IntValue()) + "]";
        case CellDouble:
            return at + "\"number\"," + JsonNumber(cell.DoubleValue()) + "]";
        default:
            return "";
    }
}

// What a reader must find in a file saved from `document`: its sheet names,
// grid sizes, and every text and number cell with its exact value.
inline std::string ExpectedCells(XlsDocument& document) {
    std::string json = "{\"sheets\":[";
    for (int i = 0; i < document.SheetCount(); ++i) {
        const XlsSheet& sheet = *document.GetSheet(i);
        const SmallString& name = document.Globals().sheets[static_cast<size_t>(i)].name;
        json += i > 0 ? "," : "";
        json += "{\"name\":" + JsonText(name.IsWide() ? name.Wide() : WidenBytes(name.Narrow()));
        json += ",\"rows\":" + std::to_string(sheet.RowCount());
        json += ",\"columns\":" + std::to_string(sheet.ColumnCount()) + ",\"cells\":[";
        std::string separator;
        for (int r = 0; r < sheet.RowCount(); ++r) {
            for (int k = 0; k < sheet.ColumnCount(); ++k) {
                const std::string cell = JsonCell(sheet.At(r, k), r, k);
                if (!cell.empty()) {
                    json += separator + cell;
                    separator = ",";
                }
            }
        }
        json += "]}";
    }
    return json + "]}";
}

inline std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

inline int RunPython(const char* script, const fs::path& file, const fs::path& reference) {
    const char* python = std::getenv("VENTRIX_PYTHON");
    const std::string command = Quoted(python != nullptr ? python : "/usr/bin/python3") + " " +
                                Quoted(script) + " " + Quoted(file.string()) + " " +
                                Quoted(reference.string());
    return std::system(command.c_str());
}

// Expects `file` to hold exactly the stream `stream`, and a reader to find
// the sheets and cells of `document` in it.
inline void ExpectWorkbookFile(const fs::path& file, const std::vector<uint8_t>& stream,
                               XlsDocument& document) {
    const std::string cells = ExpectedCells(document);
    const fs::path name = file.filename();
    if (const char* deferred = std::getenv("VENTRIX_DEFERRED_CHECK_DIR")) {
        const fs::path dir = fs::path(deferred) / CurrentTestName();
        fs::create_directories(dir);
        fs::copy_file(file, dir / name, fs::copy_options::overwrite_existing);
        WriteFileBytes(dir / (name.string() + ".expected"), stream);
        WriteFileText(dir / (name.string() + ".cells"), cells);
        return;
    }
    const fs::path scratch =
        fs::temp_directory_path() / ("ventrix-check-" + CurrentTestName() + "-" + name.string());
    const fs::path bytesReference = fs::path(scratch.string() + ".expected");
    const fs::path cellsReference = fs::path(scratch.string() + ".cells");
    WriteFileBytes(bytesReference, stream);
    WriteFileText(cellsReference, cells);
    EXPECT_EQ(RunPython(VENTRIX_CHECK_COMPOUND_FILE, file, bytesReference), 0);
    EXPECT_EQ(RunPython(VENTRIX_CHECK_WORKBOOK_CELLS, file, cellsReference), 0);
    fs::remove(bytesReference);
    fs::remove(cellsReference);
}

}  // namespace xls::test
