// The installer window: its layout, its state and its event handlers. The work that needs no
// window lives in destination/, registration/, progman/ and installer/install_rules.h; the
// handlers here are kept thin and call it.
#pragma once

#include "vcl/banner.h"
#include "vcl/buttons.h"
#include "vcl/drive_combo.h"
#include "vcl/form.h"
#include "vcl/gauge.h"
#include "vcl/std_controls.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace progman {
class TProgmanClient;
}

class TInstallForm : public vcl::TForm {
  public:
    TInstallForm();
    ~TInstallForm() override;

    // Components, as laid out.
    vcl::TPanel* Panel8 = nullptr;
    vcl::TLabel* Label1 = nullptr;
    vcl::TEdit* Edit6 = nullptr;
    vcl::TLabel* Label2 = nullptr;
    vcl::TDriveComboBox* DriveComboBox1 = nullptr;
    vcl::TLabel* Label5 = nullptr;
    vcl::TLabel* Label6 = nullptr;
    vcl::TEdit* Edit7 = nullptr;
    vcl::TLabel* Label7 = nullptr;
    vcl::TEdit* Edit8 = nullptr;
    vcl::TGauge* ProgressBar2 = nullptr;
    vcl::TPanel* Panel2 = nullptr;
    vcl::TEdit* Edit9 = nullptr;
    vcl::TPMultiImage* MultiImage1 = nullptr;
    vcl::TPanel* Panel4 = nullptr;
    vcl::TNotebook* Notebook1 = nullptr;
    vcl::TLabel* Label10 = nullptr;
    vcl::TCheckBox* ProgramFiles = nullptr;
    vcl::TCheckBox* TemplateFiles = nullptr;
    vcl::TLabel* Label11 = nullptr;
    vcl::TEdit* Edit5 = nullptr;
    vcl::TBitBtn* InstallButton = nullptr;
    vcl::TBitBtn* BitBtn1 = nullptr;
    vcl::TLabel* Label8 = nullptr;
    vcl::TEdit* Edit10 = nullptr;
    vcl::TBitBtn* DoneBtn = nullptr;
    vcl::TTimer* Timer1 = nullptr;
    vcl::TTimer* Timer3 = nullptr;

    // State. Byte counts of the drive are 64-bit: 32-bit counts wrap on today's disks.
    double RequiredSize = 0;
    std::int64_t DiskFree = 0;
    std::int64_t DiskSize = 0;
    vcl::TProgressBar* CopyProgress = nullptr;
    std::string InstallDir;
    std::string SystemDir;
    std::string SourceDir;
    // The conversation with Program Manager keeps its own fields (ProgmanWnd, AppAtom,
    // TopicAtom, CommandMem, PendingDde, DdeTimedOut and the DdeCommand buffer).
    std::unique_ptr<progman::TProgmanClient> Progman;
    bool Halted = true;
    std::int32_t FilesDone = 0;

    // Start-up and shutdown.
    void FormCreate(vcl::TObject* Sender);
    void FormDestroy(vcl::TObject* Sender);
    void FormActivate(vcl::TObject* Sender);
    void BitBtn1Click(vcl::TObject* Sender);
    void ShowError(const std::string& message);

    // Destination and drive.
    bool CleanPath(const std::string& path, std::string& cleaned) const;
    void Edit6Exit(vcl::TObject* Sender);
    void Edit6KeyPress(vcl::TObject* Sender, char& Key);
    void DriveComboBox1Change(vcl::TObject* Sender);

    // Disk space and required size.
    void Timer1Timer(vcl::TObject* Sender);
    void InstallCheckSize(vcl::TObject* Sender);

    // The run and the file copy.
    void InstallButtonClick(vcl::TObject* Sender);
    bool MakeInstallDir();
    void ExpandFile(const std::string& folder, const std::string& name);
    int TotalFileCount() const;
    void WriteSettings();
    void CreateFolderBtnClick(vcl::TObject* Sender);

    // Background and banner.
    void ApplicationIdle(vcl::TObject* Sender, bool& Done);

    // The command-line arguments after the program name; the entry point sets them before the
    // form is created.
    static std::vector<std::string> Arguments;

  protected:
    void LoadLayout() override;
    void Paint(vcl::TCanvas& canvas) override;

  private:
    void CreateProgmanClient();
    void LayoutDestinationPanel();
    void LayoutStatusStrip();
    void LayoutNotebook();
};

extern TInstallForm* InstallForm;
