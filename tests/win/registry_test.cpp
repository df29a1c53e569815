// The registry class, the file-type registration and the settings step against the real
// registry of the test prefix. Refusals are provoked for real: the registry will not create a
// lasting key below a volatile one.
#include "registration/file_type.h"
#include "registration/settings.h"
#include "vcl/registry.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

const std::string kDir = "C:\\Program Files\\Vorelle";
const std::string kCommand = kDir + "\\VR97.EXE";

// Every key the tests may leave behind, removed before and after each test.
const std::vector<std::pair<HKEY, std::string>> kTestKeys = {
    {HKEY_CLASSES_ROOT, ".vr2"},
    {HKEY_CLASSES_ROOT, ".vt2"},
    {HKEY_CLASSES_ROOT, "vr2"},
    {HKEY_CLASSES_ROOT, "VR97"},
    {HKEY_CLASSES_ROOT, "VR97Template"},
    {HKEY_CLASSES_ROOT, ".abc"},
    {HKEY_CLASSES_ROOT, "abc_auto_file"},
    {HKEY_CLASSES_ROOT, ".vrv"},
    {HKEY_CLASSES_ROOT, "VorelleVolatileType"},
    {HKEY_LOCAL_MACHINE, "Software\\Halcyra"},
    {HKEY_CURRENT_USER, "Software\\Halcyra"},
    {HKEY_CURRENT_USER, "PaperName"},
    {HKEY_CURRENT_USER, "Software\\VorelleRegTest"},
};

struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using Key = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

Key OpenForRead(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return nullptr;
    return Key(key);
}

bool Exists(HKEY root, const std::string& path) {
    return OpenForRead(root, path) != nullptr;
}

// A REG_SZ value; nothing when the key or value is missing or of another type.
std::optional<std::string> ReadSz(HKEY root, const std::string& path, const std::string& name) {
    const Key key = OpenForRead(root, path);
    if (!key)
        return std::nullopt;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    std::string data(size, '\0');
    if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
        return std::nullopt;
    data.resize(size > 0 && data[size - 1] == '\0' ? size - 1 : size);
    return data;
}

// All REG_SZ values of a key by name (an empty name is the default value).
std::map<std::string, std::string> Values(HKEY root, const std::string& path) {
    std::map<std::string, std::string> values;
    const Key key = OpenForRead(root, path);
    for (DWORD i = 0; key; ++i) {
        char name[256];
        DWORD length = sizeof name;
        if (RegEnumValueA(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        values[name] = ReadSz(root, path, name).value_or("<not REG_SZ>");
    }
    return values;
}

// The whole subtree as text, keys and values, to compare two states.
std::string Dump(HKEY root, const std::string& path) {
    const Key key = OpenForRead(root, path);
    if (!key)
        return "";
    std::string text = "[" + path + "]\n";
    for (const auto& [name, data] : Values(root, path))
        text += name + "=" + data + "\n";
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        text += Dump(root, path + "\\" + name);
    }
    return text;
}

void SetSz(HKEY root, const std::string& path, const std::string& name, const std::string& data) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const Key owned(key);
    ASSERT_EQ(RegSetValueExA(key, name.c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(data.c_str()),
                             static_cast<DWORD>(data.size() + 1)),
              ERROR_SUCCESS);
}

// A volatile key, and proof that the registry then refuses a lasting key below it.
void MakeVolatile(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const Key owned(key);
    HKEY child = nullptr;
    ASSERT_EQ(RegCreateKeyExA(key, "probe", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, &child, nullptr),
              ERROR_CHILD_MUST_BE_VOLATILE);
}

void DeleteTestKeys() {
    for (const auto& [root, path] : kTestKeys) {
        RegDeleteTreeA(root, path.c_str());
        RegDeleteKeyA(root, path.c_str());
    }
}

// The message of the registry error that f raises; empty when it raises none.
std::string RegistryError(const std::function<void()>& f) {
    try {
        f();
    } catch (const vcl::ERegistryException& e) {
        return e.what();
    }
    return "";
}

// Runs the system's reg.exe under the same Wine and returns what it printed.
std::string RunReg(const std::string& arguments) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return "<no pipe>";
    const auto close = [](HANDLE h) { CloseHandle(h); };
    std::unique_ptr<void, decltype(close)> reader(readEnd, close), writer(writeEnd, close);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    std::string system(MAX_PATH, '\0');
    system.resize(GetSystemDirectoryA(system.data(), MAX_PATH));
    std::string commandLine = "\"" + system + "\\reg.exe\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &startup, &process))
        return "<reg.exe did not start>";
    CloseHandle(process.hThread);
    const std::unique_ptr<void, decltype(close)> child(process.hProcess, close);
    writer.reset(); // the pipe ends when the child's copy closes
    std::string output;
    char chunk[512];
    DWORD got = 0;
    while (ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr) && got > 0)
        output.append(chunk, got);
    WaitForSingleObject(child.get(), 10000);
    return output;
}

