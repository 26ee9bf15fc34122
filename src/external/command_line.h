#pragma once
// Command lines of the file-drop interface and the bridge: the split into fields and
// the fields of an order text that go out as text.
#include <string>
#include <string_view>
#include <vector>

namespace kavex {

// Fields 1..count of a command line. The text is cut at ";" from the left into at most
// maxFields - 1 leading fields; whatever follows the last cut is the last field and may
// itself hold ";". Fields past the end read as "". Double quotes have no meaning here:
// request lines carry none, and a ";" inside quotes still separates fields.
// The fields are views into the text: keep the text alive while reading them.
class CommandFields {
  public:
    static constexpr int kCommandLineFields = 20;
    static constexpr int kOrderTextFields = 100;

    CommandFields(std::string_view text, int maxFields);
    int count() const { return static_cast<int>(fields_.size()); }
    std::string_view operator[](int number) const;

  private:
    std::vector<std::string_view> fields_;
};

// True when the text (blanks around it allowed) is one whole decimal number: an optional
// sign, digits with at most one ".", and an optional exponent.
bool isNumberText(std::string_view text);

// Field 4 of an "@PO" order text as the order's type: its first three characters, padded
// with blanks; control characters and double quotes become blanks. Nothing else is
// checked here: the server refuses a type it does not know.
std::string orderTypeOf(std::string_view field);

// Field 8 of an "@PO" order text, the front-end's reference for the order, as it is stored
// and reported: control characters as blanks, so that no reference breaks a line of
// "KAVEXREM.ORD" or of a log, or the frame of the "@OC" answer.
std::string referenceOf(std::string_view field);

} // namespace kavex
