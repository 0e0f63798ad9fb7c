#include "desktop/CommandLine.h"

#include <string_view>

namespace vx {

std::vector<std::string> SplitArguments(const std::string& text) {
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    enum class Quote { None, Single, Double } quote = Quote::None;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (quote) {
            case Quote::Single:
                if (c == '\'') {
                    quote = Quote::None;
                } else {
                    current += c;
                }
                continue;
            case Quote::Double:
                if (c == '"') {
                    quote = Quote::None;
                } else if (c == '\\' && i + 1 < text.size() &&
                           std::string_view("\\\"$`").find(text[i + 1]) != std::string::npos) {
                    current += text[++i];
                } else {
                    current += c;
                }
                continue;
            case Quote::None:
                break;
        }
        if (c == ' ' || c == '\t' || c == '\n') {
            if (inArgument) {
                arguments.push_back(std::move(current));
                current.clear();
                inArgument = false;
            }
            continue;
        }
        inArgument = true;
        if (c == '\'') {
            quote = Quote::Single;
        } else if (c == '"') {
            quote = Quote::Double;
        } else if (c == '\\' && i + 1 < text.size()) {
            current += text[++i];
        } else {
            current += c;
        }
    }
    if (inArgument) {
        arguments.push_back(std::move(current));
    }
    return arguments;
}

}  // namespace vx
