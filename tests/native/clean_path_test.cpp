#include "destination/clean_path.h"

#include <gtest/gtest.h>

#include <string>

using destination::CleanPath;
using destination::WithDriveLetter;

namespace {

struct Case {
    std::string path;
    bool ok;
    std::string cleaned; // expected output when ok
};

class CleanPathTable : public ::testing::TestWithParam<Case> {};

TEST_P(CleanPathTable, JudgesAndCleans) {
    const Case& c = GetParam();
    std::string out = "untouched";
    EXPECT_EQ(CleanPath(c.path, out), c.ok) << c.path;
    EXPECT_EQ(out, c.ok ? c.cleaned : std::string("untouched")) << c.path;
}

INSTANTIATE_TEST_SUITE_P(
    Destinations, CleanPathTable,
    ::testing::Values(
        Case{"C:\\", true, "C:\\"}, Case{"", false, ""}, Case{"C", false, ""},
        Case{"C:", false, ""}, Case{"C;\\x", false, ""}, // second character not a colon
        Case{"\\\\server\\share", false, ""},            // network path
        Case{"C:Folder", false, ""},                     // no backslash after the colon
        Case{"C:/Folder", false, ""},                    // forward slash
        Case{"1:\\x", true, "1:\\x"},                    // the first character is never examined
        Case{"?:\\x", true, "?:\\x"},
        Case{"c:\\Program Files\\Vorelle", true, "c:\\Program Files\\Vorelle"},
        Case{"C:\\My.Folder", true, "C:\\My_Folder"}, Case{"C:\\a:b/c.d", true, "C:\\a_b_c_d"},
        Case{"C:\\ -_09AZaz\\", true, "C:\\ -_09AZaz\\"},
        Case{"C:\\a\\\\b\\ ", true,
             "C:\\a\\\\b\\ "}, // no collapsing, trimming or backslash removal
        Case{"C:\\it's (x)", true, "C:\\it_s _x_"},
        Case{std::string("C:\\a\tb\x01", 7), true, "C:\\a_b_"}, Case{"C:\\...", true, "C:\\___"}));

TEST(CleanPath, EveryHighByteBecomesOneUnderscore) {
    std::string path = "C:\\";
    for (int b = 0x80; b <= 0xFF; ++b)
        path += static_cast<char>(b);
    std::string out;
    ASSERT_TRUE(CleanPath(path, out));
    EXPECT_EQ(out, "C:\\" + std::string(128, '_'));
}

TEST(CleanPath, AllowedSetIsExactlyTheListedBytes) {
    for (int b = 0; b < 256; ++b) {
        bool expected = b == 0x20 || b == 0x2D || (b >= 0x30 && b <= 0x39) ||
                        (b >= 0x41 && b <= 0x5A) || b == 0x5C || b == 0x5F ||
                        (b >= 0x61 && b <= 0x7A);
        EXPECT_EQ(destination::IsAllowedPathChar(static_cast<unsigned char>(b)), expected) << b;
    }
}

TEST(CleanPath, NoLengthLimit) {
    std::string path = "C:\\" + std::string(5000, 'a') + ".";
    std::string out;
    ASSERT_TRUE(CleanPath(path, out));
    EXPECT_EQ(out, "C:\\" + std::string(5000, 'a') + "_");
}

TEST(DriveLetter, ReplacesTheFirstCharacterWithTheCapitalLetter) {
    EXPECT_EQ(WithDriveLetter('d', "C:\\Program Files\\Vorelle"), "D:\\Program Files\\Vorelle");
    EXPECT_EQ(WithDriveLetter('e', "d:\\Program Files\\Vorelle"), "E:\\Program Files\\Vorelle");
    EXPECT_EQ(WithDriveLetter('e', ""), "E");
    EXPECT_EQ(WithDriveLetter('E', "xyz"), "Eyz"); // what follows is not looked at
}

} // namespace
