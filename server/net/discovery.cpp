#include "net/discovery.h"

#include <httplib.h>

#include <stdexcept>

namespace kavex::server {

std::string discoveryDocument(const std::string& host, uint16_t gamePort) {
    return host + ":" + std::to_string(gamePort) + "\r\n";
}

DiscoveryServer::DiscoveryServer() : http_(std::make_unique<httplib::Server>()) {}

DiscoveryServer::~DiscoveryServer() {
    stop();
}

void DiscoveryServer::start(const std::string& bindAddress, uint16_t port, std::string document) {
    auto serve = [document](const httplib::Request&, httplib::Response& response) {
        response.set_header("Cache-Control", "no-cache, no-store");
        response.set_content(document, "text/html; charset=windows-1252");
    };
    http_->Get("/", serve);
    for (const char* path : kDiscoveryPaths)
        http_->Get(path, serve);
    if (port == 0) {
        const int bound = http_->bind_to_any_port(bindAddress);
        if (bound <= 0) throw std::runtime_error("cannot bind the discovery port on " + bindAddress);
        port_ = static_cast<uint16_t>(bound);
    } else {
        if (!http_->bind_to_port(bindAddress, port))
            throw std::runtime_error("cannot bind the discovery port " + std::to_string(port) + " on " +
                                     bindAddress);
        port_ = port;
    }
    thread_ = std::thread([this] { http_->listen_after_bind(); });
}

void DiscoveryServer::stop() {
    if (thread_.joinable()) {
        http_->stop();
        thread_.join();
    }
}

} // namespace kavex::server
