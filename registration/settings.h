// The settings step of the installation: the install path for all users and the paper-size
// table for the current user.
#pragma once

#include <string>

namespace registration {

// Writes "InstallPath" = installDir below HKEY_LOCAL_MACHINE when programFiles is set, then the
// paper-size table below HKEY_CURRENT_USER. Registry failures propagate as
// vcl::ERegistryException; what was written before stays.
void WriteSettings(bool programFiles, const std::string& installDir);

} // namespace registration
