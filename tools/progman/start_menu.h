// Program groups as the shell keeps them today: a folder under the Start Menu's Programs folder
// per group, a shortcut "<item name>.lnk" per item.
#pragma once

#include <string>

namespace progman_server {

class StartMenu {
  public:
    // Each returns false when the command cannot be carried out.
    bool CreateGroup(const std::string& name);
    bool ShowGroup(const std::string& name);
    bool DeleteGroup(const std::string& name);
    // Items go into the group created or shown last.
    bool ReplaceItem(const std::string& name);
    bool AddItem(const std::string& commandLine, std::string name, const std::string& iconPath,
                 const std::string& iconIndex);

  private:
    bool GroupFolder(const std::string& name, std::string& folder) const;
    std::string current_; // folder of the group items go into
};

} // namespace progman_server
