#include "protocol/server_receiver.h"

#include "base/byte_search.h"
#include "base/failure.h"
#include "base/text_list.h"
#include "platform/event_loop.h"
#include "protocol/message_dispatcher.h"
#include "protocol/wire.h"

#include <cstring>

namespace kavex {

std::string_view firstCharacters(std::string_view text, std::size_t count) {
    std::size_t i = 0;
    for (std::size_t chars = 0; i < text.size() && chars < count; ++chars) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            ++i;
    }
    return text.substr(0, i);
}

ServerReceiver::ServerReceiver(EventLoop& loop, TextList& incoming, Label& lastQuote,
                               MessageDispatcher& dispatcher)
    : loop_(loop), incoming_(incoming), lastQuote_(lastQuote), dispatcher_(dispatcher) {}

namespace {

// One arrival's handling: the nesting depth and the arrival's clock, also when a handler
// ends the loop by an exception nothing else catches.
class ArrivalScope {
  public:
    ArrivalScope(int& depth, ArrivalClock& clock) : depth_(depth), clock_(clock) {
        ++depth_;
        clock_.arrivalStarts();
    }
    ~ArrivalScope() {
        clock_.arrivalEnds();
        --depth_;
    }
    ArrivalScope(const ArrivalScope&) = delete;
    ArrivalScope& operator=(const ArrivalScope&) = delete;

  private:
    int& depth_;
    ArrivalClock& clock_;
};

} // namespace

void ServerReceiver::onDataArrival(std::string_view wireBytes) {
    state_.connectionState = 3;
    state_.lastReceiveTime = loop_.tickCount();
    ++state_.receiveEvents;
    state_.receivedBytes += static_cast<int64_t>(wireBytes.size());
    buffer_.append(wireBytes);
    {
        ArrivalScope scope(depth_, dispatcher_.arrivalClock());
        std::string_view message;
        bool mayHoldStart = true;
        while (buffer_.next(message, mayHoldStart)) {
            if (mayHoldStart) dropBrokenOffFrame(message);
            if (state_.logAll) incoming_.addLine(std::string(firstCharacters(message, 50)));
            guard(incoming_, "", [&] {
                // Compact price updates, nearly every message, are not listed.
                if (message.empty() || (message.front() != '~' && message.front() != '^')) log(message);
                dispatcher_.dispatch(message);
            });
        }
        dropOversizedPending();
    }
    if (depth_ == 0) buffer_.compact();
}

void ServerReceiver::dropBrokenOffFrame(std::string_view& message) {
    // A message text never holds a start character. One that does began with a frame the
    // sender broke off (a server that died in the middle of a write leaves one in the
    // buffer for the next connection): only the text after the last start character is
    // the message, so the broken frame cannot turn the next one into a command of its own.
    // Nearly every message has no start character.
    if (findByte(message.data(), message.data() + message.size(), wire::kStart) == nullptr) return;
    message.remove_prefix(message.rfind(wire::kStart) + 1);
}

// After the loop no end character is pending, so this is text of one unfinished message.
void ServerReceiver::dropOversizedPending() {
    if (buffer_.pending().size() <= kMaxPendingBytes) return;
    buffer_.discardPending();
    incoming_.addLine("F:Nachricht zu lang: mehr als 16 MiB ohne Endezeichen verworfen");
}

void ServerReceiver::log(std::string_view message) {
    if (message.starts_with("@KU=")) {
        quoteLine_.assign("IN:");
        quoteLine_.append(message);
        lastQuote_.setText(quoteLine_);
        return;
    }
    if (message == "@=" || message.starts_with('~') || message.starts_with('^')) return;
    incoming_.addLine("IN:" + std::string(message));
}

} // namespace kavex
