#include "views/key_bindings.h"

#include "model/extra_settings.h"

namespace kavex {

KeyBindings::KeyBindings() {
    for (const KeyActionText& t : kKeyActionTexts)
        keys_[index(t.action)] = t.defaultKey;
}

void KeyBindings::assign(KeyAction action, std::string_view key) {
    if (!key.empty())
        for (std::string& other : keys_)
            if (other == key) other.clear();
    keys_[index(action)] = std::string(key);
    if (changed) changed();
}

std::optional<KeyAction> KeyBindings::actionFor(std::string_view key) const {
    if (key.empty()) return std::nullopt;
    for (const KeyActionText& t : kKeyActionTexts)
        if (keys_[index(t.action)] == key) return t.action;
    return std::nullopt;
}

void KeyBindings::load(const ExtraSettings& extra) {
    for (const KeyActionText& t : kKeyActionTexts) {
        const std::string name = std::string(ExtraSettings::kKeyPrefix) + t.name;
        keys_[index(t.action)] = extra.value(name, t.defaultKey);
    }
    // A key named twice keeps its first action.
    for (std::size_t i = 0; i < keys_.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            if (!keys_[i].empty() && keys_[i] == keys_[j]) keys_[i].clear();
    if (changed) changed();
}

void KeyBindings::store(ExtraSettings& extra) const {
    for (const KeyActionText& t : kKeyActionTexts)
        extra.set(std::string(ExtraSettings::kKeyPrefix) + t.name, keys_[index(t.action)]);
}

} // namespace kavex
