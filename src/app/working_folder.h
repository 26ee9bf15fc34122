#pragma once
// Chooses the folder that holds all of the client's files.
#include <QString>

namespace kavex {

// The folder given on the command line wins. Otherwise the current folder is used, unless
// the program cannot write there or it is the home folder (as when started from the
// desktop's menu): then the client's own folder under the user's data folder
// (~/.local/share/kavex) is created, and the installed colour schemes are copied into it
// so that the scheme list offers them. Returns an empty text when no folder can be made.
QString chooseWorkingFolder(const QString& given, const QString& programPath);

} // namespace kavex
