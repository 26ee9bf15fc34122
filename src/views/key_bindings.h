#pragma once
// The keys of the trading window: which key runs which action. A key is written as its
// text ("F5", "Shift+F7"); an empty text means the action has no key. One key belongs to
// one action at most.
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kavex {

class ExtraSettings;

enum class KeyAction {
    BuyMarket,
    SellMarket,
    CancelAll,
    TransmitAll,
    CloseAll,
    Reverse,
    DefaultUp,
    DefaultDown,
    QuantityUp,
    QuantityDown,
};

struct KeyActionText {
    KeyAction action;
    const char* name;       // in the settings file, after "Key."
    const char* caption;    // on the settings tab
    const char* defaultKey; // F-keys: neither the grid nor its editor uses them
};

inline constexpr std::array<KeyActionText, 10> kKeyActionTexts{{
    {KeyAction::BuyMarket, "BuyMarket", "BUY MARKET", "F5"},
    {KeyAction::SellMarket, "SellMarket", "SELL MARKET", "F6"},
    {KeyAction::CancelAll, "CancelAll", "CANCEL Alle", "F3"},
    {KeyAction::TransmitAll, "TransmitAll", "TRANS Alle", "F4"},
    {KeyAction::CloseAll, "CloseAll", "GLATT", "F8"},
    {KeyAction::Reverse, "Reverse", "Position drehen", "F7"},
    {KeyAction::DefaultUp, "DefaultUp", "DEFAULT eine Zeile höher", "F9"},
    {KeyAction::DefaultDown, "DefaultDown", "DEFAULT eine Zeile tiefer", "F10"},
    {KeyAction::QuantityUp, "QuantityUp", "Stückzahl größer", "F11"},
    {KeyAction::QuantityDown, "QuantityDown", "Stückzahl kleiner", "F12"},
}};

class KeyBindings {
  public:
    KeyBindings();

    const std::string& key(KeyAction action) const { return keys_[index(action)]; }
    // The key goes to this action alone: another action that had it loses it.
    void assign(KeyAction action, std::string_view key);
    void clear(KeyAction action) { assign(action, {}); }
    std::optional<KeyAction> actionFor(std::string_view key) const;

    // Keys not in the settings keep their defaults.
    void load(const ExtraSettings& extra);
    void store(ExtraSettings& extra) const;

    // Told after any change, so that the window takes the new keys.
    std::function<void()> changed;

  private:
    static std::size_t index(KeyAction action) { return static_cast<std::size_t>(action); }
    std::array<std::string, kKeyActionTexts.size()> keys_;
};

} // namespace kavex
