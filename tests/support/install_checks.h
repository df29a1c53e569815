// What the Windows tests look at after an installation, and how they clear it away: the two file
// sets, the folders, the registry values, the handles a process holds.
#pragma once

#include <windows.h>

#include <shlobj.h>

#include <string>
#include <vector>

namespace testing_support {

inline const std::vector<std::string> kProgramFiles = {"VR2000.EXE", "VPREVIEW.EXE", "SKY32V3C.DLL",
                                                       "VR2000.HLP", "VR2000.CNT",   "UNINST.EXE"};
inline const std::vector<std::string> kTemplates = {
    "H002.VT2", "H003.VT2", "H005.VT2", "H014.VT2", "H015.VT2",  "H020.VT2", "H023.VT2", "H029.VT2",
    "H033.VT2", "H038.VT2", "H039.VT2", "V001.VT2", "V009.VT2",  "V011.VT2", "V012.VT2", "V013.VT2",
    "V014.VT2", "V016.VT2", "V018.VT2", "X003.VT2", "X0050.VT2", "X007.VT2"};

// Both sets, in the order the run copies them.
inline std::vector<std::string> AllFiles() {
    std::vector<std::string> names = kProgramFiles;
    names.insert(names.end(), kTemplates.begin(), kTemplates.end());
    return names;
}

// The system folder, without a trailing backslash.
inline std::string SystemFolder() {
    char buf[MAX_PATH] = "";
    GetSystemDirectoryA(buf, sizeof buf);
    return buf;
}

// The Start Menu folder that the program group becomes.
inline std::string GroupFolder() {
    char buf[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, buf);
    return std::string(buf) + "\\Halcyra Applications";
}

// A text value of a key (the default value for name ""), or "<none>".
inline std::string RegValue(HKEY root, const std::string& key, const std::string& name = "") {
    char buf[1024] = "";
    DWORD size = sizeof buf, type = 0;
    HKEY k;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return "<none>";
    LONG r = RegQueryValueExA(k, name.empty() ? nullptr : name.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(k);
    return r == ERROR_SUCCESS && type == REG_SZ ? std::string(buf) : "<none>";
}

// Deletes the files of a folder, then the folder.
inline void DeleteFolder(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string n = fd.cFileName;
            if (n != "." && n != "..") {
                SetFileAttributesA((dir + "\\" + n).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA((dir + "\\" + n).c_str());
            }
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}

// Clears away everything an installation into dest leaves: the files, the system folder's
// library, the registry entries and the program group.
inline void ClearInstallation(const std::string& dest) {
    for (const char* k : {".vr2", ".vt2", "VR97", "VR97Template"})
        RegDeleteTreeA(HKEY_CLASSES_ROOT, k);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Halcyra");
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Halcyra");
    DeleteFolder(dest);
    DeleteFolder(GroupFolder());
    DeleteFileA((SystemFolder() + "\\SKY32V3C.DLL").c_str());
}

// Handles the process holds, from the system's handle table (Wine answers
// GetProcessHandleCount with 0); -1 when the table cannot be read.
inline long HandleCount(DWORD pid) {
    struct Entry {
        ULONG pid;
        BYTE type;
        BYTE flags;
        USHORT value;
        PVOID object;
        ULONG access;
    };
    using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    std::vector<char> table(1 << 22);
    ULONG got = 0;
    const ULONG kSystemHandleInformation = 16;
    if (!query ||
        query(kSystemHandleInformation, table.data(), static_cast<ULONG>(table.size()), &got) != 0)
        return -1;
    const ULONG entries = *reinterpret_cast<const ULONG*>(table.data());
    const auto* entry = reinterpret_cast<const Entry*>(table.data() + sizeof(ULONG_PTR));
    long count = 0;
    for (ULONG i = 0; i < entries; ++i)
        if (entry[i].pid == pid)
            ++count;
    return count;
}

// Moves the prefix's own PROGMAN.EXE aside for the scope, so that no program of that name can
// be started.
class HiddenSystemProgman {
  public:
    HiddenSystemProgman() : path_(SystemFolder() + "\\progman.exe"), aside_(path_ + ".hidden") {
        hidden_ = MoveFileExA(path_.c_str(), aside_.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    }
    ~HiddenSystemProgman() {
        if (hidden_)
            MoveFileExA(aside_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    HiddenSystemProgman(const HiddenSystemProgman&) = delete;
    HiddenSystemProgman& operator=(const HiddenSystemProgman&) = delete;
    bool NoneFindable() const {
        char found[MAX_PATH];
        return SearchPathA(nullptr, "PROGMAN.EXE", nullptr, MAX_PATH, found, nullptr) == 0;
    }

  private:
    std::string path_, aside_;
    bool hidden_ = false;
};

} // namespace testing_support
