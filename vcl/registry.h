// TRegIniFile: registry access in the manner of an INI file. A root key, at most one open key
// below it, and string writes addressed by section (a key path) and ident (a value name).
// Failures throw ERegistryException.
#pragma once

#include <windows.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>

namespace vcl {

class ERegistryException : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Owns one opened registry key and closes it when released.
struct TRegKeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using TRegKey = std::unique_ptr<std::remove_pointer_t<HKEY>, TRegKeyCloser>;

class TRegIniFile {
  public:
    // Created with no file name: no key is open and the root is HKEY_CURRENT_USER.
    TRegIniFile() = default;
    TRegIniFile(const TRegIniFile&) = delete;
    TRegIniFile& operator=(const TRegIniFile&) = delete;

    HKEY RootKey() const { return root_; }
    // Closes the open key, so that the next relative path starts at the new root.
    void SetRootKey(HKEY root);

    // The open key, or null when none is.
    HKEY CurrentKey() const { return current_.get(); }
    void CloseKey() { current_.reset(); }

    // Opens key relative to the open key (to the root when none is open); with canCreate every
    // missing level is created. On success the key becomes the open key.
    bool OpenKey(const std::string& key, bool canCreate);

    // Sets value ident (empty: the key's default value) of the key section below the open key
    // (below the root when none is open) to value as REG_SZ, creating the key when missing.
    void WriteString(const std::string& section, const std::string& ident,
                     const std::string& value);

  private:
    HKEY BaseKey() const { return current_ ? current_.get() : root_; }

    HKEY root_ = HKEY_CURRENT_USER; // predefined keys are never closed
    TRegKey current_;
};

} // namespace vcl
