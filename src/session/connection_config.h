#pragma once
// What the server connection takes from its surroundings: the settings it shares with
// the settings file, the few things it asks of the trading window, where server
// discovery looks, and its timings.
#include <cstdint>
#include <functional>
#include <string>

namespace kavex {

// The settings values the connection reads and writes. They live in the
// settings record of the trading window; this refers to them so that there is one copy.
struct ConnectionSettings {
    std::string& user;
    std::string& host;
    std::string& password;
    int16_t& keepServer; // 1: discovery leaves host and port alone
};

// Calls into the trading window. Unset hooks do nothing, except showError, whose text
// then goes to the log list so that it is not lost.
struct TradingWindowHooks {
    // Status line, "Meldungen..." list and message window.
    std::function<void(const std::string&)> showError;
    // The user/password dialog, shown modally; it may change user and password of the
    // settings. Returns when the dialog has been closed.
    std::function<void()> showCredentialsDialog;
    // The user button's tooltip ("User:" + name).
    std::function<void(const std::string&)> setUserTooltip;
    bool gameEdition = false; // executable named "KAVEXGAME"
};

// The two web servers that serve the discovery documents, as URL prefixes that end
// with "/", and the values used when the settings name no host or user.
struct DiscoverySites {
    std::string primary = "http://127.0.0.1:4180/";
    std::string mirror = "http://localhost:4180/";
    std::string defaultHost = "127.0.0.1";
    std::string defaultUser = "demo";
};

struct ConnectionTimings {
    int watchdogIntervalMs = 10000;  // tick of the silence watchdog
    uint32_t silenceLimitMs = 10000; // silence longer than this reconnects
    double loginWaitSeconds = 5;     // LOGIN waits this long for the connect event
    double reconnectPauseSeconds = 0.5;
};

} // namespace kavex
