#include "base/text_list.h"

#include <algorithm>

namespace kavex {

void TextList::addLine(std::string line) {
    if (maxLines_ > 0 && lines_.size() >= maxLines_) dropOldest();
    lines_.push_back(std::move(line));
    if (observer_) observer_(static_cast<int>(lines_.size()) - 1);
}

void TextList::setMaxLines(std::size_t maxLines) {
    maxLines_ = maxLines;
    while (maxLines_ > 0 && lines_.size() > maxLines_)
        dropOldest();
}

void TextList::dropOldest() {
    // Moving the rest down costs a few microseconds at the sizes lists are held to; the
    // views then remove one row instead of redrawing the list.
    lines_.erase(lines_.begin());
    if (observer_) observer_(kFirstLineRemoved);
}

void TextList::clear() {
    lines_.clear();
    if (observer_) observer_(-1);
}

void TextList::setLines(std::vector<std::string> lines) {
    lines_ = std::move(lines);
    if (observer_) observer_(-1);
}

bool TextList::contains(const std::string& line) const {
    return std::find(lines_.begin(), lines_.end(), line) != lines_.end();
}

void Label::setText(std::string_view text) {
    if (text == text_) return;
    text_.assign(text);
    if (record_ && !text_.empty()) record_->addLine(text_); // an emptied line is no message
    if (observer_) observer_(text_);
}

void CheckBox::setChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    if (observer_) observer_(checked_);
}

} // namespace kavex
