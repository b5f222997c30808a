// A private PulseAudio server for one test: its own folder and socket, no default
// configuration, the modules the test names. Stopped by the destructor.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

class PulseServer {
  public:
    // modules: "module-null-sink sink_name=out norewinds=1" and the like, loaded at start.
    PulseServer(const std::string& folder, std::vector<std::string> modules);
    ~PulseServer();
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    // Starts the server and waits until it answers; false (with its log in error) if it won't.
    bool start(std::string& error);
    // Kills the server at once, as a crash would.
    void kill();
    bool running() const { return pid > 0; }

    // "unix:/.../native", for clients.
    std::string address() const { return "unix:" + socket; }
    // Runs pactl against this server; its standard output, or "" on failure.
    std::string pactl(const std::string& args) const;
    // Index of the named source in "pactl list sources short", or -1.
    int sourceIndex(const std::string& name) const;
    // The source index of every recording stream on the server.
    std::vector<int> recordingSources() const;

  private:
    std::string folder;
    std::string socket;
    std::vector<std::string> modules;
    int pid = -1;
};

// Plays a sine of the given frequency and amplitude into the named sink for the given time,
// through the server at address; false if it could not play.
bool playTone(const std::string& address, const std::string& sink, double hz, float amplitude,
              double seconds);
// Plays mono samples at 44.1 kHz into the named sink; false if it could not play.
bool playSamples(const std::string& address, const std::string& sink,
                 const std::vector<float>& samples);

} // namespace testsupport
