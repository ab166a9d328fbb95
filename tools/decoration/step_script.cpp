#include "tools/decoration/step_script.h"

#include "platform/files.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <system_error>

namespace decoration {
namespace {

constexpr std::string_view kDefaultScript = R"(# 详情装修：每一页的操作步骤
#
# 点击“开始（F7）”后，程序找到标题含“旺铺-商品装修 - Google Chrome”的谷歌浏览器窗口，
# 按“商品页数”把下面的步骤从上到下执行若干遍，每遍处理一页。
# 每个按键或点击动作之后等待“动作延迟”；generate 一行等待“生成延迟”。
# 按 F8 或“结束（F8）”按钮，会在两个动作之间停下。
#
# 可以按自己的页面修改本文件（UTF-8 编码），改完后重新点“开始”即可生效，无需重装程序。
# 删除本文件后，下次开始时会重新写出这份默认步骤。
#
# 每行一个步骤，# 之后是说明，空行不执行：
#   keydown <键>              按下键（不松开）
#   keyup <键>                松开键
#   press <键>                按一下键（按下再松开）
#   char <文字>               把 char 后面的文字逐字发给页面（到行尾为止，# 也算文字）
#   click <x> <y> [right]     在浏览器窗口内的 (x, y) 点击左键（加 right 为右键），点完鼠标回到原处
#   screenclick <x> <y>       在屏幕坐标 (x, y) 点击左键，鼠标停在那里
#   wait <毫秒>               等待固定的时间
#   generate                  等待“生成延迟”，让页面生成内容
#
# <键> 可以写键名：Enter Tab Esc Space Backspace Delete Insert Home End PageUp PageDown
#   Left Right Up Down Shift Ctrl Alt F1~F24 A~Z 0~9 Numpad0~Numpad9，
#   也可以写十六进制的 Windows 虚拟键码，如 0x63（数字键盘 3）。
#   键后面加 alt 表示按住 Alt 的系统键，如：press F alt
#
# 默认步骤只是起点：按下数字键盘 3，点击窗口内 (407, 293)，等待生成，再点击屏幕 (100, 200)。
# 请按自己页面上按钮的位置修改坐标和按键。
keydown 0x63
click 407 293
generate
screenclick 100 200
)";

struct KeyName {
    std::string_view name;
    std::uint32_t code;
};

constexpr KeyName kKeyNames[] = {
    {"backspace", 0x08}, {"tab", 0x09},     {"enter", 0x0D},  {"return", 0x0D}, {"shift", 0x10},
    {"ctrl", 0x11},      {"control", 0x11}, {"alt", 0x12},    {"pause", 0x13},  {"capslock", 0x14},
    {"esc", 0x1B},       {"escape", 0x1B},  {"space", 0x20},  {"pageup", 0x21}, {"pagedown", 0x22},
    {"end", 0x23},       {"home", 0x24},    {"left", 0x25},   {"up", 0x26},     {"right", 0x27},
    {"down", 0x28},      {"insert", 0x2D},  {"delete", 0x2E}, {"del", 0x2E},
};

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowered(std::string_view text) {
    std::string result(text);
    std::ranges::transform(result, result.begin(), lowerAscii);
    return result;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

std::vector<std::string_view> tokens(std::string_view text) {
    std::vector<std::string_view> result;
    while (true) {
        text = trimmed(text);
        if (text.empty())
            return result;
        std::size_t end = 0;
        while (end < text.size() && !isSpace(text[end]))
            ++end;
        result.push_back(text.substr(0, end));
        text.remove_prefix(end);
    }
}

std::optional<int> integerIn(std::string_view text, int low, int high) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing beyond U+10FFFF.
std::optional<std::u32string> decodeUtf8(std::string_view text) {
    std::u32string result;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int length = 0;
        char32_t value = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            length = 1;
            value = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            value = lead & 0x1F;
            minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            value = lead & 0x0F;
            minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            value = lead & 0x07;
            minimum = 0x10000;
        } else {
            return std::nullopt;
        }
        if (i + length > text.size())
            return std::nullopt;
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return std::nullopt;
            value = (value << 6) | (next & 0x3F);
        }
        if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return std::nullopt;
        result.push_back(value);
        i += length;
    }
    return result;
}

