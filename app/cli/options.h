#pragma once

#include <expected>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace cli {

/// One option a sub-command accepts: "-o FILE" or "--output FILE" / "--output=FILE".
struct OptionSpec {
    char shortName;
    std::string longName;
    bool takesValue;
};

/// What the command line held: option values by long name (flags map to "") and the other words in order.
struct ParsedOptions {
    std::map<std::string, std::string> values;
    std::vector<std::string> positional;

    bool has(const std::string& longName) const { return values.contains(longName); }
    std::optional<std::string> value(const std::string& longName) const;
};

/// Parses `words` (the sub-command's arguments) against `specs`; "--" ends the options. The error is a
/// one-line description of the misuse.
std::expected<ParsedOptions, std::string> parseOptions(const std::vector<std::string>& words,
                                                       const std::vector<OptionSpec>& specs);

} // namespace cli
