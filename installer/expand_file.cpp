// Copying one installation file, expanded on the way when it is LZ-compressed.
#include "installer/install_form.h"

#include "installer/install_rules.h"
#include "vcl/application.h"

#include <lzexpand.h>

#include <cstring>

using namespace vcl;

namespace {

// The LZ functions take paths in buffers of this size.
constexpr size_t kPathBuffer = 456;

// An LZ file handle, closed exactly once when it goes.
class LzHandle {
  public:
    explicit LzHandle(INT h) : h_(h) {}
    ~LzHandle() { Close(); }
    LzHandle(const LzHandle&) = delete;
    LzHandle& operator=(const LzHandle&) = delete;
    bool Valid() const { return h_ >= 0; }
    INT Get() const { return h_; }
    void Close() {
        if (h_ >= 0)
            LZClose(h_);
        h_ = -1;
    }

  private:
    INT h_;
};

// A file handle of the target, closed exactly once when it goes.
class FileHandle {
  public:
    explicit FileHandle(HANDLE h) : h_(h) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HFILE AsHfile() const { return static_cast<HFILE>(reinterpret_cast<INT_PTR>(h_)); }
    void Close() {
        if (h_ != INVALID_HANDLE_VALUE)
            CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
    }

  private:
    HANDLE h_;
};

// The number of bytes a copy of the file must write: the length in the header of a compressed
// file, or the size of a plain one; -1 when the file cannot be read.
long long ExpectedLength(const char* path) {
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return -1;
    unsigned char head[14] = {};
    DWORD got = 0;
    LARGE_INTEGER size = {};
    BOOL ok = ReadFile(f, head, sizeof head, &got, nullptr) && GetFileSizeEx(f, &size);
    CloseHandle(f);
    if (!ok)
        return -1;
    static const unsigned char kMagic[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
    const bool marked = got >= sizeof kMagic && std::memcmp(head, kMagic, sizeof kMagic) == 0;
    // A compressed file cut short inside its header is no longer recognised as compressed and
    // would be copied as it stands: it is damaged, not plain.
    if (marked && got < sizeof head)
        return -1;
    if (marked)
        return static_cast<long long>(head[10]) | static_cast<long long>(head[11]) << 8 |
               static_cast<long long>(head[12]) << 16 | static_cast<long long>(head[13]) << 24;
    return size.QuadPart;
}

} // namespace

void TInstallForm::ExpandFile(const std::string& folder, const std::string& name) {
    const std::string source = SourceDir + name;
    const char* const kOpenFailed = "Unable to open file. Ensure that the installation files are "
                                    "in the same directory as install.exe and run Install again.";
    // A path that does not fit the LZ functions' buffer is refused, never cut short.
    if (source.size() >= kPathBuffer) {
        ShowError(kOpenFailed);
        return;
    }
    char sourceBuf[kPathBuffer];
    std::strcpy(sourceBuf, source.c_str());
    char expanded[kPathBuffer] = "";
    if (GetExpandedNameA(sourceBuf, expanded) < 0) {
        ShowError("File is missing. Unable to expand the file " + source);
        return;
    }

    const std::string targetName = installer::TargetFileName(expanded);
    const std::string targetFolder = installer::WithBackslash(folder);
    const std::string target = targetFolder + targetName;
    Edit9->SetText("Installing " + targetName + " to " + targetFolder);
    ++FilesDone;
    CopyProgress->SetPosition(installer::ProgressPosition(FilesDone, TotalFileCount()));
    // The one moment of the copy when the window reacts, Cancel included.
    Application->ProcessMessages();

    OFSTRUCT sourceInfo = {};
    LzHandle in(LZOpenFileA(sourceBuf, &sourceInfo, OF_READ));
    if (!in.Valid()) {
        ShowError(kOpenFailed);
        return;
    }
    // The target is created with CreateFileA under its own name only. LZOpenFileA (and the
    // OpenFile under it) holds no more than 127 characters of path, and when it cannot create a
    // file it quietly creates one under the compressed form of the name ("NAME.EX_") instead,
    // which would pass a failed copy off as a success and leave a stray file behind. LZCopy
    // writes to the plain file handle.
    FileHandle out(target.size() < kPathBuffer
                       ? CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr)
                       : INVALID_HANDLE_VALUE);
    if (!out.Valid()) {
        in.Close();
        ShowError("Unable to create / copy uncompressed file.");
        return;
    }
    const LONG written = LZCopy(in.Get(), out.AsHfile());
    in.Close();
    out.Close();
    // A copy cut short (a full disk, a damaged or truncated compressed file) would otherwise
    // leave a broken program behind while the run reports success.
    if (written < 0 || written != ExpectedLength(sourceBuf))
        ShowError("Unable to copy the file " + source + " to " + target + ".");
}

int TInstallForm::TotalFileCount() const {
    return installer::TotalFileCount(ProgramFiles->Checked(), TemplateFiles->Checked());
}
