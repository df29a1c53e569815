#include "registration/file_type_plan.h"

#include <algorithm>

namespace registration {

std::string StripDots(const std::string& extension) {
    std::string bare = extension;
    bare.erase(std::remove(bare.begin(), bare.end(), '.'), bare.end());
    return bare;
}

std::vector<DefaultValue> FileTypeWrites(const std::string& extension, const std::string& typeName,
                                         const std::string& description, const std::string& icon,
                                         const std::string& command) {
    const std::string bare = StripDots(extension);
    if (bare.empty() || command.empty())
        return {};
    const std::string type = typeName.empty() ? bare + "_auto_file" : typeName;
    std::vector<DefaultValue> writes{{"." + bare, type}, {type, description}};
    if (!icon.empty())
        writes.push_back({type + "\\DefaultIcon", icon});
    writes.push_back({type + "\\shell\\open\\command", command + " %1"});
    return writes;
}

} // namespace registration
