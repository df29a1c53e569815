// INSTALL.EXE driven from outside into faults a user can meet: hostile destination texts typed
// into the field, a medium with damaged files, and Cancel and the close box at every stage of a
// run. Each fault must end with its message or its documented state: no crash, no hang, no
// handle left behind by the run, and nothing installed lost.
#include "tests/e2e/installer_session.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

std::vector<std::string> Texts(const std::vector<SeenBox>& seen) {
    std::vector<std::string> texts;
    for (const SeenBox& b : seen)
        texts.push_back(b.text);
    return texts;
}

constexpr const char* kInstallFailed = "Unable to install Vorelle 2000";
constexpr const char* kInvalid = "Invalid destination path!";

class FaultsE2E : public e2e::InstallerSession {
  protected:
    // Types the text into the destination field key by key, as the keyboard would; control
    // bytes, which the field takes only by pasting, go in as a paste does.
    void TypeDestination(const std::string& text) {
        SetWindowTextOf(edit6_, "");
        bool control = false;
        for (char c : text)
            control = control || static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
        if (control) {
            SetWindowTextOf(edit6_, text);
            return;
        }
        for (char c : text)
            PostMessageA(edit6_, WM_CHAR, static_cast<unsigned char>(c), 1);
    }
    void ExpectNoSettingsNorGroup() {
        EXPECT_EQ(RegValue(HKEY_LOCAL_MACHINE, "Software\\Halcyra\\Vorelle", "InstallPath"),
                  "<none>");
        EXPECT_FALSE(FileExists(GroupFolder()));
    }
    // A copy of the demo medium in a folder of its own, without the names given.
};

// Texts that the destination rule refuses, or that name a folder that cannot be made: the run
// ends before it changes anything, and repeating it costs the process no handle.
TEST_F(FaultsE2E, HostileDestinationsThatEndTheRunEarly) {
    const std::string longPath = "C:\\" + std::string(3000, 'v');
    struct Case {
        std::string typed;
        std::vector<std::string> messages;
    } cases[] = {
        {"", {kInvalid}},
        {"...", {kInvalid}},
        {"..\\..\\", {kInvalid}},
        {"\\\\.\\C:\\x", {kInvalid}},
        {"C:/Vorelle", {kInvalid}},
        {std::string(3000, '\\'), {kInvalid}},
        {longPath, {"Unable to create folder: " + longPath, kInstallFailed}},
        {"C:\\" + std::string(300, 'w') + "\\x",
         {"Unable to create folder: C:\\" + std::string(300, 'w') + "\\x", kInstallFailed}},
        {"C:\\CON\\x", {"Unable to create folder: C:\\CON\\x", kInstallFailed}},
        {"C:\\NUL\\Vorelle", {"Unable to create folder: C:\\NUL\\Vorelle", kInstallFailed}},
        {"C:\\LPT1\\COM1\\x", {"Unable to create folder: C:\\LPT1\\COM1\\x", kInstallFailed}},
        {"C:\\a<b>c\\d|e", {"Unable to create folder: C:\\a_b_c\\d_e", kInstallFailed}},
    };
    Start(medium_);
    const long before = HandleCount(installer_->Pid());
    long afterFirst = -1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.substr(0, 40));
        DialogWatcher boxes(installer_->Pid());
        TypeDestination(c.typed);
        PostClick(install_);
        ASSERT_TRUE(boxes.WaitFor(c.messages.size(), 15000));
        Sleep(300);
        auto seen = boxes.Seen();
        ASSERT_EQ(seen.size(), c.messages.size());
        for (size_t i = 0; i < seen.size(); ++i) {
            EXPECT_EQ(seen[i].text, c.messages[i]);
            EXPECT_EQ(seen[i].caption, "Warning");
        }
        EXPECT_TRUE(IsWindowEnabled(install_));
        EXPECT_TRUE(IsWindowVisible(banner_));
        EXPECT_EQ(WindowText(status_), "Waiting...");
        if (afterFirst < 0)
            afterFirst = HandleCount(installer_->Pid());
    }
    const long after = HandleCount(installer_->Pid());
    std::printf("INSTALL.EXE handles: %ld at start, %ld after the first early end, %ld after %zu\n",
                before, afterFirst, after, std::size(cases));
    ASSERT_GT(before, 0) << "no handle count for INSTALL.EXE";
    EXPECT_EQ(after, afterFirst) << "each early end left handles behind";
    EXPECT_FALSE(FileExists("C:\\a_b_c"));
    EXPECT_FALSE(FileExists(kDest));
    ExpectNoSettingsNorGroup();
    PostClick(cancel_);
    ExpectEndedCleanly(10000);
}

