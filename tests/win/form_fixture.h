// A fresh installer window per test, created and shown in this process, with the helpers the
// window tests share.
#pragma once

#include "installer/install_form.h"
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

// A host path as the Windows side sees it (Wine maps the host's root to drive Z).
inline std::string HostPath(const std::string& unixPath) {
    std::string p = "Z:" + unixPath;
    for (char& c : p)
        if (c == '/')
            c = '\\';
    return p;
}

inline std::string ReadFileBytes(const std::string& path) {
    std::string data;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return "<missing>";
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got)
        data.append(buf, got);
    CloseHandle(f);
    return data;
}

inline void WriteFileBytes(const std::string& path, const std::string& data) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD put = 0;
    WriteFile(f, data.data(), static_cast<DWORD>(data.size()), &put, nullptr);
    CloseHandle(f);
}

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
