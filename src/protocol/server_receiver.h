#pragma once
// The receive side of the server link: counts arrivals, cuts frames, logs and
// dispatches every message.
//
// A peer that never sends an end character cannot make the buffer grow without end:
// text beyond kMaxPendingBytes that holds no complete message is dropped with one "F:"
// line in the incoming list, and receiving goes on.
#include "protocol/frame_buffer.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kavex {

class EventLoop;
class Label;
class MessageDispatcher;
class TextList;

struct ReceiveState {
    // The counters are 64 bits wide: a long session passes 2 GiB.
    uint32_t lastReceiveTime = 0; // tick count of the last arrival
    int64_t receiveEvents = 0;    // arrivals since the last LOGOUT
    int64_t receivedBytes = 0;    // bytes since the last LOGOUT ("Bytes:")
    int16_t connectionState = 0;  // 0 disconnected, 1 connecting, 2 connected, 3 data received
    bool logAll = false;          // log the first 50 characters of every message
};

class ServerReceiver {
  public:
    static constexpr std::size_t kMaxPendingBytes = std::size_t{16} << 20;

    ServerReceiver(EventLoop& loop, TextList& incoming, Label& lastQuote, MessageDispatcher& dispatcher);

    // One data arrival: the bytes read from the socket.
    void onDataArrival(std::string_view wireBytes);

    ReceiveState& state() { return state_; }
    const ReceiveState& state() const { return state_; }
    const FrameBuffer& buffer() const { return buffer_; }

  private:
    static void dropBrokenOffFrame(std::string_view& message);
    void log(std::string_view message);
    void dropOversizedPending();

    EventLoop& loop_;
    TextList& incoming_;
    Label& lastQuote_;
    MessageDispatcher& dispatcher_;
    ReceiveState state_;
    FrameBuffer buffer_;
    int depth_ = 0;
    std::string quoteLine_;
};

// The first `count` characters of a UTF-8 text.
std::string_view firstCharacters(std::string_view text, std::size_t count);

} // namespace kavex
