#include "model/order_origin.h"

namespace kavex {
namespace {

const OrderOrigin kUnknown{};

} // namespace

std::string originText(const OrderOrigin& origin) {
    switch (origin.kind) {
    case OriginKind::Grid:
        return "grid";
    case OriginKind::QuickButton:
        return "quick button";
    case OriginKind::Key:
        return "key";
    case OriginKind::Chart:
        return "chart";
    case OriginKind::BracketChild:
        return "bracket child";
    case OriginKind::Closing:
        return "closing";
    case OriginKind::FileDrop:
        return "file-drop:" + origin.ref;
    case OriginKind::Bridge:
        return "bridge:" + origin.ref;
    case OriginKind::Unknown:
        break;
    }
    return {};
}

OrderOrigins::Scope::Scope(OrderOrigins& origins, OrderOrigin origin)
    : origins_(origins), outermost_(!origins.scoped_) {
    if (!outermost_) return;
    origins_.current_ = std::move(origin);
    origins_.scoped_ = true;
}

OrderOrigins::Scope::~Scope() {
    if (!outermost_) return;
    origins_.current_ = {OriginKind::Grid, {}};
    origins_.scoped_ = false;
}

void OrderOrigins::lineTaken(int line) {
    if (line < 1) return;
    const auto index = static_cast<std::size_t>(line);
    if (lines_.size() <= index) lines_.resize(index + 1);
    lines_[index] = current_;
}

const OrderOrigin& OrderOrigins::ofLine(int line) const {
    const auto index = static_cast<std::size_t>(line);
    return line >= 1 && index < lines_.size() ? lines_[index] : kUnknown;
}

void OrderOrigins::lineSent(int line, int32_t orderUserId) {
    orders_[orderUserId] = ofLine(line);
}

const OrderOrigin& OrderOrigins::ofOrder(int32_t orderUserId) const {
    const auto found = orders_.find(orderUserId);
    return found == orders_.end() ? kUnknown : found->second;
}

} // namespace kavex
