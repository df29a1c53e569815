// What a file-type registration writes, worked out without touching the registry.
#pragma once

#include <string>
#include <vector>

namespace registration {

// A default value to set, on a key path below HKEY_CLASSES_ROOT.
struct DefaultValue {
    std::string key;
    std::string value;
    bool operator==(const DefaultValue& other) const {
        return key == other.key && value == other.value;
    }
};

// The extension with every dot removed, wherever it stands.
std::string StripDots(const std::string& extension);

// The writes, in order, that make extension known as typeName; none when the extension is only
// dots or empty, or the command is empty. An empty typeName becomes "<ext>_auto_file", an empty
// icon writes no DefaultIcon, and the command gets " %1" with no quoting.
std::vector<DefaultValue> FileTypeWrites(const std::string& extension, const std::string& typeName,
                                         const std::string& description, const std::string& icon,
                                         const std::string& command);

} // namespace registration
