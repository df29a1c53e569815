// The file copy on real SZDD files, the disk-space display on real drives, the blue ramp and the
// banner of the installer window, under Wine.
#include "tests/support/dialog_watcher.h"
#include "tests/support/install_checks.h"
#include "tests/win/form_fixture.h"

#include <cstdlib>
#include <string>

using namespace vcl;
using form_testing::HostPath;
using form_testing::Pump;
using form_testing::ReadFileBytes;
using form_testing::WriteFileBytes;
using testing_support::DialogWatcher;

namespace {

// The medium made by make_copy_fixture.sh, passed in by CTest.
std::string Fixture() {
    const char* dir = std::getenv("VORELLE_COPY_FIXTURE");
    return dir ? HostPath(dir) : std::string();
}

class CopyTest : public form_testing::FormTest {
  protected:
    void SetUp() override {
        ASSERT_FALSE(Fixture().empty()) << "VORELLE_COPY_FIXTURE is not set";
        FormTest::SetUp();
        F().SourceDir = Fixture() + "\\medium\\";
        dest_ = "C:\\copy test";
        testing_support::DeleteFolder(dest_);
        ASSERT_TRUE(CreateDirectoryA(dest_.c_str(), nullptr));
    }
    void TearDown() override {
        FormTest::TearDown();
        testing_support::DeleteFolder(dest_);
    }
    std::string Orig(const std::string& name) {
        return ReadFileBytes(Fixture() + "\\orig\\" + name);
    }
    std::string Installed(const std::string& name) { return ReadFileBytes(dest_ + "\\" + name); }
    std::string dest_;
};

TEST_F(CopyTest, CompressedFilesArriveExpandedAndPlainOnesUnchanged) {
    DialogWatcher boxes;
    for (const char* name : {"COMP.TXT", "BINARY.DAT", "PLAIN.TXT"}) {
        F().ExpandFile(dest_, name);
        EXPECT_EQ(Installed(name), Orig(name)) << name;
    }
    EXPECT_NE(ReadFileBytes(F().SourceDir + "COMP.TXT").substr(0, 4), "Card"); // it was compressed
    EXPECT_EQ(F().FilesDone, 3);
    // The folder had no trailing backslash: the status line shows it with one.
    EXPECT_EQ(F().Edit9->Text(), "Installing PLAIN.TXT to C:\\copy test\\");
    F().ExpandFile(dest_ + "\\", "COMP.TXT");
    EXPECT_EQ(F().Edit9->Text(), "Installing COMP.TXT to C:\\copy test\\");

    // An existing target is overwritten without a question.
    WriteFileBytes(dest_ + "\\COMP.TXT", std::string(200000, 'x'));
    F().ExpandFile(dest_, "COMP.TXT");
    EXPECT_EQ(Installed("COMP.TXT"), Orig("COMP.TXT"));
    Pump(100);
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(CopyTest, FailuresAreReportedAndTheCopyGoesOn) {
    DialogWatcher boxes;
    // Missing: reported before anything is counted or shown.
    F().Edit9->SetText("before");
    F().ExpandFile(dest_, "NOPE.TXT");
    ASSERT_TRUE(boxes.WaitFor(1));
    EXPECT_EQ(boxes.Seen()[0].text,
              "File is missing. Unable to expand the file " + F().SourceDir + "NOPE.TXT");
    EXPECT_EQ(boxes.Seen()[0].caption, "Warning");
    EXPECT_EQ(F().FilesDone, 0);
    EXPECT_EQ(F().Edit9->Text(), "before");

    // A target held open by another program cannot be created; it stays as it was, but the file
    // was counted and named.
    WriteFileBytes(dest_ + "\\PLAIN.TXT", "kept");
    HANDLE lock = CreateFileA((dest_ + "\\PLAIN.TXT").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    F().ExpandFile(dest_, "PLAIN.TXT");
    CloseHandle(lock);
    ASSERT_TRUE(boxes.WaitFor(2));
    EXPECT_EQ(boxes.Seen()[1].text, "Unable to create / copy uncompressed file.");
    EXPECT_EQ(Installed("PLAIN.TXT"), "kept");
    EXPECT_EQ(GetFileAttributesA((dest_ + "\\PLAIN.TX_").c_str()), INVALID_FILE_ATTRIBUTES)
        << "no stray file under the compressed name";
    EXPECT_EQ(F().FilesDone, 1);
    EXPECT_EQ(F().Edit9->Text(), "Installing PLAIN.TXT to C:\\copy test\\");

    // A compressed file cut short is not passed off as installed.
    F().ExpandFile(dest_, "TRUNC.TXT");
    ASSERT_TRUE(boxes.WaitFor(3));
    EXPECT_EQ(boxes.Seen()[2].text, "Unable to copy the file " + F().SourceDir +
                                        "TRUNC.TXT to C:\\copy test\\TRUNC.TXT.");

    // Paths longer than the LZ functions' buffers are refused, never cut short.
    const std::string longFolder = "C:\\" + std::string(460, 'd');
    F().ExpandFile(longFolder, "COMP.TXT");
    ASSERT_TRUE(boxes.WaitFor(4));
    EXPECT_EQ(boxes.Seen()[3].text, "Unable to create / copy uncompressed file.");
    const std::string savedSource = F().SourceDir;
    F().SourceDir = "C:\\" + std::string(460, 's') + "\\";
    F().ExpandFile(dest_, "COMP.TXT");
    F().SourceDir = savedSource;
    ASSERT_TRUE(boxes.WaitFor(5));
    EXPECT_EQ(boxes.Seen()[4].text, "Unable to open file. Ensure that the installation files are "
                                    "in the same directory as install.exe and run Install again.");

    // After every failure the next file still copies.
    F().ExpandFile(dest_, "COMP.TXT");
    EXPECT_EQ(Installed("COMP.TXT"), Orig("COMP.TXT"));
    Pump(100);
    EXPECT_EQ(boxes.Count(), 5u);
}

TEST_F(CopyTest, ProgressReaches100WithTheLastFileOfTheSelectedSets) {
    const char* sets[] = {"VR2000.EXE", "VPREVIEW.EXE", "SKY32V3C.DLL", "VR2000.HLP", "VR2000.CNT",
                          "UNINST.EXE", "H002.VT2",     "H003.VT2",     "H005.VT2",   "H014.VT2",
                          "H015.VT2",   "H020.VT2",     "H023.VT2",     "H029.VT2",   "H033.VT2",
                          "H038.VT2",   "H039.VT2",     "V001.VT2",     "V009.VT2",   "V011.VT2",
                          "V012.VT2",   "V013.VT2",     "V014.VT2",     "V016.VT2",   "V018.VT2",
                          "X003.VT2",   "X0050.VT2",    "X007.VT2"};
    for (int i = 0; i < 28; ++i) {
        F().ExpandFile(dest_, sets[i]);
        EXPECT_EQ(F().CopyProgress->Position(), (i + 1) * 100 / 28) << sets[i];
    }
    EXPECT_EQ(F().CopyProgress->Position(), 100);

    // The program set alone: 100 after its sixth file.
    SendMessageA(F().TemplateFiles->Handle(), BM_CLICK, 0, 0);
    ASSERT_FALSE(F().TemplateFiles->Checked());
    EXPECT_EQ(F().TotalFileCount(), 6);
    F().FilesDone = 0;
    for (int i = 0; i < 6; ++i)
        F().ExpandFile(dest_, sets[i]);
    EXPECT_EQ(F().CopyProgress->Position(), 100);
    EXPECT_EQ(F().Edit5->Text(), "    3.54 MB");
    SendMessageA(F().TemplateFiles->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(F().Edit5->Text(), "    4.35 MB");
}

using DisplayTest = form_testing::FormTest;

TEST_F(DisplayTest, TheDriveDisplayFollowsTheDriveBox) {
    EXPECT_EQ(F().Label5->Text(), "Free Space:");
    EXPECT_EQ(F().Edit7->Text(), "");
    EXPECT_EQ(F().DiskFree, 0);
    F().DriveComboBox1->SetDrive('c');
    F().Timer1Timer(F().Timer1);
    EXPECT_EQ(F().Label5->Text(), "Free Space on drive C");
    ULARGE_INTEGER total = {}, free = {};
    ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", nullptr, &total, &free));
    EXPECT_EQ(F().DiskSize, static_cast<std::int64_t>(total.QuadPart));
    EXPECT_GT(F().DiskFree, 0);
    EXPECT_EQ(F().Edit7->Text(), std::to_string(total.QuadPart / 1000000) + " Mb");
    EXPECT_EQ(F().Edit8->Text(), std::to_string(F().DiskFree / 1000000) + " Mb");
    long percent = F().ProgressBar2->Progress();
    EXPECT_EQ(F().ProgressBar2->Text(), std::to_string(percent) + "%");
    EXPECT_NEAR(percent,
                100.0 * static_cast<double>(F().DiskFree) / static_cast<double>(total.QuadPart),
                1.0);

    // A drive whose space cannot be read shows zeros and stores -1.
    char letters[] = "QA";
    ASSERT_TRUE(DefineDosDeviceA(0, "Q:", "C:\\no such folder"));
    ASSERT_TRUE(DefineDosDeviceA(0, "A:", "C:\\windows"));
    form_.reset(); // the drive list is made when the box is built
    form_ = std::make_unique<TInstallForm>();
    InstallForm = form_.get();
    form_->Create();
    F().DriveComboBox1->SetDrive('q');
    F().Timer1Timer(F().Timer1);
    EXPECT_EQ(F().Label5->Text(), "Free Space on drive Q");
    EXPECT_EQ(F().DiskFree, -1);
    EXPECT_EQ(F().DiskSize, -1);
    EXPECT_EQ(F().Edit7->Text(), "0");
    EXPECT_EQ(F().Edit8->Text(), "0");
    EXPECT_EQ(F().ProgressBar2->Progress(), 0);

    // Drive A is never asked: the stored counts stay as they were.
    F().DiskFree = 12345;
    F().DriveComboBox1->SetDrive('a');
    EXPECT_EQ(F().Edit6->Text().substr(0, 2), "A:");
    F().Timer1Timer(F().Timer1);
    EXPECT_EQ(F().Label5->Text(), "Free Space on drive A");
    EXPECT_EQ(F().DiskFree, 12345);
    EXPECT_EQ(F().Edit7->Text(), "0");
    for (char* l = letters; *l; ++l) {
        std::string dev = std::string(1, *l) + ":";
        DefineDosDeviceA(DDD_REMOVE_DEFINITION, dev.c_str(), nullptr);
    }
}

TEST_F(DisplayTest, TheBackgroundIsAVerticalBlueRamp) {
    const int w = 444, h = 278;
    BITMAPINFO bi = {};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bmp);
    SendMessageA(F().Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    auto pixel = [&](int x, int y) { return static_cast<DWORD*>(bits)[y * w + x] & 0xFFFFFF; };
    for (int k = 0; k < 56; ++k)
        for (int y : {k * 5, k * 5 + 4}) {
            if (y >= h)
                continue;
            for (int x : {0, 200, w - 1})
                EXPECT_EQ(pixel(x, y), static_cast<DWORD>(255 - 4 * k))
                    << "band " << k << " y " << y;
        }
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
}

TEST_F(DisplayTest, TheBannerScrollsAndStartsAgainAtEveryActivation) {
    TPMultiImage& banner = *F().MultiImage1;
    EXPECT_TRUE(banner.Stepper().Scrolling());
    EXPECT_EQ(banner.ScrollDelay, 40);
    EXPECT_EQ(banner.ScrollColor, clGray);
    EXPECT_EQ(banner.ScrollFont.Name, "Arial");
    EXPECT_EQ(banner.ScrollFont.Size, -11);
    EXPECT_EQ(banner.ScrollFont.Color, clWhite);
    EXPECT_EQ(FontHeightForSize(-11, 96), 15);
    const std::string& text = banner.ScrollText;
    EXPECT_EQ(text.rfind("Vorelle, ", 0), 0u);
    EXPECT_NE(text.find("Halcyra"), std::string::npos);
    EXPECT_NE(text.find("  The world easiest name card designing and printing."
                        "  Large number of templates help you create name card quickly."
                        "  Just only change the existing text to your choices."
                        "  Save and print any number of cards even one at a time."
                        "  Thank you for using Vorelle. "),
              std::string::npos);
    EXPECT_EQ(text.back(), ' ');
    EXPECT_EQ(banner.Text(), text);
    EXPECT_EQ(banner.TextTop(), 2);

    // Step requests queued to the banner's window: one pixel per 41.
    Application->OnIdle = nullptr;
    const int start = banner.Stepper().X();
    EXPECT_EQ(start, 442);
    const int before = banner.Stepper().Count();
    for (int i = 0; i < 41 * 3 - before; ++i)
        banner.ScrollStep();
    Pump();
    EXPECT_EQ(banner.Stepper().X(), start - 3);

    // A message box closing gives the activation back: the text starts at the right edge again.
    {
        DialogWatcher boxes;
        F().ShowError("x");
        ASSERT_TRUE(boxes.WaitFor(1));
    }
    Pump();
    EXPECT_EQ(banner.Stepper().X(), 442);
}

TEST_F(DisplayTest, IdlePassesArePacedToOnePerMillisecond) {
    const long long passes = Application->IdlePasses();
    const int x = F().MultiImage1->Stepper().X();
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 500)
        Application->HandleMessage();
    const DWORD elapsed = GetTickCount() - start;
    const long long done = Application->IdlePasses() - passes;
    EXPECT_GT(done, 0);
    EXPECT_LE(done, static_cast<long long>(elapsed) + 2);
    // Each pass asked for one step; the banner moved once per 41 of them.
    const int moved = x - F().MultiImage1->Stepper().X();
    EXPECT_NEAR(moved, done / 41, 2);
}

} // namespace
