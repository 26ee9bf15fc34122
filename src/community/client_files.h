#pragma once
// Which names the server may give the files it sends ("@SD" documents, "@FIS" transfers).
#include <string_view>

namespace kavex {

// True for a name of a file this program reads or writes itself: "Kavex.Ini", "Kavex.Extra"
// (which may let the server's time set the machine's clock), presets, colour and sound
// files, price histories, the logo's files, every file-drop file ("KAVEXREM.*"), the
// transfer's spool file and the programs it starts. Case is ignored, as the program finds
// its files whatever their case. Account statements and the update file "KAVEXUP.EXX" are
// the server's to send.
bool isClientFileName(std::string_view name);

// A plain name (see isPlainFileName) that is not one of the program's own files.
bool isReceivableFileName(std::string_view name);

} // namespace kavex
