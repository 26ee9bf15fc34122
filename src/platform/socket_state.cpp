#include "platform/socket_state.h"

#include <array>

namespace kavex {

std::string_view socketStateText(int state) {
    static constexpr std::array<std::string_view, 10> texts = {"Geschlossen",
                                                               "Geöffnet",
                                                               "Überwachen",
                                                               "Verbindung anstehend",
                                                               "Host-Name wird aufgelöst",
                                                               "Host-Name wird aufgelöst",
                                                               "Verbinden",
                                                               "Verbunden",
                                                               "Partner schließt Verbindung",
                                                               "Fehler"};
    if (state < 0 || state >= static_cast<int>(texts.size())) return {};
    return texts[static_cast<std::size_t>(state)];
}

} // namespace kavex
