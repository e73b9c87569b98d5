#include "command_line.h"

#include <windows.h>

namespace kestoral {

std::vector<std::string> SplitCommandLine(const char* p) {
    std::vector<std::string> args;
    if (!p) return args;
    for (;;) {
        while (*p != '\0' && static_cast<unsigned char>(*p) <= ' ') ++p;
        if (*p == '\0') break;
        std::string arg;
        bool quoted = false;
        while (*p != '\0' && (quoted || static_cast<unsigned char>(*p) > ' ')) {
            if (*p == '"') {
                quoted = !quoted;
            } else {
                arg += *p;
            }
            ++p;
        }
        args.push_back(std::move(arg));
    }
    return args;
}

std::string ParamStr(int index) {
    const auto args = SplitCommandLine(::GetCommandLineA());
    if (index < 0 || size_t(index) >= args.size()) return {};
    return args[size_t(index)];
}

int ParamCount() {
    const auto args = SplitCommandLine(::GetCommandLineA());
    return args.empty() ? 0 : int(args.size()) - 1;
}

std::string DeriveRunMode(const std::vector<std::string>& args) {
    if (args.size() < 2) return "C";
    const std::string& first = args[1];
    char letter = first.size() >= 2 ? first[1] : '\0';
    if (letter >= 'a' && letter <= 'z') letter = char(letter - 'a' + 'A');
    return std::string(1, letter);
}

}  // namespace kestoral
