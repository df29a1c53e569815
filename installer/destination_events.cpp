// The destination field, the drive box and the disk-space display of the window.
#include "installer/install_form.h"

#include "destination/clean_path.h"
#include "destination/disk_space.h"

using namespace vcl;

namespace {

char UpperDrive(char letter) {
    return letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 32) : letter;
}

// One count of the drive's space: free bytes or total bytes; -1 when the drive cannot be read.
std::int64_t DriveBytes(char letter, bool freeBytes) {
    const std::string root = std::string(1, letter) + ":\\";
    ULARGE_INTEGER total = {}, totalFree = {};
    // No "insert a disk" box from the system for an empty drive: the display just shows zeros.
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    BOOL ok = GetDiskFreeSpaceExA(root.c_str(), nullptr, &total, &totalFree);
    SetErrorMode(oldMode);
    if (!ok)
        return -1;
    return static_cast<std::int64_t>(freeBytes ? totalFree.QuadPart : total.QuadPart);
}

std::string DecimalSeparator() {
    char sep[8] = "";
    int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, sep, sizeof sep);
    return n > 1 ? std::string(sep) : std::string(".");
}

} // namespace

bool TInstallForm::CleanPath(const std::string& path, std::string& cleaned) const {
    return destination::CleanPath(path, cleaned);
}

void TInstallForm::Edit6Exit(TObject*) {
    std::string cleaned;
    CleanPath(Edit6->Text(), cleaned);
    Edit6->SetText(cleaned);
}

void TInstallForm::Edit6KeyPress(TObject*, char& Key) {
    if (Key != '\r' || Edit6->Text().empty())
        return;
    Key = 0;
    if (InstallButton->CanFocus())
        InstallButton->SetFocus();
}

void TInstallForm::DriveComboBox1Change(TObject*) {
    try {
        // A box built in a folder with no drive letter has no drive to put in.
        if (char letter = DriveComboBox1->Drive())
            Edit6->SetText(destination::WithDriveLetter(letter, Edit6->Text()));
    } catch (...) {
        // Rewriting the destination is a convenience; if it fails the field keeps its text.
    }
}

void TInstallForm::Timer1Timer(TObject*) {
    const char letter = UpperDrive(DriveComboBox1->Drive());
    Label5->SetCaption("Free Space on drive " + (letter ? std::string(1, letter) : std::string()));
    auto zeros = [this] {
        ProgressBar2->SetProgress(0);
        Edit7->SetText("0");
        Edit8->SetText("0");
    };
    // Drive A is never asked: a floppy drive would spin up every second.
    if (!letter || static_cast<unsigned char>(letter - 64) < 2) {
        zeros();
        return;
    }
    DiskFree = DriveBytes(letter, true);
    DiskSize = DriveBytes(letter, false);
    if (DiskFree < 1 || DiskSize < 1) {
        zeros();
        return;
    }
    ProgressBar2->SetProgress(destination::FreePercent(DiskFree, DiskSize));
    Edit7->SetText(destination::MegabytesText(DiskSize));
    Edit8->SetText(destination::MegabytesText(DiskFree));
}

void TInstallForm::InstallCheckSize(TObject*) {
    RequiredSize = destination::RequiredSize(TemplateFiles->Checked(), ProgramFiles->Checked());
    Edit5->SetText(destination::RequiredSizeText(RequiredSize, DecimalSeparator()));
}
