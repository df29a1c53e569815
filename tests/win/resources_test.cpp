// INSTALL.EXE as Windows sees it: the version, icon and manifest read back from the built file,
// and the program started as its own process with its manifest in force.
#include "tests/support/process_driver.h"
#include "vcl/form.h"

#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

// The built program as the Windows side names it (Wine maps the host's root to drive Z).
std::string InstallExe() {
    std::string p = std::string("Z:") + INSTALL_EXE_HOST_PATH;
    std::replace(p.begin(), p.end(), '/', '\\');
    return p;
}

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The file's resources without its code.
class ResourceFile {
  public:
    explicit ResourceFile(const std::string& path)
        : module_(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~ResourceFile() {
        if (module_)
            FreeLibrary(module_);
    }
    ResourceFile(const ResourceFile&) = delete;
    ResourceFile& operator=(const ResourceFile&) = delete;
    HMODULE Get() const { return module_; }

    // The resource's bytes, empty when there is none.
    std::string Bytes(LPCSTR name, LPCSTR type) const {
        HRSRC res = FindResourceA(module_, name, type);
        HGLOBAL data = res ? LoadResource(module_, res) : nullptr;
        const void* p = data ? LockResource(data) : nullptr;
        return p ? std::string(static_cast<const char*>(p), SizeofResource(module_, res))
                 : std::string();
    }

    // The names of a type's resources in file order: numbers, or -1 for a named one.
    std::vector<long> Ids(LPCSTR type) const {
        std::vector<long> ids;
        EnumResourceNamesA(
            module_, type,
            [](HMODULE, LPCSTR, LPSTR name, LONG_PTR param) WINAPI -> BOOL {
                reinterpret_cast<std::vector<long>*>(param)->push_back(
                    IS_INTRESOURCE(name) ? static_cast<long>(reinterpret_cast<ULONG_PTR>(name))
                                         : -1);
                return TRUE;
            },
            reinterpret_cast<LONG_PTR>(&ids));
        return ids;
    }

  private:
    HMODULE module_;
};

// Every start tag <tag ...> of the text, as written.
std::vector<std::string> Elements(const std::string& xml, const std::string& tag) {
    std::vector<std::string> found;
    for (size_t at = xml.find("<" + tag); at != std::string::npos;
         at = xml.find("<" + tag, at + 1)) {
        char next = xml[at + 1 + tag.size()];
        if (next == ' ' || next == '\n' || next == '\r' || next == '\t' || next == '/' ||
            next == '>')
            found.push_back(xml.substr(at, xml.find('>', at) - at + 1));
    }
    return found;
}

// The value of name="..." in a start tag; "<none>" when it has no such attribute.
std::string Attribute(const std::string& element, const std::string& name) {
    for (size_t at = element.find(name + "=\""); at != std::string::npos;
         at = element.find(name + "=\"", at + 1)) {
        char before = element[at - 1];
        if (before == ' ' || before == '\n' || before == '\r' || before == '\t') {
            size_t start = at + name.size() + 2;
            return element.substr(start, element.find('"', start) - start);
        }
    }
    return "<none>";
}

TEST(InstallExeResources, VersionResourceNamesTheProgram) {
    const std::string path = InstallExe();
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_GT(size, 0u) << GetLastError();
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof *fixed);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    const DWORD high = MAKELONG(VORELLE_VERSION_MINOR, VORELLE_VERSION_MAJOR);
    const DWORD low = MAKELONG(0, VORELLE_VERSION_PATCH);
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u); // no debug or pre-release mark

    // The strings are read through the translation that the resource itself declares, as the
    // file manager's property page does.
    struct Translation {
        WORD language, codePage;
    }* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, sizeof *translation);
    EXPECT_EQ(translation->language, 0x0409);
    EXPECT_EQ(translation->codePage, 1252);
    char block[64];
    std::snprintf(block, sizeof block, "\\StringFileInfo\\%04x%04x\\", translation->language,
                  translation->codePage);

    const struct {
        const char* name;
        const char* value;
    } strings[] = {
        {"CompanyName", "Halcyra"},       {"FileDescription", "Vorelle Setup"},
        {"ProductName", "Vorelle 2000"},  {"OriginalFilename", "INSTALL.EXE"},
        {"FileVersion", VORELLE_VERSION}, {"ProductVersion", VORELLE_VERSION},
    };
    for (const auto& s : strings) {
        char* value = nullptr;
        UINT chars = 0;
        ASSERT_TRUE(VerQueryValueA(info.data(), (std::string(block) + s.name).c_str(),
                                   reinterpret_cast<void**>(&value), &chars))
            << s.name;
        EXPECT_STREQ(value, s.value) << s.name;
    }
}

