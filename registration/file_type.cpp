#include "registration/file_type.h"

#include "registration/file_type_plan.h"
#include "vcl/registry.h"

namespace registration {

void RegisterFileType(const std::string& extension, const std::string& typeName,
                      const std::string& description, const std::string& icon,
                      const std::string& command) {
    const auto writes = FileTypeWrites(extension, typeName, description, icon, command);
    if (writes.empty())
        return;
    vcl::TRegIniFile registry;
    registry.SetRootKey(HKEY_CLASSES_ROOT);
    for (const auto& write : writes)
        registry.WriteString(write.key, "", write.value);
}

} // namespace registration
