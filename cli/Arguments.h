#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace kadivo::cli {

// A whole decimal number from 0 up, or −1 when `text` is not one.
inline int ParseIndex(const std::string& text) {
    if (text.empty() || text.size() > 9) return -1;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

// The value after the option at `options[i]`; `i` moves onto it.
inline const std::string& OptionValue(const std::vector<std::string>& options, std::size_t& i) {
    if (i + 1 >= options.size()) throw std::invalid_argument(options[i] + " needs a value");
    return options[++i];
}

// Walks a command's arguments: the words not starting with "--" come back in order, and
// every option is handed with its value to `option(name, value)`.
template <typename Option>
std::vector<std::string> SplitArguments(const std::vector<std::string>& args, Option option) {
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.rfind("--", 0) != 0) positional.push_back(arg);
        else option(arg, OptionValue(args, i));
    }
    return positional;
}

// The items of a comma-separated list; an empty text is one empty item.
inline std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> items(1);
    for (char c : text) {
        if (c == ',') items.emplace_back();
        else items.back().push_back(c);
    }
    return items;
}

}  // namespace kadivo::cli
