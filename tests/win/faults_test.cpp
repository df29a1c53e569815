// Faults met by a whole run of the installer window in this process: Program Manager absent,
// silent, late, refusing or dying during the group step, and destinations that cannot take a
// file (a drive that fills up, a locked file, a system folder that cannot take the library).
// Each run must reach its documented end with one message per failure and nothing lost.
#include "tests/support/dialog_watcher.h"
#include "tests/support/install_checks.h"
#include "tests/support/progman_stand_in.h"
#include "tests/support/process_driver.h"
#include "tests/win/form_fixture.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using form_testing::HostPath;
using form_testing::Pump;
using form_testing::ReadFileBytes;
using form_testing::WriteFileBytes;
using testing_support::AllFiles;
using testing_support::DeleteFolder;
using testing_support::DialogWatcher;
using testing_support::HandleCount;
using testing_support::HiddenSystemProgman;
using testing_support::SeenBox;
using testing_support::SystemFolder;

namespace {

const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new form_testing::WindowEnvironment);

constexpr const char* kLinkWarning = "Could not create DDE Link";
// PROGMAN.EXE started by the test with its options.
class StandIn : public testing_support::ProgmanStandIn {
  public:
    explicit StandIn(const std::string& options)
        : ProgmanStandIn(testing_support::BesideThisProgram(PROGMAN_EXE_RELATIVE), options) {}
};

constexpr const char* kCannotCreate = "Unable to create / copy uncompressed file.";

// What faults_fixture.sh made, passed in by CTest.
std::string Fixture() {
    const char* dir = std::getenv("VORELLE_FAULTS_FIXTURE");
    return dir ? HostPath(dir) : std::string();
}
// The reason the fixture gave for not making a piece, or "".
std::string SkipReason(const char* marker) {
    std::string text = ReadFileBytes(Fixture() + "\\" + marker);
    return text == "<missing>" ? std::string() : text;
}

// A fresh installer window on the fixture's medium, run to its end by pressing Install.
class RunFaults : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(Fixture().empty()) << "VORELLE_FAULTS_FIXTURE is not set";
        ASSERT_EQ(FindWindowA("Progman", nullptr), nullptr) << "a server is still running";
        DeleteFileA((SystemFolder() + "\\SKY32V3C.DLL").c_str());
    }
    void TearDown() override { CloseForm(); }

    TInstallForm& OpenForm(const std::string& destination) {
        CloseForm();
        form_ = std::make_unique<TInstallForm>();
        InstallForm = form_.get();
        form_->Create();
        form_->Show();
        Pump();
        form_->SourceDir = Fixture() + "\\medium\\";
        form_->Edit6->SetText(destination);
        // The run's space check uses the last measured figure; the small drive is short of it.
        form_->DiskFree = 1LL << 40;
        return *form_;
    }
    void CloseForm() {
        if (form_)
            form_->DoDestroy();
        form_.reset();
        InstallForm = nullptr;
        vcl::Application->OnIdle = nullptr;
    }
    // Presses Install and waits for the run to return; false if it took longer than limitMs.
    bool Run(DWORD limitMs) {
        const DWORD start = GetTickCount();
        form_->InstallButtonClick(form_->InstallButton);
        Pump(100);
        return GetTickCount() - start < limitMs;
    }
    void ExpectCompleted() {
        EXPECT_EQ(form_->Notebook1->PageIndex(), 1) << "the final page";
        EXPECT_TRUE(form_->Halted);
        EXPECT_TRUE(form_->InstallButton->Enabled());
        EXPECT_TRUE(form_->MultiImage1->Visible());
    }
    std::string Orig(const std::string& name) {
        return ReadFileBytes(Fixture() + "\\orig\\" + name);
    }
    static std::vector<std::string> Texts(const std::vector<SeenBox>& seen) {
        std::vector<std::string> texts;
        for (const SeenBox& b : seen)
            texts.push_back(b.text);
        return texts;
    }

    std::unique_ptr<TInstallForm> form_;
};

