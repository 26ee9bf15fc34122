#include "core/account_file.h"

#include "base/numbers.h"
#include "base/split_fields.h"
#include "core/text_file.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace kavex::server {

std::vector<AccountSpec> parseAccounts(std::string_view text) {
    std::vector<AccountSpec> out;
    int lineNumber = 0;
    forEachLine(text, [&](std::string_view line) {
        ++lineNumber;
        if (line.empty() || line.front() == '#') return;
        Fields f = SplitFields(line, ";", 4);
        AccountSpec a{std::string(trimmed(f[1])), std::string(f[2]), parseLeading(f[3]),
                      parseLeading(f[4]) != 0};
        if (f.count() < 3 || a.user.empty() || a.startCash <= 0)
            throw std::runtime_error(concat("account line ", lineNumber) +
                                     " is not valid: " + std::string(line));
        for (const AccountSpec& earlier : out)
            if (earlier.user == a.user)
                throw std::runtime_error(concat("account line ", lineNumber) + " repeats user " + a.user);
        out.push_back(std::move(a));
    });
    if (out.empty()) throw std::runtime_error("the accounts file lists no player");
    return out;
}

std::string_view defaultAccountsText() {
    return "# Players of the demo game: user;password;start cash[;1 = locked]\n"
           "demo1;demo;100000\n"
           "demo2;demo;100000\n"
           "demo3;demo;100000\n"
           "demo4;demo;250000\n"
           "demo5;demo;50000\n"
           "gesperrt;demo;100000;1\n";
}

std::vector<AccountSpec> loadOrCreateAccounts(const std::string& path, bool& created) {
    created = false;
    if (!std::filesystem::exists(path)) {
        std::ofstream out(path, std::ios::binary);
        out << defaultAccountsText();
        out.close();
        if (!out) throw std::runtime_error("cannot create " + path);
        created = true;
    }
    return parseAccounts(readTextFile(path));
}

} // namespace kavex::server
