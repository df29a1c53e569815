// A fresh installer window per test, created and shown in this process, with the helpers the
// window tests share.
#pragma once

#include "installer/install_form.h"
#include "tests/support/files.h"
#include "vcl/application.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace form_testing {

// Handles the window's messages for a while, as the message loop would.
inline void Pump(int ms = 50) {
    DWORD start = GetTickCount();
    do {
        vcl::Application->ProcessMessages();
        Sleep(5);
    } while (GetTickCount() - start < static_cast<DWORD>(ms));
}

using testing_support::HostPath;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

class WindowEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
        InitCommonControlsEx(&icc);
        vcl::Application->SetTitle("Vorelle Setup");
    }
};

class FormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        form_ = std::make_unique<TInstallForm>();
        InstallForm = form_.get();
        form_->Create();
        form_->Show();
        Pump();
    }
    void TearDown() override {
        if (form_)
            form_->DoDestroy();
        form_.reset();
        InstallForm = nullptr;
        vcl::Application->OnIdle = nullptr;
    }
    // Presses a key in the focused control the way the keyboard does: down, translated, up.
    void Key(WORD vk) {
        HWND focus = GetFocus();
        PostMessageA(focus, WM_KEYDOWN, vk, 1);
        PostMessageA(focus, WM_KEYUP, vk, 0xC0000001);
        Pump();
    }
    TInstallForm& F() { return *form_; }
    std::unique_ptr<TInstallForm> form_;
};

} // namespace form_testing
