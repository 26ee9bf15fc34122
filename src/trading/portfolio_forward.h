#pragma once
// What the account handler needs of the bridge to the external front-end: the
// portfolio-forward request and the bridge's send routine.
#include <string_view>

namespace kavex {

class PortfolioForward {
  public:
    virtual ~PortfolioForward() = default;
    // True when the front-end has asked for the account since the last forward; the
    // request is cleared by the call.
    virtual bool takePortfolioRequest() = 0;
    // Sends an already framed text to the front-end.
    virtual void sendToFrontEnd(std::string_view framedText) = 0;
};

} // namespace kavex
