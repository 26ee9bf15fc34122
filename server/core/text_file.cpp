#include "core/text_file.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kavex::server {

std::string readTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

void forEachLine(std::string_view text, const std::function<void(std::string_view)>& line) {
    while (!text.empty()) {
        const auto end = text.find('\n');
        line(trimmed(text.substr(0, end)));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

} // namespace kavex::server
