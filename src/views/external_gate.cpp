#include "views/external_gate.h"

#include "external/command_line.h"
#include "model/order_origin.h"
#include "platform/event_loop.h"
#include "views/external_orders.h"

namespace kavex {

// One interface's view of the gate: its orders are counted and held here, everything
// else goes straight to the orders.
class ExternalOrderGate::Port : public ExternalCommands {
  public:
    Port(ExternalOrderGate& gate, Origin origin) : gate_(gate), origin_(origin) {}
    ExternalOrderResult placeOrder(std::string_view orderText) override {
        whyNot_ = kNotPlaced;
        return gate_.place(origin_, orderText, whyNot_);
    }
    void cancelOrder(int32_t orderUserId) override { gate_.orders_.cancelOrder(orderUserId); }
    void closeAllPositions() override { gate_.orders_.closeAllPositions(); }
    void cancelAllOrders() override { gate_.orders_.cancelAllOrders(); }
    std::string whyNotPlaced() const override { return whyNot_; }

  private:
    ExternalOrderGate& gate_;
    Origin origin_;
    std::string whyNot_ = kNotPlaced;
};

ExternalOrderGate::ExternalOrderGate(ExternalOrders& orders, EventLoop& loop)
    : orders_(orders), loop_(loop), fileDropPort_(std::make_unique<Port>(*this, Origin::FileDrop)),
      bridgePort_(std::make_unique<Port>(*this, Origin::Bridge)) {}

ExternalOrderGate::~ExternalOrderGate() = default;

ExternalCommands& ExternalOrderGate::commandsFor(Origin origin) {
    return origin == Origin::Bridge ? *bridgePort_ : *fileDropPort_;
}

void ExternalOrderGate::setRates(int perSecond, int perMinute) {
    perSecond_ = perSecond;
    perMinute_ = perMinute;
}

bool ExternalOrderGate::withinRates() {
    const uint32_t now = loop_.tickCount();
    // Differences of the wrapping counter stay right across its wrap.
    while (!taken_.empty() && now - taken_.front() >= 60000)
        taken_.pop_front();
    int lastSecond = 0;
    for (uint32_t t : taken_)
        if (now - t < 1000) ++lastSecond;
    if (perSecond_ > 0 && lastSecond >= perSecond_) return false;
    if (perMinute_ > 0 && static_cast<int>(taken_.size()) >= perMinute_) return false;
    taken_.push_back(now);
    return true;
}

ExternalOrderResult ExternalOrderGate::place(Origin origin, std::string_view orderText, std::string& whyNot) {
    if (!withinRates()) {
        whyNot = kTooMany;
        if (origin == Origin::Bridge) orders_.reportError(ExternalOrders::kNotPlacedCode, kTooMany);
        return ExternalOrderResult::NotPlaced;
    }
    if (approval_) {
        waiting_.push_back({origin, std::string(orderText)});
        showWaiting();
        return ExternalOrderResult::Waiting;
    }
    const ExternalOrderResult result = placeMarked(origin, orderText);
    if (result == ExternalOrderResult::NotPlaced) whyNot = orders_.whyNotPlaced();
    return result;
}

ExternalOrderResult ExternalOrderGate::placeMarked(Origin origin, std::string_view orderText) {
    if (origins == nullptr) return orders_.placeOrder(orderText);
    const CommandFields f(orderText, CommandFields::kOrderTextFields);
    const OrderOrigins::Scope marked(
        *origins, {origin == Origin::Bridge ? OriginKind::Bridge : OriginKind::FileDrop, referenceOf(f[8])});
    return orders_.placeOrder(orderText);
}

void ExternalOrderGate::approve(int index) {
    if (index < 0 || index >= static_cast<int>(waiting_.size())) return;
    const Waiting order = waiting_[static_cast<std::size_t>(index)];
    waiting_.erase(waiting_.begin() + index);
    showWaiting();
    // The bridge is answered by the orders themselves; the file-drop interface hears of a
    // refusal here and of a sent order through its order number file.
    const ExternalOrderResult result = placeMarked(order.origin, order.orderText);
    if (order.origin == Origin::FileDrop && result != ExternalOrderResult::Placed)
        refuse(Origin::FileDrop, result == ExternalOrderResult::UnknownInstrument
                                     ? std::string(ExternalCommands::kUnknownInstrument)
                                     : orders_.whyNotPlaced());
}

void ExternalOrderGate::reject(int index) {
    if (index < 0 || index >= static_cast<int>(waiting_.size())) return;
    const Origin origin = waiting_[static_cast<std::size_t>(index)].origin;
    waiting_.erase(waiting_.begin() + index);
    showWaiting();
    refuse(origin, kRejected);
}

void ExternalOrderGate::refuse(Origin origin, const std::string& reason) {
    if (origin == Origin::Bridge)
        orders_.reportError(ExternalOrders::kNotPlacedCode, reason);
    else if (fileDropRefused)
        fileDropRefused(reason);
}

void ExternalOrderGate::showWaiting() {
    std::vector<std::string> lines;
    for (const Waiting& w : waiting_)
        lines.push_back((w.origin == Origin::Bridge ? "Bridge: " : "Datei: ") + w.orderText);
    waitingList_.setLines(std::move(lines));
}

} // namespace kavex
