// INSTALL.EXE started as its own process on an installation medium and driven from outside
// through its windows, as a user would; then the files, the registry and the program group are
// checked.
#include "tests/e2e/installer_session.h"

#include <shlobj.h>

#include <string>
#include <vector>

using namespace testing_support;

namespace {

using InstallerE2E = e2e::InstallerSession;

TEST_F(InstallerE2E, CancelBeforeARunAndTheCloseBoxEndTheProgram) {
    Start(medium_);
    EXPECT_EQ(WindowText(form_), "Setup Vorelle 2000");
    EXPECT_EQ(WindowText(edit6_), kDest);
    PostClick(cancel_);
    EXPECT_TRUE(installer_->WaitExit(10000));
    EXPECT_EQ(installer_->ExitCode(), 0u);

    Start(medium_, false);
    PostMessageA(form_, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(installer_->WaitExit(10000));
    EXPECT_EQ(installer_->ExitCode(), 0u);
}

TEST_F(InstallerE2E, AFullInstallation) {
    Start(medium_);
    DialogWatcher boxes(installer_->Pid());
    PostClick(install_);
    ASSERT_TRUE(OnFinalPage());
    ExpectInstalled(kDest, kProgramFiles);
    ExpectInstalled(kDest, kTemplates);

    const std::string command = std::string(kDest) + "\\VR97.EXE %1";
    EXPECT_EQ(RegValue(HKEY_CLASSES_ROOT, ".vr2"), "VR97");
    EXPECT_EQ(RegValue(HKEY_CLASSES_ROOT, "VR97"), "Vorelle 97");
    EXPECT_EQ(RegValue(HKEY_CLASSES_ROOT, "VR97\\shell\\open\\command"), command);
    EXPECT_EQ(RegValue(HKEY_CLASSES_ROOT, ".vt2"), "VR97Template");
    EXPECT_EQ(RegValue(HKEY_CLASSES_ROOT, "VR97Template"), "Vorelle 97 Template");
    EXPECT_EQ(RegValue(HKEY_CLASSES_ROOT, "VR97Template\\shell\\open\\command"), command);
    EXPECT_EQ(RegValue(HKEY_LOCAL_MACHINE, "Software\\Halcyra\\Vorelle", "InstallPath"), kDest);
    EXPECT_EQ(RegValue(HKEY_CURRENT_USER, "Software\\Halcyra\\Vorelle\\PaperName", "A4 Portrait"),
              "08.268 11.693 0 1.000 1.000 6.268 9.693 1 1 0.000 0.000");

    // The group, with its three items, made by Program Manager's stand-in.
    char shortDest[512] = "";
    GetShortPathNameA(kDest, shortDest, sizeof shortDest);
    std::string log = ReadFileBytes(log_);
    EXPECT_NE(log.find("EXECUTE [CreateGroup(Halcyra Applications)]"), std::string::npos) << log;
    EXPECT_NE(log.find(std::string("EXECUTE [AddItem(\"") + shortDest +
                       "\\VR2000.EXE\",\"Vorelle 2000\")]"),
              std::string::npos)
        << log;
    for (const char* item : {"Vorelle 2000", "VorellePreview", "Uninstall Vorelle 2000"})
        EXPECT_TRUE(FileExists(GroupFolder() + "\\" + item + ".lnk")) << item;

    // The final page: the group's name, the banner back over the bottom strip.
    EXPECT_EQ(WindowText(FindControlAt(form_, "Edit", 10, 24)), "Halcyra Applications");
    EXPECT_TRUE(IsWindowVisible(banner_));
    EXPECT_FALSE(IsWindowVisible(install_));
    EXPECT_EQ(GetWindow(GetParent(banner_), GW_CHILD), banner_) << "banner in front";
    EXPECT_FALSE(IsWindowEnabled(drives_));
    EXPECT_EQ(boxes.Count(), 0u);

    PostClick(close_);
    EXPECT_TRUE(installer_->WaitExit(10000));
}

TEST_F(InstallerE2E, CancelDuringTheCopyStopsAfterTheCurrentFile) {
    Start(medium_);
    DialogWatcher boxes(installer_->Pid());
    // Both clicks wait in the queue; the run handles Cancel when it first gives way, right
    // after the first file's status line.
    PostClick(install_);
    PostClick(cancel_);
    ASSERT_TRUE(RunEnded());
    EXPECT_TRUE(ReadFileBytes(std::string(kDest) + "\\VR2000.EXE") ==
                ReadFileBytes(payload_ + "\\VR2000.EXE"));
    EXPECT_FALSE(FileExists(std::string(kDest) + "\\VPREVIEW.EXE"));
    EXPECT_EQ(WindowText(status_), std::string("Installing VR2000.EXE to ") + kDest + "\\");
    EXPECT_FALSE(IsWindowVisible(banner_)) << "the banner stays hidden after a stopped run";
    EXPECT_FALSE(IsWindowEnabled(drives_));
    EXPECT_TRUE(IsWindowVisible(install_)) << "still on the options page";
    EXPECT_EQ(RegValue(HKEY_LOCAL_MACHINE, "Software\\Halcyra\\Vorelle", "InstallPath"), "<none>");
    EXPECT_EQ(RegValue(HKEY_CLASSES_ROOT, ".vr2"), "<none>");
    EXPECT_FALSE(FileExists(GroupFolder()));
    EXPECT_EQ(boxes.Count(), 0u);
    // Now that the run has stopped, Cancel closes.
    PostClick(cancel_);
    EXPECT_TRUE(installer_->WaitExit(10000));
}

TEST_F(InstallerE2E, ASourceWithoutTheFilesWarnsForEachAndStillFinishes) {
    const std::string empty = "C:\\empty medium";
    CreateDirectoryA(empty.c_str(), nullptr);
    Start(empty);
    DialogWatcher boxes(installer_->Pid());
    PostClick(install_);
    ASSERT_TRUE(OnFinalPage());
    auto seen = boxes.Seen();
    ASSERT_EQ(seen.size(), 28u);
    std::vector<std::string> names = kProgramFiles;
    names.insert(names.end(), kTemplates.begin(), kTemplates.end());
    for (size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(seen[i].text,
                  "File is missing. Unable to expand the file " + empty + "\\" + names[i]);
        EXPECT_EQ(seen[i].caption, "Warning");
    }
    EXPECT_EQ(RegValue(HKEY_LOCAL_MACHINE, "Software\\Halcyra\\Vorelle", "InstallPath"), kDest);
    EXPECT_TRUE(FileExists(GroupFolder() + "\\Vorelle 2000.lnk"));
    RemoveDirectoryA(empty.c_str());
}

TEST_F(InstallerE2E, BadDestinationsChangeNothing) {
    struct Case {
        const char* dest;
        std::vector<std::string> messages;
    } cases[] = {
        {"bad", {"Invalid destination path!"}},
        {"C:\\no parent here\\Vorelle",
         {"Unable to create folder: C:\\no parent here\\Vorelle",
          "Unable to install Vorelle 2000"}},
    };
    Start(medium_);
    for (const Case& c : cases) {
        DialogWatcher boxes(installer_->Pid());
        SetDestination(c.dest);
        PostClick(install_);
        ASSERT_TRUE(boxes.WaitFor(c.messages.size()));
        Sleep(300);
        auto seen = boxes.Seen();
        ASSERT_EQ(seen.size(), c.messages.size()) << c.dest;
        for (size_t i = 0; i < seen.size(); ++i) {
            EXPECT_EQ(seen[i].text, c.messages[i]);
            EXPECT_EQ(seen[i].caption, "Warning");
        }
        EXPECT_TRUE(IsWindowEnabled(install_));
        EXPECT_TRUE(IsWindowEnabled(drives_));
        EXPECT_TRUE(IsWindowVisible(banner_));
        EXPECT_EQ(WindowText(status_), "Waiting...");
    }
    EXPECT_FALSE(FileExists("C:\\no parent here"));
    EXPECT_EQ(RegValue(HKEY_LOCAL_MACHINE, "Software\\Halcyra\\Vorelle", "InstallPath"), "<none>");
}

TEST_F(InstallerE2E, ADriveRootAsDestination) {
    Start(medium_);
    DialogWatcher boxes(installer_->Pid());
    SetDestination("C:\\");
    PostClick(install_);
    ASSERT_TRUE(OnFinalPage());
    ExpectInstalled("C:", kProgramFiles);
    EXPECT_EQ(RegValue(HKEY_LOCAL_MACHINE, "Software\\Halcyra\\Vorelle", "InstallPath"), "C:");
    EXPECT_EQ(RegValue(HKEY_CLASSES_ROOT, "VR97\\shell\\open\\command"), "C:\\VR97.EXE %1");
    EXPECT_EQ(boxes.Count(), 0u);
    for (const auto& n : kProgramFiles)
        if (n != "SKY32V3C.DLL")
            DeleteFileA(("C:\\" + n).c_str());
    for (const auto& n : kTemplates)
        DeleteFileA(("C:\\" + n).c_str());
}

TEST_F(InstallerE2E, NotEnoughSpaceAsksFirst) {
    // Before the first free-space refresh the free space is not known (0): the run asks.
    for (int answer : {IDNO, IDYES}) {
        Start(medium_, false);
        DialogWatcher boxes(installer_->Pid());
        boxes.Answer(answer);
        PostClick(install_);
        ASSERT_TRUE(boxes.WaitFor(1));
        auto seen = boxes.Seen();
        EXPECT_EQ(seen[0].caption, "Confirm");
        EXPECT_EQ(seen[0].text, "Not enough free disk space, install anyway?");
        EXPECT_EQ(seen[0].buttons, (std::vector<std::string>{"&Yes", "&No"}));
        if (answer == IDNO) {
            Sleep(500);
            EXPECT_FALSE(FileExists(kDest));
            EXPECT_TRUE(IsWindowEnabled(install_));
            EXPECT_TRUE(IsWindowVisible(banner_));
            PostClick(cancel_);
            EXPECT_TRUE(installer_->WaitExit(10000));
        } else {
            ASSERT_TRUE(OnFinalPage());
            ExpectInstalled(kDest, kProgramFiles);
        }
    }
}

TEST_F(InstallerE2E, TemplatesUntickedWhileTheProgramSetCopiesAreLeftOut) {
    Start(medium_);
    DialogWatcher boxes(installer_->Pid());
    PostClick(install_);
    PostClick(templates_);
    ASSERT_TRUE(OnFinalPage());
    ExpectInstalled(kDest, kProgramFiles);
    for (const auto& n : kTemplates)
        EXPECT_FALSE(FileExists(std::string(kDest) + "\\" + n)) << n;
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(InstallerE2E, TheCloseBoxDuringARunEndsTheProgramAfterTheRun) {
    Start(medium_);
    DialogWatcher boxes(installer_->Pid());
    PostClick(install_);
    PostMessageA(form_, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(installer_->WaitExit(60000));
    ExpectInstalled(kDest, kProgramFiles);
    ExpectInstalled(kDest, kTemplates);
    EXPECT_EQ(RegValue(HKEY_LOCAL_MACHINE, "Software\\Halcyra\\Vorelle", "InstallPath"), kDest);
}

TEST_F(InstallerE2E, TheCloseBoxDuringARunClosesItsLaterMessageBoxesAtOnce) {
    // A medium that lacks two templates: their warnings come after the close box was pressed.
    const std::string partial = CopyMedium("C:\\partial medium", {"H002.VT2", "X007.VT2"});
    Start(partial);
    DialogWatcher boxes(installer_->Pid());
    PostClick(install_);
    PostMessageA(form_, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(installer_->WaitExit(60000));
    EXPECT_EQ(boxes.Count(), 0u) << "no box stays open to be answered";
    ExpectInstalled(kDest, {"UNINST.EXE", "X0050.VT2"});
    EXPECT_EQ(RegValue(HKEY_LOCAL_MACHINE, "Software\\Halcyra\\Vorelle", "InstallPath"), kDest);
    DeleteFolder(partial);
}

TEST_F(InstallerE2E, ARegistryErrorEndsTheRunWhereItHappens) {
    // A volatile type key: the registry refuses the lasting command key below it.
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, "VR97", 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(k);
    Start(medium_);
    DialogWatcher boxes(installer_->Pid());
    PostClick(install_);
    ASSERT_TRUE(boxes.WaitFor(1, 30000));
    auto seen = boxes.Seen();
    EXPECT_EQ(seen[0].caption, "Vorelle Setup");
    EXPECT_EQ(seen[0].text, "Failed to create key VR97\\shell\\open\\command.");
    Sleep(500);
    // The run ended there: the first two files and what was written before stay; nothing after.
    EXPECT_TRUE(FileExists(std::string(kDest) + "\\VPREVIEW.EXE"));
    EXPECT_FALSE(FileExists(std::string(kDest) + "\\VR2000.HLP"));
    EXPECT_EQ(RegValue(HKEY_CLASSES_ROOT, ".vr2"), "VR97");
    EXPECT_EQ(RegValue(HKEY_LOCAL_MACHINE, "Software\\Halcyra\\Vorelle", "InstallPath"), "<none>");
    EXPECT_FALSE(IsWindowEnabled(install_)) << "the common ending was not reached";
    EXPECT_TRUE(IsWindowVisible(form_));
    // The run's flag is still set: the first Cancel asks to stop, the second closes.
    PostClick(cancel_);
    EXPECT_FALSE(installer_->WaitExit(1000));
    PostClick(cancel_);
    EXPECT_TRUE(installer_->WaitExit(10000));
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "VR97");
}

} // namespace
