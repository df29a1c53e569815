// The entry point: title, the installer window as the main form, the message loop, and the
// window's destruction on the way out.
#include "installer/install_form.h"
#include "vcl/application.h"

#include <commctrl.h>

#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    for (int i = 1; i < __argc; ++i)
        TInstallForm::Arguments.emplace_back(__argv[i]);

    vcl::Application->SetTitle("Vorelle Setup");
    vcl::Application->CreateForm(InstallForm);
    vcl::Application->Run();
    vcl::Application->DestroyForms();
    return 0;
}
