#pragma once
// The compact price path measured by the receive-path benchmark and exercised by the
// receive-path fuzz target: the program's own price handlers, registered the way the
// trading window registers them. History files are never touched (the rings are created
// by the caller).
#include "base/files.h"
#include "base/text_list.h"
#include "model/trading_data.h"
#include "platform/event_loop.h"
#include "protocol/message_dispatcher.h"
#include "session/history_files.h"
#include "session/price_handlers.h"

#include <string_view>

namespace kavex::bench {

using CompactForm = PriceHandlers::CompactForm;

class CompactPricePath {
  public:
    CompactPricePath(TradingData& data, EventLoop& loop, TextList& log)
        : folder_("/nonexistent-kavex-bench"), history_(data, folder_, log),
          handlers_(data, log, outgoing_, loop, history_) {}

    void install(MessageDispatcher& dispatcher) { handlers_.bind(dispatcher); }
    void apply(CompactForm form, std::string_view text) { handlers_.compactUpdate(form, text); }
    void applyGeneral(CompactForm form, std::string_view text) { handlers_.compactUpdateGeneral(form, text); }

  private:
    WorkingDirectory folder_;
    TextList outgoing_;
    HistoryFiles history_;
    PriceHandlers handlers_;
};

} // namespace kavex::bench
