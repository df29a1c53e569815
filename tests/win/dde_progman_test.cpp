// The program group's DDE conversation between a form of ours and the real PROGMAN.EXE process.
#include "progman/commands.h"
#include "progman/dde_client.h"
#include "tests/support/dialog_watcher.h"
#include "tests/support/install_checks.h"
#include "tests/support/progman_stand_in.h"
#include "vcl/form.h"

#include <windows.h>

#include <dde.h>
#include <objidl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using testing_support::HiddenSystemProgman;

using testing_support::DialogWatcher;

constexpr const char* kGroup = "Halcyra Applications";
constexpr const char* kLinkWarning = "Could not create DDE Link";

std::string StandInPath() {
    return testing_support::BesideThisProgram(PROGMAN_EXE_RELATIVE);
}

// PROGMAN.EXE started by the test, with a log of what it received.
class StandIn : public testing_support::ProgmanStandIn {
  public:
    explicit StandIn(const std::string& options = "") : ProgmanStandIn(StandInPath(), options) {}
};

std::string ShortPath(const std::string& path) {
    char buf[512] = "";
    DWORD n = GetShortPathNameA(path.c_str(), buf, sizeof buf);
    return n > 0 && n < sizeof buf ? buf : "";
}

std::string LongPath(const std::string& path) {
    char buf[512] = "";
    DWORD n = GetLongPathNameA(path.c_str(), buf, sizeof buf);
    return n > 0 && n < sizeof buf ? buf : path;
}

class DdeTestForm : public vcl::TForm {
  public:
    DdeTestForm() : TForm("VorelleDdeTestForm") { Create(); }
    vcl::TTimer* Timer3 = nullptr;
    std::unique_ptr<progman::TProgmanClient> Client;

  protected:
    void LoadLayout() override {
        Timer3 = AddTimer();
        Client = std::make_unique<progman::TProgmanClient>(*this, *Timer3);
    }
};

std::string ProgramsFolder() {
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveGroupFolder(const std::string& folder) {
    for (const std::string& name : FilesIn(folder))
        DeleteFileA((folder + "\\" + name).c_str());
    RemoveDirectoryA(folder.c_str());
}

// The target a shortcut file points at, read back through the shell.
std::string LinkTarget(const std::string& linkPath) {
    std::string target;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return target;
    IPersistFile* file = nullptr;
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH);
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        char path[MAX_PATH] = "";
        if (SUCCEEDED(file->Load(wide, STGM_READ)) &&
            SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH)))
            target = path;
        file->Release();
    }
    link->Release();
    return target;
}

