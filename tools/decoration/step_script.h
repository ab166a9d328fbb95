#pragma once

// The keys and clicks that make up one page of the decoration run, kept as a small text file the user
// can adapt to the page without rebuilding the program. The format is described in the built-in
// default (defaultStepScriptText), which is also written out as the editable file.

#include <cstdint>
#include <expected>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace decoration {

struct Step {
    enum class Kind {
        KeyDown,        ///< key down only
        KeyUp,          ///< key up only
        KeyPress,       ///< key down, then up
        Characters,     ///< each character of `text` as a character message
        ClickInWindow,  ///< click at a client point of the browser window, cursor put back
        ClickOnScreen,  ///< left click at a screen point, cursor stays
        Wait,           ///< a fixed wait of `milliseconds`
        WaitGeneration, ///< the "生成延迟" wait
    };
    Kind kind = Kind::Wait;
    std::uint32_t keyCode = 0; ///< virtual-key code of the key steps
    bool systemKey = false;    ///< the key is pressed with Alt
    std::u32string text;       ///< Characters
    int x = 0;
    int y = 0;
    int button = 1; ///< ClickInWindow: 1 left, 2 right
    int milliseconds = 0;
    int line = 0; ///< where the step stands in the script, for messages

    /// True for the steps that act on the browser (keys and clicks), after which the action delay runs.
    bool isAction() const { return kind != Kind::Wait && kind != Kind::WaitGeneration; }
    friend bool operator==(const Step&, const Step&) = default;
};

using StepList = std::vector<Step>;

struct ScriptError {
    enum class Kind { Unreadable, Syntax, Empty };
    Kind kind = Kind::Syntax;
    int line = 0;       ///< Syntax: the line at fault, from 1
    std::string detail; ///< Syntax: the offending text; Unreadable: what the system said
};

/// A step file is a few lines; anything far larger is not one.
inline constexpr std::uintmax_t kMaxStepScriptBytes = 1 << 20;

/// The file name of the editable script in the run directory.
inline constexpr std::string_view kStepScriptFileName = "详情装修步骤.txt";

/// The built-in script with its description in comments: what the program uses and writes out when
/// there is no script file yet.
std::string_view defaultStepScriptText();

/// Reads a script (UTF-8, with or without a byte-order mark, LF or CR LF lines).
std::expected<StepList, ScriptError> parseStepScript(std::string_view text);

/// The virtual-key code a key name stands for ("Enter", "F5", "A", "Numpad3", "0x63"), without regard
/// to case; 0 for an unknown name.
std::uint32_t virtualKeyForName(std::string_view name);

/// Loads the script at `path`. When the file does not exist yet, the built-in script is used and
/// written there for the user to edit (a failure to write it is no error).
std::expected<StepList, ScriptError> loadStepScript(const std::filesystem::path& path);

} // namespace decoration
