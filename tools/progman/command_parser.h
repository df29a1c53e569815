// Program Manager's command language: one or more "[Name(param,param,...)]" in a row. A
// parameter in double quotes is taken as it stands (commas, blanks and parentheses included);
// an unquoted one runs to the next comma or closing parenthesis, blanks around it dropped.
#pragma once

#include <string>
#include <vector>

namespace progman_server {

struct Command {
    std::string name;
    std::vector<std::string> params;
};

// False when the text is not a sequence of well-formed commands.
bool ParseCommands(const std::string& text, std::vector<Command>& out);

} // namespace progman_server
