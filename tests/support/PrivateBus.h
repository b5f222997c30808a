// A private D-Bus message bus for one test, stopped by the destructor.
#pragma once

#include <string>

namespace testsupport {

class PrivateBus {
  public:
    explicit PrivateBus(const std::string& folder);
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    // Starts the bus and waits until it accepts connections; false with a reason otherwise.
    bool start(std::string& error);
    // "unix:path=...", for clients.
    std::string address() const { return "unix:path=" + socket; }

  private:
    std::string folder;
    std::string socket;
    int pid = -1;
};

} // namespace testsupport