class Registry : public ::testing::Test {
  protected:
    void SetUp() override { DeleteTestKeys(); }
    void TearDown() override { DeleteTestKeys(); }
};

// ---- The registry class ----

TEST_F(Registry, OpenKeyCreatesEveryLevelRelativeToTheOpenKey) {
    vcl::TRegIniFile registry;
    EXPECT_EQ(registry.RootKey(), HKEY_CURRENT_USER);
    EXPECT_EQ(registry.CurrentKey(), nullptr);
    EXPECT_FALSE(registry.OpenKey("Software\\VorelleRegTest\\a", false));

    ASSERT_TRUE(registry.OpenKey("Software\\VorelleRegTest\\a", true));
    ASSERT_TRUE(registry.OpenKey("b\\c", true)); // below the open key
    registry.WriteString("d", "name", "text");
    registry.WriteString("", "", "default");
    EXPECT_EQ(ReadSz(HKEY_CURRENT_USER, "Software\\VorelleRegTest\\a\\b\\c\\d", "name"), "text");
    EXPECT_EQ(ReadSz(HKEY_CURRENT_USER, "Software\\VorelleRegTest\\a\\b\\c", ""), "default");

    // A failed open leaves the open key as it was.
    EXPECT_FALSE(registry.OpenKey("missing", false));
    registry.WriteString("e", "", "still below c");
    EXPECT_EQ(ReadSz(HKEY_CURRENT_USER, "Software\\VorelleRegTest\\a\\b\\c\\e", ""),
              "still below c");

    // A new root closes the open key: the next section starts at the root.
    registry.SetRootKey(HKEY_CURRENT_USER);
    EXPECT_EQ(registry.CurrentKey(), nullptr);
    registry.WriteString("Software\\VorelleRegTest\\top", "", "at the root");
    EXPECT_EQ(ReadSz(HKEY_CURRENT_USER, "Software\\VorelleRegTest\\top", ""), "at the root");
}

TEST_F(Registry, FailuresRaiseTheRegistryErrorWithItsExactText) {
    vcl::TRegIniFile registry;
    // Value names are limited to 16383 characters; the registry refuses a longer one.
    const std::string tooLong(16384, 'n');
    EXPECT_EQ(
        RegistryError([&] { registry.WriteString("Software\\VorelleRegTest", tooLong, "t"); }),
        "Failed to set data for '" + tooLong + "'");
    EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "Software\\VorelleRegTest"));
    EXPECT_TRUE(Values(HKEY_CURRENT_USER, "Software\\VorelleRegTest").empty());

    DeleteTestKeys();
    MakeVolatile(HKEY_CURRENT_USER, "Software\\VorelleRegTest");
    EXPECT_EQ(RegistryError([&] { registry.WriteString("Software\\VorelleRegTest\\x", "v", "t"); }),
              "Failed to create key Software\\VorelleRegTest\\x");
    EXPECT_FALSE(Exists(HKEY_CURRENT_USER, "Software\\VorelleRegTest\\x"));
}

// ---- File-type registration ----

TEST_F(Registry, TheInstallRunsTwoRegistrationsLeaveTheSixKeys) {
    registration::RegisterFileType(".vr2", "VR97", "Vorelle 97", "", kCommand);
    registration::RegisterFileType(".vt2", "VR97Template", "Vorelle 97 Template", "", kCommand);

    const std::vector<std::pair<std::string, std::string>> expected = {
        {".vr2", "VR97"},
        {"VR97", "Vorelle 97"},
        {"VR97\\shell\\open\\command", "C:\\Program Files\\Vorelle\\VR97.EXE %1"},
        {".vt2", "VR97Template"},
        {"VR97Template", "Vorelle 97 Template"},
        {"VR97Template\\shell\\open\\command", "C:\\Program Files\\Vorelle\\VR97.EXE %1"},
    };
    for (const auto& [key, value] : expected) {
        EXPECT_EQ(Values(HKEY_CLASSES_ROOT, key), (std::map<std::string, std::string>{{"", value}}))
            << key;
    }
    EXPECT_FALSE(Exists(HKEY_CLASSES_ROOT, "VR97\\DefaultIcon"));
    EXPECT_FALSE(Exists(HKEY_CLASSES_ROOT, "VR97Template\\DefaultIcon"));

    // The same entry as another program sees it, blanks unquoted.
    const std::string shown = RunReg("query \"HKCR\\VR97\\shell\\open\\command\" /ve");
    EXPECT_NE(shown.find("REG_SZ    C:\\Program Files\\Vorelle\\VR97.EXE %1\r\n"),
              std::string::npos)
        << shown;
}

