#include "registration/settings.h"

#include "registration/settings_plan.h"
#include "vcl/registry.h"

#include <string>

namespace registration {

void WriteSettings(bool programFiles, const std::string& installDir) {
    vcl::TRegIniFile registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    if (programFiles)
        registry.WriteString(kSettingsKey, kInstallPathValue, installDir);

    registry.SetRootKey(HKEY_CURRENT_USER);
    // Unopened, the table would land in HKEY_CURRENT_USER\PaperName where nothing looks for it.
    if (!registry.OpenKey(kSettingsKey, true))
        throw vcl::ERegistryException(std::string("Failed to create key ") + kSettingsKey);
    for (const auto& paper : kPaperSizes)
        registry.WriteString(kPaperSection, paper.name, paper.data);
}

} // namespace registration