// Texts that the rule cleans into a folder name: the run installs there, and only there.
TEST_F(FaultsE2E, HostileDestinationsThatAreCleanedIntoAFolder) {
    // Target paths past the 127 characters that the LZ functions' own open would hold still
    // arrive: the target is created by name with CreateFileA.
    struct Case {
        std::string typed;
        std::string folder;
        std::string perFileMessage; // empty: every file arrives
    } cases[] = {
        {"C:\\...", "C:\\___", ""},
        {"C:\\Vorelle\x01\x02\x1b\x7f\t", "C:\\Vorelle_____", ""},
        {"C:\\Vorelle \x80\xa0\xe9\xff", "C:\\Vorelle ____", ""},
        {"C:\\a<b>c:d\"e/f|g?h*i", "C:\\a_b_c_d_e_f_g_h_i", ""},
        {"C:\\" + std::string(100, 'n') + ".", "C:\\" + std::string(100, 'n') + "_", ""},
        {"C:\\" + std::string(150, 'm') + ".", "C:\\" + std::string(150, 'm') + "_", ""},
        {"C:\\" + std::string(240, 'w'), "C:\\" + std::string(240, 'w'), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder.substr(0, 40));
        DeleteFolder(c.folder);
        Start(medium_);
        DialogWatcher boxes(installer_->Pid());
        TypeDestination(c.typed);
        PostClick(install_);
        ASSERT_TRUE(OnFinalPage());
        EXPECT_EQ(RegValue(HKEY_LOCAL_MACHINE, "Software\\Halcyra\\Vorelle", "InstallPath"),
                  c.folder);
        EXPECT_EQ(RegValue(HKEY_CLASSES_ROOT, "VR97\\shell\\open\\command"),
                  c.folder + "\\VR97.EXE %1");
        if (c.perFileMessage.empty()) {
            ExpectInstalled(c.folder, AllFiles());
            EXPECT_EQ(boxes.Count(), 0u);
        } else {
            ExpectInstalled(c.folder, {"SKY32V3C.DLL"});
            auto seen = boxes.Seen();
            EXPECT_EQ(seen.size(), AllFiles().size() - 1);
            for (const SeenBox& b : seen)
                EXPECT_EQ(b.text, c.perFileMessage);
        }
        PostClick(close_);
        ExpectEndedCleanly(10000);
        DeleteFolder(c.folder);
    }
}

// A medium with some files damaged: each damaged file is reported or arrives as its bytes say,
// every other file still arrives byte for byte, and the run reaches its final page.
TEST_F(FaultsE2E, DamagedMediumFiles) {
    const std::string medium = CopyMedium("C:\\faults medium", {});
    auto damage = [&](const std::string& name, auto change) {
        std::string data = ReadFileBytes(medium + "\\" + name);
        ASSERT_EQ(data.substr(0, 4), "SZDD") << name << " must be compressed on the demo medium";
        change(data);
        WriteFileBytes(medium + "\\" + name, data);
    };
    auto setLength = [](std::string& d, unsigned long length) {
        for (int i = 0; i < 4; ++i)
            d[10 + i] = static_cast<char>(length >> (8 * i) & 0xFF);
    };
    auto lengthOf = [](const std::string& d) {
        unsigned long n = 0;
        for (int i = 0; i < 4; ++i)
            n |= static_cast<unsigned long>(static_cast<unsigned char>(d[10 + i])) << (8 * i);
        return n;
    };
    damage("VR2000.HLP", [](std::string& d) { d.resize(d.size() / 2); });
    damage("VR2000.CNT", [](std::string& d) { d.clear(); });
    damage("UNINST.EXE", [](std::string& d) { d[0] = 'X'; });
    damage("H002.VT2", [&](std::string& d) { setLength(d, lengthOf(d) + 1000); });
    damage("H003.VT2", [&](std::string& d) { setLength(d, lengthOf(d) - 1); });
    damage("H005.VT2", [](std::string& d) { d.resize(10); });
    damage("H020.VT2", [](std::string& d) { d[8] = 'Q'; }); // an unknown compression method
    damage("V001.VT2", [](std::string& d) { d.resize(14); });
    const std::string uninstDamaged = ReadFileBytes(medium + "\\UNINST.EXE");

    // A run on the sound medium first: its handle count on the final page is the yardstick.
    Start(medium_);
    PostClick(install_);
    ASSERT_TRUE(OnFinalPage());
    const long sound = HandleCount(installer_->Pid());
    PostClick(close_);
    ExpectEndedCleanly(10000);
    DeleteFolder(kDest);

    Start(medium);
    const long before = HandleCount(installer_->Pid());
    DialogWatcher boxes(installer_->Pid());
    PostClick(install_);
    ASSERT_TRUE(OnFinalPage());
    const std::string dest = kDest;
    auto copyFailed = [&](const std::string& n) {
        return "Unable to copy the file " + medium + "\\" + n + " to " + dest + "\\" + n + ".";
    };
    const std::vector<std::string> expected = {
        copyFailed("VR2000.HLP"), copyFailed("H002.VT2"), copyFailed("H003.VT2"),
        copyFailed("H005.VT2"),   copyFailed("H020.VT2"), copyFailed("V001.VT2"),
    };
    std::vector<std::string> texts;
    for (const SeenBox& b : boxes.Seen()) {
        texts.push_back(b.text);
        EXPECT_EQ(b.caption, "Warning");
    }
    EXPECT_EQ(texts, expected);
    // A file that is not compressed, or no longer recognisable as compressed, is copied as it
    // stands: the empty one arrives empty, the one with a broken mark as its raw bytes.
    EXPECT_EQ(ReadFileBytes(dest + "\\VR2000.CNT"), "");
    EXPECT_EQ(ReadFileBytes(dest + "\\UNINST.EXE"), uninstDamaged);
    const std::vector<std::string> damaged = {"VR2000.HLP", "VR2000.CNT", "UNINST.EXE", "H002.VT2",
                                              "H003.VT2",   "H005.VT2",   "H020.VT2",   "V001.VT2"};
    for (const std::string& n : AllFiles()) {
        if (std::find(damaged.begin(), damaged.end(), n) == damaged.end()) {
            EXPECT_TRUE(SameAsPayload((n == "SKY32V3C.DLL" ? SystemFolder() : dest) + "\\" + n, n))
                << n;
        }
    }
    EXPECT_EQ(RegValue(HKEY_LOCAL_MACHINE, "Software\\Halcyra\\Vorelle", "InstallPath"), dest);
    EXPECT_TRUE(FileExists(GroupFolder() + "\\Vorelle 2000.lnk"));
    const long after = HandleCount(installer_->Pid());
    std::printf("INSTALL.EXE handles: %ld on the options page, %ld on the final page after the "
                "damaged medium, %ld after the sound one\n",
                before, after, sound);
    ASSERT_GT(before, 0) << "no handle count for INSTALL.EXE";
    EXPECT_EQ(after, sound) << "the failed copies left handles behind";
    PostClick(close_);
    ExpectEndedCleanly(10000);
    DeleteFolder(medium);
}

