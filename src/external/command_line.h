#pragma once
// Command lines of the file-drop interface and the bridge: the split into fields and
// the checks that keep a bad request line from becoming an order.
#include <optional>
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

// Why an "@PO" order text must not be placed, or nothing when it is fit to go out.
// Checked: quantity (field 5) a whole number of at least 1; order type (field 4) one of
// MKT, LMT, STP, MOC; the limits (fields 6 and 7) empty or numbers; a limit order or a
// stop order has a limit 1 above 0. The instrument is looked up by the order itself.
std::optional<std::string> orderTextProblem(std::string_view orderText);

} // namespace kavex
