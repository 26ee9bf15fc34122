#pragma once
// Cuts the received text into message texts.
//
// Consumed text is skipped by an offset and removed once per arrival (compact()), so
// a stream of many small messages costs linear time. Searches remember how far they
// found nothing, so a large message arriving in many small pieces is not rescanned.
//
// The buffer may be fed again while a message taken from it is still being handled
// (handlers that process pending events): append() only adds at the end and next()
// goes on from the shared offset, so nested and outer loops never see a message twice.
// A message is handed out as a view into the buffer, valid until compact(): when an
// arrival in between needs more room, the old storage is kept until then rather than
// moved under the handler still reading it.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kavex {

class FrameBuffer {
  public:
    FrameBuffer();

    // Appends received bytes (Windows-1252) as UTF-8 text, then drops anything in
    // front of the first start character.
    void append(std::string_view wireBytes);

    // Takes the next complete message: the text after the buffer's first character up
    // to the first end character; false when no end character is buffered. The view
    // stays valid until compact().
    bool next(std::string_view& message);
    // The same; `mayHoldStart` false tells that the message holds no start character.
    bool next(std::string_view& message, bool& mayHoldStart);
    // The same, copied into `message`.
    bool next(std::string& message);

    // Removes consumed text. Call only when no loop over next() is active.
    void compact();

    // Drops the pending text as if it had been consumed.
    void discardPending();

    std::string_view pending() const { return std::string_view(buffer_).substr(offset_); }
    void clear();

  private:
    bool take(std::size_t& start, std::size_t& length, bool& mayHoldStart);
    std::size_t findEnd(bool& mayHoldStart) const;
    void moveToNewStorage(std::size_t capacity);
    void dropInFrontOfStart();
    [[gnu::noinline]] std::size_t find(char c, std::size_t& nothingBelow) const;

    std::string buffer_;
    std::size_t offset_ = 0;
    // No start / end character lies in [offset_, this).
    mutable std::size_t noStartBelow_ = 0;
    mutable std::size_t noEndBelow_ = 0;
    // Views were handed out since the last compact(); the storage they point into
    // must stay where it is.
    bool viewsOut_ = false;
    std::vector<std::string> retired_;
};

} // namespace kavex
