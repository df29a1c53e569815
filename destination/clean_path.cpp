#include "destination/clean_path.h"

namespace destination {

bool IsAllowedPathChar(unsigned char c) {
    return c == ' ' || c == '-' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '\\' ||
           c == '_' || (c >= 'a' && c <= 'z');
}

bool CleanPath(const std::string& path, std::string& cleaned) {
    if (path.size() < 3 || path[1] != ':' || path[2] != '\\')
        return false;
    std::string copy = path;
    for (size_t i = 3; i < copy.size(); ++i)
        if (!IsAllowedPathChar(static_cast<unsigned char>(copy[i])))
            copy[i] = '_';
    cleaned = copy;
    return true;
}

std::string WithDriveLetter(char driveLetter, const std::string& destination) {
    char letter = driveLetter >= 'a' && driveLetter <= 'z' ? static_cast<char>(driveLetter - 32)
                                                           : driveLetter;
    return std::string(1, letter) + (destination.empty() ? std::string() : destination.substr(1));
}

} // namespace destination
