// The installer window in this process: its layout, its creation, the destination field, the
// drive box and the error boxes, on real windows under Wine.
#include "tests/support/dialog_watcher.h"
#include "tests/win/form_fixture.h"

#include <memory>
#include <string>

using namespace vcl;
using testing_support::DialogWatcher;

namespace {

const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new form_testing::WindowEnvironment);

using form_testing::Pump;
using InstallFormTest = form_testing::FormTest;

std::string ClassOf(HWND h) {
    char cls[64] = "";
    GetClassNameA(h, cls, sizeof cls);
    return cls;
}

TEST_F(InstallFormTest, EveryControlOfTheLayoutIsAWindowAtItsPlace) {
    struct Row {
        TControl* control;
        TControl* parent;
        const char* cls;
        int left, top, width, height; // height < 0: not checked (follows the font)
        const char* text;
        int tabOrder;
    } rows[] = {
        {F().Panel8, &F(), "TPanel", 33, 29, 164, 196, "", 0},
        {F().Panel2, &F(), "TPanel", 0, 257, 444, 21, "", 1},
        {F().Panel4, &F(), "TPanel", 233, 29, 176, 196, "", 2},
        {F().Notebook1, &F(), "TWinContainer", 240, 34, 161, 179, "", 3},
        {F().Label1, F().Panel8, "Static", 9, 37, -1, -1, "Destination:", 0},
        {F().Edit6, F().Panel8, "Edit", 7, 51, 146, 21, nullptr, 1},
        {F().Label2, F().Panel8, "Static", 9, 72, -1, -1, "Drive", 0},
        {F().DriveComboBox1, F().Panel8, "ComboBox", 8, 87, 147, -1, nullptr, 2},
        {F().Label5, F().Panel8, "Static", 19, 110, -1, -1, "Free Space:", 0},
        {F().Label6, F().Panel8, "Static", 19, 130, -1, -1, "Size", 0},
        {F().Edit7, F().Panel8, "Edit", 47, 126, 108, 23, "", 3},
        {F().Label7, F().Panel8, "Static", 20, 151, -1, -1, "Free", 0},
        {F().Edit8, F().Panel8, "Edit", 47, 149, 108, 23, "", 4},
        {F().ProgressBar2, F().Panel8, "TGauge", 3, 177, 157, 12, "0%", 0},
        {F().Edit9, F().Panel2, "Edit", 3, 4, 275, 15, "Waiting...", 1},
        {F().MultiImage1, F().Panel2, "TPMultiImage", 1, 1, 442, 19, nullptr, 0},
        {F().CopyProgress, F().Panel2, PROGRESS_CLASSA, 333, 1, 111, 17, "", 0},
        {F().Label10, F().Notebook1->Page(0), "Static", 8, 6, -1, -1, "Options:", 0},
        {F().ProgramFiles, F().Notebook1->Page(0), "Button", 8, 25, 147, 17,
         "Program Files (3.54 MB)", 2},
        {F().TemplateFiles, F().Notebook1->Page(0), "Button", 8, 45, 145, 16,
         "Template Files (806 KB)", 3},
        {F().Label11, F().Notebook1->Page(0), "Static", 24, 68, -1, -1, "Total Space Required:", 0},
        {F().Edit5, F().Notebook1->Page(0), "Edit", 23, 82, 108, 23, nullptr, 4},
        {F().InstallButton, F().Notebook1->Page(0), "Button", 20, 112, 115, 28, "Install", 0},
        {F().BitBtn1, F().Notebook1->Page(0), "Button", 20, 144, 115, 26, "Cancel", 1},
        {F().Label8, F().Notebook1->Page(1), "Static", 8, 6, 145, 17, "Installed Group Name", 0},
        {F().Edit10, F().Notebook1->Page(1), "Edit", 10, 24, 143, 22, "Halcyra Applications", 1},
        {F().DoneBtn, F().Notebook1->Page(1), "Button", 41, 146, 80, 27, "Close", 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.control->Name);
        ASSERT_TRUE(IsWindow(r.control->Handle()));
        EXPECT_EQ(GetParent(r.control->Handle()), r.parent->Handle());
        EXPECT_EQ(ClassOf(r.control->Handle()), r.cls);
        RECT b = r.control->BoundsRect();
        EXPECT_EQ(b.left, r.left);
        EXPECT_EQ(b.top, r.top);
        if (r.width >= 0) {
            EXPECT_EQ(b.right - b.left, r.width);
        }
        if (r.height >= 0) {
            EXPECT_EQ(b.bottom - b.top, r.height);
        }
        if (r.text) {
            EXPECT_EQ(r.control->Text(), r.text);
        }
        EXPECT_EQ(r.control->TabOrder, r.tabOrder);
    }
    // Read-only boxes, the borderless status line, the OEM conversion of the destination.
    auto style = [](TControl* c) { return GetWindowLongA(c->Handle(), GWL_STYLE); };
    for (TControl* c : {static_cast<TControl*>(F().Edit7), static_cast<TControl*>(F().Edit8),
                        static_cast<TControl*>(F().Edit5), static_cast<TControl*>(F().Edit10)})
        EXPECT_TRUE(style(c) & ES_READONLY) << c->Name;
    EXPECT_FALSE(style(F().Edit6) & ES_READONLY);
    EXPECT_FALSE(style(F().Edit9) & ES_READONLY);
    EXPECT_TRUE(style(F().Edit6) & ES_OEMCONVERT);
    EXPECT_FALSE(GetWindowLongA(F().Edit9->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(F().Edit7->Color(), clTeal);
    EXPECT_EQ(F().Edit7->Font().Color, clYellow);
    EXPECT_EQ(F().Edit7->Font().Name, "Arial");
    EXPECT_EQ(F().Edit7->Font().Height, -12);
    EXPECT_EQ(F().Label8->Font().Color, clNavy);
    EXPECT_TRUE(style(F().Label8) & SS_CENTER);
    EXPECT_FALSE(F().MultiImage1->TabStop);
    // Stacking in the status strip, from the front: banner, status line, progress bar.
    HWND front = GetWindow(F().Panel2->Handle(), GW_CHILD);
    EXPECT_EQ(front, F().MultiImage1->Handle());
    EXPECT_EQ(GetWindow(front, GW_HWNDNEXT), F().Edit9->Handle());
    EXPECT_EQ(GetWindow(F().Edit9->Handle(), GW_HWNDNEXT), F().CopyProgress->Handle());
    // Only the options page shows at start.
    EXPECT_TRUE(IsWindowVisible(F().InstallButton->Handle()));
    EXPECT_FALSE(IsWindowVisible(F().DoneBtn->Handle()));
    EXPECT_EQ(F().Timer1->Interval(), 1000u);
    EXPECT_EQ(F().Timer3->Interval(), 30000u);
    EXPECT_FALSE(F().Timer3->Enabled());
}

TEST_F(InstallFormTest, CreationFillsInTheDefaults) {
    EXPECT_EQ(F().Text(), "Setup Vorelle 2000");
    RECT client = F().ClientRect();
    EXPECT_EQ(client.right, 444);
    EXPECT_EQ(client.bottom, 278);
    LONG style = GetWindowLongA(F().Handle(), GWL_STYLE);
    LONG ex = GetWindowLongA(F().Handle(), GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);

    char windows[MAX_PATH] = "", system[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, sizeof windows);
    GetSystemDirectoryA(system, sizeof system);
    EXPECT_EQ(F().Edit6->Text(), std::string(1, windows[0]) + ":\\Program Files\\Vorelle");
    EXPECT_EQ(F().InstallDir, "C:\\Program Files\\Vorelle");
    EXPECT_EQ(F().SystemDir, std::string(system) + "\\");
    EXPECT_EQ(F().SystemDir.back(), '\\');
    EXPECT_EQ(F().SourceDir.back(), '\\');
    EXPECT_TRUE(F().Halted);
    EXPECT_FALSE(F().ProgramFiles->Enabled());
    EXPECT_TRUE(F().ProgramFiles->Checked());
    EXPECT_TRUE(F().TemplateFiles->Enabled());
    EXPECT_TRUE(F().TemplateFiles->Checked());
    EXPECT_EQ(F().Edit5->Text(), "    4.35 MB");
    EXPECT_EQ(F().RequiredSize, 4349131.0);
    EXPECT_EQ(F().CopyProgress->Position(), 0);
    EXPECT_TRUE(F().Timer1->Enabled());
    EXPECT_EQ(Screen->Cursor(), crDefault);
    EXPECT_EQ(GetFocus(), F().Edit6->Handle());
    EXPECT_EQ(F().ActiveControl(), F().Edit6);
}

TEST_F(InstallFormTest, EnterInTheDestinationMovesToInstallAndCleansOnTheWay) {
    F().Edit6->SetText("C:\\My.Folder");
    F().Edit6->SetFocus();
    Key(VK_RETURN);
    EXPECT_EQ(GetFocus(), F().InstallButton->Handle());
    EXPECT_EQ(F().Edit6->Text(), "C:\\My_Folder");
    EXPECT_TRUE(F().Halted) << "Enter must not start the run";

    // With an empty field Enter does nothing of the program's own.
    F().Edit6->SetText("");
    F().Edit6->SetFocus();
    Key(VK_RETURN);
    EXPECT_EQ(GetFocus(), F().Edit6->Handle());

    // On a file-set box, Enter moves to Install while the destination holds text, untouched.
    F().TemplateFiles->SetFocus();
    F().Edit6->SetText("C:\\Left.Alone");
    Key(VK_RETURN);
    EXPECT_EQ(GetFocus(), F().InstallButton->Handle());
    EXPECT_EQ(F().Edit6->Text(), "C:\\Left.Alone");
    EXPECT_TRUE(F().TemplateFiles->Checked());
    F().TemplateFiles->SetFocus();
    F().Edit6->SetText("");
    Key(VK_RETURN);
    EXPECT_EQ(GetFocus(), F().TemplateFiles->Handle());

    // While Install cannot take the focus the key is swallowed and nothing changes.
    F().Edit6->SetText("C:\\x");
    F().InstallButton->SetEnabled(false);
    F().Edit6->SetFocus();
    Key(VK_RETURN);
    EXPECT_EQ(GetFocus(), F().Edit6->Handle());
    EXPECT_EQ(F().Edit6->Text(), "C:\\x");
}

TEST_F(InstallFormTest, TabbingOutCleansOrEmptiesTheDestination) {
    struct Case {
        const char* typed;
        const char* after;
    } cases[] = {{"C:\\My.Folder", "C:\\My_Folder"},
                 {"bad", ""},
                 {"d:\\Caf\xE9 (1)", "d:\\Caf_ _1_"},
                 {"C:\\", "C:\\"}};
    for (const Case& c : cases) {
        F().Edit6->SetFocus();
        F().Edit6->SetText(c.typed);
        Key(VK_TAB);
        EXPECT_EQ(GetFocus(), F().DriveComboBox1->Handle()) << c.typed;
        EXPECT_EQ(F().Edit6->Text(), c.after) << c.typed;
    }
}

TEST_F(InstallFormTest, TabFollowsTheLayoutsTabOrder) {
    F().Edit6->SetText("C:\\x");
    F().Edit6->SetFocus();
    TControl* expected[] = {F().DriveComboBox1, F().Edit7,         F().Edit8,
                            F().Edit9,          F().InstallButton, F().BitBtn1,
                            F().TemplateFiles,  F().Edit5,         F().Edit6};
    for (TControl* c : expected) {
        Key(VK_TAB);
        EXPECT_EQ(GetFocus(), c->Handle()) << c->Name;
    }
}

TEST_F(InstallFormTest, ADriveChangeRewritesTheFirstCharacter) {
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, sizeof windows);
    const char current = static_cast<char>(windows[0] | 0x20);
    EXPECT_EQ(F().DriveComboBox1->Drive(), current);

    F().Edit6->SetText("d:\\Program Files\\Vorelle");
    F().DriveComboBox1->SetDrive(current); // already current: no change reported
    EXPECT_EQ(F().Edit6->Text(), "d:\\Program Files\\Vorelle");

    // The user picks drive Z in the list.
    HWND box = F().DriveComboBox1->Handle();
    int count = static_cast<int>(SendMessageA(box, CB_GETCOUNT, 0, 0));
    int z = -1;
    for (int i = 0; i < count; ++i) {
        char t[300] = "";
        SendMessageA(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(t));
        if (t[0] == 'z')
            z = i;
    }
    ASSERT_GE(z, 0) << "Wine maps drive Z";
    SendMessageA(box, CB_SETCURSEL, z, 0);
    SendMessageA(GetParent(box), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(box));
    EXPECT_EQ(F().DriveComboBox1->Drive(), 'z');
    EXPECT_EQ(F().Edit6->Text(), "Z:\\Program Files\\Vorelle");
    EXPECT_EQ(F().Edit6->Text().substr(0, 1), "Z");
    EXPECT_EQ(F().DriveComboBox1->Text().substr(0, 2), "z:");

    F().Edit6->SetText("");
    F().DriveComboBox1->SetDrive(current);
    EXPECT_EQ(F().Edit6->Text(), std::string(1, static_cast<char>(current - 32)));
}

TEST_F(InstallFormTest, ErrorsAreShownInTheirBoxes) {
    DialogWatcher boxes;
    F().ShowError("Something failed");
    ASSERT_TRUE(boxes.WaitFor(1));
    auto seen = boxes.Seen();
    EXPECT_EQ(seen[0].caption, "Warning");
    EXPECT_EQ(seen[0].text, "Something failed");
    EXPECT_EQ(seen[0].buttons, std::vector<std::string>{"OK"});

    // An error that no handler catches ends the handler; the application reports it and the
    // window stays.
    Application->SetTitle("Vorelle Setup");
    F().TemplateFiles->OnClick = [](TObject*) {
        throw std::runtime_error("Failed to create key X");
    };
    SendMessageA(F().TemplateFiles->Handle(), BM_CLICK, 0, 0);
    ASSERT_TRUE(boxes.WaitFor(2));
    seen = boxes.Seen();
    EXPECT_EQ(seen[1].caption, "Vorelle Setup");
    EXPECT_EQ(seen[1].text, "Failed to create key X.");
    EXPECT_TRUE(IsWindow(F().Handle()));
}

TEST_F(InstallFormTest, CancelWithoutARunClosesAndDuringARunOnlyAsksToStop) {
    F().Halted = false;
    F().BitBtn1Click(F().BitBtn1);
    EXPECT_TRUE(F().Halted);
    EXPECT_TRUE(IsWindowVisible(F().Handle()));
    // Not the main form here, so closing only hides it; the end-to-end tests see the program end.
    F().BitBtn1Click(F().BitBtn1);
    EXPECT_FALSE(IsWindowVisible(F().Handle()));
}

TEST_F(InstallFormTest, ShutdownDeletesTheLeftOverPictureBesideTheProgram) {
    char exe[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string picture = exe;
    picture = picture.substr(0, picture.find_last_of('\\') + 1) + "SJEF.JPG";
    HANDLE h = CreateFileA(picture.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    DialogWatcher boxes;
    F().DoDestroy();
    EXPECT_EQ(GetFileAttributesA(picture.c_str()), INVALID_FILE_ATTRIBUTES);
    F().DoDestroy(); // runs once only
    form_.reset();
    auto again = std::make_unique<TInstallForm>();
    again->Create();
    again->DoDestroy(); // no picture: nothing to say
    Pump(100);
    EXPECT_EQ(boxes.Count(), 0u);
    form_ = std::move(again);
}

TEST_F(InstallFormTest, ResizingKeepsThePlacesAndScrollsWhenTooSmall) {
    auto resizeClient = [&](int w, int h) {
        RECT r = {0, 0, w, h};
        AdjustWindowRectEx(&r, GetWindowLongA(F().Handle(), GWL_STYLE), FALSE,
                           GetWindowLongA(F().Handle(), GWL_EXSTYLE));
        SetWindowPos(F().Handle(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                     SWP_NOMOVE | SWP_NOZORDER);
        Pump();
    };
    auto scrollBars = [&] {
        return GetWindowLongA(F().Handle(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL);
    };

    resizeClient(600, 400);
    RECT client = F().ClientRect();
    RECT strip = F().Panel2->BoundsRect();
    EXPECT_EQ(strip.left, 0);
    EXPECT_EQ(strip.right, client.right);
    EXPECT_EQ(strip.bottom, client.bottom);
    EXPECT_EQ(strip.bottom - strip.top, 21);
    EXPECT_EQ(F().Panel8->Left(), 33);
    EXPECT_EQ(F().Notebook1->Left(), 240);
    EXPECT_EQ(scrollBars(), 0);

    // Smaller than its contents: both scroll bars, the panels still at their places, the strip
    // still along the bottom edge.
    resizeClient(200, 120);
    EXPECT_EQ(scrollBars(), WS_HSCROLL | WS_VSCROLL);
    EXPECT_EQ(F().Panel8->Left(), 33);
    EXPECT_EQ(F().Panel8->Top(), 29);
    client = F().ClientRect();
    EXPECT_EQ(F().Panel2->BoundsRect().bottom, client.bottom);

    // Scrolling moves the contents, not the strip.
    SendMessageA(F().Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    Pump();
    EXPECT_EQ(F().Panel8->Top(), 29 - 8);
    EXPECT_EQ(F().Panel2->BoundsRect().bottom, client.bottom);

    resizeClient(444, 278);
    EXPECT_EQ(scrollBars(), 0);
    EXPECT_EQ(F().Panel8->Top(), 29);
}

} // namespace