// Before any run: Cancel closes at once; pressing it again, or the close box after it, is
// harmless.
TEST_F(FaultsE2E, CancelAndCloseBoxPressedRepeatedlyBeforeARun) {
    for (int useCloseBox = 0; useCloseBox < 2; ++useCloseBox) {
        Start(medium_);
        for (int i = 0; i < 4; ++i) {
            if (useCloseBox)
                PostMessageA(form_, WM_SYSCOMMAND, SC_CLOSE, 0);
            else
                PostClick(cancel_);
        }
        ExpectEndedCleanly(10000);
    }
    EXPECT_FALSE(FileExists(kDest));
    ExpectNoSettingsNorGroup();
}

// During the copy: the first Cancel stops the run after the current file, the second one closes
// the window; the close box pressed again and again lets the run finish, then the program ends.
TEST_F(FaultsE2E, CancelAndCloseBoxPressedRepeatedlyDuringTheCopy) {
    Start(medium_);
    PostClick(install_);
    PostClick(cancel_);
    PostClick(cancel_);
    PostClick(cancel_);
    ExpectEndedCleanly();
    ExpectInstalled(kDest, {"VR2000.EXE"});
    EXPECT_FALSE(FileExists(std::string(kDest) + "\\VPREVIEW.EXE"));
    ExpectNoSettingsNorGroup();

    DeleteFolder(kDest);
    Start(medium_);
    DialogWatcher boxes(installer_->Pid());
    PostClick(install_);
    for (int i = 0; i < 5; ++i)
        PostMessageA(form_, WM_SYSCOMMAND, SC_CLOSE, 0);
    ExpectEndedCleanly();
    ExpectInstalled(kDest, AllFiles());
    EXPECT_EQ(RegValue(HKEY_LOCAL_MACHINE, "Software\\Halcyra\\Vorelle", "InstallPath"), kDest);
    EXPECT_TRUE(FileExists(GroupFolder() + "\\Vorelle 2000.lnk"));
    EXPECT_EQ(boxes.Count(), 0u);
}

