#pragma once

// Value texts in %LEL.M (unit 1) and %VOL.M (unit 2) as the log and the exported files
// show them: halfway values round away from zero, a negative value that rounds to zero
// keeps its sign, and the point never depends on the locale.
struct ValueTextCase {
    int value;
    int unitIndex;
    const char* text;
};

// clang-format off
constexpr ValueTextCase kValueTextCases[] = {
    {125, 1, "0.3"}, {-125, 1, "-0.3"}, {375, 1, "0.8"}, {-375, 1, "-0.8"}, {625, 1, "1.3"},
    {-625, 1, "-1.3"}, {1875, 1, "3.8"}, {175, 1, "0.3"}, {-1, 1, "-0.0"}, {-25, 1, "-0.1"},
    {2147483647, 1, "4294967.3"}, {-2147483647 - 1, 1, "-4294967.3"}, {625, 2, "0.063"},
    {-625, 2, "-0.063"}, {3125, 2, "0.313"}, {-3125, 2, "-0.313"}, {375, 2, "0.037"},
    {-1, 2, "-0.000"}, {-25, 2, "-0.003"}, {2147483647, 2, "214748.365"},
    {-2147483647 - 1, 2, "-214748.365"}};
// clang-format on