#pragma pack(push, 2)
struct IconGroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST(InstallExeResources, FirstIconGroupHoldsOurSmallAndLargeImages) {
    ResourceFile exe(InstallExe());
    ASSERT_TRUE(exe.Get()) << GetLastError();
    // The file manager shows the first icon group of the file; the window's class takes id 1.
    std::vector<long> groups = exe.Ids(RT_GROUP_ICON);
    ASSERT_FALSE(groups.empty());
    EXPECT_EQ(groups.front(), 1);

    std::string group = exe.Bytes(MAKEINTRESOURCEA(1), RT_GROUP_ICON);
    ASSERT_GE(group.size(), 6u);
    WORD header[3];
    std::copy_n(group.data(), sizeof header, reinterpret_cast<char*>(header));
    EXPECT_EQ(header[1], 1); // icons, not cursors
    ASSERT_EQ(group.size(), 6 + header[2] * sizeof(IconGroupEntry));
    std::set<int> sizes;
    for (WORD i = 0; i < header[2]; ++i) {
        IconGroupEntry e;
        std::copy_n(group.data() + 6 + i * sizeof e, sizeof e, reinterpret_cast<char*>(&e));
        SCOPED_TRACE(e.width);
        EXPECT_EQ(e.width, e.height);
        EXPECT_EQ(e.bitCount, 32);
        sizes.insert(e.width);
        // Each image of the group is in the file, whole.
        std::string image = exe.Bytes(MAKEINTRESOURCEA(e.id), RT_ICON);
        EXPECT_EQ(image.size(), e.bytes);
        HICON icon = CreateIconFromResourceEx(reinterpret_cast<BYTE*>(image.data()),
                                              static_cast<DWORD>(image.size()), TRUE, 0x00030000,
                                              e.width, e.height, LR_DEFAULTCOLOR);
        EXPECT_TRUE(icon);
        if (icon)
            DestroyIcon(icon);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 32}));
}

TEST(InstallExeResources, ManifestAsksForAdministratorModernWindowsAndCommonControls6) {
    ResourceFile exe(InstallExe());
    ASSERT_TRUE(exe.Get()) << GetLastError();
    // One manifest, the one the system reads when it creates the process.
    EXPECT_EQ(exe.Ids(RT_MANIFEST), std::vector<long>{1});
    const std::string xml = exe.Bytes(CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST);
    ASSERT_FALSE(xml.empty());

    std::vector<std::string> levels = Elements(xml, "requestedExecutionLevel");
    ASSERT_EQ(levels.size(), 1u) << xml;
    EXPECT_EQ(Attribute(levels[0], "level"), "requireAdministrator");
    EXPECT_EQ(Attribute(levels[0], "uiAccess"), "false");

    std::set<std::string> systems;
    for (const std::string& e : Elements(xml, "supportedOS"))
        systems.insert(Lower(Attribute(e, "Id")));
    EXPECT_EQ(systems, (std::set<std::string>{
                           "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", // Windows 7
                           "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", // Windows 8
                           "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", // Windows 8.1
                           "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", // Windows 10 and 11
                       }));

    std::vector<std::string> controls;
    for (const std::string& e : Elements(xml, "assemblyIdentity"))
        if (Attribute(e, "name") == "Microsoft.Windows.Common-Controls")
            controls.push_back(e);
    ASSERT_EQ(controls.size(), 1u) << xml;
    EXPECT_EQ(Attribute(controls[0], "version"), "6.0.0.0");
    EXPECT_EQ(Attribute(controls[0], "type"), "win32");
    EXPECT_EQ(Attribute(controls[0], "publicKeyToken"), "6595b64144ccf1df");
    EXPECT_EQ(Attribute(controls[0], "processorArchitecture"), "x86");
    EXPECT_NE(xml.find("<dependentAssembly"), std::string::npos);

    // The system builds the program's activation context from it: a manifest it cannot read
    // stops the program from starting at all.
    const std::string path = InstallExe();
    ACTCTXA request = {};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = path.c_str();
    request.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
    HANDLE context = CreateActCtxA(&request);
    EXPECT_NE(context, INVALID_HANDLE_VALUE) << GetLastError();
    if (context != INVALID_HANDLE_VALUE)
        ReleaseActCtx(context);
}

