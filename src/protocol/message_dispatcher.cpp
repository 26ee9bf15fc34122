#include "protocol/message_dispatcher.h"

#include "base/fixed_text.h"
#include "base/numbers.h"
#include "base/text_list.h"
#include "model/trading_data.h"
#include "platform/event_loop.h"
#include "platform/services.h"

#include <algorithm>
#include <cctype>

namespace kavex {
namespace {

using B = Builtin;
using H = Handler;

// Frequent names first; names are unique, so the order changes no result.
constexpr CommandEntry kCommands[] = {
    {"@", B::Handler, H::EmptyHeartbeat}, // "@=" on the wire
    {"@KU", B::Handler, H::PriceUpdate},
    {"@KURSUPDATE", B::Handler, H::PriceUpdate},
    {"@HB", B::Handler, H::Heartbeat},
    {"@Heartbeat", B::Handler, H::Heartbeat},
    {"@WELCOME", B::Handler, H::Welcome},
    {"@RV", B::Handler, H::VersionRequest},
    {"@SV", B::Handler, H::ServiceLevel},
    {"@SYI", B::Handler, H::SystemInfo},
    {"@PI", B::Handler, H::PlaceInfo},
    {"@PlatzInfo", B::Handler, H::PlaceInfo},
    {"@GV", B::Handler, H::WinnersAndLosers},
    {"@GewinnerVerlierer", B::Handler, H::WinnersAndLosers},
    {"@TS", B::SetTime, H::Count},
    {"@TIMESET", B::SetTime, H::Count},
    {"@UD", B::Handler, H::UserInfo},
    {"@SAO", B::Handler, H::AllOrders},
    {"@SENDALLORDERS", B::Handler, H::AllOrders},
    {"@SAE", B::Handler, H::AllExecutions},
    {"@SENDALLEXECUTIONS", B::Handler, H::AllExecutions},
    {"@SUK", B::Handler, H::UserAccount},
    {"@SUD1", B::Handler, H::UserAccount},
    {"@SENDUSERKONTO", B::Handler, H::UserAccount},
    {"@SUD", B::Handler, H::UserData},
    {"@SENDUSERDATA", B::Handler, H::UserData},
    {"@SUP", B::Handler, H::UserPlaces},
    {"@SENDUSERPLAETZE", B::Handler, H::UserPlaces},
    {"@OO", B::Handler, H::OpenOrder},
    {"@OpenOrder", B::Handler, H::OpenOrder},
    {"@CR", B::Handler, H::CancelRejected},
    {"@CancelRejected", B::Handler, H::CancelRejected},
    {"@OR", B::Handler, H::OrderRejected},
    {"@OrderRejected", B::Handler, H::OrderRejected},
    {"@SOO", B::Handler, H::OpenOrders},
    {"@SENDOPENORDERS", B::Handler, H::OpenOrders},
    {"@SI", B::Handler, H::InstrumentList},
    {"@SENDINSTRUMENTS", B::Handler, H::InstrumentList},
    {"@LI", B::LastUserOrderId, H::Count},
    {"@ST", B::Ignored, H::Count},
    {"@STATUS", B::Ignored, H::Count},
    {"@EX", B::Handler, H::Execution},
    {"@Execution", B::Handler, H::Execution},
    {"@OS", B::Handler, H::OrderStatus},
    {"@ORDERSTATUS", B::Handler, H::OrderStatus},
    {"@RC", B::Handler, H::ChatMessage},
    {"@ReceiveChat", B::Handler, H::ChatMessage},
    {"@RT", B::Handler, H::TradeMessage},
    {"@ReceiveTChat", B::Handler, H::TradeMessage},
    {"@ER", B::Ignored, H::Count},
    {"@ERROR", B::Ignored, H::Count},
    {"@CC", B::Ignored, H::Count},
    {"@CONNECTIONCLOSED", B::Ignored, H::Count},
    {"@SD", B::Handler, H::Document},
    {"@SENDDOCUMENT", B::Handler, H::Document},
    {"@SA", B::Handler, H::Annotation},
    {"@SENDANNOTATION", B::Handler, H::Annotation},
    {"@MSG", B::Handler, H::ServerMessage},
    {"@MESSAGE", B::Handler, H::ServerMessage},
    {"@FIS", B::Handler, H::FileStart},
    {"@FID", B::Handler, H::FileData},
    {"@FIE", B::Handler, H::FileEnd},
    {"@SCU", B::Handler, H::ChatUsers},
    {"@CU1", B::Handler, H::ChatUserJoined},
    {"@CU0", B::Handler, H::ChatUserLeft},
};

std::string_view from(std::string_view text, std::size_t characterPosition) {
    // Text from the given 1-based position on ("" when shorter).
    return characterPosition - 1 < text.size() ? text.substr(characterPosition - 1) : std::string_view{};
}

} // namespace

std::span<const CommandEntry> commandTable() {
    return kCommands;
}

void MessageDispatcher::call(Handler which, std::string_view argument) {
    const Slot& slot = slots_[static_cast<std::size_t>(which)];
    if (slot) slot(argument);
}

void MessageDispatcher::takeServerTime(std::string_view text) {
    const std::optional<int> seconds = parseTimeOfDay(text);
    if (!seconds) throw Failure("Type mismatch");
    // A server never moves the machine's clock on its own: its time becomes the
    // program's clock, and only the user's explicit choice sets the machine's clock too.
    ctx_.loop.setTimeOfDay(*seconds);
    arrivalClock_.clockSet();
    if (!setsMachineClock_) return;
    ctx_.system.setTimeOfDay(timeOfDayText(fromDayNumber(*seconds / 86400.0)));
    ctx_.loop.clearClockOffset();
}

void MessageDispatcher::dispatch(std::string_view text) {
    if (text.empty()) {
        logUnknownCommand(text);
        return;
    }
    switch (text.front()) {
    case '~':
        if (ctx_.data.instrumentCount() > 0) call(H::CompactPrice, text.substr(1));
        return;
    case '^':
        dispatchPartialQuote(text);
        return;
    case '@':
        dispatchCommand(text);
        return;
    case '!':
        dispatchControl(text);
        return;
    default:
        logUnknownCommand(text);
    }
}

// Out of line, so that the price messages, nearly all of the stream, pass dispatch() without
// setting up for building a line.
void MessageDispatcher::logUnknownCommand(std::string_view text) {
    ctx_.incoming.addLine("Unbekannter Befehl:" + std::string(text));
}

void MessageDispatcher::dispatchPartialQuote(std::string_view text) {
    if (text.size() < 2) return;
    static constexpr Handler kForms[] = {H::CompactBidAsk, H::CompactAsk, H::CompactAskPrice,
                                         H::CompactAskSize, H::CompactBid};
    char form = text[1];
    if (form >= '1' && form <= '5') call(kForms[form - '1'], text.substr(2));
}

void MessageDispatcher::dispatchCommand(std::string_view text) {
    std::size_t eq = text.find('=');
    std::string_view name = eq == std::string_view::npos ? text : text.substr(0, eq);
    std::string_view argument = eq == std::string_view::npos ? std::string_view{} : text.substr(eq + 1);
    const CommandEntry* entry = nullptr;
    for (const CommandEntry& e : kCommands) {
        if (e.name == name) {
            entry = &e;
            break;
        }
    }
    if (!entry) return;
    switch (entry->kind) {
    case B::Handler:
        if (entry->handler == H::PriceUpdate && ctx_.data.instrumentCount() < 1) return;
        call(entry->handler, argument);
        if (entry->handler == H::InstrumentList) call(H::InstrumentListShown, {});
        if (entry->handler == H::ServerMessage && upperAscii(argument) == "USER GESPERRT")
            call(H::UserLocked, {});
        return;
    case B::SetTime:
        guard(ctx_.incoming, "", [&] { takeServerTime(argument); });
        return;
    case B::LastUserOrderId:
        guard(ctx_.log, "WS_LI ", [&] { ctx_.data.account.lastUserOrderId = parseInt32(argument); });
        ctx_.outgoing.addLine("LI->" + std::string(argument));
        return;
    case B::Ignored:
    case B::None:
        return;
    }
}

void MessageDispatcher::dispatchControl(std::string_view text) {
    // Every entry tests its own prefix on the same text.
    if (text.starts_with("!;ID")) {
        ctx_.incoming.addLine("ID");
        call(H::IdRequest, {});
    }
    if (text.starts_with("!;T;")) call(H::CodeTable, from(text, 7));
    if (text.starts_with("!;USER")) {
        ctx_.incoming.addLine("Server verlangt USER");
        call(H::UserRequest, {});
    }
    if (text.starts_with("!;MULTI;")) {
        std::string_view word = from(text, 9);
        if (word == "EXIT") ctx_.system.exitImmediately();
        if (word == "BEEP" ||
            (word.size() == 5 && word.starts_with("BEEP") && word[4] >= '1' && word[4] <= '6'))
            ctx_.system.beep();
    }
    if (text.starts_with("!;HB")) {
        ctx_.incoming.addLine("Heartbeat");
        ctx_.log.addLine("Empfange Heartbeat" + timeOfDayText(ctx_.loop.now()));
    }
    if (text.starts_with("!;EXIT")) ctx_.system.exitImmediately();
}

} // namespace kavex
