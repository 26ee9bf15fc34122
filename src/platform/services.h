#pragma once
// Everything else the program needs from the machine and the desktop.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kavex {

// GET of a short text document, bypassing caches. Returns "" on any failure.
class HttpGet {
  public:
    virtual ~HttpGet() = default;
    virtual std::string get(const std::string& url) = 0;
};

// Plays a wave file asynchronously; silent when it cannot be played.
class Sound {
  public:
    virtual ~Sound() = default;
    virtual void play(const std::string& waveFile) = 0;
};

class Printer {
  public:
    virtual ~Printer() = default;
    virtual void printLine(const std::string& text) = 0;
    virtual void endDocument() = 0;
};

class SystemServices {
  public:
    virtual ~SystemServices() = default;
    // Identifier of this machine (a number as text).
    virtual std::string machineId() = 0;
    // Sets the computer's time of day from a text such as "14:03:07"; throws Failure.
    virtual void setTimeOfDay(const std::string& text) = 0;
    virtual void startProgram(const std::string& path) = 0;
    virtual void openUrl(const std::string& url) = 0;
    virtual void beep() = 0;
    // Ends the process at once, without the normal shutdown.
    [[noreturn]] virtual void exitImmediately() = 0;
};

// Message boxes and system dialogs. Implementations are modal.
class Prompts {
  public:
    virtual ~Prompts() = default;
    virtual void message(const std::string& text, const std::string& caption = {}) = 0;
    virtual bool askYesNo(const std::string& text, const std::string& caption = {}) = 0;
    // A question before orders are sent: the orders are shown as the box's detail text, and
    // "Nein" is the default, so a stray Return sends nothing.
    virtual bool confirmOrders(const std::string& question, const std::string& orders) = 0;
    // Returns false when cancelled.
    virtual bool chooseColour(int& colour) = 0;
    // A line of text typed by the user, `initial` offered; nothing when cancelled.
    virtual std::optional<std::string> askText(const std::string& question, const std::string& initial) {
        (void)question;
        (void)initial;
        return std::nullopt;
    }
};

} // namespace kavex
