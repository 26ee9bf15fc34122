#pragma once
// The discovery document: a short text naming the game server, one entry a line,
// each entry a host or a host, ":" and a port.
#include "session/connection_config.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kavex {

using ServerList = std::array<std::string, 3>;

// The entries of a document, at most three; all empty when the document is not
// acceptable (shorter than 6 characters, no ".", or a web server's "existiert" error page).
ServerList readServerList(std::string_view document);

// The documents to try, in order: "ipkavex.html" on the primary and the mirror, then
// "ip.html" on both; the game edition tries only "ipplexa.html" on both.
std::vector<std::string> discoveryUrls(const DiscoverySites& sites, bool gameEdition);

struct ServerAddress {
    std::string host;
    std::optional<std::string> port; // only when the entry names one
};
// "host:port" gives the text before the first ":" and the trimmed rest; otherwise the
// whole entry is the host.
ServerAddress splitServerEntry(std::string_view entry);

} // namespace kavex
