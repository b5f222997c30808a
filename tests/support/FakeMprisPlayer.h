// A media player on a test bus announcing a status and a title over the standard
// media-player interface, as desktop players do.
#pragma once

#include <dbus/dbus.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

class FakePlayer {
  public:
    struct Announce {
        std::string status = "Playing";
        std::string title;
        std::vector<std::string> artists;
        bool titleAsNumber = false; // a malformed title entry
    };

    FakePlayer(const std::string& address, const std::string& name, Announce a, bool answers = true)
        : announce(std::move(a)) {
        DBusError err;
        dbus_error_init(&err);
        conn = dbus_connection_open_private(address.c_str(), &err);
        if (conn && dbus_bus_register(conn, &err)) {
            std::string full = "org.mpris.MediaPlayer2." + name;
            dbus_bus_request_name(conn, full.c_str(), DBUS_NAME_FLAG_DO_NOT_QUEUE, &err);
        }
        dbus_error_free(&err);
        if (conn && answers) {
            worker = std::thread([this] { serve(); });
        }
    }
    ~FakePlayer() {
        quit = true;
        if (worker.joinable()) {
            worker.join();
        }
        if (conn) {
            dbus_connection_close(conn);
            dbus_connection_unref(conn);
        }
    }
    bool ok() const { return conn != nullptr; }
    void setStatus(const std::string& s) {
        std::lock_guard<std::mutex> lock(mutex);
        announce.status = s;
    }
    void setTitle(const std::string& t) {
        std::lock_guard<std::mutex> lock(mutex);
        announce.title = t;
    }
    // The local file it plays (xesam:url) and where in it (Position); left out when "" and
    // negative, as they are at first.
    void setUrl(const std::string& u) {
        std::lock_guard<std::mutex> lock(mutex);
        url = u;
    }
    void setPosition(int64_t us) {
        std::lock_guard<std::mutex> lock(mutex);
        positionUs = us;
    }

  private:
    void serve() {
        while (!quit && dbus_connection_read_write(conn, 20)) {
            while (DBusMessage* m = dbus_connection_pop_message(conn)) {
                if (dbus_message_is_method_call(m, "org.freedesktop.DBus.Properties", "GetAll")) {
                    reply(m);
                }
                dbus_message_unref(m);
            }
        }
    }

    void reply(DBusMessage* call);
    DBusConnection* conn = nullptr;
    std::mutex mutex;
    Announce announce;
    std::string url;
    int64_t positionUs = -1;
    std::atomic<bool> quit{false};
    std::thread worker;
};

} // namespace testsupport
