#include "views/show_error.h"

#include "platform/services.h"

namespace kavex {

void ErrorDisplay::showError(const std::string& text) {
    statusLine_.setText(text);
    messages_.addLine(text);
    if (window_.suppress.checked()) return;
    window_.text.setText(text);
    window_.visible.setChecked(true);
    system_.beep();
}

} // namespace kavex
