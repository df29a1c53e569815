// The window's layout, its creation and shutdown, Cancel and the error box.
#include "installer/install_form.h"

#include "installer/glyphs.h"
#include "installer/install_rules.h"
#include "progman/dde_client.h"
#include "vcl/application.h"
#include "vcl/dialogs.h"

TInstallForm* InstallForm = nullptr;
std::vector<std::string> TInstallForm::Arguments;

namespace {

using namespace vcl;

const TFont kArialYellow = {"Arial", -12, false, clYellow};

// The program file's full path, however long it is.
std::string ProgramPath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// A folder the system reports into a buffer of 256 characters; one that does not fit is refused
// rather than cut short.
std::string SystemFolder(UINT(WINAPI* ask)(LPSTR, UINT)) {
    char buf[256];
    UINT n = ask(buf, sizeof buf);
    return n > 0 && n < sizeof buf ? std::string(buf, n) : std::string();
}

} // namespace

TInstallForm::TInstallForm() : TForm("TInstallForm") {}

TInstallForm::~TInstallForm() = default;

void TInstallForm::LoadLayout() {
    TFont font;
    font.Color = clBlack;
    SetFont(font);
    SetCaption("Setup Vorelle 2000");
    SetClientSize(444, 278);

    LayoutDestinationPanel();
    LayoutStatusStrip();

    Panel4 = Add<TPanel>();
    Panel4->Name = "Panel4";
    Panel4->SetBounds(233, 29, 176, 196);
    Panel4->TabOrder = 2;

    LayoutNotebook();

    Timer1 = AddTimer();
    Timer1->SetInterval(1000);
    Timer1->OnTimer = [this](TObject* s) { Timer1Timer(s); };
    Timer3 = AddTimer();
    Timer3->SetInterval(30000);
    CreateProgmanClient();

    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnActivate = [this](TObject* s) { FormActivate(s); };
    OnDestroy = [this](TObject* s) { FormDestroy(s); };
}

void TInstallForm::LayoutDestinationPanel() {
    Panel8 = Add<TPanel>();
    Panel8->Name = "Panel8";
    Panel8->SetBounds(33, 29, 164, 196);
    Panel8->TabOrder = 0;

    auto label = [this](TLabel*& l, const char* name, int x, int y, const char* caption) {
        l = Panel8->Add<TLabel>();
        l->Name = name;
        l->SetBounds(x, y, 0, 0);
        l->SetCaption(caption);
    };
    label(Label1, "Label1", 9, 37, "Destination:");

    Edit6 = Panel8->Add<TEdit>(eoOEMConvert);
    Edit6->Name = "Edit6";
    Edit6->SetBounds(7, 51, 146, 21);
    Edit6->SetFont({"MS Sans Serif", -11, false, clWindowText});
    Edit6->TabOrder = 1;
    Edit6->OnExit = [this](TObject* s) { Edit6Exit(s); };
    Edit6->OnKeyPress = [this](TObject* s, char& k) { Edit6KeyPress(s, k); };

    label(Label2, "Label2", 9, 72, "Drive");

    DriveComboBox1 = Panel8->Add<TDriveComboBox>();
    DriveComboBox1->Name = "DriveComboBox1";
    DriveComboBox1->SetBoxBounds(8, 87, 147, 20);
    DriveComboBox1->SetFont({"MS Sans Serif", -11, false, clWindowText});
    DriveComboBox1->TabOrder = 2;
    DriveComboBox1->OnChange = [this](TObject* s) { DriveComboBox1Change(s); };

    label(Label5, "Label5", 19, 110, "Free Space:");
    label(Label6, "Label6", 19, 130, "Size");

    auto spaceBox = [this](TEdit*& e, const char* name, int x, int y, int tab) {
        e = Panel8->Add<TEdit>(eoReadOnly);
        e->Name = name;
        e->SetBounds(x, y, 108, 23);
        e->SetFont(kArialYellow);
        e->SetColor(clTeal);
        e->TabOrder = tab;
    };
    spaceBox(Edit7, "Edit7", 47, 126, 3);
    label(Label7, "Label7", 20, 151, "Free");
    spaceBox(Edit8, "Edit8", 47, 149, 4);

    ProgressBar2 = Panel8->Add<TGauge>();
    ProgressBar2->Name = "ProgressBar2";
    ProgressBar2->SetBounds(3, 177, 157, 12);
    ProgressBar2->SetForeColor(clNavy);
    ProgressBar2->SetBackColor(clBtnFace);
    ProgressBar2->SetProgress(0);
    AttachHint(*ProgressBar2, "Available disk space ");
}