// References held on the global atom of a name: the system's own shell may hold some already, so
// a conversation must leave the count as it found it.
int AtomReferences(const char* name) {
    ATOM atom = GlobalFindAtomA(name);
    if (!atom)
        return 0;
    struct BasicInformation {
        USHORT references;
        USHORT pinned;
        USHORT nameLength;
        WCHAR name[256];
    } info = {};
    using Query = LONG(WINAPI*)(ATOM, int, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationAtom")));
    if (!query || query(atom, 0, &info, sizeof info, nullptr) != 0)
        return -1;
    return info.references;
}

bool IsAllocated(HGLOBAL block) {
    return block && GlobalSize(block) > 0;
}

std::string BlockText(HGLOBAL block) {
    std::string text;
    if (const char* p = static_cast<const char*>(GlobalLock(block))) {
        text = p;
        GlobalUnlock(block);
    }
    return text;
}

class DdeConversation : public ::testing::Test {
  protected:
    void SetUp() override {
        CoInitialize(nullptr);
        ASSERT_EQ(FindWindowA("Progman", nullptr), nullptr) << "a server is still running";
        atomRefs_ = AtomReferences("PROGMAN");
        ASSERT_GE(atomRefs_, 0);
        installDir_ = "C:\\Program Files\\Vorelle Dde Test";
        CreateDirectoryA("C:\\Program Files", nullptr);
        CreateDirectoryA(installDir_.c_str(), nullptr);
        for (const progman::GroupItem& item : progman::kGroupItems) {
            HANDLE f = CreateFileA((installDir_ + item.fileName).c_str(), GENERIC_WRITE, 0, nullptr,
                                   CREATE_ALWAYS, 0, nullptr);
            CloseHandle(f);
        }
        shortDir_ = ShortPath(installDir_);
        ASSERT_FALSE(shortDir_.empty());
        ASSERT_NE(shortDir_, installDir_) << "the test needs a folder whose short form differs";
        groupFolder_ = ProgramsFolder() + "\\" + kGroup;
        RemoveGroupFolder(groupFolder_);
        form_ = std::make_unique<DdeTestForm>();
    }
    void TearDown() override {
        form_.reset();
        // With every server ended, the atoms of the initiates must all be gone again.
        EXPECT_EQ(AtomReferences("PROGMAN"), atomRefs_) << "an atom of an initiate was left behind";
        RemoveGroupFolder(groupFolder_);
        CoUninitialize();
    }

    progman::TProgmanClient& Client() { return *form_->Client; }

    std::vector<std::string> ExpectedCommands() const {
        std::vector<std::string> commands;
        progman::BuildGroupCommands(kGroup, shortDir_, commands);
        return commands;
    }

    void ExpectLinkWarnings(size_t n) {
        std::vector<testing_support::SeenBox> seen = watcher_.Seen();
        ASSERT_EQ(seen.size(), n);
        for (const auto& box : seen) {
            EXPECT_EQ(box.caption, "Warning");
            EXPECT_EQ(box.text, kLinkWarning);
        }
    }

    DialogWatcher watcher_;
    int atomRefs_ = 0;
    std::string installDir_, shortDir_, groupFolder_;
    std::unique_ptr<DdeTestForm> form_;
};

TEST_F(DdeConversation, GroupStepSendsTheEightCommandsAndBuildsTheStartMenuGroup) {
    StandIn server;
    ASSERT_NE(server.Window(), nullptr);

    int refsAfterFirst = 0;
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE("installation " + std::to_string(run));
        Client().CreateFolderBtnClick(kGroup, installDir_);

        // The initiate went to the running server, whose acknowledgement did not move it.
        EXPECT_EQ(Client().ProgmanWnd, server.Window());
        EXPECT_EQ(Client().PendingDde, 0);
        EXPECT_FALSE(IsAllocated(Client().CommandMem));
        // The server's shell may hold references of its own while it runs; a second
        // conversation must not add any.
        if (run == 1)
            refsAfterFirst = AtomReferences("PROGMAN");
        else
            EXPECT_EQ(AtomReferences("PROGMAN"), refsAfterFirst);

        std::vector<std::string> lines = server.WaitForLines(10 * run);
        ASSERT_EQ(lines.size(), 10u * run);
        std::vector<std::string> conversation(lines.end() - 10, lines.end());
        // Atom names keep the case of their first addition, which may be the system's.
        std::string initiate = conversation.front();
        CharUpperBuffA(initiate.data(), static_cast<DWORD>(initiate.size()));
        EXPECT_EQ(initiate, "INITIATE APP=PROGMAN TOPIC=PROGMAN");
        EXPECT_EQ(conversation.back(), "TERMINATE");
        std::vector<std::string> commands;
        for (size_t i = 1; i + 1 < conversation.size(); ++i)
            commands.push_back(conversation[i].substr(0, 8) == "EXECUTE "
                                   ? conversation[i].substr(8)
                                   : conversation[i]);
        EXPECT_EQ(commands, ExpectedCommands());
        EXPECT_EQ(commands[3], "[AddItem(\"" + shortDir_ + "\\VR2000.EXE\",\"Vorelle 2000\")]");

        EXPECT_EQ(FilesIn(groupFolder_),
                  (std::vector<std::string>{"Uninstall Vorelle 2000.lnk", "Vorelle 2000.lnk",
                                            "VorellePreview.lnk"}));
        for (const progman::GroupItem& item : progman::kGroupItems) {
            std::string target =
                LinkTarget(groupFolder_ + "\\" + item.itemName + std::string(".lnk"));
            EXPECT_EQ(
                lstrcmpiA(LongPath(target).c_str(), LongPath(installDir_ + item.fileName).c_str()),
                0)
                << item.itemName << " points at " << target;
        }
    }
    ExpectLinkWarnings(0);
}

