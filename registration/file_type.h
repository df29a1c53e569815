// Registers a document file extension with the shell under HKEY_CLASSES_ROOT.
#pragma once

#include <string>

namespace registration {

// Records the extension (dots optional) as belonging to typeName, the type's display name, its
// icon when given, and "command %1" as the way to open it. An extension of only dots, or an
// empty command, registers nothing. Registry failures propagate as vcl::ERegistryException;
// what was written before stays.
void RegisterFileType(const std::string& extension, const std::string& typeName,
                      const std::string& description, const std::string& icon,
                      const std::string& command);

} // namespace registration
