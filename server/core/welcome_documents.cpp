#include "core/welcome_documents.h"

#include "base/cp1252.h"

namespace kavex::server {
namespace {

constexpr char kEscape = static_cast<char>(254);

std::string allByteValues() {
    std::string run(256, '\0');
    for (int b = 0; b < 256; ++b)
        run[static_cast<std::size_t>(b)] = static_cast<char>(b);
    return run;
}

} // namespace

std::string escapeFileData(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 32);
    for (char c : bytes) {
        switch (static_cast<unsigned char>(c)) {
        case 254:
            out += kEscape;
            out += 'g';
            break;
        case 0:
        case 1:
        case 2:
            out += kEscape;
            out += static_cast<char>('d' + c);
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::vector<std::string> fileTransferMessages(std::string_view id, std::string_view name,
                                              std::string_view bytes, std::size_t pieceChars) {
    const std::string data = escapeFileData(bytes);
    const std::string head = std::string(id) + ";";
    std::vector<std::string> out;
    out.push_back("@FIS=" + head + cp1252::fromUtf8(name) + ";" + std::to_string(data.size()));
    for (std::size_t at = 0; at < data.size(); at += pieceChars)
        out.push_back("@FID=" + head + data.substr(at, pieceChars));
    out.push_back("@FIE=" + std::string(id));
    return out;
}

std::string demoFileBytes() {
    // A run escapes to 260 characters: 38 runs and 119 plain bytes end at offset 9999.
    const std::string run = allByteValues();
    std::string bytes;
    for (int i = 0; i < 38; ++i)
        bytes += run;
    bytes.append(119, 'K');
    bytes += kEscape;
    for (int i = 0; i < 26; ++i)
        bytes += run;
    return bytes;
}

std::vector<std::string> welcomeMessages(std::string_view serverName, std::string_view user) {
    const std::string u(user);
    std::vector<std::string> out;
    out.push_back(
        cp1252::fromUtf8("@SA=Willkommen " + u + "! Die Datei " + kDemoFileName + " wird übertragen."));
    out.push_back(cp1252::fromUtf8("@SD=FILE=" + std::string(kInfoFileName) + ";" + std::string(serverName) +
                                   ";Spieler: " + u +
                                   ";Kontoauszüge: Reiter \"Auszüge\", \"Auszüge anfordern\"" +
                                   ";Die Datei " + kDemoFileName + " enthält jeden Bytewert von 0 bis 255."));
    std::vector<std::string> transfer = fileTransferMessages("DEMO1", kDemoFileName, demoFileBytes());
    out.insert(out.end(), transfer.begin(), transfer.end());
    return out;
}

} // namespace kavex::server
