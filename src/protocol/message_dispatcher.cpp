#include "protocol/message_dispatcher.h"

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
    {"@", B::Handler, H::WS_HB}, // "@=" on the wire
    {"@KU", B::Handler, H::WS_KU},
    {"@KURSUPDATE", B::Handler, H::WS_KU},
    {"@HB", B::Handler, H::WS_Heartbeat},
    {"@Heartbeat", B::Handler, H::WS_Heartbeat},
    {"@WELCOME", B::Handler, H::Welcome},
    {"@RV", B::Handler, H::WS_RV},
    {"@SV", B::Handler, H::WS_SV},
    {"@SYI", B::Handler, H::WS_ShowSystemInfo},
    {"@PI", B::Handler, H::WS_PlatzInfo},
    {"@PlatzInfo", B::Handler, H::WS_PlatzInfo},
    {"@GV", B::Handler, H::WS_GewinnerVerlierer},
    {"@GewinnerVerlierer", B::Handler, H::WS_GewinnerVerlierer},
    {"@TS", B::SetTime, H::Count},
    {"@TIMESET", B::SetTime, H::Count},
    {"@UD", B::Handler, H::ws_ud},
    {"@SAO", B::Handler, H::WS_SAO},
    {"@SENDALLORDERS", B::Handler, H::WS_SAO},
    {"@SAE", B::Handler, H::WS_SAE},
    {"@SENDALLEXECUTIONS", B::Handler, H::WS_SAE},
    {"@SUK", B::Handler, H::WS_SUK},
    {"@SUD1", B::Handler, H::WS_SUK},
    {"@SENDUSERKONTO", B::Handler, H::WS_SUK},
    {"@SUD", B::Handler, H::WS_SUD},
    {"@SENDUSERDATA", B::Handler, H::WS_SUD},
    {"@SUP", B::Handler, H::WS_SUP},
    {"@SENDUSERPLAETZE", B::Handler, H::WS_SUP},
    {"@OO", B::Handler, H::WS_OO},
    {"@OpenOrder", B::Handler, H::WS_OO},
    {"@CR", B::Handler, H::WS_CR},
    {"@CancelRejected", B::Handler, H::WS_CR},
    {"@OR", B::Handler, H::WS_OR},
    {"@OrderRejected", B::Handler, H::WS_OR},
    {"@SOO", B::Handler, H::WS_SOO},
    {"@SENDOPENORDERS", B::Handler, H::WS_SOO},
    {"@SI", B::Handler, H::WS_SI},
    {"@SENDINSTRUMENTS", B::Handler, H::WS_SI},
    {"@LI", B::LastUserOrderId, H::Count},
    {"@ST", B::Ignored, H::Count},
    {"@STATUS", B::Ignored, H::Count},
    {"@EX", B::Handler, H::WS_EX},
    {"@Execution", B::Handler, H::WS_EX},
    {"@OS", B::Handler, H::WS_OS},
    {"@ORDERSTATUS", B::Handler, H::WS_OS},
    {"@RC", B::Handler, H::WS_ReceiveChat},
    {"@ReceiveChat", B::Handler, H::WS_ReceiveChat},
    {"@RT", B::Handler, H::WS_ReceiveTChat},
    {"@ReceiveTChat", B::Handler, H::WS_ReceiveTChat},
    {"@ER", B::Ignored, H::Count},
    {"@ERROR", B::Ignored, H::Count},
    {"@CC", B::Ignored, H::Count},
    {"@CONNECTIONCLOSED", B::Ignored, H::Count},
    {"@SD", B::Handler, H::WS_SendDocument},
    {"@SENDDOCUMENT", B::Handler, H::WS_SendDocument},
    {"@SA", B::Handler, H::WS_SendAnnotation},
    {"@SENDANNOTATION", B::Handler, H::WS_SendAnnotation},
    {"@MSG", B::Handler, H::WS_Message},
    {"@MESSAGE", B::Handler, H::WS_Message},
    {"@FIS", B::Handler, H::WS_FIS},
    {"@FID", B::Handler, H::WS_FID},
    {"@FIE", B::Handler, H::WS_FIE},
    {"@SCU", B::Handler, H::WS_SCU},
    {"@CU1", B::Handler, H::WS_CU1},
    {"@CU0", B::Handler, H::WS_CU0},
};

std::string upperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

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

void MessageDispatcher::dispatch(std::string_view text) {
    if (text.empty()) {
        ctx_.incoming.addLine("Unbekannter Befehl:");
        return;
    }
    switch (text.front()) {
    case '~':
        if (ctx_.data.instrumentCount() > 0) call(H::WS_KuKurz, text.substr(1));
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
        ctx_.incoming.addLine("Unbekannter Befehl:" + std::string(text));
    }
}

void MessageDispatcher::dispatchPartialQuote(std::string_view text) {
    if (text.size() < 2) return;
    static constexpr Handler kForms[] = {H::WS_KuKurzBBVAAV, H::WS_KuKurzAAV, H::WS_KuKurzA, H::WS_KuKurzAV,
                                         H::WS_KuKurzBBV};
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
        if (entry->handler == H::WS_KU && ctx_.data.instrumentCount() < 1) return;
        call(entry->handler, argument);
        if (entry->handler == H::WS_SI) call(H::InstrumentListShown, {});
        if (entry->handler == H::WS_Message && upperAscii(argument) == "USER GESPERRT")
            call(H::UserLocked, {});
        return;
    case B::SetTime:
        guard(ctx_.incoming, "", [&] { ctx_.system.setTimeOfDay(std::string(argument)); });
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
    if (text.starts_with("!;T;")) call(H::InitTabelle, from(text, 7));
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
