#include "hotkeys/shortcut_recorder_rules.h"

#include "hotkeys/key.h"

#include <algorithm>

namespace zentrel::hotkeys {
namespace {

bool hasAny(ModifierFlags flags, std::initializer_list<ModifierFlag> wanted)
{
    return std::any_of(
        wanted.begin(), wanted.end(), [flags](ModifierFlag flag) { return flags.contains(flag); });
}

} // namespace

RecorderDecision decideRecordedKey(int carbonKeyCode,
                                   ModifierFlags flags,
                                   const std::string &rawName,
                                   const std::vector<NamedShortcut> &takenShortcuts,
                                   const std::function<bool(const Shortcut &)> &isHeldElsewhere)
{
    using Kind = RecorderDecision::Kind;
    // Caps Lock counts for neither rule.
    const bool noModifiers = !hasAny(flags,
                                     {ModifierFlag::shift,
                                      ModifierFlag::control,
                                      ModifierFlag::option,
                                      ModifierFlag::command,
                                      ModifierFlag::function});
    const bool noPrimaryModifier =
        !hasAny(flags, {ModifierFlag::control, ModifierFlag::option, ModifierFlag::command});
    if (noModifiers && carbonKeyCode == keys::tab.rawValue) {
        return {Kind::endAndPassOn, std::nullopt, {}};
    }
    if (noModifiers && carbonKeyCode == keys::escape.rawValue) {
        return {Kind::end, std::nullopt, {}};
    }
    if (noModifiers
        && (carbonKeyCode == keys::deleteKey.rawValue
            || carbonKeyCode == keys::deleteForward.rawValue)) {
        return {Kind::clear, std::nullopt, {}};
    }
    const Shortcut shortcut =
        Shortcut::fromKey(Key{carbonKeyCode}, flags.with(ModifierFlag::function, false));
    if (noPrimaryModifier && !isFunctionKey(shortcut.key())) {
        return {Kind::needsModifier, shortcut, {}};
    }
    for (const NamedShortcut &taken : takenShortcuts) {
        if (taken.shortcut == shortcut && taken.rawName != rawName) {
            return {Kind::hotkeyClash, shortcut, taken.title};
        }
    }
    if (isHeldElsewhere(shortcut)) {
        return {Kind::systemClash, shortcut, {}};
    }
    return {Kind::store, shortcut, {}};
}

} // namespace zentrel::hotkeys
