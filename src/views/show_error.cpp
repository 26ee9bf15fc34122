#include "views/show_error.h"

#include "platform/services.h"

namespace kavex {

void ErrorDisplay::showNote(const std::string& text) {
    // The status line records each new text in the list itself; a message repeated while
    // it is still shown is listed again here.
    if (statusLine_.text() == text) messages_.addLine(text);
    statusLine_.setText(text);
}

void ErrorDisplay::showError(const std::string& text) {
    showNote(text);
    if (window_.suppress.checked()) return;
    window_.text.setText(text);
    window_.visible.setChecked(true);
    system_.beep();
}

} // namespace kavex
