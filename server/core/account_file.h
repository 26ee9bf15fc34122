#pragma once
// The players who may log in, read from a text file: one player per line,
// "user;password;start cash" and optionally ";1" for a locked user; lines starting
// with "#" are ignored.
#include <string>
#include <string_view>
#include <vector>

namespace kavex::server {

struct AccountSpec {
    std::string user;
    std::string password;
    double startCash = 100000;
    bool locked = false;
};

std::vector<AccountSpec> parseAccounts(std::string_view text);

// The demo players written when the accounts file is missing.
std::string_view defaultAccountsText();

// Reads the file, first writing the demo players to it when it does not exist.
// Throws std::runtime_error when it can be neither read nor created.
std::vector<AccountSpec> loadOrCreateAccounts(const std::string& path, bool& created);

} // namespace kavex::server
