// INSTALL.EXE started as its own process on an installation medium and driven from outside
// through its windows, as a user would; then the files, the registry and the program group are
// checked. Paths come from CTest in the environment.
#include "tests/support/dialog_watcher.h"
#include "tests/support/files.h"
#include "tests/support/install_checks.h"
#include "tests/support/process_driver.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

class InstallerE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        exe_ = HostPathFromEnv("VORELLE_INSTALL_EXE");
        medium_ = HostPathFromEnv("VORELLE_MEDIUM");
        payload_ = HostPathFromEnv("VORELLE_PAYLOAD");
        ASSERT_FALSE(exe_.empty() || medium_.empty() || payload_.empty())
            << "the paths come from CTest";
        // A clean machine: nothing of an earlier installation.
        ClearInstallation(kDest);
        log_ = HostPathFromEnv("VORELLE_E2E_DIR") + "\\progman.log";
        DeleteFileA(log_.c_str());
        progman_ = std::make_unique<ChildProcess>(HostPathFromEnv("VORELLE_PROGMAN_EXE"),
                                                  "/log=\"" + log_ + "\"");
        ASSERT_TRUE(progman_->WaitForWindow("Progman"));
    }
    void TearDown() override {
        installer_.reset();
        progman_.reset();
        DeleteFolder(kDest);
    }

    // Starts INSTALL.EXE on a medium folder and finds its window and controls.
    void Start(const std::string& medium, bool waitForFirstTick = true) {
        installer_ = std::make_unique<ChildProcess>(exe_, "\"" + medium + "\"");
        ASSERT_TRUE(installer_->Started());
        form_ = installer_->WaitForWindow("TInstallForm");
        ASSERT_TRUE(form_);
        edit6_ = FindControlAt(form_, "Edit", 7, 51);
        install_ = FindControl(form_, "Button", "Install");
        cancel_ = FindControl(form_, "Button", "Cancel");
        templates_ = FindControl(form_, "Button", "Template Files (806 KB)");
        close_ = FindControl(form_, "Button", "Close");
        status_ = FindControlAt(form_, "Edit", 3, 4);
        banner_ = FindControl(form_, "TPMultiImage");
        drives_ = FindControl(form_, "ComboBox");
        ASSERT_TRUE(edit6_ && install_ && cancel_ && templates_ && close_ && status_ && banner_);
        if (waitForFirstTick) {
            // After the first free-space refresh the run's space check has a real figure.
            HWND freeBox = FindControlAt(form_, "Edit", 47, 149);
            ASSERT_TRUE(WaitUntil([&] { return !WindowText(freeBox).empty(); }, 5000));
        }
    }
    void SetDestination(const std::string& dest) { SetWindowTextOf(edit6_, dest); }
    bool OnFinalPage(DWORD timeoutMs = 60000) {
        return WaitUntil([&] { return IsWindowVisible(close_) != 0; }, timeoutMs);
    }
    // A run has started once the status line names a file, and ended once Install is enabled.
    bool RunEnded(DWORD timeoutMs = 60000) {
        return WaitUntil([&] { return WindowText(status_) != "Waiting..."; }, timeoutMs) &&
               WaitUntil([&] { return IsWindowEnabled(install_) != 0; }, timeoutMs);
    }
    void ExpectInstalled(const std::string& dest, const std::vector<std::string>& names) {
        for (const std::string& n : names) {
            std::string where = n == "SKY32V3C.DLL" ? SystemFolder() : dest;
            EXPECT_TRUE(ReadFileBytes(where + "\\" + n) == ReadFileBytes(payload_ + "\\" + n)) << n;
        }
    }

    static constexpr const char* kDest = "C:\\Program Files\\Vorelle";
    std::string exe_, medium_, payload_, log_;
    std::unique_ptr<ChildProcess> progman_, installer_;
    HWND form_ = nullptr, edit6_ = nullptr, install_ = nullptr, cancel_ = nullptr,
         templates_ = nullptr, close_ = nullptr, status_ = nullptr, banner_ = nullptr,
         drives_ = nullptr;
};

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
    const std::string partial = "C:\\partial medium";
    CreateDirectoryA(partial.c_str(), nullptr);
    std::vector<std::string> names = kProgramFiles;
    names.insert(names.end(), kTemplates.begin(), kTemplates.end());
    for (const auto& n : names)
        if (n != "H002.VT2" && n != "X007.VT2")
            CopyFileA((medium_ + "\\" + n).c_str(), (partial + "\\" + n).c_str(), FALSE);
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