TEST_F(Registry, ExtensionsAreRegisteredWithOneLeadingDot) {
    for (const std::string extension : {"vr2", "..v.r2", "vr2.."}) {
        DeleteTestKeys();
        registration::RegisterFileType(extension, "VR97", "Vorelle 97", "", kCommand);
        EXPECT_EQ(ReadSz(HKEY_CLASSES_ROOT, ".vr2", ""), "VR97") << extension;
        EXPECT_FALSE(Exists(HKEY_CLASSES_ROOT, "vr2")) << extension;
    }
}

TEST_F(Registry, AnEmptyTypeNameIsMadeFromTheExtension) {
    registration::RegisterFileType(".abc", "", "Abc document", "", "C:\\abc.exe");
    EXPECT_EQ(ReadSz(HKEY_CLASSES_ROOT, ".abc", ""), "abc_auto_file");
    EXPECT_EQ(ReadSz(HKEY_CLASSES_ROOT, "abc_auto_file", ""), "Abc document");
    EXPECT_EQ(ReadSz(HKEY_CLASSES_ROOT, "abc_auto_file\\shell\\open\\command", ""),
              "C:\\abc.exe %1");
}

TEST_F(Registry, NoExtensionOrNoCommandRegistersNothing) {
    struct Case {
        const char* extension;
        const char* command;
    };
    for (const Case& c : {Case{"", "C:\\x.exe"}, Case{"...", "C:\\x.exe"}, Case{".vr2", ""}}) {
        registration::RegisterFileType(c.extension, "VR97", "Vorelle 97", "C:\\x.ico", c.command);
        EXPECT_FALSE(Exists(HKEY_CLASSES_ROOT, "VR97")) << c.extension << "|" << c.command;
        EXPECT_FALSE(Exists(HKEY_CLASSES_ROOT, ".vr2")) << c.extension << "|" << c.command;
    }
}

TEST_F(Registry, RegistrationKeepsWhatTheKeysAlreadyHoldAndIsRepeatable) {
    SetSz(HKEY_CLASSES_ROOT, ".vr2", "Content Type", "application/x-vr2");
    SetSz(HKEY_CLASSES_ROOT, "VR97", "EditFlags", "keep");
    SetSz(HKEY_CLASSES_ROOT, "VR97\\DefaultIcon", "", "C:\\old.ico,0");
    SetSz(HKEY_CLASSES_ROOT, "VR97\\shell\\print\\command", "", "print %1");

    registration::RegisterFileType(".vr2", "VR97", "Vorelle 97", "", kCommand);
    const std::string afterFirst =
        Dump(HKEY_CLASSES_ROOT, ".vr2") + Dump(HKEY_CLASSES_ROOT, "VR97");
    EXPECT_EQ(afterFirst, "[.vr2]\n"
                          "=VR97\n"
                          "Content Type=application/x-vr2\n"
                          "[VR97]\n"
                          "=Vorelle 97\n"
                          "EditFlags=keep\n"
                          "[VR97\\DefaultIcon]\n"
                          "=C:\\old.ico,0\n"
                          "[VR97\\shell]\n"
                          "[VR97\\shell\\open]\n"
                          "[VR97\\shell\\open\\command]\n"
                          "=C:\\Program Files\\Vorelle\\VR97.EXE %1\n"
                          "[VR97\\shell\\print]\n"
                          "[VR97\\shell\\print\\command]\n"
                          "=print %1\n");

    registration::RegisterFileType(".vr2", "VR97", "Vorelle 97", "", kCommand);
    EXPECT_EQ(Dump(HKEY_CLASSES_ROOT, ".vr2") + Dump(HKEY_CLASSES_ROOT, "VR97"), afterFirst);

    registration::RegisterFileType(".vr2", "VR97", "Vorelle 97", "C:\\new.ico,1", kCommand);
    EXPECT_EQ(ReadSz(HKEY_CLASSES_ROOT, "VR97\\DefaultIcon", ""), "C:\\new.ico,1");
}

TEST_F(Registry, ARefusedKeyEndsTheRegistrationAndKeepsTheEarlierWrites) {
    MakeVolatile(HKEY_CLASSES_ROOT, "VorelleVolatileType");
    EXPECT_EQ(RegistryError([] {
                  registration::RegisterFileType("vrv", "VorelleVolatileType", "Volatile", "",
                                                 "C:\\x.exe");
              }),
              "Failed to create key VorelleVolatileType\\shell\\open\\command");
    EXPECT_EQ(ReadSz(HKEY_CLASSES_ROOT, ".vrv", ""), "VorelleVolatileType");
    EXPECT_EQ(ReadSz(HKEY_CLASSES_ROOT, "VorelleVolatileType", ""), "Volatile");

    EXPECT_EQ(RegistryError([] {
                  registration::RegisterFileType(".vrv", "VorelleVolatileType", "Volatile",
                                                 "C:\\v.ico", "C:\\x.exe");
              }),
              "Failed to create key VorelleVolatileType\\DefaultIcon");
}

