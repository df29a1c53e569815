#include "vcl/drive_combo.h"

#include <cctype>
#include <string>

namespace vcl {

namespace {
char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}
} // namespace

TDriveComboBox::TDriveComboBox(TControl* parent) : TControl(parent) {
    SetColor(clWindow);
    CreateHandle("COMBOBOX", WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST);
    TabStop = true;
    Fill();
    // The box starts on the drive of the current folder, as the file dialogs do.
    char cwd[MAX_PATH + 1] = "";
    DWORD n = GetCurrentDirectoryA(sizeof cwd, cwd);
    if (n >= 2 && n < sizeof cwd && cwd[1] == ':' && IndexOf(cwd[0]) >= 0) {
        drive_ = Lower(cwd[0]);
        SendMessageA(Handle(), CB_SETCURSEL, IndexOf(drive_), 0);
    }
}

void TDriveComboBox::Fill() {
    DWORD mask = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(mask & (1u << i)))
            continue;
        char letter = static_cast<char>('a' + i);
        std::string root = std::string(1, letter) + ":\\";
        std::string item = std::string(1, letter) + ":";
        UINT type = GetDriveTypeA(root.c_str());
        // Only fixed and RAM drives are asked for a label: asking a removable drive may
        // spin it up or prompt for a medium.
        if (type == DRIVE_FIXED || type == DRIVE_RAMDISK) {
            char label[MAX_PATH + 1] = "";
            UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
            if (GetVolumeInformationA(root.c_str(), label, sizeof label, nullptr, nullptr, nullptr,
                                      nullptr, 0) &&
                label[0])
                item += std::string(" [") + label + "]";
            SetErrorMode(oldMode);
        }
        SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
}

int TDriveComboBox::IndexOf(char letter) const {
    letter = Lower(letter);
    int count = static_cast<int>(SendMessageA(Handle(), CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[MAX_PATH + 8] = "";
        if (SendMessageA(Handle(), CB_GETLBTEXTLEN, i, 0) >= static_cast<LRESULT>(sizeof text))
            continue;
        SendMessageA(Handle(), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        if (text[0] == letter)
            return i;
    }
    return -1;
}

void TDriveComboBox::SetDrive(char letter) {
    letter = Lower(letter);
    int index = IndexOf(letter);
    if (index < 0 || letter == drive_)
        return;
    drive_ = letter;
    SendMessageA(Handle(), CB_SETCURSEL, index, 0);
    if (OnChange)
        OnChange(this);
}

void TDriveComboBox::SetBoxBounds(int left, int top, int width, int height) {
    // A combo box's window height includes its dropped list; the closed height follows the font.
    SetBounds(left, top, width, height + 200);
    SendMessageA(Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height - 6);
}

bool TDriveComboBox::Reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_COMMAND && HIWORD(wp) == CBN_SELCHANGE) {
        int index = static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0));
        char text[MAX_PATH + 8] = "";
        if (index >= 0 &&
            SendMessageA(Handle(), CB_GETLBTEXTLEN, index, 0) < static_cast<LRESULT>(sizeof text)) {
            SendMessageA(Handle(), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
            if (text[0] && text[0] != drive_) {
                drive_ = text[0];
                if (OnChange)
                    OnChange(this);
            }
        }
        result = 0;
        return true;
    }
    return TControl::Reflected(msg, wp, lp, result);
}

} // namespace vcl
