#include "progman/commands.h"

namespace progman {

const GroupItem kGroupItems[3] = {
    {"\\VR2000.EXE", "Vorelle 2000"},
    {"\\VPreview.EXE", "VorellePreview"},
    {"\\UNINST.EXE", "Uninstall Vorelle 2000"},
};

namespace {

bool Fits(const std::string& piece) {
    return piece.size() <= kPieceMax;
}

bool Finish(std::string text, std::size_t limit, std::string& out) {
    if (text.size() > limit)
        return false;
    out = std::move(text);
    return true;
}

std::string Quoted(const std::string& text) {
    return '"' + text + '"';
}

} // namespace

bool BuildCreateGroup(const std::string& group, std::string& out) {
    if (!Fits(group))
        return false;
    return Finish("[CreateGroup(" + group + ")]", kCommandMax, out);
}

bool BuildShowGroup(const std::string& group, int showCommand, std::string& out) {
    if (!Fits(group))
        return false;
    return Finish("[ShowGroup(" + group + "," + std::to_string(showCommand) + ")]", kCommandMax,
                  out);
}

bool BuildReplaceItem(const std::string& itemName, std::string& out) {
    if (!Fits(itemName))
        return false;
    return Finish("[ReplaceItem(" + Quoted(itemName) + ")]", kCommandMax, out);
}

bool BuildAddItem(const std::string& commandLine, const std::string& itemName,
                  const std::string& iconFile, const std::string& iconIndex, std::string& out) {
    if (!Fits(commandLine) || !Fits(itemName) || !Fits(iconFile) || !Fits(iconIndex))
        return false;
    std::string text = "[AddItem(" + Quoted(commandLine) + "," + Quoted(itemName);
    if (!iconFile.empty() || !iconIndex.empty())
        text += "," + Quoted(iconFile);
    if (!iconIndex.empty())
        text += "," + iconIndex;
    text += ")]";
    return Finish(std::move(text), kAddItemMax, out);
}

bool BuildGroupCommands(const std::string& group, const std::string& installDir,
                        std::vector<std::string>& out) {
    std::vector<std::string> commands(2);
    if (!BuildCreateGroup(group, commands[0]) || !BuildShowGroup(group, 1, commands[1]))
        return false;
    for (const GroupItem& item : kGroupItems) {
        std::string replace, add;
        if (!BuildReplaceItem(item.itemName, replace) ||
            !BuildAddItem(installDir + item.fileName, item.itemName, "", "", add))
            return false;
        commands.push_back(std::move(replace));
        commands.push_back(std::move(add));
    }
    out = std::move(commands);
    return true;
}

} // namespace progman
