#pragma once
// A list control's lines, kept headless; the window that shows it observes changes.
#include "base/failure.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kavex {

class TextList : public FailureLog {
  public:
    // Called after every change: the index of the line added, kFirstLineRemoved when the
    // oldest line went to make room, or -1 when the list was emptied or rewritten.
    using Observer = std::function<void(int changedIndex)>;
    static constexpr int kFirstLineRemoved = -2;

    void addLine(std::string line) override;
    // From now on only the newest `maxLines` lines are kept (0: all).
    void setMaxLines(std::size_t maxLines);
    void clear();
    void setLines(std::vector<std::string> lines);
    const std::vector<std::string>& lines() const { return lines_; }
    std::size_t size() const { return lines_.size(); }
    bool empty() const { return lines_.empty(); }
    const std::string& back() const { return lines_.back(); }
    bool contains(const std::string& line) const;
    void setObserver(Observer observer) { observer_ = std::move(observer); }

  private:
    void dropOldest();

    std::vector<std::string> lines_;
    std::size_t maxLines_ = 0;
    Observer observer_;
};

// A one-line text control (labels, status lines, text fields).
class Label {
  public:
    using Observer = std::function<void(const std::string&)>;
    void setText(std::string_view text);
    const std::string& text() const { return text_; }
    void setObserver(Observer observer) { observer_ = std::move(observer); }
    // Every new text but the empty one is also added to `list` (nullptr: to none).
    void recordTextsIn(TextList* list) { record_ = list; }

  private:
    std::string text_;
    Observer observer_;
    TextList* record_ = nullptr;
};

class CheckBox {
  public:
    using Observer = std::function<void(bool)>;
    void setChecked(bool checked);
    bool checked() const { return checked_; }
    void setObserver(Observer observer) { observer_ = std::move(observer); }

  private:
    bool checked_ = false;
    Observer observer_;
};

} // namespace kavex
