// The game and its store: what the store holds is brought back when the game is built,
// and the changes of every step are written in one transaction right after the step.
#include "core/game.h"
#include "core/text_file.h"

#include <stdexcept>

namespace kavex::server {

void Game::openStore() {
    if (!store_) return;
    std::vector<std::string> tickers;
    for (int n = 1; n <= market_.count(); ++n)
        tickers.push_back(market_.setup(n).ticker);
    if (std::optional<SavedGame> saved = store_->load(); saved && !saved->tickers.empty()) {
        // Orders and holdings name instruments by position: another list would mix them up.
        if (saved->tickers != tickers)
            throw std::runtime_error("the game store holds a game played with other instruments; start with "
                                     "the same instrument file or another game store");
        for (int n = 1; n <= market_.count() && n <= static_cast<int>(saved->quotes.size()); ++n)
            if (saved->quotes[static_cast<std::size_t>(n - 1)].lastTicks > 0)
                market_.setQuote(n, saved->quotes[static_cast<std::size_t>(n - 1)]);
        const GameCounters& c = saved->counters;
        market_.reseed(options_.seed + static_cast<uint64_t>(c.quoteSteps));
        exchange_.restore(saved->accounts, c.nextOrderId, c.nextExecutionId, c.tradingDay);
        if (c.lastCloseDay != 0) lastCloseDay_ = c.lastCloseDay;
        stats_.quoteSteps = c.quoteSteps;
        log_(concat("game continued from the store: next order id ", c.nextOrderId, ", next execution id ",
                    c.nextExecutionId));
    }
    // The whole game once, so that accounts new in the accounts file are kept from now on.
    store_->begin();
    store_->saveInstruments(tickers);
    for (int n = 1; n <= market_.count(); ++n)
        store_->saveQuote(n, market_.quote(n));
    for (int a = 0; a < exchange_.accountCount(); ++a)
        store_->saveAccount(exchange_.account(a));
    store_->saveCounters(counters());
    store_->commit();
    exchange_.takeChanges(); // what restore() touched is in the store already
}

GameCounters Game::counters() const {
    return {exchange_.nextOrderId(), exchange_.executionCount() + 1, exchange_.tradingDay(), lastCloseDay_,
            stats_.quoteSteps};
}

void Game::persist(int quotedInstrument) {
    unsaved_.merge(exchange_.takeChanges());
    if (!store_) {
        unsaved_ = {};
        return;
    }
    if (unsaved_.empty() && quotedInstrument == 0) return;
    try {
        writeToStore(quotedInstrument);
        unsaved_ = {};
        if (storeFailing_) log_("game store written again");
        storeFailing_ = false;
    } catch (const std::exception& e) {
        // The game goes on in memory; what could not be written is tried again with the next step.
        try {
            store_->rollback();
        } catch (const std::exception&) {
        }
        if (!storeFailing_) log_(concat("game store not written: ", e.what()));
        storeFailing_ = true;
    }
}

void Game::writeToStore(int quotedInstrument) {
    store_->begin();
    for (const auto& [a, i] : unsaved_.orders)
        store_->saveOrder(exchange_.account(a).setup.user, i, exchange_.account(a).orders[i]);
    for (const auto& [a, i] : unsaved_.executions) {
        const ServerExecution& e = exchange_.account(a).executions[i];
        store_->saveExecution(exchange_.account(a).setup.user, i, e);
        // A fill adds to its instrument's traded volume.
        if (market_.valid(e.instrument) && e.instrument != quotedInstrument)
            store_->saveQuote(e.instrument, market_.quote(e.instrument));
    }
    for (int a : unsaved_.accounts)
        store_->saveAccount(exchange_.account(a));
    if (market_.valid(quotedInstrument)) store_->saveQuote(quotedInstrument, market_.quote(quotedInstrument));
    store_->saveCounters(counters());
    store_->commit();
}

} // namespace kavex::server