std::expected<Step, ScriptError> parseLine(std::string_view line, int number) {
    const auto fault = [&] {
        return std::unexpected(ScriptError{ScriptError::Kind::Syntax, number, std::string(trimmed(line))});
    };
    const std::string_view body = trimmed(line);
    std::size_t keywordEnd = 0;
    while (keywordEnd < body.size() && !isSpace(body[keywordEnd]))
        ++keywordEnd;
    const std::string keyword = lowered(body.substr(0, keywordEnd));
    Step step;
    step.line = number;

    if (keyword == "char") {
        // The text runs to the end of the line, '#' included; one blank separates it from the keyword.
        if (keywordEnd >= body.size())
            return fault();
        std::optional<std::u32string> text = decodeUtf8(body.substr(keywordEnd + 1));
        if (!text || text->empty())
            return fault();
        step.kind = Step::Kind::Characters;
        step.text = std::move(*text);
        return step;
    }

    std::string_view rest = body.substr(keywordEnd);
    if (const std::size_t comment = rest.find('#'); comment != std::string_view::npos)
        rest = rest.substr(0, comment);
    const std::vector<std::string_view> arguments = tokens(rest);

    if (keyword == "keydown" || keyword == "keyup" || keyword == "press") {
        if (arguments.empty() || arguments.size() > 2)
            return fault();
        step.keyCode = virtualKeyForName(arguments[0]);
        if (step.keyCode == 0)
            return fault();
        if (arguments.size() == 2) {
            if (lowered(arguments[1]) != "alt")
                return fault();
            step.systemKey = true;
        }
        step.kind = keyword == "keydown" ? Step::Kind::KeyDown
                    : keyword == "keyup" ? Step::Kind::KeyUp
                                         : Step::Kind::KeyPress;
        return step;
    }
    if (keyword == "click" || keyword == "screenclick") {
        const bool inWindow = keyword == "click";
        if (arguments.size() < 2 || arguments.size() > (inWindow ? 3u : 2u))
            return fault();
        constexpr int kLimit = 100000;
        const std::optional<int> x = integerIn(arguments[0], -kLimit, kLimit);
        const std::optional<int> y = integerIn(arguments[1], -kLimit, kLimit);
        if (!x || !y)
            return fault();
        step.x = *x;
        step.y = *y;
        step.kind = inWindow ? Step::Kind::ClickInWindow : Step::Kind::ClickOnScreen;
        if (arguments.size() == 3) {
            const std::string button = lowered(arguments[2]);
            if (button == "right")
                step.button = 2;
            else if (button != "left")
                return fault();
        }
        return step;
    }
    if (keyword == "wait") {
        if (arguments.size() != 1)
            return fault();
        const std::optional<int> milliseconds = integerIn(arguments[0], 0, 3'600'000);
        if (!milliseconds)
            return fault();
        step.kind = Step::Kind::Wait;
        step.milliseconds = *milliseconds;
        return step;
    }
    if (keyword == "generate" && arguments.empty()) {
        step.kind = Step::Kind::WaitGeneration;
        return step;
    }
    return fault();
}

} // namespace

std::string_view defaultStepScriptText() {
    return kDefaultScript;
}

std::uint32_t virtualKeyForName(std::string_view name) {
    const std::string key = lowered(name);
    if (key.size() > 2 && key.starts_with("0x")) {
        std::uint32_t code = 0;
        const auto [end, error] = std::from_chars(key.data() + 2, key.data() + key.size(), code, 16);
        return error == std::errc() && end == key.data() + key.size() && code >= 0x01 && code <= 0xFE ? code
                                                                                                      : 0;
    }
    if (key.size() == 1 && ((key[0] >= 'a' && key[0] <= 'z') || (key[0] >= '0' && key[0] <= '9')))
        return static_cast<std::uint32_t>(key[0] >= 'a' ? key[0] - 'a' + 'A' : key[0]);
    if (key.size() == 7 && key.starts_with("numpad") && key[6] >= '0' && key[6] <= '9')
        return 0x60 + static_cast<std::uint32_t>(key[6] - '0');
    if (key.size() >= 2 && key[0] == 'f')
        if (const std::optional<int> n = integerIn(std::string_view(key).substr(1), 1, 24);
            n && key[1] != '0' && key[1] != '+' && key[1] != '-')
            return 0x70 + static_cast<std::uint32_t>(*n - 1);
    for (const KeyName& entry : kKeyNames)
        if (entry.name == key)
            return entry.code;
    return 0;
}

std::expected<StepList, ScriptError> parseStepScript(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    StepList steps;
    int number = 0;
    while (!text.empty()) {
        ++number;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        const std::string_view body = trimmed(line);
        if (body.empty() || body.starts_with('#'))
            continue;
        std::expected<Step, ScriptError> step = parseLine(line, number);
        if (!step)
            return std::unexpected(std::move(step.error()));
        steps.push_back(std::move(*step));
    }
    if (std::ranges::none_of(steps, &Step::isAction))
        return std::unexpected(ScriptError{ScriptError::Kind::Empty, 0, {}});
    return steps;
}

std::expected<StepList, ScriptError> loadStepScript(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error) && !error) {
        // Writing the default out is a courtesy to the user; a read-only directory changes nothing.
        (void)platform::writeFileAtomically(path, defaultStepScriptText());
        return parseStepScript(defaultStepScriptText());
    }
    // The file is read when the user presses start: a pipe, a device or a huge file in its place must
    // give a message, not a frozen window.
    if (!std::filesystem::is_regular_file(path, error))
        return std::unexpected(ScriptError{ScriptError::Kind::Unreadable, 0, "不是普通的文本文件"});
    if (std::filesystem::file_size(path, error) > kMaxStepScriptBytes)
        return std::unexpected(ScriptError{ScriptError::Kind::Unreadable, 0, "文件太大，不像步骤文件"});
    std::expected<std::string, std::string> text = platform::readWholeFile(path);
    if (!text)
        return std::unexpected(ScriptError{ScriptError::Kind::Unreadable, 0, text.error()});
    return parseStepScript(*text);
}

} // namespace decoration
