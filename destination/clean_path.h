// The destination rule: which texts are a destination folder, and how one is cleaned.
#pragma once

#include <string>

namespace destination {

// True for the bytes a folder name may keep: space, hyphen, digits, letters, backslash, underscore.
bool IsAllowedPathChar(unsigned char c);

// A destination must start with a drive character, a colon and a backslash (the first character is
// not examined). On success every byte after those three that is not allowed becomes "_" and the
// result goes to cleaned; on failure cleaned is left as it was.
bool CleanPath(const std::string& path, std::string& cleaned);

// The destination after a change of drive: the (upper-cased) letter in place of its first
// character.
std::string WithDriveLetter(char driveLetter, const std::string& destination);

} // namespace destination
