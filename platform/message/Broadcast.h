// Registered window messages and broadcasts between the running programs of this system.
//
// RegisterWindowMessageA gives every program the same number for the same name (compared
// without regard to case), from 0xC000 up. A message posted to HWND_BROADCAST reaches every
// program that holds a BroadcastListener at that moment; programs that do not listen never see
// it, and a listener gets only what was posted while it existed. Delivery is asynchronous and
// the poster never waits. Window programs post with PostMessageA(HWND_BROADCAST, ...)
// (Window.h); programs without windows call postBroadcast directly.
#pragma once

#include "platform/base/WinTypes.h"

#include <string>

#define HWND_BROADCAST (reinterpret_cast<HWND>(static_cast<uintptr_t>(0xFFFF)))

// The message number of name, the same in every program; 0 for a null or empty name or when
// the shared table cannot be used.
UINT RegisterWindowMessageA(LPCSTR name);

namespace plat {

struct BroadcastMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// Sends the message to every live listener (in this and in other programs). True when it was
// handed to all of them (also when there is none). Listeners of programs that ended are
// cleared away.
bool postBroadcast(UINT message, WPARAM wParam, LPARAM lParam);

// While it lives, this program receives broadcasts. Messages wait in a queue of the system
// until taken; the file descriptor becomes readable while one waits, so a program can poll it
// with its other inputs.
class BroadcastListener {
  public:
    BroadcastListener();
    ~BroadcastListener();
    BroadcastListener(const BroadcastListener&) = delete;
    BroadcastListener& operator=(const BroadcastListener&) = delete;

    // False when no listening endpoint could be made; receive then always fails.
    bool listening() const { return fd >= 0; }
    int fileDescriptor() const { return fd; }
    // Takes the oldest waiting message. Waits up to timeoutMs (0: do not wait, negative: wait
    // without limit). False when none arrived.
    bool receive(BroadcastMessage* out, int timeoutMs);

  private:
    int fd = -1;
    std::string path;
};

} // namespace plat
