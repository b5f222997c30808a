// How other threads and programs reach the player: a remote request ("show the now-playing
// pane", "come to the front", "open these files", "listen to the desktop") is posted from any
// thread and carried out on the user interface thread, which takes the posted requests once per
// frame (at least 30 times a second) in the order they came.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

struct PlayerRequest {
    enum Kind { ShowNowPlaying, BringToFront, OpenFiles, Listen, QueueFiles } kind;
    // OpenFiles: files or folders, queued and played at once; QueueFiles: only queued.
    std::vector<std::string> files;
};

class PlayerRequests {
  public:
    // Any thread. Never waits for the user interface.
    void post(PlayerRequest request);
    // The user interface thread: everything posted since the last call.
    std::vector<PlayerRequest> take();
    // Called (on the posting thread) after each post, so a sleeping interface can wake up.
    void setWaker(std::function<void()> wake);

  private:
    std::mutex lock;
    std::vector<PlayerRequest> pending;
    std::function<void()> waker;
};
