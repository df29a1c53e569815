#include "progman/commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace progman;

TEST(ProgmanCommands, GroupConversationIsTheEightCommandsByteForByte) {
    std::vector<std::string> commands;
    ASSERT_TRUE(BuildGroupCommands("Halcyra Applications", "C:\\PROG~FBU\\VORELLE", commands));
    const std::vector<std::string> expected = {
        "[CreateGroup(Halcyra Applications)]",
        "[ShowGroup(Halcyra Applications,1)]",
        "[ReplaceItem(\"Vorelle 2000\")]",
        "[AddItem(\"C:\\PROG~FBU\\VORELLE\\VR2000.EXE\",\"Vorelle 2000\")]",
        "[ReplaceItem(\"VorellePreview\")]",
        "[AddItem(\"C:\\PROG~FBU\\VORELLE\\VPreview.EXE\",\"VorellePreview\")]",
        "[ReplaceItem(\"Uninstall Vorelle 2000\")]",
        "[AddItem(\"C:\\PROG~FBU\\VORELLE\\UNINST.EXE\",\"Uninstall Vorelle 2000\")]",
    };
    EXPECT_EQ(commands, expected);
}

TEST(ProgmanCommands, InsertedTextsAreNeitherQuotedNorEscaped) {
    std::string out;
    ASSERT_TRUE(BuildCreateGroup("  My (Own) \"Group\" ", out));
    EXPECT_EQ(out, "[CreateGroup(  My (Own) \"Group\" )]");
    ASSERT_TRUE(BuildShowGroup("A B", 1, out));
    EXPECT_EQ(out, "[ShowGroup(A B,1)]");
    ASSERT_TRUE(BuildReplaceItem("Say \"hi\"", out));
    EXPECT_EQ(out, "[ReplaceItem(\"Say \"hi\"\")]");
}

TEST(ProgmanCommands, IconParametersFollowTheNameOnlyWhenGiven) {
    struct Case {
        const char* iconFile;
        const char* iconIndex;
        const char* expected;
    };
    const Case cases[] = {
        {"", "", "[AddItem(\"C:\\A.EXE\",\"A\")]"},
        {"C:\\A.ICO", "", "[AddItem(\"C:\\A.EXE\",\"A\",\"C:\\A.ICO\")]"},
        {"C:\\A.ICO", "2", "[AddItem(\"C:\\A.EXE\",\"A\",\"C:\\A.ICO\",2)]"},
        {"", "2", "[AddItem(\"C:\\A.EXE\",\"A\",\"\",2)]"},
    };
    for (const Case& c : cases) {
        std::string out;
        ASSERT_TRUE(BuildAddItem("C:\\A.EXE", "A", c.iconFile, c.iconIndex, out));
        EXPECT_EQ(out, c.expected);
    }
}

TEST(ProgmanCommands, EachPieceHoldsAtMost255Characters) {
    const std::string fits(255, 'x'), over(256, 'x');
    std::string out = "untouched";
    EXPECT_TRUE(BuildCreateGroup(fits, out));
    EXPECT_EQ(out, "[CreateGroup(" + fits + ")]"); // 270 characters: within the 512 buffer
    EXPECT_TRUE(BuildShowGroup(fits, 1, out));
    EXPECT_TRUE(BuildReplaceItem(fits, out));

    out = "untouched";
    EXPECT_FALSE(BuildCreateGroup(over, out));
    EXPECT_FALSE(BuildShowGroup(over, 1, out));
    EXPECT_FALSE(BuildReplaceItem(over, out));
    EXPECT_FALSE(BuildAddItem(over, "A", "", "", out));
    EXPECT_FALSE(BuildAddItem("C:\\A.EXE", over, "", "", out));
    EXPECT_FALSE(BuildAddItem("C:\\A.EXE", "A", over, "", out));
    EXPECT_FALSE(BuildAddItem("C:\\A.EXE", "A", "", over, out));
    EXPECT_EQ(out, "untouched");
}

TEST(ProgmanCommands, AddItemCommandHoldsAtMost255Characters) {
    // With the name "A", 17 characters surround the command line.
    const std::string line238(238, 'c');
    std::string out;
    ASSERT_TRUE(BuildAddItem(line238, "A", "", "", out));
    EXPECT_EQ(out.size(), 255u);
    out = "untouched";
    EXPECT_FALSE(BuildAddItem(line238 + "c", "A", "", "", out));
    EXPECT_EQ(out, "untouched");
}

TEST(ProgmanCommands, GroupIsRefusedWholeWhenAnyCommandDoesNotFit) {
    // The uninstaller's command is the longest: 49 characters besides the folder.
    const std::string folder206 = "C:\\" + std::string(203, 'd');
    std::vector<std::string> commands = {"untouched"};
    EXPECT_TRUE(BuildGroupCommands("G", folder206, commands));
    EXPECT_EQ(commands.size(), 8u);
    EXPECT_EQ(commands[7].size(), 255u);

    commands = {"untouched"};
    EXPECT_FALSE(BuildGroupCommands("G", folder206 + "d", commands));
    EXPECT_FALSE(BuildGroupCommands(std::string(256, 'g'), "C:\\V", commands));
    EXPECT_EQ(commands, std::vector<std::string>{"untouched"});
}

} // namespace
