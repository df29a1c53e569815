// The Program Manager command texts of the program group, built without any window. Inserted
// texts are joined as they are: Program Manager takes an unquoted group name up to the closing
// parenthesis, and item names and command lines are always quoted.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace progman {

// A group name, command line, item name, icon file or icon index.
constexpr std::size_t kPieceMax = 255;
// Program Manager reads an add-item command into a buffer of this size.
constexpr std::size_t kAddItemMax = 255;
// Every other command goes through the 512-character command buffer.
constexpr std::size_t kCommandMax = 512;

// Each builder sets out and returns true, or returns false (out unchanged) when a piece or the
// whole command does not fit its limit.
bool BuildCreateGroup(const std::string& group, std::string& out);
bool BuildShowGroup(const std::string& group, int showCommand, std::string& out);
bool BuildReplaceItem(const std::string& itemName, std::string& out);
// An empty icon file and icon index leave their parameters out; an icon index alone comes with
// an empty icon file before it.
bool BuildAddItem(const std::string& commandLine, const std::string& itemName,
                  const std::string& iconFile, const std::string& iconIndex, std::string& out);

struct GroupItem {
    const char* fileName; // appended to the installation folder
    const char* itemName;
};

// The application, its preview tool and the uninstaller, in the order they are added.
extern const GroupItem kGroupItems[3];

// The whole conversation for the group: create and show it, then replace and add each item,
// with command lines in installDir (the short form of the folder, no trailing backslash).
// Returns false when any text does not fit, so that nothing is sent for a half-built group.
bool BuildGroupCommands(const std::string& group, const std::string& installDir,
                        std::vector<std::string>& out);

} // namespace progman
