#include "installer/install_rules.h"

#include <gtest/gtest.h>

using namespace installer;

namespace {

TEST(SourceFolder, TakesTheArgumentTheRulesChoose) {
    struct Case {
        std::vector<std::string> args;
        std::string program;
        std::string expected;
    } cases[] = {
        {{}, "D:\\SETUP\\INSTALL.EXE", "D:\\SETUP\\"},
        {{}, "E:\\INSTALL.EXE", "E:\\"},
        {{}, "E:INSTALL.EXE", "E:\\"}, // up to the colon, then a backslash
        {{"/"}, "D:\\SETUP\\INSTALL.EXE", "D:\\SETUP\\"},
        {{"/x", "D:\\FILES"}, "C:\\INSTALL.EXE", "D:\\FILES\\"},
        {{"/x", ""}, "C:\\A\\INSTALL.EXE", "C:\\A\\"},
        {{"D:\\FILES\\", "E:\\OTHER"}, "C:\\INSTALL.EXE", "D:\\FILES\\"},
        {{"D:\\FILES", "/x", "E:\\"}, "C:\\INSTALL.EXE", "D:\\FILES\\"},
        {{"", "D:\\FILES"}, "C:\\A\\INSTALL.EXE", "C:\\A\\"}, // empty first: the program's folder
        {{}, "INSTALL.EXE", "\\"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SourceFolder(c.args, c.program), c.expected) << c.program;
}

TEST(TargetName, KeepsEightDotThreeNamesAndFollowsTheDotRule) {
    EXPECT_EQ(TargetFileName("D:\\MEDIUM\\VR2000.EXE"), "VR2000.EXE");
    EXPECT_EQ(TargetFileName("D:\\MEDIUM\\X0050.VT2"), "X0050.VT2");
    EXPECT_EQ(TargetFileName("D:README"), "README");
    EXPECT_EQ(TargetFileName("D:\\A.B\\NAME.LONGEXT"), "NAMEGEXT.LONGEXT");
    EXPECT_EQ(TargetFileName("D:\\M\\A.B.C"), "A.C");
}

TEST(Progress, DividesTheFilesDoneByTheSelectedSets) {
    EXPECT_EQ(TotalFileCount(true, true), 28);
    EXPECT_EQ(TotalFileCount(true, false), 6);
    EXPECT_EQ(TotalFileCount(false, true), 22);
    EXPECT_EQ(TotalFileCount(false, false), 1);
    EXPECT_EQ(ProgressPosition(28, 28), 100);
    EXPECT_EQ(ProgressPosition(6, 6), 100);
    EXPECT_EQ(ProgressPosition(1, 28), 3);
    EXPECT_EQ(ProgressPosition(27, 28), 96);
}

TEST(BandPlan, FillsTheClientAreaWithARampOfAtMost64Bands) {
    struct Case {
        int height, bandHeight, bands, lastLevel;
    } cases[] = {{278, 5, 56, 35}, {64, 2, 32, 131}, {63, 1, 63, 7}, {4096, 65, 64, 3}};
    for (const auto& c : cases) {
        auto plan = BandPlan(c.height);
        ASSERT_EQ(static_cast<int>(plan.size()), c.bands) << c.height;
        for (size_t k = 0; k < plan.size(); ++k) {
            EXPECT_EQ(plan[k].top, static_cast<int>(k) * c.bandHeight);
            EXPECT_EQ(plan[k].height, c.bandHeight);
            EXPECT_EQ(plan[k].level, 255 - 4 * static_cast<int>(k));
        }
        EXPECT_EQ(plan.back().level, c.lastLevel) << c.height;
        EXPECT_GE(plan.back().top + plan.back().height, c.height);
    }
    EXPECT_TRUE(BandPlan(0).empty());
}

} // namespace
