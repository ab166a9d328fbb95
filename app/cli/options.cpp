#include "app/cli/options.h"

namespace cli {

std::optional<std::string> ParsedOptions::value(const std::string& longName) const {
    if (const auto found = values.find(longName); found != values.end())
        return found->second;
    return std::nullopt;
}

std::expected<ParsedOptions, std::string> parseOptions(const std::vector<std::string>& words,
                                                       const std::vector<OptionSpec>& specs) {
    ParsedOptions parsed;
    bool optionsEnded = false;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (optionsEnded || word.size() < 2 || word[0] != '-') {
            parsed.positional.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        const OptionSpec* matched = nullptr;
        std::optional<std::string> inlineValue;
        if (word.starts_with("--")) {
            std::string name = word.substr(2);
            if (const size_t equals = name.find('='); equals != std::string::npos) {
                inlineValue = name.substr(equals + 1);
                name.resize(equals);
            }
            for (const OptionSpec& candidate : specs)
                if (candidate.longName == name)
                    matched = &candidate;
        } else {
            for (const OptionSpec& candidate : specs)
                if (candidate.shortName == word[1])
                    matched = &candidate;
            if (matched && word.size() > 2)
                inlineValue = word.substr(2); // "-lM" as well as "-l M"
        }
        if (!matched)
            return std::unexpected("未知选项 " + word);
        if (!matched->takesValue) {
            if (inlineValue)
                return std::unexpected("选项 " + word + " 不带参数");
            parsed.values[matched->longName] = "";
            continue;
        }
        if (!inlineValue) {
            if (i + 1 >= words.size())
                return std::unexpected("选项 " + word + " 缺少参数");
            inlineValue = words[++i];
        }
        parsed.values[matched->longName] = *inlineValue;
    }
    return parsed;
}

} // namespace cli
