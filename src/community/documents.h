#pragma once
// Documents the server stores in the working directory ("@SD", the account statements
// among them) and annotations shown to the user ("@SA").
#include <functional>
#include <set>
#include <string>
#include <string_view>

namespace kavex {

class EventLoop;
class MessageDispatcher;
class TextList;
class WorkingDirectory;

struct DocumentHooks {
    std::function<void(const std::string& text)> showError;
    // Refills the statement view of the trading window.
    std::function<void()> fillStatementList;
    // The status line alone, without the message window.
    std::function<void(const std::string& text)> showNote;
};

class Documents {
  public:
    static constexpr int kMaxFields = 1000;

    // `log` is the trading window's log list, `outgoing` the connection
    // window's outgoing list.
    Documents(WorkingDirectory& folder, EventLoop& loop, TextList& log, TextList& outgoing,
              DocumentHooks hooks);

    void bind(MessageDispatcher& dispatcher);

    // Field 1 names the file ("FILE=" + name, or the name alone); fields 2 onward are
    // its lines, stored in the wire code page with CR LF.
    void onDocument(std::string_view text);
    // Shows the time of day, a blank and the text. A text shown once in the message window
    // goes only to the status line when it comes again, as the greeting does at each login.
    void onAnnotation(std::string_view text);

  private:
    WorkingDirectory& folder_;
    EventLoop& loop_;
    TextList& log_;
    TextList& outgoing_;
    DocumentHooks hooks_;
    std::set<std::string, std::less<>> shownAnnotations_;
};

} // namespace kavex
