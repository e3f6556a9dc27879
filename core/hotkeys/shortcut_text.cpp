#include "hotkeys/shortcut_text.h"

#include "common/text.h"

#include <array>
#include <utility>

namespace zentrel::hotkeys {
namespace {

struct SpecialKey
{
    int keyCode;
    const char *symbol;
    const char *word;
};

// Keys that type no character of their own: their symbol and the word a Linux menu shows.
constexpr auto specialKeys = std::to_array<SpecialKey>({
    {36, "\u21A9", "Return"},
    {51, "\u232B", "Backspace"},
    {117, "\u2326", "Del"},
    {119, "\u2198", "End"},
    {53, "\u238B", "Esc"},
    {114, "?\u20DD", "Help"},
    {115, "\u2196", "Home"},
    {49, "Space", "Space"},
    {48, "\u21E5", "Tab"},
    {116, "\u21DE", "PgUp"},
    {121, "\u21DF", "PgDown"},
    {126, "\u2191", "Up"},
    {124, "\u2192", "Right"},
    {125, "\u2193", "Down"},
    {123, "\u2190", "Left"},
    {122, "F1", "F1"},
    {120, "F2", "F2"},
    {99, "F3", "F3"},
    {118, "F4", "F4"},
    {96, "F5", "F5"},
    {97, "F6", "F6"},
    {98, "F7", "F7"},
    {100, "F8", "F8"},
    {101, "F9", "F9"},
    {109, "F10", "F10"},
    {103, "F11", "F11"},
    {111, "F12", "F12"},
    {105, "F13", "F13"},
    {107, "F14", "F14"},
    {113, "F15", "F15"},
    {106, "F16", "F16"},
    {64, "F17", "F17"},
    {79, "F18", "F18"},
    {80, "F19", "F19"},
    {90, "F20", "F20"},
    {82, "0\u20E3", "Num+0"},
    {83, "1\u20E3", "Num+1"},
    {84, "2\u20E3", "Num+2"},
    {85, "3\u20E3", "Num+3"},
    {86, "4\u20E3", "Num+4"},
    {87, "5\u20E3", "Num+5"},
    {88, "6\u20E3", "Num+6"},
    {89, "7\u20E3", "Num+7"},
    {91, "8\u20E3", "Num+8"},
    {92, "9\u20E3", "Num+9"},
    {71, "\u2612\u20E3", "Clear"},
    {65, ".\u20E3", "Num+."},
    {75, "/\u20E3", "Num+/"},
    {76, "\u21A9\u20E3", "Enter"},
    {81, "=\u20E3", "Num+="},
    {78, "-\u20E3", "Num+-"},
    {67, "*\u20E3", "Num+*"},
    {69, "+\u20E3", "Num++"},
});

const SpecialKey *findSpecialKey(int keyCode)
{
    for (const auto &key : specialKeys) {
        if (key.keyCode == keyCode) {
            return &key;
        }
    }
    return nullptr;
}

std::string keyText(const Shortcut &shortcut, const KeyCharacterSource &layout, bool asWord)
{
    if (const SpecialKey *special = findSpecialKey(shortcut.carbonKeyCode)) {
        return asWord ? special->word : special->symbol;
    }
    const auto character = layout.keyCharacter(shortcut.carbonKeyCode);
    return character ? uppercased(*character) : std::string("\uFFFD");
}

} // namespace

std::string modifierSymbols(ModifierFlags flags)
{
    std::string symbols;
    if (flags.contains(ModifierFlag::control)) {
        symbols += "\u2303";
    }
    if (flags.contains(ModifierFlag::option)) {
        symbols += "\u2325";
    }
    if (flags.contains(ModifierFlag::shift)) {
        symbols += "\u21E7";
    }
    if (flags.contains(ModifierFlag::command)) {
        symbols += "\u2318";
    }
    if (flags.contains(ModifierFlag::function)) {
        symbols += "\U0001F310\uFE0E";
    }
    return symbols;
}

std::optional<std::string> specialKeySymbol(int carbonKeyCode)
{
    const SpecialKey *special = findSpecialKey(carbonKeyCode);
    return special ? std::optional<std::string>(special->symbol) : std::nullopt;
}

std::string description(const Shortcut &shortcut, const KeyCharacterSource &layout)
{
    return modifierSymbols(shortcut.modifiers()) + keyText(shortcut, layout, false);
}

std::string menuText(const Shortcut &shortcut, const KeyCharacterSource &layout)
{
    const ModifierFlags flags = shortcut.modifiers();
    std::string text;
    for (const auto &[flag, word] : std::to_array<std::pair<ModifierFlag, const char *>>({
             {ModifierFlag::control, "Ctrl+"},
             {ModifierFlag::option, "Alt+"},
             {ModifierFlag::shift, "Shift+"},
             {ModifierFlag::command, "Super+"},
             {ModifierFlag::function, "Fn+"},
         })) {
        if (flags.contains(flag)) {
            text += word;
        }
    }
    return text + keyText(shortcut, layout, true);
}

} // namespace zentrel::hotkeys
