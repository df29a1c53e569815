// The last two steps of a run: the registry settings and the program group.
#include "installer/install_form.h"

#include "progman/dde_client.h"
#include "registration/settings.h"

void TInstallForm::WriteSettings() {
    registration::WriteSettings(ProgramFiles->Checked(), InstallDir);
}

void TInstallForm::CreateFolderBtnClick(vcl::TObject*) {
    Progman->CreateFolderBtnClick(Edit10->Text(), InstallDir);
}

void TInstallForm::CreateProgmanClient() {
    Progman = std::make_unique<progman::TProgmanClient>(*this, *Timer3);
}