TEST_F(DdeConversation, EmptyGroupNameOrTextsBeyondTheLimitsSendNothing) {
    StandIn server;
    ASSERT_NE(server.Window(), nullptr);

    Client().CreateFolderBtnClick("", installDir_);
    ExpectLinkWarnings(0);
    EXPECT_EQ(Client().ProgmanWnd, nullptr) << "no conversation should have been opened";

    // A folder whose short form still makes the uninstaller's command longer than 255.
    std::string deep = "C:\\DDELIMIT";
    CreateDirectoryA(deep.c_str(), nullptr);
    while (deep.size() < 220) {
        deep += "\\ABCDEFGH";
        CreateDirectoryA(deep.c_str(), nullptr);
    }
    ASSERT_EQ(ShortPath(deep), deep);
    Client().CreateFolderBtnClick(kGroup, deep);
    ExpectLinkWarnings(1);

    watcher_.Clear();
    Client().CreateFolderBtnClick(std::string(256, 'G'), installDir_);
    ExpectLinkWarnings(1);

    Sleep(300);
    EXPECT_TRUE(server.Lines().empty()) << server.Lines().front();
    EXPECT_EQ(Client().ProgmanWnd, nullptr);
    for (; deep.size() > 2; deep.resize(deep.find_last_of('\\')))
        RemoveDirectoryA(deep.c_str());
}

TEST_F(DdeConversation, UnacknowledgedCommandsEachTimeOutWithOneWarningAndKeepTheirBlocks) {
    StandIn server("/noack");
    ASSERT_NE(server.Window(), nullptr);
    form_->Timer3->SetInterval(200);

    Client().DdeInitiate();
    EXPECT_EQ(Client().PendingDde, 0) << "the initiate is still answered";
    const std::vector<std::string> commands = ExpectedCommands();
    std::vector<HGLOBAL> blocks;
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(commands[i]);
        DWORD start = GetTickCount();
        Client().DdeExecute(commands[i].c_str());
        EXPECT_GE(GetTickCount() - start, 180u);
        EXPECT_TRUE(Client().DdeTimedOut);
        EXPECT_FALSE(form_->Timer3->Enabled());
        EXPECT_EQ(Client().PendingDde, WM_DDE_EXECUTE);
        EXPECT_EQ(watcher_.Count(), i + 1);
        // A fresh block per command, still allocated and holding its command.
        HGLOBAL block = Client().CommandMem;
        EXPECT_EQ(std::count(blocks.begin(), blocks.end(), block), 0);
        blocks.push_back(block);
        for (size_t j = 0; j <= i; ++j) {
            EXPECT_TRUE(IsAllocated(blocks[j]));
            EXPECT_EQ(BlockText(blocks[j]), commands[j]);
        }
    }
    Client().DdeTerminate();
    server.WaitForLines(5);
    EXPECT_EQ(server.Executed(), std::vector<std::string>(commands.begin(), commands.begin() + 3))
        << "each command is posted exactly once";
    ExpectLinkWarnings(3);

    // The whole step: eight commands, eight warnings.
    watcher_.Clear();
    Client().CreateFolderBtnClick(kGroup, installDir_);
    ExpectLinkWarnings(8);
    server.WaitForLines(5 + 10);
    std::vector<std::string> executed = server.Executed();
    ASSERT_EQ(executed.size(), 3u + 8u);
    EXPECT_EQ(std::vector<std::string>(executed.begin() + 3, executed.end()), commands);
}

TEST_F(DdeConversation, LateAcknowledgementFreesOnlyItsOwnBlock) {
    StandIn server("/delay=800");
    ASSERT_NE(server.Window(), nullptr);
    Client().DdeInitiate();

    // The first command gives up after 300 ms; its answer comes while the second one waits.
    form_->Timer3->SetInterval(300);
    Client().DdeExecute("[CreateGroup(Dde Late Test)]");
    EXPECT_TRUE(Client().DdeTimedOut);
    HGLOBAL first = Client().CommandMem;
    EXPECT_TRUE(IsAllocated(first));
    ExpectLinkWarnings(1);

    form_->Timer3->SetInterval(5000);
    DWORD start = GetTickCount();
    Client().DdeExecute("[ShowGroup(Dde Late Test,1)]");
    HGLOBAL second = Client().CommandMem;
    EXPECT_NE(second, first);
    EXPECT_FALSE(Client().DdeTimedOut);
    EXPECT_EQ(Client().PendingDde, 0);
    EXPECT_FALSE(IsAllocated(first)) << "the late acknowledgement should free its own block";
    EXPECT_FALSE(IsAllocated(second));
    // The second answer comes a full delay after the first one.
    EXPECT_GE(GetTickCount() - start, 1000u);
    ExpectLinkWarnings(1);

    // An acknowledgement that comes while the time-out warning is open frees the block; the wait
    // ends when the warning is closed.
    watcher_.Hold(true);
    std::atomic<bool> released{false};
    std::thread closer([&] {
        watcher_.WaitFor(2, 5000);
        Sleep(1500);
        released = true;
        watcher_.Release();
    });
    form_->Timer3->SetInterval(300);
    Client().DdeExecute("[DeleteGroup(Dde Late Test)]");
    closer.join();
    EXPECT_TRUE(released);
    EXPECT_TRUE(Client().DdeTimedOut);
    EXPECT_EQ(Client().PendingDde, 0);
    EXPECT_FALSE(IsAllocated(Client().CommandMem));
    ExpectLinkWarnings(2);
    Client().DdeTerminate();
}

