// Reads a built medium the way the installer does, through the Win32 LZ functions, and starts
// the padded demo program of the payload.
// usage: medium_wine_check PAYLOAD_DIR MEDIUM_DIR PLAIN_NAMES   (PLAIN_NAMES comma-separated)
#include <windows.h>
#include <lzexpand.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char* const kAllFiles[] = {
    "VR2000.EXE", "VPREVIEW.EXE", "SKY32V3C.DLL", "VR2000.HLP", "VR2000.CNT", "UNINST.EXE",
    "H002.VT2",   "H003.VT2",     "H005.VT2",     "H014.VT2",   "H015.VT2",   "H020.VT2",
    "H023.VT2",   "H029.VT2",     "H033.VT2",     "H038.VT2",   "H039.VT2",   "V001.VT2",
    "V009.VT2",   "V011.VT2",     "V012.VT2",     "V013.VT2",   "V014.VT2",   "V016.VT2",
    "V018.VT2",   "X003.VT2",     "X0050.VT2",    "X007.VT2"};

std::string g_payload; // both end in a backslash
std::string g_medium;
std::set<std::string> g_plain;

// CTest hands over host paths; Wine's Z: drive is the host root.
std::string WindowsFolder(std::string path) {
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    if (path.empty() || path.back() != '\\')
        path += '\\';
    return path;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ExpandedName(const std::string& path) {
    std::vector<char> out(path.size() + 2, '\0');
    if (GetExpandedNameA(const_cast<char*>(path.c_str()), out.data()) < 0)
        return "<failed>";
    return out.data();
}

class LzFile {
  public:
    LzFile(const std::string& path, WORD mode) {
        OFSTRUCT info = {};
        handle_ = LZOpenFileA(const_cast<char*>(path.c_str()), &info, mode);
    }
    ~LzFile() {
        if (handle_ >= 0)
            LZClose(handle_);
    }
    LzFile(const LzFile&) = delete;
    LzFile& operator=(const LzFile&) = delete;
    INT get() const { return handle_; }

  private:
    INT handle_;
};

class Handle {
  public:
    explicit Handle(HANDLE handle = nullptr) : handle_(handle) {}
    ~Handle() {
        if (handle_)
            CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_;
};

// A scratch folder that is removed with what was written into it.
class ScratchFolder {
  public:
    ScratchFolder() {
        char base[MAX_PATH + 1] = {};
        GetTempPathA(sizeof base, base);
        path_ = std::string(base) + "medium_check_" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~ScratchFolder() {
        for (const std::string& file : files_)
            DeleteFileA(file.c_str());
        RemoveDirectoryA(path_.c_str());
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string File(const std::string& name) {
        files_.push_back(path_ + name);
        return files_.back();
    }

  private:
    std::string path_;
    std::vector<std::string> files_;
};

TEST(MediumUnderLz, EveryFileExpandsToThePayloadUnderItsPlainName) {
    ScratchFolder scratch;
    for (const char* name : kAllFiles) {
        SCOPED_TRACE(name);
        const std::string source = g_medium + name;
        EXPECT_EQ(ExpandedName(source), source);

        const std::string target = scratch.File(name);
        const std::string original = ReadFile(g_payload + name);
        {
            LzFile in(source, OF_READ);
            LzFile out(target, OF_CREATE);
            ASSERT_GE(in.get(), 0);
            ASSERT_GE(out.get(), 0);
            EXPECT_EQ(LZCopy(in.get(), out.get()), static_cast<LONG>(original.size()));
        }
        EXPECT_TRUE(ReadFile(target) == original) << "expanded bytes differ from the payload";
        EXPECT_EQ(ReadFile(source) == original, g_plain.count(name) == 1)
            << "stored plain or compressed against the choice";
    }
}

TEST(MediumUnderLz, CopyNamedWithUnderscoreExpandsToTheFullName) {
    // The header's saved character restores the extension of a NAME_ copy of a medium file.
    struct Case {
        const char* stored;
        const char* underscored;
        const char* expanded;
    };
    const Case cases[] = {{"VR2000.EXE", "VR2000.EX_", "VR2000.EXE"},
                          {"X0050.VT2", "X0050.VT_", "X0050.VT2"},
                          {"SKY32V3C.DLL", "sky32v3c.dl_", "sky32v3c.dll"}};
    ScratchFolder scratch;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.underscored);
        ASSERT_EQ(g_plain.count(c.stored), 0u) << "needs a compressed file";
        const std::string copy = scratch.File(c.underscored);
        ASSERT_TRUE(CopyFileA((g_medium + c.stored).c_str(), copy.c_str(), FALSE));
        const std::string expanded = ExpandedName(copy);
        EXPECT_EQ(expanded.substr(expanded.rfind('\\') + 1), c.expanded);
    }
}

struct WindowSearch {
    DWORD process_id;
    HWND found;
};

BOOL CALLBACK FindOwnWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    char title[64] = {};
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->process_id && GetWindowTextA(window, title, sizeof title) > 0 &&
        std::string(title) == "Vorelle 2000") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

TEST(DemoProgram, PaddedProgramShowsItsWindowAndEndsOnClose) {
    std::string command = "\"" + g_payload + "VR2000.EXE\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &started))
        << "error " << GetLastError();
    Handle process(started.hProcess);
    Handle thread(started.hThread);

    WindowSearch search = {started.dwProcessId, nullptr};
    for (int tries = 0; tries < 200 && !search.found; ++tries) {
        if (WaitForSingleObject(process.get(), 100) == WAIT_OBJECT_0)
            break;
        EnumWindows(FindOwnWindow, reinterpret_cast<LPARAM>(&search));
    }
    if (!search.found) {
        TerminateProcess(process.get(), 99);
        FAIL() << "no window titled \"Vorelle 2000\" appeared";
    }
    EXPECT_NE(FindWindowA(nullptr, "Vorelle 2000"), nullptr);
    EXPECT_TRUE(IsWindowVisible(search.found));

    PostMessageA(search.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.get(), 10000) != WAIT_OBJECT_0) {
        TerminateProcess(process.get(), 99);
        FAIL() << "the program did not end after WM_CLOSE";
    }
    DWORD exit_code = 99;
    GetExitCodeProcess(process.get(), &exit_code);
    EXPECT_EQ(exit_code, 0u);
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc != 4) {
        fprintf(stderr, "usage: medium_wine_check PAYLOAD_DIR MEDIUM_DIR PLAIN_NAMES\n");
        return 2;
    }
    g_payload = WindowsFolder(argv[1]);
    g_medium = WindowsFolder(argv[2]);
    std::istringstream names(argv[3]);
    for (std::string name; std::getline(names, name, ',');)
        g_plain.insert(name);
    return RUN_ALL_TESTS();
}