// An icon made from resource bytes by us, destroyed with this.
class OwnedIcon {
  public:
    explicit OwnedIcon(HICON icon) : icon_(icon) {}
    ~OwnedIcon() {
        if (icon_)
            DestroyIcon(icon_);
    }
    OwnedIcon(const OwnedIcon&) = delete;
    OwnedIcon& operator=(const OwnedIcon&) = delete;
    HICON Get() const { return icon_; }

  private:
    HICON icon_;
};

// The image of the file's first icon group that the system picks for this size.
HICON FileIcon(const ResourceFile& exe, int size) {
    std::string group = exe.Bytes(MAKEINTRESOURCEA(1), RT_GROUP_ICON);
    int id = group.empty() ? 0
                           : LookupIconIdFromDirectoryEx(reinterpret_cast<BYTE*>(group.data()),
                                                         TRUE, size, size, LR_DEFAULTCOLOR);
    std::string image = id ? exe.Bytes(MAKEINTRESOURCEA(id), RT_ICON) : std::string();
    return image.empty() ? nullptr
                         : CreateIconFromResourceEx(reinterpret_cast<BYTE*>(image.data()),
                                                    static_cast<DWORD>(image.size()), TRUE,
                                                    0x00030000, size, size, LR_DEFAULTCOLOR);
}

// An icon's colour image as 32-bit pixels, top row first.
struct IconImage {
    long width = 0, height = 0;
    std::vector<DWORD> pixels;
    bool operator==(const IconImage& o) const {
        return width == o.width && height == o.height && pixels == o.pixels;
    }
};

IconImage ImageOf(HICON icon) {
    IconImage image;
    ICONINFO ii = {};
    if (!icon || !GetIconInfo(icon, &ii))
        return image;
    BITMAP bm = {};
    if (ii.hbmColor && GetObjectA(ii.hbmColor, sizeof bm, &bm)) {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = bm.bmWidth;
        bi.bmiHeader.biHeight = -bm.bmHeight;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        std::vector<DWORD> pixels(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
        HDC screen = GetDC(nullptr);
        if (GetDIBits(screen, ii.hbmColor, 0, bm.bmHeight, pixels.data(), &bi, DIB_RGB_COLORS) ==
            bm.bmHeight)
            image = {bm.bmWidth, bm.bmHeight, std::move(pixels)};
        ReleaseDC(nullptr, screen);
    }
    if (ii.hbmColor)
        DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
    return image;
}

// This test program carries INSTALL.EXE's resources (see CMakeLists.txt), so a form of the
// window library made here takes the icon that the installer's window takes.
TEST(FormClassIcon, FormClassShowsTheProgramsIconImages) {
    vcl::TForm form("TIconProbe");
    form.Create();
    ResourceFile exe(InstallExe());
    ASSERT_TRUE(exe.Get()) << GetLastError();
    const struct {
        int index, size;
    } icons[] = {{GCLP_HICON, GetSystemMetrics(SM_CXICON)},
                 {GCLP_HICONSM, GetSystemMetrics(SM_CXSMICON)}};
    for (const auto& i : icons) {
        SCOPED_TRACE(i.size);
        HICON shown = reinterpret_cast<HICON>(GetClassLongPtrA(form.Handle(), i.index));
        ASSERT_TRUE(shown);
        IconImage image = ImageOf(shown);
        EXPECT_EQ(image.width, i.size);
        OwnedIcon ours(FileIcon(exe, i.size));
        ASSERT_TRUE(ours.Get());
        EXPECT_EQ(image, ImageOf(ours.Get()));
        // Not the system's stand-in: that would be another picture.
        EXPECT_FALSE(image == ImageOf(LoadIconA(nullptr, IDI_APPLICATION)));
    }
}

// The full path of a module that process pid has loaded, empty when it has none such.
std::string ModulePath(DWORD pid, const char* name) {
    std::string path;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snap == INVALID_HANDLE_VALUE)
        return path;
    MODULEENTRY32 m = {};
    m.dwSize = sizeof m;
    for (BOOL more = Module32First(snap, &m); more && path.empty(); more = Module32Next(snap, &m))
        if (lstrcmpiA(m.szModule, name) == 0)
            path = m.szExePath;
    CloseHandle(snap);
    return path;
}

std::string ClassOf(HWND h) {
    char name[64] = "";
    GetClassNameA(h, name, sizeof name);
    return name;
}

