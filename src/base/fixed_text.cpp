#include "base/fixed_text.h"

#include <cctype>

namespace kavex {

std::string fitToWidth(std::string_view text, std::size_t width) {
    std::size_t chars = 0;
    std::size_t i = 0;
    while (i < text.size() && chars < width) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            ++i;
        ++chars;
    }
    std::string out(text.substr(0, i));
    out.append(width - chars, ' ');
    return out;
}

std::string_view trimBlanks(std::string_view text) {
    std::size_t b = text.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    std::size_t e = text.find_last_not_of(' ');
    return text.substr(b, e - b + 1);
}

std::string upperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string blankControls(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return out;
}

} // namespace kavex
