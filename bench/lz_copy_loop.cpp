// The platform's own expansion cost: every file of SOURCE expanded into TARGET with
// LZOpenFileA/LZCopy, one after another, as the installer copies them but with no window.
// Prints the time spent copying, in milliseconds, as "copy_ms=<value>".
//
//   lz_copy_loop SOURCE TARGET
#include <windows.h>
#include <lzexpand.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// An LZ handle, closed once.
class LzFile {
  public:
    LzFile(const std::string& path, WORD mode) {
        OFSTRUCT of = {};
        std::vector<char> name(path.begin(), path.end());
        name.push_back('\0');
        handle_ = LZOpenFileA(name.data(), &of, mode);
    }
    ~LzFile() {
        if (handle_ >= 0)
            LZClose(handle_);
    }
    LzFile(const LzFile&) = delete;
    LzFile& operator=(const LzFile&) = delete;
    bool Open() const { return handle_ >= 0; }
    INT Get() const { return handle_; }

  private:
    INT handle_ = -1;
};

std::vector<std::string> FilesIn(const std::string& dir) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return names;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: lz_copy_loop SOURCE TARGET\n");
        return 2;
    }
    const std::string source = argv[1], target = argv[2];
    LARGE_INTEGER freq, start, end;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&start);
    std::vector<std::string> names = FilesIn(source);
    CreateDirectoryA(target.c_str(), nullptr);
    for (const std::string& name : names) {
        LzFile in(source + "\\" + name, OF_READ);
        if (!in.Open()) {
            std::fprintf(stderr, "cannot open %s\n", name.c_str());
            return 1;
        }
        LzFile out(target + "\\" + name, OF_CREATE);
        if (!out.Open() || LZCopy(in.Get(), out.Get()) < 0) {
            std::fprintf(stderr, "cannot write %s\n", name.c_str());
            return 1;
        }
    }
    QueryPerformanceCounter(&end);
    std::printf("files=%u\ncopy_ms=%.1f\n", static_cast<unsigned>(names.size()),
                1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                    static_cast<double>(freq.QuadPart));
    return names.empty() ? 1 : 0;
}