void TInstallForm::LayoutStatusStrip() {
    Panel2 = Add<TPanel>();
    Panel2->Name = "Panel2";
    Panel2->SetBounds(0, 257, 444, 21);
    Panel2->Align = TAlign::alBottom;
    Panel2->TabOrder = 1;

    Edit9 = Panel2->Add<TEdit>(eoNoBorder);
    Edit9->Name = "Edit9";
    Edit9->SetBounds(3, 4, 275, 15);
    Edit9->SetColor(clBtnFace);
    Edit9->SetFont({"MS Sans Serif", -11, false, clBlack});
    Edit9->SetText("Waiting...");
    Edit9->TabOrder = 1;

    MultiImage1 = Panel2->Add<TPMultiImage>();
    MultiImage1->Name = "MultiImage1";
    MultiImage1->Align = TAlign::alClient;
    MultiImage1->ScrollColor = clBtnFace;
    MultiImage1->SetColor(clBtnFace);
    MultiImage1->TabOrder = 0;
    MultiImage1->BringToFront();
    Panel2->Realign();
    Realign();
}

void TInstallForm::LayoutNotebook() {
    Notebook1 = Add<TNotebook>();
    Notebook1->Name = "Notebook1";
    Notebook1->SetBounds(240, 34, 161, 179);
    Notebook1->TabOrder = 3;
    Notebook1->BringToFront(); // over the frame of Panel4
    TPage* options = Notebook1->AddPage("Options");
    TPage* final = Notebook1->AddPage("Final");

    Label10 = options->Add<TLabel>();
    Label10->Name = "Label10";
    Label10->SetBounds(8, 6, 0, 0);
    Label10->SetCaption("Options:");

    auto fileSet = [&](TCheckBox*& box, const char* name, int y, int w, int h, int tab) {
        box = options->Add<TCheckBox>();
        box->Name = name;
        box->SetBounds(8, y, w, h);
        box->SetChecked(true);
        box->TabOrder = tab;
        box->OnClick = [this](TObject* s) { InstallCheckSize(s); };
        box->OnKeyPress = [this](TObject* s, char& k) { Edit6KeyPress(s, k); };
    };
    fileSet(ProgramFiles, "ProgramFiles", 25, 147, 17, 2);
    fileSet(TemplateFiles, "TemplateFiles", 45, 145, 16, 3);

    Label11 = options->Add<TLabel>();
    Label11->Name = "Label11";
    Label11->SetBounds(24, 68, 0, 0);
    Label11->SetCaption("Total Space Required:");

    Edit5 = options->Add<TEdit>(eoReadOnly);
    Edit5->Name = "Edit5";
    Edit5->SetBounds(23, 82, 108, 23);
    Edit5->SetFont(kArialYellow);
    Edit5->SetColor(clTeal);
    Edit5->SetText("0 MB");
    Edit5->TabOrder = 4;

    InstallButton = options->Add<TBitBtn>();
    InstallButton->Name = "InstallButton";
    InstallButton->SetBounds(20, 112, 115, 28);
    InstallButton->SetText("Install");
    InstallButton->SetGlyph(installer::MakeInstallGlyph());
    InstallButton->TabOrder = 0;
    InstallButton->OnClick = [this](TObject* s) { InstallButtonClick(s); };

    BitBtn1 = options->Add<TBitBtn>();
    BitBtn1->Name = "BitBtn1";
    BitBtn1->SetBounds(20, 144, 115, 26);
    BitBtn1->SetText("Cancel");
    BitBtn1->SetGlyph(installer::MakeCancelGlyph());
    BitBtn1->TabOrder = 1;
    BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };

    Label8 = final->Add<TLabel>();
    Label8->Name = "Label8";
    Label8->SetAutoSize(false);
    Label8->SetBounds(8, 6, 145, 17);
    Label8->SetCentered(true);
    Label8->SetFont({"MS Sans Serif", -11, false, clNavy});
    Label8->SetCaption("Installed Group Name");

    Edit10 = final->Add<TEdit>(eoReadOnly);
    Edit10->Name = "Edit10";
    Edit10->SetBounds(10, 24, 143, 22);
    Edit10->SetFont({"MS Sans Serif", -11, false, clYellow});
    Edit10->SetColor(clTeal);
    Edit10->TabOrder = 1;

    DoneBtn = final->Add<TBitBtn>(TBitBtnKind::bkClose);
    DoneBtn->Name = "DoneBtn";
    DoneBtn->SetBounds(41, 146, 80, 27);
    DoneBtn->SetText("Close");
    DoneBtn->TabOrder = 0;
}

