// Rules of the installer window that need no window: the source folder, the names and progress of
// the file copy, and the plan of the background's bands.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace installer {

// The folder part of a path: up to and including its last backslash or colon ("" if neither).
std::string FolderOf(const std::string& path);

// The folder of the installation files from the command-line arguments (without the program
// name): the first argument, or the second when the first begins with "/", else the program's own
// folder; always ending in a backslash.
std::string SourceFolder(const std::vector<std::string>& args, const std::string& programPath);

// The name an expanded file is written under, taken from the name GetExpandedNameA gave: the
// file-name part, with the four characters from its first "." removed, then its extension.
std::string TargetFileName(const std::string& expandedName);

// The folder with a backslash appended when it does not end in one.
std::string WithBackslash(const std::string& folder);

// Files the run copies for the selected sets; never 0.
int TotalFileCount(bool programFiles, bool templateFiles);

// Progress position after filesDone of total files: filesDone * 100 / total, remainder dropped.
int ProgressPosition(int filesDone, int total);

// The blue ramp of the background: bands of equal height, the first of level 255 and each next 4
// less, filling a client area of the given height.
struct Band {
    int top;
    int height;
    std::uint8_t level;
};
std::vector<Band> BandPlan(int clientHeight);

} // namespace installer
