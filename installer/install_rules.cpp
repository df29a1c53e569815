#include "installer/install_rules.h"

namespace installer {

std::string FolderOf(const std::string& path) {
    std::string::size_type at = path.find_last_of("\\:");
    return at == std::string::npos ? std::string() : path.substr(0, at + 1);
}

std::string SourceFolder(const std::vector<std::string>& args, const std::string& programPath) {
    std::string source = args.empty() ? std::string() : args[0];
    if (!source.empty() && source[0] == '/')
        source = args.size() > 1 ? args[1] : std::string();
    if (source.empty())
        source = FolderOf(programPath);
    return WithBackslash(source);
}

std::string TargetFileName(const std::string& expandedName) {
    std::string::size_type sep = expandedName.find_last_of("\\:");
    std::string name = sep == std::string::npos ? expandedName : expandedName.substr(sep + 1);
    std::string::size_type last = name.rfind('.');
    std::string ext = last == std::string::npos ? std::string() : name.substr(last);
    std::string::size_type first = name.find('.');
    if (first != std::string::npos)
        name.erase(first, 4);
    return name + ext;
}

std::string WithBackslash(const std::string& folder) {
    return !folder.empty() && folder.back() == '\\' ? folder : folder + '\\';
}

int TotalFileCount(bool programFiles, bool templateFiles) {
    int count = (programFiles ? 6 : 0) + (templateFiles ? 22 : 0);
    return count ? count : 1;
}

int ProgressPosition(int filesDone, int total) {
    return filesDone * 100 / total;
}

std::vector<Band> BandPlan(int clientHeight) {
    std::vector<Band> bands;
    const int h = clientHeight / 64 + 1;
    std::uint8_t level = 255;
    // Counted wider than int: for a height near the top of int's range the step past the last
    // band would overflow.
    for (long long top = 0; top < clientHeight; top += h) {
        bands.push_back({static_cast<int>(top), h, level});
        level = static_cast<std::uint8_t>(level - 4);
    }
    return bands;
}

} // namespace installer
