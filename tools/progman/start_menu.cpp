#include "tools/progman/start_menu.h"

#include <windows.h>

#include <objidl.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstdlib>

namespace progman_server {

namespace {

// A group or item name becomes one file name: nothing that could reach outside the folder.
bool IsPlainName(const std::string& name) {
    if (name.empty() || name == "." || name == ".." || name.size() >= MAX_PATH)
        return false;
    for (unsigned char c : name)
        if (c < 32 || std::string("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string::npos)
            return false;
    return true;
}

template <class T> class ComPtr {
  public:
    ComPtr() = default;
    ~ComPtr() {
        if (p_)
            p_->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T** Out() { return &p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

  private:
    T* p_ = nullptr;
};

// Splits a command line into the program and its arguments: a quoted program runs to its
// closing quote; otherwise the longest leading part that names an existing file, or the first
// word.
void SplitCommandLine(const std::string& line, std::string& program, std::string& args) {
    std::string text = line;
    while (!text.empty() && text.front() == ' ')
        text.erase(0, 1);
    if (!text.empty() && text.front() == '"') {
        std::size_t close = text.find('"', 1);
        program = text.substr(1, close == std::string::npos ? std::string::npos : close - 1);
        args = close == std::string::npos ? "" : text.substr(close + 1);
    } else {
        auto exists = [](const std::string& path) {
            return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
        };
        std::size_t end = text.size();
        while (end != std::string::npos && end > 0 && !exists(text.substr(0, end)))
            end = text.rfind(' ', end - 1);
        if (end == std::string::npos || end == 0)
            end = text.find(' ');
        program = text.substr(0, end);
        args = end == std::string::npos ? "" : text.substr(end);
    }
    while (!args.empty() && args.front() == ' ')
        args.erase(0, 1);
}

bool RemoveFolder(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveFolder(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    return RemoveDirectoryA(folder.c_str()) != FALSE;
}

} // namespace

bool StartMenu::GroupFolder(const std::string& name, std::string& folder) const {
    char programs[MAX_PATH] = "";
    if (!IsPlainName(name) || FAILED(SHGetFolderPathA(nullptr, CSIDL_PROGRAMS | CSIDL_FLAG_CREATE,
                                                      nullptr, SHGFP_TYPE_CURRENT, programs)))
        return false;
    folder = std::string(programs) + "\\" + name;
    return true;
}

bool StartMenu::CreateGroup(const std::string& name) {
    std::string folder;
    if (!GroupFolder(name, folder))
        return false;
    if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    current_ = folder;
    return true;
}

bool StartMenu::ShowGroup(const std::string& name) {
    std::string folder;
    if (!GroupFolder(name, folder))
        return false;
    DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    current_ = folder;
    return true;
}

bool StartMenu::DeleteGroup(const std::string& name) {
    std::string folder;
    if (!GroupFolder(name, folder) || !RemoveFolder(folder))
        return false;
    if (lstrcmpiA(folder.c_str(), current_.c_str()) == 0)
        current_.clear();
    return true;
}

bool StartMenu::ReplaceItem(const std::string& name) {
    if (current_.empty() || !IsPlainName(name))
        return false;
    std::string link = current_ + "\\" + name + ".lnk";
    return DeleteFileA(link.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

bool StartMenu::AddItem(const std::string& commandLine, std::string name,
                        const std::string& iconPath, const std::string& iconIndex) {
    if (current_.empty() || commandLine.empty())
        return false;
    std::string program, args;
    SplitCommandLine(commandLine, program, args);
    if (name.empty()) { // Program Manager names an unnamed item after its program
        std::string title = program.substr(program.find_last_of("\\/:") + 1);
        name = title.substr(0, title.rfind('.'));
    }
    if (!IsPlainName(name))
        return false;

    ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(link.Out()))))
        return false;
    if (FAILED(link->SetPath(program.c_str())) || FAILED(link->SetArguments(args.c_str())))
        return false;
    std::string folder = program.substr(0, program.find_last_of("\\/") + 1);
    link->SetWorkingDirectory(folder.c_str());
    if (!iconPath.empty())
        link->SetIconLocation(iconPath.c_str(), std::atoi(iconIndex.c_str()));

    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Out()))))
        return false;
    std::string path = current_ + "\\" + name + ".lnk";
    wchar_t widePath[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH))
        return false;
    return SUCCEEDED(file->Save(widePath, TRUE));
}

} // namespace progman_server