TEST_F(DdeConversation, AcknowledgementWithNothingPendingOnlyAdoptsTheServerWindow) {
    HWND stranger = GetDesktopWindow();
    ASSERT_EQ(Client().PendingDde, 0);
    SendMessageA(form_->Handle(), WM_DDE_ACK, reinterpret_cast<WPARAM>(stranger), 0x00010002);
    EXPECT_EQ(Client().ProgmanWnd, stranger);
    SendMessageA(form_->Handle(), WM_DDE_ACK, reinterpret_cast<WPARAM>(form_->Handle()), 0);
    EXPECT_EQ(Client().ProgmanWnd, stranger);
    EXPECT_EQ(Client().PendingDde, 0);
}

TEST_F(DdeConversation, WithoutAnyServerOneWarningAndNoCommands) {
    HiddenSystemProgman hidden;
    ASSERT_TRUE(hidden.NoneFindable());

    Client().CreateFolderBtnClick(kGroup, installDir_);
    ExpectLinkWarnings(1);
    EXPECT_EQ(Client().ProgmanWnd, nullptr);
    EXPECT_EQ(Client().CommandMem, nullptr) << "no block for nobody";
    EXPECT_EQ(Client().AppAtom, 0);
    EXPECT_EQ(AtomReferences("PROGMAN"), atomRefs_);
    MSG msg;
    EXPECT_FALSE(
        PeekMessageA(&msg, reinterpret_cast<HWND>(-1), WM_DDE_FIRST, WM_DDE_LAST, PM_REMOVE))
        << "a DDE message was posted to no window";
    EXPECT_EQ(FindWindowA("Progman", nullptr), nullptr);
}

// Ends the process of the given id at the end of the scope: the server the client started.
class EndedOnExit {
  public:
    explicit EndedOnExit(DWORD pid) : pid_(pid) {}
    ~EndedOnExit() {
        HANDLE process = pid_ ? OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid_) : nullptr;
        if (!process)
            return;
        TerminateProcess(process, 0);
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
    }
    EndedOnExit(const EndedOnExit&) = delete;
    EndedOnExit& operator=(const EndedOnExit&) = delete;

  private:
    DWORD pid_;
};

TEST_F(DdeConversation, StartsProgramManagerAndTalksToItsWindow) {
    std::string standIn = StandInPath();
    std::string folder = standIn.substr(0, standIn.find_last_of('\\'));
    char oldDir[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, oldDir);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    Client().DdeInitiate();
    SetCurrentDirectoryA(oldDir);
    // None ran before the test: whatever window of the class is there now, we started.
    DWORD pid = 0;
    GetWindowThreadProcessId(FindWindowA("Progman", nullptr), &pid);
    EndedOnExit started(pid == GetCurrentProcessId() ? 0 : pid);

    HWND server = Client().ProgmanWnd;
    ASSERT_NE(server, nullptr);
    EXPECT_NE(server, form_->Handle()) << "the initiate must not go to ourselves";
    char cls[32] = "";
    GetClassNameA(server, cls, sizeof cls);
    EXPECT_STREQ(cls, "Progman");
    DWORD serverPid = 0;
    GetWindowThreadProcessId(server, &serverPid);
    EXPECT_EQ(serverPid, pid);
    EXPECT_NE(serverPid, GetCurrentProcessId());
    EXPECT_EQ(Client().PendingDde, 0) << "the started server acknowledged the initiate";

    form_->Timer3->SetInterval(5000);
    Client().DdeExecute("[CreateGroup(Halcyra Applications)]");
    EXPECT_FALSE(Client().DdeTimedOut);
    EXPECT_EQ(Client().PendingDde, 0);
    Client().DdeTerminate();
    ExpectLinkWarnings(0);
}

} // namespace
