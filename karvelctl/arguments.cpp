// SPDX-License-Identifier: MIT
#include "arguments.h"

#include <algorithm>
#include <charconv>

namespace karvel::ctl {

std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& args, std::string& why) {
    CommandLine line;
    size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word == "-f") {
            if (i + 1 >= args.size()) {
                why = "-f needs an address (H:T:L)";
                return std::nullopt;
            }
            if (line.changerAddress) {
                why = "-f given twice";
                return std::nullopt;
            }
            line.changerAddress = args[++i];
        } else if (word == "--help" || word == "-h") {
            line.help = true;
        } else if (word == "--version") {
            line.version = true;
        } else if (!word.empty() && word[0] == '-') {
            why = "unknown option '" + word + "'";
            return std::nullopt;
        } else {
            break;
        }
    }
    if (i < args.size()) {
        line.command = args[i];
        line.commandArguments.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
    }
    return line;
}

bool CommandArguments::has(std::string_view flag) const {
    return std::find(flags.begin(), flags.end(), flag) != flags.end();
}

std::optional<CommandArguments> parseCommandArguments(const std::vector<std::string>& args,
                                                        std::initializer_list<std::string_view> allowed,
                                                        size_t maxPositionals, std::string& why) {
    CommandArguments parsed;
    bool flagsEnded = false;
    for (const std::string& word : args) {
        const bool looksLikeFlag = !flagsEnded && word.size() > 1 && word[0] == '-' &&
                                   !(word[1] >= '0' && word[1] <= '9');
        if (!flagsEnded && word == "--") {
            flagsEnded = true;
        } else if (looksLikeFlag) {
            if (std::find(allowed.begin(), allowed.end(), word) == allowed.end()) {
                why = "unknown option '" + word + "'";
                return std::nullopt;
            }
            parsed.flags.push_back(word);
        } else {
            parsed.positionals.push_back(word);
        }
    }
    if (parsed.positionals.size() > maxPositionals) {
        why = "too many arguments";
        return std::nullopt;
    }
    return parsed;
}

std::optional<unsigned> parseDecimal(std::string_view text, unsigned minimum, unsigned maximum) {
    if (text.empty() || text.size() > 9 || text[0] < '0' || text[0] > '9')
        return std::nullopt;
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < minimum || value > maximum)
        return std::nullopt;
    return value;
}

}  // namespace karvel::ctl
