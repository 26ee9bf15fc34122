#pragma once
// Routes every received message text to its handler.
//
// Handlers of the later subsystems register themselves for their slot; a slot without
// a handler does nothing. The messages that need no other subsystem (clock setting,
// last user order number, program end, beeps, heartbeats) are carried out here.
#include "base/failure.h"
#include "protocol/arrival_clock.h"

#include <array>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace kavex {

class EventLoop;
class SystemServices;
class TextList;
struct TradingData;

enum class Handler {
    EmptyHeartbeat,
    Welcome, // "@WELCOME": status text and the chat join messages
    VersionRequest,
    ServiceLevel,
    SystemInfo,
    PlaceInfo,
    WinnersAndLosers,
    UserInfo,
    AllOrders,
    AllExecutions,
    UserAccount,
    UserData,
    UserPlaces,
    OpenOrder,
    CancelRejected,
    OrderRejected,
    OpenOrders,
    InstrumentList,
    InstrumentListShown, // after InstrumentList: rebuild and fully redraw the order grid
    PriceUpdate,
    Execution,
    OrderStatus,
    ChatMessage,
    TradeMessage,
    Document,
    Annotation,
    ServerMessage,
    UserLocked, // after ServerMessage with "USER GESPERRT": automatic reconnect off
    Heartbeat,
    FileStart,
    FileData,
    FileEnd,
    ChatUsers,
    ChatUserJoined,
    ChatUserLeft,
    CompactPrice,
    CompactBidAsk,
    CompactAsk,
    CompactAskPrice,
    CompactAskSize,
    CompactBid,
    IdRequest,   // "!;ID": send the identification
    UserRequest, // "!;USER": send the login
    CodeTable,   // "!;T;": instrument code table
    Count
};

// Which slot, or which built-in action, a "@" command name selects.
enum class Builtin { None, Handler, SetTime, LastUserOrderId, Ignored };
struct CommandEntry {
    std::string_view name;
    Builtin kind;
    Handler handler;
};
// The whole command table with short and long names.
std::span<const CommandEntry> commandTable();

struct DispatchContext {
    TradingData& data;
    TextList& incoming; // connection window's incoming list (and receive failures)
    TextList& outgoing; // connection window's outgoing list
    TextList& log;      // trading window's log list
    SystemServices& system;
    EventLoop& loop;
};

class MessageDispatcher {
  public:
    using Slot = std::function<void(std::string_view argument)>;

    explicit MessageDispatcher(DispatchContext context) : ctx_(context), arrivalClock_(context.loop) {}

    void setHandler(Handler which, Slot slot) { slots_[static_cast<std::size_t>(which)] = std::move(slot); }
    // Whether the server's time ("@TS") also sets the machine's clock; off unless the
    // user asked for it.
    void setMachineClockFromServer(bool on) { setsMachineClock_ = on; }

    // Handles one message text (without its frame characters).
    void dispatch(std::string_view text);

    // The time of the arrival whose messages are being dispatched: the receiver marks
    // the arrivals, handlers that stamp what they store read it.
    ArrivalClock& arrivalClock() { return arrivalClock_; }

  private:
    void call(Handler which, std::string_view argument);
    void dispatchCommand(std::string_view text);
    void dispatchControl(std::string_view text);
    void dispatchPartialQuote(std::string_view text);
    [[gnu::noinline]] void logUnknownCommand(std::string_view text);
    void takeServerTime(std::string_view text);

    DispatchContext ctx_;
    bool setsMachineClock_ = false;
    ArrivalClock arrivalClock_;
    std::array<Slot, static_cast<std::size_t>(Handler::Count)> slots_;
};

} // namespace kavex
