// The installation run behind the Install button, and the destination folder it creates.
#include "installer/install_form.h"

#include "installer/file_sets.h"
#include "registration/file_type.h"
#include "vcl/application.h"
#include "vcl/dialogs.h"

#include <cmath>

using namespace vcl;

void TInstallForm::InstallButtonClick(TObject*) {
    if (std::llround(RequiredSize) > DiskFree &&
        MessageDlg("Not enough free disk space, install anyway?", TMsgDlgType::mtConfirmation,
                   TMsgDlgButtons::mbYesNo) != mrYes)
        return;
    if (!CleanPath(Edit6->Text(), InstallDir)) {
        ShowError("Invalid destination path!");
        return;
    }
    if (!MakeInstallDir()) {
        ShowError("Unable to install Vorelle 2000");
        return;
    }

    CopyProgress->SetPosition(0);
    CopyProgress->BringToFront();
    FilesDone = 0;
    MultiImage1->SetVisible(false);
    DriveComboBox1->SetEnabled(false);
    InstallButton->SetEnabled(false);
    Halted = false;
    Screen->SetCursor(crHourGlass);

    // Copies one file; false when Cancel asked the run to stop.
    auto copy = [this](const std::string& folder, const char* name) {
        ExpandFile(folder, name);
        return !Halted;
    };
    auto run = [&] {
        if (ProgramFiles->Checked()) {
            if (!copy(InstallDir, "VR2000.EXE") || !copy(InstallDir, "VPREVIEW.EXE"))
                return;
            if (!InstallDir.empty() && InstallDir.back() == '\\')
                InstallDir.pop_back();
            const std::string command = InstallDir + "\\VR97.EXE";
            registration::RegisterFileType(".vr2", "VR97", "Vorelle 97", "", command);
            registration::RegisterFileType(".vt2", "VR97Template", "Vorelle 97 Template", "",
                                           command);
            if (!copy(SystemDir, installer::kSystemFolderFile))
                return;
            for (const char* name : {"VR2000.HLP", "VR2000.CNT", "UNINST.EXE"})
                if (!copy(InstallDir, name))
                    return;
        }
        if (TemplateFiles->Checked())
            for (const char* name : installer::kTemplateFileSet)
                if (!copy(InstallDir, name))
                    return;
        WriteSettings();
        CreateFolderBtnClick(this);

        ShowWindow(Handle(), SW_SHOW);
        BringToFront();
        SetForegroundWindow(Handle());
        Notebook1->SetPageIndex(1);
        CopyProgress->SendToBack();
        MultiImage1->SetVisible(true);
        DoneBtn->SetFocus();
    };
    run();

    Halted = true;
    InstallButton->SetEnabled(true);
    Screen->SetCursor(crDefault);
}

bool TInstallForm::MakeInstallDir() {
    std::string saved(MAX_PATH, '\0');
    DWORD n = GetCurrentDirectoryA(static_cast<DWORD>(saved.size()), saved.data());
    if (n >= saved.size()) {
        saved.resize(n);
        n = GetCurrentDirectoryA(static_cast<DWORD>(saved.size()), saved.data());
    }
    saved.resize(n < saved.size() ? n : 0);

    bool existed = false;
    if (SetCurrentDirectoryA(InstallDir.c_str())) {
        existed = true;
        SetCurrentDirectoryA(saved.c_str());
    }
    // Only the last level is made: the parent must be there already.
    bool created = CreateDirectoryA(InstallDir.c_str(), nullptr) != 0;
    if (!created && !existed) {
        MessageDlg("Unable to create folder: " + InstallDir, TMsgDlgType::mtWarning,
                   TMsgDlgButtons::mbOK);
        return false;
    }
    return true;
}
