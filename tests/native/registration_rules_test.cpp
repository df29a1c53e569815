#include "registration/file_type_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using registration::DefaultValue;
using registration::FileTypeWrites;
using registration::StripDots;

TEST(StripDots, RemovesEveryDotWhereverItStands) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"vr2", "vr2"},  {".vr2", "vr2"}, {"..vr2", "vr2"}, {"v.r2", "vr2"},
        {"vr2.", "vr2"}, {"...", ""},     {"", ""},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(StripDots(in), out) << in;
}

TEST(FileTypeWrites, WritesTheFourDefaultValuesInOrder) {
    EXPECT_EQ(
        FileTypeWrites("v.r2", "VR97", "Vorelle 97", "C:\\V.EXE,0", "C:\\Program Files\\V.EXE"),
        (std::vector<DefaultValue>{
            {".vr2", "VR97"},
            {"VR97", "Vorelle 97"},
            {"VR97\\DefaultIcon", "C:\\V.EXE,0"},
            {"VR97\\shell\\open\\command", "C:\\Program Files\\V.EXE %1"},
        }));
}

TEST(FileTypeWrites, EmptyArgumentsFollowTheirRules) {
    // No icon: no DefaultIcon; no type name: one made from the extension; no description: empty.
    EXPECT_EQ(FileTypeWrites(".abc", "", "", "", "x.exe"),
              (std::vector<DefaultValue>{
                  {".abc", "abc_auto_file"},
                  {"abc_auto_file", ""},
                  {"abc_auto_file\\shell\\open\\command", "x.exe %1"},
              }));
    EXPECT_TRUE(FileTypeWrites("", "T", "D", "I", "x.exe").empty());
    EXPECT_TRUE(FileTypeWrites("..", "T", "D", "I", "x.exe").empty());
    EXPECT_TRUE(FileTypeWrites(".abc", "T", "D", "I", "").empty());
}

} // namespace