TEST_F(RunFaults, ProgramManagerAbsentSilentLateRefusingOrDying) {
    const std::string dest = "C:\\faults dde";
    struct Case {
        const char* name;
        const char* options; // nullptr: no Program Manager at all
        UINT timeoutMs;      // Timer3's interval for the run
        size_t dieAfter;     // end the server once it has logged this many commands (0: never)
        size_t warnings;
        size_t commands; // commands the server logged
    } cases[] = {
        // Without any server the client warns once and sends nothing.
        {"absent", nullptr, 300, 0, 1, 0},
        {"never acknowledging", "/noack", 300, 0, 8, 8},
        {"acknowledging after the time-out", "/delay=800", 300, 0, 8, 8},
        {"acknowledging late but in time", "/delay=100", 1500, 0, 0, 8},
        {"acknowledging negatively", "/nak", 300, 0, 0, 8},
        // The third command is never answered; the five after it find no server window.
        {"dying after three commands", "/delay=600", 2000, 3, 6, 3},
    };
    long handlesAfterFirst = -1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFolder(dest);
        std::unique_ptr<HiddenSystemProgman> hidden;
        std::unique_ptr<StandIn> server;
        if (c.options) {
            server = std::make_unique<StandIn>(c.options);
            ASSERT_NE(server->Window(), nullptr);
        } else {
            hidden = std::make_unique<HiddenSystemProgman>();
            ASSERT_TRUE(hidden->NoneFindable());
        }
        std::atomic<bool> stop{false};
        std::thread killer;
        if (c.dieAfter)
            killer = std::thread([&] {
                while (!stop && server->Executed().size() < c.dieAfter)
                    Sleep(10);
                server->End();
            });

        TInstallForm& f = OpenForm(dest);
        f.Timer3->SetInterval(c.timeoutMs);
        auto watcher = std::make_unique<DialogWatcher>();
        DialogWatcher& boxes = *watcher;
        // Each unanswered command costs its time-out; nothing else may keep the run waiting.
        EXPECT_TRUE(Run(c.warnings * (c.timeoutMs + 1500) + 15000)) << "the run took too long";
        stop = true;
        if (killer.joinable())
            killer.join();
        Pump(200);
        ExpectCompleted();
        const auto seen = boxes.Seen();
        EXPECT_EQ(Texts(seen), std::vector<std::string>(c.warnings, kLinkWarning));
        for (const SeenBox& b : seen)
            EXPECT_EQ(b.caption, "Warning");
        if (server) {
            // A server that is late logs its last commands after the run has gone on.
            testing_support::WaitUntil([&] { return server->Executed().size() >= c.commands; },
                                       10000);
            EXPECT_EQ(server->Executed().size(), c.commands);
        }
        EXPECT_EQ(ReadFileBytes(dest + "\\UNINST.EXE"), Orig("UNINST.EXE"));
        EXPECT_FALSE(f.Timer3->Enabled());

        watcher.reset();
        server.reset();
        CloseForm();
        // The first server started costs the process some handles for good; from then on every
        // conversation must give back what it took.
        const long handles = HandleCount(GetCurrentProcessId());
        std::printf("handles of this process after \"%s\": %ld\n", c.name, handles);
        if (&c - cases < 2)
            handlesAfterFirst = handles;
        else
            EXPECT_EQ(handles, handlesAfterFirst) << "a faulty conversation left handles behind";
    }
    DeleteFolder(dest);
}

