#include "progman/dde_client.h"

#include "progman/commands.h"
#include "vcl/application.h"
#include "vcl/dialogs.h"

#include <dde.h>

#include <algorithm>
#include <cstring>

namespace progman {

namespace {

constexpr const char* kServerClass = "Progman";
constexpr const char* kServerName = "PROGMAN";
constexpr const char* kLinkWarning = "Could not create DDE Link";

// Deletes the atoms of the initiate once the synchronous send is over, however it ends.
class InitiateAtoms {
  public:
    InitiateAtoms(ATOM& app, ATOM& topic) : app_(app), topic_(topic) {
        app_ = GlobalAddAtomA(kServerName);
        topic_ = GlobalAddAtomA(kServerName);
    }
    ~InitiateAtoms() {
        if (app_)
            GlobalDeleteAtom(app_);
        if (topic_)
            GlobalDeleteAtom(topic_);
    }
    InitiateAtoms(const InitiateAtoms&) = delete;
    InitiateAtoms& operator=(const InitiateAtoms&) = delete;

  private:
    ATOM& app_;
    ATOM& topic_;
};

} // namespace

TProgmanClient::TProgmanClient(vcl::TForm& owner, vcl::TTimer& timer3)
    : owner_(owner), timer3_(timer3), self_(std::make_shared<TProgmanClient*>(this)) {
    std::weak_ptr<TProgmanClient*> self = self_;
    owner_.HandleWindowMessage(WM_DDE_ACK, [self](vcl::TMessage& msg) {
        if (auto client = self.lock(); client && *client)
            (*client)->WMDdeAck(msg);
    });
    timer3_.SetEnabled(false);
    timer3_.SetInterval(kDdeTimeoutMs);
    timer3_.OnTimer = [this](vcl::TObject* sender) { Timer3Timer(sender); };
}

TProgmanClient::~TProgmanClient() {
    *self_ = nullptr;
    timer3_.SetEnabled(false);
    timer3_.OnTimer = nullptr;
}

void TProgmanClient::ShowLinkWarning() {
    vcl::MessageDlg(kLinkWarning, vcl::TMsgDlgType::mtWarning, vcl::TMsgDlgButtons::mbOK);
}

HWND TProgmanClient::WaitForServerWindow() {
    // The window that is active right after the start is our own; the server's window shows
    // up by its class once the program has got going.
    const DWORD start = GetTickCount();
    for (;;) {
        if (HWND found = FindWindowA(kServerClass, nullptr))
            return found;
        if (GetTickCount() - start >= kServerStartMs)
            return nullptr;
        vcl::Application->ProcessMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
}

void TProgmanClient::DdeInitiate() {
    ProgmanWnd = FindWindowA(kServerClass, nullptr);
    if (!ProgmanWnd && WinExec("PROGMAN.EXE", SW_SHOWNORMAL) > 31)
        ProgmanWnd = WaitForServerWindow();
    if (!ProgmanWnd) {
        ShowLinkWarning();
        return;
    }
    InitiateAtoms atoms(AppAtom, TopicAtom);
    // Set before the send: the acknowledgement is handled while the send is in progress.
    PendingDde = WM_DDE_INITIATE;
    SendMessageA(ProgmanWnd, WM_DDE_INITIATE, reinterpret_cast<WPARAM>(owner_.Handle()),
                 MAKELPARAM(AppAtom, TopicAtom));
}

void TProgmanClient::DdeExecute(const char* command) {
    if (!ProgmanWnd)
        return;
    DdeTimedOut = false;
    timer3_.SetEnabled(true);

    const std::size_t length = std::strlen(command);
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, length + 10);
    char* text = mem ? static_cast<char*>(GlobalLock(mem)) : nullptr;
    if (!text) {
        if (mem)
            GlobalFree(mem);
        timer3_.SetEnabled(false);
        ShowLinkWarning();
        return;
    }
    std::memcpy(text, command, length + 1);
    GlobalUnlock(mem);

    CommandMem = mem;
    PendingDde = WM_DDE_EXECUTE;
    if (!PostMessageA(ProgmanWnd, WM_DDE_EXECUTE, reinterpret_cast<WPARAM>(owner_.Handle()),
                      reinterpret_cast<LPARAM>(mem))) {
        // Never delivered, so still ours; the server window has gone away.
        GlobalFree(mem);
        CommandMem = nullptr;
        timer3_.SetEnabled(false);
        ShowLinkWarning();
        return;
    }
    inFlight_.push_back(mem);

    // Only the owner's messages come through here, and Timer3's expiry is one of them.
    MSG msg;
    while (PendingDde != 0) {
        if (GetMessageA(&msg, owner_.Handle(), 0, 0) == -1)
            break; // the window is gone: nothing can arrive any more
        // WM_QUIT marks the application as ending; the command still gets its answer or
        // its time-out.
        vcl::Application->Dispatch(msg);
        if (DdeTimedOut)
            break;
    }
    timer3_.SetEnabled(false);
}

void TProgmanClient::DdeTerminate() {
    if (ProgmanWnd)
        PostMessageA(ProgmanWnd, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(owner_.Handle()), 0);
}

void TProgmanClient::WMDdeAck(vcl::TMessage& msg) {
    if (!ProgmanWnd)
        ProgmanWnd = reinterpret_cast<HWND>(msg.WParam);
    switch (PendingDde) {
    case WM_DDE_INITIATE:
        GlobalDeleteAtom(LOWORD(msg.LParam));
        GlobalDeleteAtom(HIWORD(msg.LParam));
        PendingDde = 0;
        break;
    case WM_DDE_EXECUTE: {
        UINT_PTR status = 0, carried = 0;
        if (!UnpackDDElParam(WM_DDE_ACK, msg.LParam, &status, &carried))
            break;
        FreeDDElParam(WM_DDE_ACK, msg.LParam);
        // A late answer to a command that timed out frees that command's block only.
        HGLOBAL block = reinterpret_cast<HGLOBAL>(carried);
        auto it = std::find(inFlight_.begin(), inFlight_.end(), block);
        if (it == inFlight_.end())
            break;
        inFlight_.erase(it);
        GlobalFree(block);
        if (block == CommandMem)
            PendingDde = 0;
        break;
    }
    default:
        break;
    }
}

void TProgmanClient::Timer3Timer(vcl::TObject*) {
    timer3_.SetEnabled(false);
    DdeTimedOut = true;
    ShowLinkWarning();
}

bool TProgmanClient::Send(const std::string& command) {
    if (command.size() >= sizeof DdeCommand)
        return false;
    std::memcpy(DdeCommand, command.c_str(), command.size() + 1);
    DdeExecute(DdeCommand);
    return true;
}

bool TProgmanClient::CreateProgmanGroup(const std::string& groupName) {
    std::string create, show;
    if (!BuildCreateGroup(groupName, create) || !BuildShowGroup(groupName, 1, show)) {
        ShowLinkWarning();
        return false;
    }
    Send(create);
    Send(show);
    return true;
}

bool TProgmanClient::AddProgmanItem(const std::string& commandLine, const std::string& itemName,
                                    const std::string& iconFile, const std::string& iconIndex) {
    std::string replace, add;
    if (!BuildReplaceItem(itemName, replace) ||
        !BuildAddItem(commandLine, itemName, iconFile, iconIndex, add)) {
        ShowLinkWarning();
        return false;
    }
    Send(replace);
    Send(add);
    return true;
}

void TProgmanClient::CreateFolderBtnClick(const std::string& groupName,
                                          const std::string& installDir) {
    char shortDir[512] = "";
    const DWORD got = GetShortPathNameA(installDir.c_str(), shortDir, sizeof shortDir);
    if (groupName.empty())
        return;
    // Without a short form the folder goes in as it was given.
    std::string dir = got == 0 ? installDir : shortDir;
    std::vector<std::string> commands;
    if (installDir.size() >= sizeof shortDir || got >= sizeof shortDir ||
        !BuildGroupCommands(groupName, dir, commands)) {
        ShowLinkWarning();
        return;
    }
    DdeInitiate();
    if (!ProgmanWnd)
        return;
    CreateProgmanGroup(groupName);
    for (const GroupItem& item : kGroupItems)
        AddProgmanItem(dir + item.fileName, item.itemName, "", "");
    DdeTerminate();
}

} // namespace progman
