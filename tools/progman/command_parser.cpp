#include "tools/progman/command_parser.h"

#include <cctype>

namespace progman_server {

namespace {

class Reader {
  public:
    explicit Reader(const std::string& text) : text_(text) {}

    void SkipBlanks() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                       text_[pos_] == '\r' || text_[pos_] == '\n'))
            ++pos_;
    }
    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
    bool Take(char c) {
        SkipBlanks();
        if (Peek() != c)
            return false;
        ++pos_;
        return true;
    }

    bool Name(std::string& name) {
        SkipBlanks();
        while (!AtEnd() && std::isalpha(static_cast<unsigned char>(Peek())))
            name += text_[pos_++];
        return !name.empty();
    }

    bool Param(std::string& param) {
        SkipBlanks();
        if (Peek() == '"') {
            std::size_t close = text_.find('"', pos_ + 1);
            if (close == std::string::npos)
                return false;
            param = text_.substr(pos_ + 1, close - pos_ - 1);
            pos_ = close + 1;
            SkipBlanks();
            return Peek() == ',' || Peek() == ')';
        }
        while (!AtEnd() && Peek() != ',' && Peek() != ')') {
            if (Peek() == '"' || Peek() == '[' || Peek() == ']')
                return false;
            param += text_[pos_++];
        }
        while (!param.empty() && (param.back() == ' ' || param.back() == '\t'))
            param.pop_back();
        return !AtEnd();
    }

  private:
    const std::string& text_;
    std::size_t pos_ = 0;
};

} // namespace

bool ParseCommands(const std::string& text, std::vector<Command>& out) {
    Reader in(text);
    std::vector<Command> commands;
    in.SkipBlanks();
    while (!in.AtEnd()) {
        Command command;
        if (!in.Take('[') || !in.Name(command.name))
            return false;
        if (in.Take('(')) {
            do {
                std::string param;
                if (!in.Param(param))
                    return false;
                command.params.push_back(std::move(param));
            } while (in.Take(','));
            if (!in.Take(')'))
                return false;
        }
        if (!in.Take(']'))
            return false;
        commands.push_back(std::move(command));
        in.SkipBlanks();
    }
    if (commands.empty())
        return false;
    out = std::move(commands);
    return true;
}

} // namespace progman_server
