#include "player/capture/DesktopTitle.h"

#include "player/mpris/FileUri.h"
#include "player/mpris/SessionBus.h"
#include "player/spectrum/HeardAudio.h"

#include <dbus/dbus.h>

#include <cstring>
#include <vector>

namespace mpris {
namespace {

const char* const kPrefix = "org.mpris.MediaPlayer2.";

struct Connection {
    DBusConnection* c = nullptr;
    ~Connection() {
        if (c) {
            dbus_connection_close(c);
            dbus_connection_unref(c);
        }
    }
};

struct Message {
    DBusMessage* m = nullptr;
    ~Message() {
        if (m) {
            dbus_message_unref(m);
        }
    }
};

// Sends call and waits for its reply; null on any error.
DBusMessage* ask(DBusConnection* c, DBusMessage* call, std::chrono::milliseconds timeout) {
    DBusError err;
    dbus_error_init(&err);
    DBusMessage* reply =
        dbus_connection_send_with_reply_and_block(c, call, static_cast<int>(timeout.count()), &err);
    dbus_error_free(&err);
    return reply;
}

std::string stringIn(DBusMessageIter* it) {
    if (dbus_message_iter_get_arg_type(it) != DBUS_TYPE_STRING) {
        return "";
    }
    const char* s = nullptr;
    dbus_message_iter_get_basic(it, &s);
    return s ? s : "";
}

// A variant holding a string, or an array of strings (joined by ", ").
std::string textInVariant(DBusMessageIter* variant) {
    DBusMessageIter inner;
    dbus_message_iter_recurse(variant, &inner);
    if (dbus_message_iter_get_arg_type(&inner) == DBUS_TYPE_STRING) {
        return stringIn(&inner);
    }
    if (dbus_message_iter_get_arg_type(&inner) != DBUS_TYPE_ARRAY) {
        return "";
    }
    std::string joined;
    DBusMessageIter items;
    dbus_message_iter_recurse(&inner, &items);
    while (dbus_message_iter_get_arg_type(&items) == DBUS_TYPE_STRING) {
        std::string one = stringIn(&items);
        if (!one.empty()) {
            joined += (joined.empty() ? "" : ", ") + one;
        }
        dbus_message_iter_next(&items);
    }
    return joined;
}

// Walks an a{sv} dictionary, calling visit(key, variant iterator) for each entry.
template <typename Visit> void eachEntry(DBusMessageIter* array, Visit visit) {
    if (dbus_message_iter_get_arg_type(array) != DBUS_TYPE_ARRAY) {
        return;
    }
    DBusMessageIter entries;
    dbus_message_iter_recurse(array, &entries);
    while (dbus_message_iter_get_arg_type(&entries) == DBUS_TYPE_DICT_ENTRY) {
        DBusMessageIter entry;
        dbus_message_iter_recurse(&entries, &entry);
        std::string key = stringIn(&entry);
        if (dbus_message_iter_next(&entry) &&
            dbus_message_iter_get_arg_type(&entry) == DBUS_TYPE_VARIANT) {
            visit(key, &entry);
        }
        dbus_message_iter_next(&entries);
    }
}

bool readPlayer(DBusConnection* c, PlayerInfo& info, std::chrono::milliseconds timeout) {
    Message call{dbus_message_new_method_call(info.busName.c_str(), "/org/mpris/MediaPlayer2",
                                              "org.freedesktop.DBus.Properties", "GetAll")};
    if (!call.m) {
        return false;
    }
    const char* iface = kPlayerInterface;
    dbus_message_append_args(call.m, DBUS_TYPE_STRING, &iface, DBUS_TYPE_INVALID);
    Message reply{ask(c, call.m, timeout)};
    info.answeredAt = HeardAudio::nowSeconds();
    DBusMessageIter top;
    if (!reply.m || !dbus_message_iter_init(reply.m, &top)) {
        return false;
    }
    eachEntry(&top, [&](const std::string& key, DBusMessageIter* value) {
        if (key == "PlaybackStatus") {
            info.playbackStatus = textInVariant(value);
        } else if (key == "Position") {
            DBusMessageIter inner;
            dbus_message_iter_recurse(value, &inner);
            if (dbus_message_iter_get_arg_type(&inner) == DBUS_TYPE_INT64) {
                dbus_int64_t us = 0;
                dbus_message_iter_get_basic(&inner, &us);
                info.positionUs = us >= 0 ? int64_t(us) : -1;
            }
        } else if (key == "Metadata") {
            DBusMessageIter dict;
            dbus_message_iter_recurse(value, &dict);
            eachEntry(&dict, [&](const std::string& field, DBusMessageIter* v) {
                if (field == "xesam:title") {
                    info.title = textInVariant(v);
                } else if (field == "xesam:artist") {
                    info.artist = textInVariant(v);
                } else if (field == "xesam:url") {
                    info.url = textInVariant(v);
                }
            });
        }
    });
    return true;
}

} // namespace

std::vector<PlayerInfo> listPlayers(const std::string& busAddress,
                                    std::chrono::milliseconds timeout) {
    std::vector<PlayerInfo> players;
    std::string address = busAddress.empty() ? sessionBusAddress() : busAddress;
    if (address.empty()) {
        return players;
    }
    DBusError err;
    dbus_error_init(&err);
    Connection conn{dbus_connection_open_private(address.c_str(), &err)};
    dbus_error_free(&err);
    if (!conn.c) {
        return players;
    }
    dbus_connection_set_exit_on_disconnect(conn.c, FALSE);
    if (!dbus_bus_register(conn.c, &err)) {
        dbus_error_free(&err);
        return players;
    }
    Message call{dbus_message_new_method_call("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                              "org.freedesktop.DBus", "ListNames")};
    Message reply{call.m ? ask(conn.c, call.m, timeout) : nullptr};
    DBusMessageIter top, names;
    if (!reply.m || !dbus_message_iter_init(reply.m, &top) ||
        dbus_message_iter_get_arg_type(&top) != DBUS_TYPE_ARRAY) {
        return players;
    }
    dbus_message_iter_recurse(&top, &names);
    std::vector<std::string> found;
    while (dbus_message_iter_get_arg_type(&names) == DBUS_TYPE_STRING) {
        std::string name = stringIn(&names);
        // tcplayer itself is never the desktop's player it listens to.
        if (name.compare(0, std::strlen(kPrefix), kPrefix) == 0 && !isOwnBusName(name)) {
            found.push_back(name);
        }
        dbus_message_iter_next(&names);
    }
    for (const std::string& name : found) {
        PlayerInfo info;
        info.busName = name;
        if (readPlayer(conn.c, info, timeout)) {
            players.push_back(info);
        }
    }
    return players;
}

const PlayerInfo* currentPlayer(const std::vector<PlayerInfo>& players) {
    for (const PlayerInfo& p : players) {
        if (p.playbackStatus == "Playing" && !p.title.empty()) {
            return &p;
        }
    }
    return nullptr;
}

std::string titleOf(const PlayerInfo* p) {
    if (!p) {
        return "";
    }
    return p->artist.empty() ? p->title : p->artist + " - " + p->title;
}

} // namespace mpris

DesktopTitle::DesktopTitle(std::string address, std::chrono::milliseconds every)
    : busAddress(std::move(address)), interval(every), current(kFallback) {
    dbus_threads_init_default();
    worker = std::thread([this] { run(); });
}

DesktopTitle::~DesktopTitle() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        quit = true;
    }
    wake.notify_all();
    worker.join();
}

std::string DesktopTitle::title() const {
    std::lock_guard<std::mutex> lock(mutex);
    return current;
}

DesktopSong DesktopTitle::song() const {
    std::lock_guard<std::mutex> lock(mutex);
    return playing;
}

void DesktopTitle::run() {
    std::unique_lock<std::mutex> lock(mutex);
    while (!quit) {
        lock.unlock();
        std::vector<mpris::PlayerInfo> players =
            mpris::listPlayers(busAddress, std::chrono::milliseconds(500));
        const mpris::PlayerInfo* p = mpris::currentPlayer(players);
        std::string t = mpris::titleOf(p);
        lock.lock();
        current = t.empty() ? kFallback : t;
        if (!t.empty() && t != lastPlayed) {
            lastPlayed = t;
            ++playing.number;
        }
        playing.path = p ? mpris::localPathOfUri(p->url) : "";
        playing.position = p && p->positionUs >= 0 ? double(p->positionUs) / 1e6 : -1;
        playing.at = p ? p->answeredAt : HeardAudio::nowSeconds();
        wake.wait_for(lock, interval, [this] { return quit; });
    }
}
