#pragma once
// What a player gets after logging in when the welcome documents are on: an annotation,
// an information document and a file transfer whose data holds every byte value.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kavex::server {

constexpr const char* kDemoFileName = "KAVEXDEMO.BIN";
constexpr const char* kInfoFileName = "KAVEXINFO.TXT";
constexpr std::size_t kTransferPieceChars = 4000;

// The file data as it travels: first every 254 becomes 254 "g", then 0, 1 and 2 become
// 254 "d", "e" and "f", so no frame character is left.
std::string escapeFileData(std::string_view bytes);

// The message texts of one transfer in wire bytes, unframed: "@FIS=id;name;length" (the
// length of the escaped data), "@FID=id;piece" for every piece of at most `pieceChars`
// escaped characters, "@FIE=id".
std::vector<std::string> fileTransferMessages(std::string_view id, std::string_view name,
                                              std::string_view bytes,
                                              std::size_t pieceChars = kTransferPieceChars);

// The demo file: 64 runs of the byte values 0 to 255, with one 254 placed so that its
// escape pair starts at offset 9999 of the escaped data and so straddles the client's
// 10000-byte restore chunks.
std::string demoFileBytes();

// The welcome messages for a player in wire bytes, unframed: "@SA=", "@SD=" and the
// transfer of the demo file.
std::vector<std::string> welcomeMessages(std::string_view serverName, std::string_view user);

} // namespace kavex::server
