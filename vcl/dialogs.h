// Message dialogs: modal, centred on the screen, with the captions the library gives each type.
#pragma once

#include <windows.h>

#include <string>

namespace vcl {

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation };
enum class TMsgDlgButtons { mbOK, mbYesNo };

enum TModalResult { mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrYes = IDYES, mrNo = IDNO };

// Shows the message with the type's icon and caption ("Warning", "Error", "Information",
// "Confirm") and returns the button chosen. While the application is ending it returns mrCancel
// at once without showing anything.
int MessageDlg(const std::string& message, TMsgDlgType type, TMsgDlgButtons buttons);

// The box underneath: MessageBoxA flags, modal to the program's active window, centred on the
// screen. Returns mrCancel at once while the application is ending.
int ShowMessageBox(const std::string& text, const std::string& caption, UINT flags);

} // namespace vcl
