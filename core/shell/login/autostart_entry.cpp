#include "shell/login/autostart_entry.h"

#include "common/text.h"

#include <sstream>

namespace zentrel {
namespace {

constexpr std::string_view reservedInExec = " \t\n\"'\\><~|&;$*?#()`";

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

} // namespace

std::string desktopExecArgument(const std::string &argument)
{
    std::string quoted;
    bool needsQuotes = argument.empty();
    for (const char c : argument) {
        if (c == '%') {
            // A lone % would start a field code.
            quoted += "%%";
            continue;
        }
        if (reservedInExec.find(c) != std::string_view::npos) {
            needsQuotes = true;
        }
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    if (needsQuotes) {
        quoted = '"' + quoted + '"';
    }
    // The value itself is a string, whose own escape is the backslash.
    std::string escaped;
    for (const char c : quoted) {
        if (c == '\\') {
            escaped += '\\';
        }
        escaped += c;
    }
    return escaped;
}

std::string autostartEntryText(const std::string &executable)
{
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Zentrel\n"
           "Comment=Draw, zoom and highlight on the screen while presenting\n"
           "Exec="
           + desktopExecArgument(executable)
           + "\n"
             "Icon=zentrel\n"
             "Terminal=false\n"
             "X-GNOME-Autostart-enabled=true\n";
}

bool isActiveAutostartEntry(std::string_view text)
{
    std::istringstream lines{std::string(text)};
    std::string line;
    bool inEntry = false;
    bool sawEntry = false;
    bool hasExec = false;
    bool switchedOff = false;
    while (std::getline(lines, line)) {
        const std::string_view content = trimmed(line);
        if (content.empty() || content.front() == '#') {
            continue;
        }
        if (content.front() == '[') {
            inEntry = content == "[Desktop Entry]";
            sawEntry = sawEntry || inEntry;
            continue;
        }
        const auto equals = content.find('=');
        if (!inEntry || equals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = trimmed(content.substr(0, equals));
        const std::string value = asciiLowercased(trimmed(content.substr(equals + 1)));
        if (key == "Exec") {
            hasExec = !value.empty();
        } else if (key == "Hidden") {
            switchedOff = switchedOff || value == "true";
        } else if (key == "X-GNOME-Autostart-enabled") {
            switchedOff = switchedOff || value == "false";
        }
    }
    return sawEntry && hasExec && !switchedOff;
}

} // namespace zentrel