// A window anywhere below root of the class, at (left, top) within its own parent.
HWND FindAt(HWND root, const char* cls, int left, int top) {
    struct Search {
        const char* cls;
        int left, top;
        HWND found;
    } s = {cls, left, top, nullptr};
    EnumChildWindows(
        root,
        [](HWND h, LPARAM param) WINAPI -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            RECT r = testing_support::PlaceInParent(h);
            if (ClassOf(h) == s->cls && r.left == s->left && r.top == s->top) {
                s->found = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// A control's text asked of the control itself: an edit control of another process keeps its
// text where GetWindowText does not look.
std::string TextOf(HWND h) {
    char text[256] = "";
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(h, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 5000, &length))
        return "<no answer>";
    return std::string(text, std::min<size_t>(length, sizeof text - 1));
}

TEST(StartedInstallExe, WindowKeepsItsLayoutAndTakesOurIconUnderTheManifest) {
    testing_support::ChildProcess installer(InstallExe(), "");
    ASSERT_TRUE(installer.Started()) << "CreateProcess failed: " << GetLastError();
    HWND form = installer.WaitForWindow("TInstallForm", 30000);
    ASSERT_TRUE(form) << "no TInstallForm window";

    char caption[64] = "";
    GetWindowTextA(form, caption, sizeof caption);
    EXPECT_STREQ(caption, "Setup Vorelle 2000");
    RECT client;
    GetClientRect(form, &client);
    EXPECT_EQ(client.right, 444);
    EXPECT_EQ(client.bottom, 278);

    // Places the layout fixes; the parent is the row given, or the form for -1.
    const struct Row {
        const char* name;
        int parent;
        const char* cls;
        int left, top, width, height; // height < 0: follows the font, not checked
        const char* text;
    } rows[] = {
        {"Panel8", -1, "TPanel", 33, 29, 164, 196, nullptr},
        {"Edit6", 0, "Edit", 7, 51, 146, 21, nullptr},
        {"DriveComboBox1", 0, "ComboBox", 8, 87, 147, -1, nullptr},
        {"Edit7", 0, "Edit", 47, 126, 108, 23, nullptr},
        {"ProgressBar2", 0, "TGauge", 3, 177, 157, 12, nullptr},
        {"Panel2", -1, "TPanel", 0, 257, 444, 21, nullptr},
        {"Edit9", 5, "Edit", 3, 4, 275, 15, "Waiting..."},
        {"CopyProgress", 5, "msctls_progress32", 333, 1, 111, 17, nullptr},
        {"Notebook1", -1, "TWinContainer", 240, 34, 161, 179, nullptr},
        {"TemplateFiles", -1, "Button", 8, 45, 145, 16, "Template Files (806 KB)"},
        {"InstallButton", -1, "Button", 20, 112, 115, 28, "Install"},
        {"BitBtn1", -1, "Button", 20, 144, 115, 26, "Cancel"},
    };
    std::vector<HWND> found;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        HWND parent = r.parent < 0 ? form : found[r.parent];
        HWND h = parent ? FindAt(parent, r.cls, r.left, r.top) : nullptr;
        found.push_back(h);
        ASSERT_TRUE(h) << "no " << r.cls << " at " << r.left << "," << r.top;
        if (r.parent >= 0) {
            EXPECT_EQ(GetParent(h), parent);
        }
        RECT b = testing_support::PlaceInParent(h);
        EXPECT_EQ(b.right - b.left, r.width);
        if (r.height >= 0) {
            EXPECT_EQ(b.bottom - b.top, r.height);
        }
        if (r.text) {
            EXPECT_EQ(TextOf(h), r.text);
        }
    }

    // The class carries the program's icon. Wine answers class icons of another process's
    // window with ERROR_INVALID_HANDLE; FormClassIcon below shows the images in-process.
    SetLastError(ERROR_SUCCESS);
    const LONG_PTR icon = GetClassLongPtrA(form, GCLP_HICON);
    if (icon || GetLastError() != ERROR_INVALID_HANDLE) {
        EXPECT_NE(icon, 0);
        EXPECT_NE(GetClassLongPtrA(form, GCLP_HICONSM), 0);
    }

    // The common controls 6 of the manifest's dependency are the ones the process loaded.
    EXPECT_NE(Lower(ModulePath(installer.Pid(), "comctl32.dll"))
                  .find("\\winsxs\\x86_microsoft.windows.common-controls_6595b64144ccf1df_6."),
              std::string::npos)
        << ModulePath(installer.Pid(), "comctl32.dll");

    PostMessageA(form, WM_CLOSE, 0, 0);
    EXPECT_TRUE(installer.WaitExit(15000)) << "INSTALL.EXE did not end after WM_CLOSE";
    EXPECT_EQ(installer.ExitCode(), 0u);
}

} // namespace
