#pragma once
// GET of a short text document on QNetworkAccessManager: always from the network
// (no cache, and no-cache asked of proxies), through the system's proxy settings,
// bounded by a timeout so that a dead web server cannot hang the caller. The body is
// read as Windows-1252; any failure (no answer, an HTTP error status, the timeout)
// returns "".
//
// The call is synchronous but keeps processing events while it waits.
#include "platform/services.h"

#include <QNetworkAccessManager>

namespace kavex {

class QtHttpGet : public HttpGet {
  public:
    explicit QtHttpGet(int timeoutMs = 5000);
    std::string get(const std::string& url) override;

  private:
    QNetworkAccessManager manager_;
    int timeoutMs_;
};

} // namespace kavex
