#include "session/server_discovery.h"

#include "base/fixed_text.h"

namespace kavex {
namespace {

std::size_t characterCount(std::string_view utf8) {
    std::size_t n = 0;
    for (char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

bool acceptable(std::string_view document) {
    return characterCount(document) >= 6 && document.find('.') != std::string_view::npos &&
           document.find("existiert") == std::string_view::npos;
}

} // namespace

ServerList readServerList(std::string_view document) {
    ServerList entries;
    if (!acceptable(document)) return entries;
    // The first entry is taken as it stands; what follows a line break is trimmed
    // before it is scanned again.
    std::string_view rest = document;
    for (std::string& entry : entries) {
        std::size_t cut = rest.find("\r\n");
        std::size_t breakLength = 2;
        if (cut == std::string_view::npos) {
            cut = rest.find('\n');
            breakLength = 1;
        }
        if (cut == std::string_view::npos) {
            entry = trimBlanks(rest);
            break;
        }
        entry = rest.substr(0, cut);
        rest = trimBlanks(rest.substr(cut + breakLength));
    }
    return entries;
}

std::vector<std::string> discoveryUrls(const DiscoverySites& sites, bool gameEdition) {
    if (gameEdition) return {sites.primary + "ipplexa.html", sites.mirror + "ipplexa.html"};
    return {sites.primary + "ipkavex.html", sites.mirror + "ipkavex.html", sites.primary + "ip.html",
            sites.mirror + "ip.html"};
}

ServerAddress splitServerEntry(std::string_view entry) {
    std::size_t colon = entry.find(':');
    if (colon == std::string_view::npos) return {std::string(entry), std::nullopt};
    return {std::string(entry.substr(0, colon)), std::string(trimBlanks(entry.substr(colon + 1)))};
}

} // namespace kavex