void TInstallForm::FormCreate(TObject*) {
    ProgramFiles->SetEnabled(false);
    SetActiveControl(Edit6);
    Screen->SetCursor(crHourGlass);
    Halted = true;

    Label1->SetCaption("Destination:");
    Label5->SetCaption("Free Space:");
    Label10->SetCaption("Options:");
    Label11->SetCaption("Total Space Required:");
    ProgramFiles->SetText("Program Files (3.54 MB)");
    TemplateFiles->SetText("Template Files (" + std::to_string(806) + " KB)");
    InstallButton->SetText("Install");
    BitBtn1->SetText("Cancel");
    Label8->SetCaption("Installed Group Name");
    DoneBtn->SetText("Close");

    SetBorderStyle(TFormBorderStyle::bsSizeToolWin);

    const int w = ClientRect().right;
    CopyProgress = Panel2->Add<TProgressBar>();
    CopyProgress->Name = "CopyProgress";
    CopyProgress->SetBounds(w - w / 4, 1, w / 4, 17);
    CopyProgress->SetRange(0, 100);
    CopyProgress->SetPosition(0);
    CopyProgress->SetVisible(true);
    CopyProgress->SendToBack();

    SetCaption("Setup Vorelle 2000");
    InstallDir = "C:\\Program Files\\Vorelle";
    Edit10->SetText("Halcyra Applications");
    SourceDir = installer::SourceFolder(Arguments, ProgramPath());
    const std::string windowsDir = SystemFolder(GetWindowsDirectoryA);
    Edit6->SetText(InstallDir);
    if (!windowsDir.empty())
        DriveComboBox1->SetDrive(windowsDir[0]);
    SystemDir = SystemFolder(GetSystemDirectoryA);
    if (!SystemDir.empty())
        SystemDir = installer::WithBackslash(SystemDir);
    Application->OnIdle = [this](TObject* s, bool& done) { ApplicationIdle(s, done); };
    InstallCheckSize(this);
    Timer1->SetEnabled(true);
    Screen->SetCursor(crDefault);
}

void TInstallForm::FormDestroy(TObject*) {
    // Left over from an earlier version of the medium; whether it is there does not matter.
    DeleteFileA((installer::FolderOf(ProgramPath()) + "SJEF.JPG").c_str());
}

void TInstallForm::BitBtn1Click(TObject*) {
    if (Halted)
        Close();
    else
        Halted = true; // the run stops after the file it is copying
}

void TInstallForm::ShowError(const std::string& message) {
    MessageDlg(message, TMsgDlgType::mtWarning, TMsgDlgButtons::mbOK);
}
