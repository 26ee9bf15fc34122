#pragma once
// The machine and the desktop on Qt.
//
// The machine identifier is the volume serial number of drive C: on Windows and, on
// other systems, /etc/machine-id (or D-Bus's copy) folded to 32 bits; 0 when neither
// can be read.
#include "platform/services.h"

namespace kavex {

class QtSystemServices : public SystemServices {
  public:
    std::string machineId() override;
    // Keeps the date; needs the right to set the clock, otherwise throws Failure with
    // the system's description.
    void setTimeOfDay(const std::string& text) override;
    void startProgram(const std::string& path) override;
    void openUrl(const std::string& url) override;
    void beep() override;
    // Nothing is saved and no destructor runs.
    [[noreturn]] void exitImmediately() override;
};

} // namespace kavex
