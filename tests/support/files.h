// File and path helpers shared by the Windows tests.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <string>

namespace testing_support {

// A host path as the Windows side sees it (Wine maps the host's root to drive Z).
inline std::string HostPath(const std::string& unixPath) {
    std::string p = "Z:" + unixPath;
    for (char& c : p)
        if (c == '/')
            c = '\\';
    return p;
}

// The host path in an environment variable (set by CTest), as a Windows path; "" when unset.
inline std::string HostPathFromEnv(const char* variable) {
    const char* v = std::getenv(variable);
    return v ? HostPath(v) : std::string();
}

// The whole file, or "<missing>" when it cannot be opened.
inline std::string ReadFileBytes(const std::string& path) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string data;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got)
        data.append(buf, got);
    CloseHandle(f);
    return data;
}

inline void WriteFileBytes(const std::string& path, const std::string& data) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD put = 0;
    WriteFile(f, data.data(), static_cast<DWORD>(data.size()), &put, nullptr);
    CloseHandle(f);
}

inline bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace testing_support
