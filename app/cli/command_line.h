#pragma once

#include "app/cli/options.h"
#include "qr/qr_module.h"

#include <expected>
#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

/// Process exit codes of the command line.
enum ExitCode { kSuccess = 0, kFailure = 1, kUsageError = 2 };

/// Where a sub-command writes: its normal output, its one-line errors, and whether progress may be shown
/// (stderr is a terminal).
struct Console {
    std::ostream& out;
    std::ostream& err;
    bool showProgress = false;
};

/// Runs the sub-command named by words[0] with the rest as its arguments; never opens a window.
int run(const std::vector<std::string>& words, Console& console);

/// The sub-commands, each given its own arguments.
int runQr(const std::vector<std::string>& arguments, Console& console);
int runChannelQr(const std::vector<std::string>& arguments, Console& console);
int runLinks(const std::vector<std::string>& arguments, Console& console);

/// Parses a sub-command's arguments against `options` (each sub-command takes -h/--help). Returns the
/// options to work with, or the exit code to end with: after printing `help`, or after a misuse.
std::expected<ParsedOptions, int> parseCommand(const std::vector<std::string>& arguments,
                                               const std::vector<OptionSpec>& options,
                                               const std::string& command, const char* help,
                                               Console& console);

/// A QR module report as one line: its title, class, method and message.
std::string reportOnOneLine(const qr::ErrorReport& report);

/// Writes "varrow-toolbox <command>: <message>" as one line on the error stream.
void reportError(Console& console, const std::string& command, const std::string& message);

} // namespace cli
