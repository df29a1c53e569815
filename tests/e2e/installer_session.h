// The ground of the end-to-end tests: a clean machine, Program Manager's stand-in running with a
// log, and INSTALL.EXE started on a medium with its controls found by class, text and place.
// Paths come from CTest in the environment.
#pragma once

#include "tests/support/dialog_watcher.h"
#include "tests/support/files.h"
#include "tests/support/install_checks.h"
#include "tests/support/process_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace e2e {

using namespace testing_support;

class InstallerSession : public ::testing::Test {
  protected:
    static constexpr const char* kDest = "C:\\Program Files\\Vorelle";

    void SetUp() override {
        exe_ = HostPathFromEnv("VORELLE_INSTALL_EXE");
        medium_ = HostPathFromEnv("VORELLE_MEDIUM");
        payload_ = HostPathFromEnv("VORELLE_PAYLOAD");
        ASSERT_FALSE(exe_.empty() || medium_.empty() || payload_.empty())
            << "the paths come from CTest";
        // A clean machine: nothing of an earlier installation.
        ClearInstallation(kDest);
        StartProgman("");
    }
    void TearDown() override {
        installer_.reset();
        progman_.reset();
        DeleteFolder(kDest);
        DeleteFolder(GroupFolder());
    }

    // (Re)starts the stand-in with its options and a fresh log.
    void StartProgman(const std::string& options) {
        progman_.reset();
        log_ = HostPathFromEnv("VORELLE_E2E_DIR") + "\\progman.log";
        DeleteFileA(log_.c_str());
        progman_ = std::make_unique<ChildProcess>(HostPathFromEnv("VORELLE_PROGMAN_EXE"),
                                                  "/log=\"" + log_ + "\"" +
                                                      (options.empty() ? "" : " ") + options);
        ASSERT_TRUE(progman_->WaitForWindow("Progman"));
    }
    size_t LoggedCommands() const {
        std::string log = ReadFileBytes(log_);
        size_t n = 0;
        for (size_t at = log.find("EXECUTE "); at != std::string::npos;
             at = log.find("EXECUTE ", at + 1))
            ++n;
        return n;
    }

    // Starts INSTALL.EXE on a medium folder and finds its window and controls; by default waits
    // for the first free-space refresh, after which the run's space check has a real figure.
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
        ASSERT_TRUE(edit6_ && install_ && cancel_ && templates_ && close_ && status_ && banner_ &&
                    drives_);
        if (waitForFirstTick) {
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
    bool SameAsPayload(const std::string& installed, const std::string& name) const {
        return ReadFileBytes(installed) == ReadFileBytes(payload_ + "\\" + name);
    }
    // Each file byte for byte as in the payload; the library in the system folder.
    void ExpectInstalled(const std::string& dest, const std::vector<std::string>& names) const {
        for (const std::string& n : names) {
            std::string where = n == "SKY32V3C.DLL" ? SystemFolder() : dest;
            EXPECT_TRUE(SameAsPayload(where + "\\" + n, n)) << where << "\\" << n;
        }
    }
    void ExpectEndedCleanly(DWORD timeoutMs = 60000) {
        ASSERT_TRUE(installer_->WaitExit(timeoutMs)) << "the program did not end";
        EXPECT_EQ(installer_->ExitCode(), 0u) << "the program did not end normally";
    }

    // A copy of the demo medium in a folder of its own, without the names given.
    std::string CopyMedium(const std::string& folder, const std::vector<std::string>& leaveOut) {
        DeleteFolder(folder);
        CreateDirectoryA(folder.c_str(), nullptr);
        for (const std::string& n : AllFiles())
            if (std::find(leaveOut.begin(), leaveOut.end(), n) == leaveOut.end())
                CopyFileA((medium_ + "\\" + n).c_str(), (folder + "\\" + n).c_str(), FALSE);
        return folder;
    }

    std::string exe_, medium_, payload_, log_;
    std::unique_ptr<ChildProcess> progman_, installer_;
    HWND form_ = nullptr, edit6_ = nullptr, install_ = nullptr, cancel_ = nullptr,
         templates_ = nullptr, close_ = nullptr, status_ = nullptr, banner_ = nullptr,
         drives_ = nullptr;
};

} // namespace e2e