TEST_F(RunFaults, ADriveThatFillsUpMidCopy) {
    if (const std::string why = SkipReason("drive.skip"); !why.empty())
        GTEST_SKIP() << "no small drive: " << why;
    const std::string dest = "R:\\Vorelle";
    ULARGE_INTEGER total = {};
    ASSERT_TRUE(GetDiskFreeSpaceExA("R:\\", nullptr, &total, nullptr)) << "drive R: is not there";
    ASSERT_LT(total.QuadPart, 2000000u) << "R: is not the small drive";
    DeleteFolder(dest);
    ASSERT_TRUE(CreateDirectoryA(dest.c_str(), nullptr));
    WriteFileBytes(dest + "\\KEEP.TXT", "installed before");

    TInstallForm& f = OpenForm(dest);
    f.Edit10->SetText(""); // no program group: this run is about the files
    DialogWatcher boxes;
    ASSERT_TRUE(Run(60000));
    ExpectCompleted();
    // The drive fills up inside VPREVIEW.EXE; from then on nothing fits on it. Every file that
    // does not arrive whole says so, the library still reaches the system folder.
    std::vector<std::string> expected;
    for (const std::string& n : AllFiles())
        if (n != "VR2000.EXE" && n != "SKY32V3C.DLL")
            expected.push_back("Unable to copy the file " + f.SourceDir + n + " to " + dest + "\\" +
                               n + ".");
    EXPECT_EQ(Texts(boxes.Seen()), expected);
    EXPECT_EQ(ReadFileBytes(dest + "\\VR2000.EXE"), Orig("VR2000.EXE"));
    EXPECT_EQ(ReadFileBytes(SystemFolder() + "\\SKY32V3C.DLL"), Orig("SKY32V3C.DLL"));
    EXPECT_EQ(ReadFileBytes(dest + "\\KEEP.TXT"), "installed before");
    EXPECT_NE(ReadFileBytes(dest + "\\VPREVIEW.EXE"), Orig("VPREVIEW.EXE"));
    DeleteFolder(dest);
}

TEST_F(RunFaults, ALockedDestinationFileStaysAsItWas) {
    if (const std::string why = SkipReason("locked.skip"); !why.empty())
        GTEST_SKIP() << "no locked file: " << why;
    const std::string dest = "C:\\faults locked";
    ASSERT_EQ(ReadFileBytes(dest + "\\VR2000.HLP"), "kept");
    TInstallForm& f = OpenForm(dest);
    f.Edit10->SetText("");
    DialogWatcher boxes;
    ASSERT_TRUE(Run(60000));
    ExpectCompleted();
    EXPECT_EQ(Texts(boxes.Seen()), std::vector<std::string>{kCannotCreate});
    EXPECT_EQ(ReadFileBytes(dest + "\\VR2000.HLP"), "kept");
    for (const std::string& n : AllFiles()) {
        if (n != "VR2000.HLP") {
            EXPECT_EQ(ReadFileBytes((n == "SKY32V3C.DLL" ? SystemFolder() : dest) + "\\" + n),
                      Orig(n))
                << n;
        }
    }
}

TEST_F(RunFaults, ASystemFolderThatCannotTakeTheLibrary) {
    const std::string dest = "C:\\faults sysdir";
    const std::string library = SystemFolder() + "\\SKY32V3C.DLL";
    struct Case {
        const char* name;
        bool folderInTheWay; // else an earlier copy, held open without sharing
    } cases[] = {{"a folder of that name", true}, {"an earlier copy held open", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFolder(dest);
        HANDLE held = INVALID_HANDLE_VALUE;
        if (c.folderInTheWay) {
            ASSERT_TRUE(CreateDirectoryA(library.c_str(), nullptr));
        } else {
            WriteFileBytes(library, "earlier library");
            held =
                CreateFileA(library.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(held, INVALID_HANDLE_VALUE);
        }
        TInstallForm& f = OpenForm(dest);
        f.Edit10->SetText("");
        DialogWatcher boxes;
        ASSERT_TRUE(Run(60000));
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        ExpectCompleted();
        EXPECT_EQ(Texts(boxes.Seen()), std::vector<std::string>{kCannotCreate});
        for (const std::string& n : AllFiles()) {
            if (n != "SKY32V3C.DLL") {
                EXPECT_EQ(ReadFileBytes(dest + "\\" + n), Orig(n)) << n;
            }
        }
        if (c.folderInTheWay) {
            EXPECT_TRUE(GetFileAttributesA(library.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
            RemoveDirectoryA(library.c_str());
        } else {
            EXPECT_EQ(ReadFileBytes(library), "earlier library");
            DeleteFileA(library.c_str());
        }
        CloseForm();
    }
    DeleteFolder(dest);
}

} // namespace