// While a warning is open the window is disabled, so a user can press neither Cancel nor the
// close box. Clicks sent to Cancel as messages still reach it: the first stops the run, the next
// closes the window, and the program ends once the warning is answered. The close box of the
// disabled window does nothing.
TEST_F(FaultsE2E, CancelAndCloseBoxWhileAWarningIsOpen) {
    const std::string medium = CopyMedium("C:\\faults partial", {"VR2000.HLP", "H002.VT2"});
    const std::string missing = "File is missing. Unable to expand the file " + medium;
    {
        Start(medium);
        DialogWatcher boxes(installer_->Pid());
        boxes.Hold(true);
        PostClick(install_);
        ASSERT_TRUE(boxes.WaitFor(1, 30000));
        EXPECT_FALSE(IsWindowEnabled(form_)) << "the window must be disabled under its warning";
        // The first Cancel asks the run to stop, the next one closes the window.
        for (int i = 0; i < 3; ++i)
            PostClick(cancel_);
        Sleep(300);
        boxes.Hold(false);
        boxes.Release();
        ExpectEndedCleanly();
        ASSERT_GE(boxes.Seen().size(), 1u);
        EXPECT_EQ(boxes.Seen()[0].text, missing + "\\VR2000.HLP");
        EXPECT_FALSE(FileExists(std::string(kDest) + "\\UNINST.EXE")) << "the run did not stop";
        ExpectNoSettingsNorGroup();
    }
    DeleteFolder(kDest);
    {
        Start(medium);
        DialogWatcher boxes(installer_->Pid());
        boxes.Hold(true);
        PostClick(install_);
        ASSERT_TRUE(boxes.WaitFor(1, 30000));
        for (int i = 0; i < 3; ++i)
            PostMessageA(form_, WM_SYSCOMMAND, SC_CLOSE, 0);
        Sleep(300);
        boxes.Hold(false);
        boxes.Release();
        // The close box of a disabled window does nothing: the run goes on as if it had not
        // been pressed, with its later warning, to the final page.
        ASSERT_TRUE(OnFinalPage());
        EXPECT_EQ(Texts(boxes.Seen()),
                  (std::vector<std::string>{missing + "\\VR2000.HLP", missing + "\\H002.VT2"}));
        ExpectInstalled(kDest, {"VR2000.CNT", "UNINST.EXE", "H003.VT2", "X007.VT2"});
        EXPECT_EQ(RegValue(HKEY_LOCAL_MACHINE, "Software\\Halcyra\\Vorelle", "InstallPath"), kDest);
        PostClick(close_);
        ExpectEndedCleanly(10000);
    }
    DeleteFolder(medium);
}

// During the program group step the run no longer looks at Cancel: one Cancel still reaches the
// final page; a second one, like the close box, ends the program once the step is over.
TEST_F(FaultsE2E, CancelAndCloseBoxDuringTheGroupStep) {
    StartProgman("/delay=600");
    struct Case {
        int cancels;
        int closeBoxes;
        bool staysOpen;
    } cases[] = {{1, 0, true}, {3, 0, false}, {0, 3, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.cancels) + " Cancel, " + std::to_string(c.closeBoxes) +
                     " close box");
        DeleteFolder(GroupFolder());
        const size_t logged = LoggedCommands();
        Start(medium_);
        DialogWatcher boxes(installer_->Pid());
        PostClick(install_);
        ASSERT_TRUE(WaitUntil([&] { return LoggedCommands() > logged; }, 60000));
        for (int i = 0; i < c.cancels; ++i)
            PostClick(cancel_);
        for (int i = 0; i < c.closeBoxes; ++i)
            PostMessageA(form_, WM_SYSCOMMAND, SC_CLOSE, 0);
        if (c.staysOpen) {
            ASSERT_TRUE(OnFinalPage());
            // The banner comes back right after the page turns.
            EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(banner_) != 0; }, 5000));
            PostClick(close_);
        }
        ExpectEndedCleanly();
        EXPECT_EQ(LoggedCommands(), logged + 8) << "the step sends all its commands";
        for (const char* item : {"Vorelle 2000", "VorellePreview", "Uninstall Vorelle 2000"})
            EXPECT_TRUE(FileExists(GroupFolder() + "\\" + item + ".lnk")) << item;
        EXPECT_EQ(boxes.Count(), 0u);
    }
}

// On the final page Close, the close box and the hidden Cancel all end the program, however
// often they are pressed.
TEST_F(FaultsE2E, EveryWayOutOfTheFinalPage) {
    for (int way = 0; way < 3; ++way) {
        Start(medium_);
        PostClick(install_);
        ASSERT_TRUE(OnFinalPage());
        for (int i = 0; i < 3; ++i) {
            if (way == 0)
                PostClick(close_);
            else if (way == 1)
                PostMessageA(form_, WM_SYSCOMMAND, SC_CLOSE, 0);
            else
                PostClick(cancel_);
        }
        ExpectEndedCleanly(10000);
        ExpectInstalled(kDest, AllFiles());
    }
}

} // namespace
