#include "vcl/registry.h"

namespace vcl {

namespace {

// Everything this class does with a key it holds: read, create subkeys, set values.
constexpr REGSAM kAccess = KEY_READ | KEY_WRITE;

LONG CreateKey(HKEY base, const std::string& path, HKEY* key) {
    return RegCreateKeyExA(base, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, kAccess,
                           nullptr, key, nullptr);
}

} // namespace

void TRegIniFile::SetRootKey(HKEY root) {
    CloseKey();
    root_ = root;
}

bool TRegIniFile::OpenKey(const std::string& key, bool canCreate) {
    HKEY opened = nullptr;
    const LONG result = canCreate ? CreateKey(BaseKey(), key, &opened)
                                  : RegOpenKeyExA(BaseKey(), key.c_str(), 0, kAccess, &opened);
    if (result != ERROR_SUCCESS)
        return false;
    current_.reset(opened); // only now: the new key was looked up relative to the old one
    return true;
}

void TRegIniFile::WriteString(const std::string& section, const std::string& ident,
                              const std::string& value) {
    HKEY created = nullptr;
    if (CreateKey(BaseKey(), section, &created) != ERROR_SUCCESS)
        throw ERegistryException("Failed to create key " + section);
    TRegKey{created}.reset();

    // The value is set through a handle opened for writing alone; a key that went away or lost
    // its write access since it was created is passed over.
    HKEY opened = nullptr;
    if (RegOpenKeyExA(BaseKey(), section.c_str(), 0, KEY_SET_VALUE, &opened) != ERROR_SUCCESS)
        return;
    const TRegKey key(opened);
    const auto* data = reinterpret_cast<const BYTE*>(value.c_str());
    if (RegSetValueExA(key.get(), ident.c_str(), 0, REG_SZ, data,
                       static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
        throw ERegistryException("Failed to set data for '" + ident + "'");
}

} // namespace vcl
