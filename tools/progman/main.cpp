// PROGMAN.EXE: a Program Manager for the installer to talk to where the system has none. A
// top-level window of class "Progman" answers DDE conversations for application and topic
// "PROGMAN", carries out the group commands on the Start Menu, and acknowledges each one.
//
// Options (for tests):
//   /log=PATH   write one line per DDE message received, byte for byte:
//               "INITIATE app=<application> topic=<topic>", "EXECUTE <command text>", "TERMINATE"
//   /noack      never acknowledge a command (conversations are still opened)
//   /delay=MS   wait MS milliseconds before each command's acknowledgement
//   /nak        acknowledge every command negatively
//
// Commands: [CreateGroup(name)], [ShowGroup(name,n)], [DeleteGroup(name)],
// [ReplaceItem(name)], [AddItem(command line[,name[,icon path[,icon index]]])]. A command text
// that does not parse, or a command that fails, is acknowledged negatively.
#include "tools/progman/command_parser.h"
#include "tools/progman/start_menu.h"

#include <windows.h>

#include <dde.h>
#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

using progman_server::Command;

constexpr const char* kClassName = "Progman";
constexpr const char* kService = "PROGMAN";

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

struct Options {
    std::string logPath;
    bool noAck = false;
    bool nak = false;
    DWORD delayMs = 0;
};

Options g_options;
std::unique_ptr<FILE, FileCloser> g_log;
progman_server::StartMenu g_startMenu;

void Log(const std::string& line) {
    if (!g_log)
        return;
    std::fwrite(line.data(), 1, line.size(), g_log.get());
    std::fputc('\n', g_log.get());
    std::fflush(g_log.get()); // tests read the log while we run
}

// Splits the command line at blanks outside double quotes; quotes are dropped.
void ParseOptions(const char* commandLine) {
    std::string arg;
    bool quoted = false;
    auto flush = [&] {
        if (arg.rfind("/log=", 0) == 0)
            g_options.logPath = arg.substr(5);
        else if (arg == "/noack")
            g_options.noAck = true;
        else if (arg == "/nak")
            g_options.nak = true;
        else if (arg.rfind("/delay=", 0) == 0)
            g_options.delayMs = static_cast<DWORD>(std::strtoul(arg.c_str() + 7, nullptr, 10));
        arg.clear();
    };
    for (const char* p = commandLine; *p; ++p) {
        if (*p == '"')
            quoted = !quoted;
        else if (*p == ' ' && !quoted)
            flush();
        else
            arg += *p;
    }
    flush();
}

std::string AtomName(ATOM atom) {
    char name[256] = "";
    if (atom)
        GlobalGetAtomNameA(atom, name, sizeof name);
    return name;
}

// A null atom asks for any application or topic.
bool Matches(ATOM atom) {
    return atom == 0 || lstrcmpiA(AtomName(atom).c_str(), kService) == 0;
}

bool Param(const Command& c, std::size_t i, std::string& out) {
    out = i < c.params.size() ? c.params[i] : std::string();
    return true;
}

bool Run(const Command& c) {
    std::string a, b, icon, index;
    Param(c, 0, a);
    const char* name = c.name.c_str();
    if (lstrcmpiA(name, "CreateGroup") == 0)
        return c.params.size() >= 1 && c.params.size() <= 2 && g_startMenu.CreateGroup(a);
    if (lstrcmpiA(name, "ShowGroup") == 0)
        return c.params.size() == 2 && g_startMenu.ShowGroup(a);
    if (lstrcmpiA(name, "DeleteGroup") == 0)
        return c.params.size() == 1 && g_startMenu.DeleteGroup(a);
    if (lstrcmpiA(name, "ReplaceItem") == 0)
        return c.params.size() == 1 && g_startMenu.ReplaceItem(a);
    if (lstrcmpiA(name, "AddItem") == 0) {
        Param(c, 1, b);
        Param(c, 2, icon);
        Param(c, 3, index);
        return !c.params.empty() && g_startMenu.AddItem(a, b, icon, index);
    }
    return false;
}

bool Execute(const std::string& text) {
    std::vector<Command> commands;
    if (!progman_server::ParseCommands(text, commands))
        return false;
    for (const Command& c : commands)
        if (!Run(c))
            return false;
    return true;
}

void OnInitiate(HWND self, HWND client, LPARAM lp) {
    const ATOM app = LOWORD(lp), topic = HIWORD(lp);
    Log("INITIATE app=" + AtomName(app) + " topic=" + AtomName(topic));
    if (!Matches(app) || !Matches(topic))
        return;
    // The answer carries atoms of our own; the client deletes them.
    ATOM ackApp = GlobalAddAtomA(kService), ackTopic = GlobalAddAtomA(kService);
    if (!SendMessageTimeoutA(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(self),
                             MAKELPARAM(ackApp, ackTopic), SMTO_NORMAL, 10000, nullptr)) {
        GlobalDeleteAtom(ackApp);
        GlobalDeleteAtom(ackTopic);
    }
}

void OnExecute(HWND self, HWND client, LPARAM lp) {
    HGLOBAL mem = reinterpret_cast<HGLOBAL>(lp);
    std::string text;
    if (const char* p = static_cast<const char*>(GlobalLock(mem))) {
        text.assign(p, strnlen(p, GlobalSize(mem)));
        GlobalUnlock(mem);
    }
    Log("EXECUTE " + text);
    const bool ok = Execute(text);
    if (g_options.noAck)
        return;
    if (g_options.delayMs)
        Sleep(g_options.delayMs);
    // The block stays the client's: it comes back in the acknowledgement.
    const UINT_PTR status = ok && !g_options.nak ? DDE_FACK : 0;
    LPARAM ack = PackDDElParam(WM_DDE_ACK, status, reinterpret_cast<UINT_PTR>(mem));
    if (!PostMessageA(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(self), ack))
        FreeDDElParam(WM_DDE_ACK, ack);
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_DDE_INITIATE:
        OnInitiate(hwnd, reinterpret_cast<HWND>(wp), lp);
        return 0;
    case WM_DDE_EXECUTE:
        OnExecute(hwnd, reinterpret_cast<HWND>(wp), lp);
        return 0;
    case WM_DDE_TERMINATE:
        Log("TERMINATE");
        PostMessageA(reinterpret_cast<HWND>(wp), WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(hwnd),
                     0);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

struct ComScope {
    ComScope() { CoInitialize(nullptr); }
    ~ComScope() { CoUninitialize(); }
};

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
    ParseOptions(commandLine);
    if (!g_options.logPath.empty()) {
        g_log.reset(std::fopen(g_options.logPath.c_str(), "wb"));
        if (!g_log)
            return 1;
    }
    ComScope com;

    WNDCLASSA wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    wc.lpszClassName = kClassName;
    if (!RegisterClassA(&wc))
        return 1;
    HWND hwnd =
        CreateWindowExA(0, kClassName, "Program Manager", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, 400, 300, nullptr, nullptr, instance, nullptr);
    if (!hwnd)
        return 1;
    ShowWindow(hwnd, show);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