// ---- Settings ----

const std::map<std::string, std::string> kPaperTable = {
    {"Letter Portrait", "08.500 11.000 0 1.250 1.000 6 9.000 1 1 0.000 0.000"},
    {"Letter Landscape", "08.500 11.000 1 1.0 1.0 9 6.5 1 1 0.000 0.000"},
    {"A4 Portrait", "08.268 11.693 0 1.000 1.000 6.268 9.693 1 1 0.000 0.000"},
    {"A4 Landscape", "08.268 11.693 1 1.000 1.000 9.693 6.268 1 1 0.000 0.000"},
    {"Envelope #10", "04.125 9.500 1 0.250 0.250 9.000 3.625 1 1 0.000 0.000"},
};

TEST_F(Registry, SettingsRecordTheInstallPathAndThePaperTable) {
    for (const std::string& dir : {kDir, std::string("C:")}) {
        DeleteTestKeys();
        registration::WriteSettings(true, dir);
        EXPECT_EQ(Values(HKEY_LOCAL_MACHINE, "Software\\Halcyra\\Vorelle"),
                  (std::map<std::string, std::string>{{"InstallPath", dir}}));
        EXPECT_EQ(Values(HKEY_CURRENT_USER, "Software\\Halcyra\\Vorelle\\PaperName"), kPaperTable);
        EXPECT_TRUE(Values(HKEY_CURRENT_USER, "Software\\Halcyra\\Vorelle").empty());
    }
    EXPECT_FALSE(Exists(HKEY_CURRENT_USER, "PaperName"));

    DeleteTestKeys();
    registration::WriteSettings(false, kDir);
    EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, "Software\\Halcyra"));
    EXPECT_EQ(Values(HKEY_CURRENT_USER, "Software\\Halcyra\\Vorelle\\PaperName"), kPaperTable);
}

TEST_F(Registry, ASecondInstallationOverwritesOnlyItsOwnValues) {
    SetSz(HKEY_LOCAL_MACHINE, "Software\\Halcyra\\Vorelle", "Serial", "keep");
    SetSz(HKEY_CURRENT_USER, "Software\\Halcyra\\Vorelle", "Recent", "keep");
    SetSz(HKEY_CURRENT_USER, "Software\\Halcyra\\Vorelle\\PaperName", "Custom", "keep");
    SetSz(HKEY_CURRENT_USER, "Software\\Halcyra\\Vorelle\\PaperName", "A4 Portrait", "old");
    registration::WriteSettings(true, "D:\\Old");
    registration::WriteSettings(true, kDir);

    EXPECT_EQ(Values(HKEY_LOCAL_MACHINE, "Software\\Halcyra\\Vorelle"),
              (std::map<std::string, std::string>{{"InstallPath", kDir}, {"Serial", "keep"}}));
    EXPECT_EQ(Values(HKEY_CURRENT_USER, "Software\\Halcyra\\Vorelle"),
              (std::map<std::string, std::string>{{"Recent", "keep"}}));
    auto paper = kPaperTable;
    paper["Custom"] = "keep";
    EXPECT_EQ(Values(HKEY_CURRENT_USER, "Software\\Halcyra\\Vorelle\\PaperName"), paper);
}

TEST_F(Registry, ARefusedSettingsKeyEndsTheStepAndKeepsTheEarlierWrites) {
    // The machine-wide key refused: the paper table is not written.
    MakeVolatile(HKEY_LOCAL_MACHINE, "Software\\Halcyra");
    EXPECT_EQ(RegistryError([] { registration::WriteSettings(true, kDir); }),
              "Failed to create key Software\\Halcyra\\Vorelle");
    EXPECT_FALSE(Exists(HKEY_CURRENT_USER, "Software\\Halcyra"));

    // The paper key refused: the install path written before it stays.
    DeleteTestKeys();
    MakeVolatile(HKEY_CURRENT_USER, "Software\\Halcyra\\Vorelle");
    EXPECT_EQ(RegistryError([] { registration::WriteSettings(true, kDir); }),
              "Failed to create key PaperName");
    EXPECT_EQ(ReadSz(HKEY_LOCAL_MACHINE, "Software\\Halcyra\\Vorelle", "InstallPath"), kDir);

    // The user's key refused: an error, not a table written to HKEY_CURRENT_USER\PaperName.
    DeleteTestKeys();
    MakeVolatile(HKEY_CURRENT_USER, "Software\\Halcyra");
    EXPECT_EQ(RegistryError([] { registration::WriteSettings(false, kDir); }),
              "Failed to create key Software\\Halcyra\\Vorelle");
    EXPECT_FALSE(Exists(HKEY_CURRENT_USER, "PaperName"));
}

} // namespace
