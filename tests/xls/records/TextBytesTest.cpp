#include "xls/records/TextBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace xls {
namespace {

// Lengths around the switch from in-place to heap storage.
const std::vector<size_t> kLengths = {0, 1, 22, 23, 24, 25, 300};

std::string Pattern(size_t length) {
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; ++i) {
        bytes[i] = static_cast<char>(i * 37 + 1);
    }
    return bytes;
}

TEST(TextBytes, HoldsEveryByteOfAnyLength) {
    for (size_t length : kLengths) {
        const std::string bytes = Pattern(length) + std::string(1, '\0');
        TextBytes text(bytes);
        EXPECT_EQ(text.View(), bytes) << length;
        EXPECT_EQ(text.Size(), length + 1);
        EXPECT_FALSE(text.Empty());
    }
    EXPECT_TRUE(TextBytes().Empty());
    EXPECT_TRUE(TextBytes(std::string_view()).Empty());
}

TEST(TextBytes, CopiesAndMovesKeepTheBytesApart) {
    for (size_t length : kLengths) {
        TextBytes original(Pattern(length));
        TextBytes copy(original);
        original.Assign("other");
        EXPECT_EQ(copy.View(), Pattern(length));
        TextBytes moved(std::move(copy));
        EXPECT_EQ(moved.View(), Pattern(length));
        EXPECT_TRUE(copy.Empty());  // a move empties the source
        TextBytes assigned(Pattern(40));
        assigned = moved;
        EXPECT_EQ(assigned.View(), Pattern(length));
        assigned = std::move(moved);
        EXPECT_EQ(assigned.View(), Pattern(length));
        assigned = assigned;
        EXPECT_EQ(assigned.View(), Pattern(length));
    }
}

TEST(TextBytes, ResizeGivesRoomForNewBytes) {
    TextBytes text(Pattern(100));
    char* room = text.Resize(24);
    std::fill(room, room + 24, 'z');
    EXPECT_EQ(text.View(), std::string(24, 'z'));
    room = text.Resize(3);
    std::fill(room, room + 3, 'y');
    EXPECT_EQ(text.View(), "yyy");
    text.Clear();
    EXPECT_TRUE(text.Empty());
    EXPECT_EQ(text.View(), "");
}

}  // namespace
}  // namespace xls
