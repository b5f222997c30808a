#include "player/mpris/MprisService.h"

#include "player/mpris/MprisProperties.h"
#include "player/mpris/SessionBus.h"

#include <dbus/dbus.h>

#include <algorithm>
#include <cstring>
#include <unistd.h>

namespace mpris {
namespace {

constexpr const char* kPropertiesInterface = "org.freedesktop.DBus.Properties";
constexpr const char* kIntrospectable = "org.freedesktop.DBus.Introspectable";
constexpr const char* kInvalidArgs = "org.freedesktop.DBus.Error.InvalidArgs";
constexpr const char* kUnknownMethod = "org.freedesktop.DBus.Error.UnknownMethod";
constexpr const char* kUnknownProperty = "org.freedesktop.DBus.Error.UnknownProperty";
constexpr const char* kReadOnly = "org.freedesktop.DBus.Error.PropertyReadOnly";
// A position further than this from where playing on would have taken it is a seek.
constexpr int64_t kSeekSlackUs = 1000000;

DBusHandlerResult onMessage(DBusConnection*, DBusMessage* message, void* data) {
    static_cast<MprisService*>(data)->handle(message);
    return DBUS_HANDLER_RESULT_HANDLED;
}

const DBusObjectPathVTable kVTable = {nullptr, onMessage, nullptr, nullptr, nullptr, nullptr};

struct Message {
    DBusMessage* m = nullptr;
    ~Message() {
        if (m) {
            dbus_message_unref(m);
        }
    }
};

} // namespace

MprisService::MprisService(PlayerTarget& t) : target(t) {}

MprisService::~MprisService() {
    close();
}

void MprisService::close() {
    if (connection != nullptr) {
        dbus_connection_close(connection);
        dbus_connection_unref(connection);
        connection = nullptr;
    }
}

bool MprisService::start(const std::string& busAddress, std::string& error) {
    std::string address = busAddress.empty() ? sessionBusAddress() : busAddress;
    if (address.empty()) {
        error = "no session bus (DBUS_SESSION_BUS_ADDRESS is not set)";
        return false;
    }
    DBusError err;
    dbus_error_init(&err);
    connection = dbus_connection_open_private(address.c_str(), &err);
    if (connection != nullptr) {
        dbus_connection_set_exit_on_disconnect(connection, FALSE);
    }
    if (connection == nullptr || !dbus_bus_register(connection, &err)) {
        error = std::string("no session bus (") + (err.message ? err.message : "?") + ")";
        dbus_error_free(&err);
        close();
        return false;
    }
    name = kOwnBusName;
    int got = dbus_bus_request_name(connection, name.c_str(), DBUS_NAME_FLAG_DO_NOT_QUEUE, &err);
    dbus_error_free(&err);
    if (got != DBUS_REQUEST_NAME_REPLY_PRIMARY_OWNER) {
        name = std::string(kOwnBusName) + ".instance" + std::to_string(getpid());
        got = dbus_bus_request_name(connection, name.c_str(), DBUS_NAME_FLAG_DO_NOT_QUEUE, &err);
        dbus_error_free(&err);
    }
    if (got != DBUS_REQUEST_NAME_REPLY_PRIMARY_OWNER ||
        !dbus_connection_register_object_path(connection, kObjectPath, &kVTable, this)) {
        error = "the session bus refused the name " + name;
        close();
        return false;
    }
    return true;
}

void MprisService::poll() {
    if (connection == nullptr) {
        return;
    }
    if (!dbus_connection_read_write(connection, 0)) {
        close(); // the bus went away
        return;
    }
    while (dbus_connection_dispatch(connection) == DBUS_DISPATCH_DATA_REMAINS) {
    }
    announce();
    dbus_connection_flush(connection);
}

void MprisService::announce() {
    PlayerSnapshot now = target.snapshot();
    auto time = std::chrono::steady_clock::now();
    if (!announced) {
        announced = true;
        last = now;
        lastTime = time;
        return;
    }
    std::vector<std::string> changed = changedPlayerProperties(last, now);
    if (!changed.empty()) {
        Message signal{
            dbus_message_new_signal(kObjectPath, kPropertiesInterface, "PropertiesChanged")};
        if (signal.m != nullptr) {
            DBusMessageIter it, invalidated;
            dbus_message_iter_init_append(signal.m, &it);
            const char* iface = kPlayerInterface;
            dbus_message_iter_append_basic(&it, DBUS_TYPE_STRING, &iface);
            appendProperties(&it, kPlayerInterface, changed, now);
            dbus_message_iter_open_container(&it, DBUS_TYPE_ARRAY, "s", &invalidated);
            dbus_message_iter_close_container(&it, &invalidated);
            dbus_connection_send(connection, signal.m, nullptr);
        }
    }
    int64_t elapsed =
        std::chrono::duration_cast<std::chrono::microseconds>(time - lastTime).count();
    int64_t expected = last.positionUs + (last.playbackStatus == "Playing" ? elapsed : 0);
    bool sameTrack = now.trackNumber == last.trackNumber && now.trackNumber != 0;
    if (sameTrack && std::llabs(now.positionUs - expected) > kSeekSlackUs) {
        Message signal{dbus_message_new_signal(kObjectPath, kPlayerInterface, "Seeked")};
        if (signal.m != nullptr) {
            dbus_int64_t position = now.positionUs;
            dbus_message_append_args(signal.m, DBUS_TYPE_INT64, &position, DBUS_TYPE_INVALID);
            dbus_connection_send(connection, signal.m, nullptr);
        }
    }
    last = now;
    lastTime = time;
}

void MprisService::handle(DBusMessage* call) {
    if (dbus_message_get_type(call) != DBUS_MESSAGE_TYPE_METHOD_CALL) {
        return;
    }
    const char* iface = dbus_message_get_interface(call);
    const char* member = dbus_message_get_member(call);
    std::string interface = iface ? iface : "";
    if (member == nullptr) {
        return;
    }
    if (interface == kPropertiesInterface) {
        handleProperties(call, member);
    } else if (interface == kIntrospectable && std::strcmp(member, "Introspect") == 0) {
        Message answer{dbus_message_new_method_return(call)};
        const char* xml = introspectionXml();
        if (answer.m != nullptr) {
            dbus_message_append_args(answer.m, DBUS_TYPE_STRING, &xml, DBUS_TYPE_INVALID);
            dbus_connection_send(connection, answer.m, nullptr);
        }
    } else if (interface == kRootInterface) {
        handleRoot(call, member);
    } else if (interface == kPlayerInterface || interface.empty()) {
        handlePlayer(call, member);
    } else {
        replyError(call, kUnknownMethod, "no interface " + interface);
    }
}

void MprisService::handleProperties(DBusMessage* call, const char* member) {
    DBusMessageIter it;
    const char* iface = nullptr;
    const char* property = nullptr;
    if (!dbus_message_iter_init(call, &it) ||
        dbus_message_iter_get_arg_type(&it) != DBUS_TYPE_STRING) {
        replyError(call, kInvalidArgs, "an interface name is needed");
        return;
    }
    dbus_message_iter_get_basic(&it, &iface);
    bool hasName =
        dbus_message_iter_next(&it) && dbus_message_iter_get_arg_type(&it) == DBUS_TYPE_STRING;
    if (hasName) {
        dbus_message_iter_get_basic(&it, &property);
    }
    PlayerSnapshot now = target.snapshot();
    if (std::strcmp(member, "GetAll") == 0) {
        Message answer{dbus_message_new_method_return(call)};
        if (answer.m != nullptr) {
            DBusMessageIter out;
            dbus_message_iter_init_append(answer.m, &out);
            appendProperties(&out, iface, propertyNames(iface), now);
            dbus_connection_send(connection, answer.m, nullptr);
        }
    } else if (std::strcmp(member, "Get") == 0 && hasName) {
        Message answer{dbus_message_new_method_return(call)};
        if (answer.m == nullptr) {
            return;
        }
        DBusMessageIter out;
        dbus_message_iter_init_append(answer.m, &out);
        if (!appendProperty(&out, iface, property, now)) {
            replyError(call, kUnknownProperty, std::string("no property ") + property);
            return;
        }
        dbus_connection_send(connection, answer.m, nullptr);
    } else if (std::strcmp(member, "Set") == 0 && hasName) {
        DBusMessageIter variant, value;
        bool isDouble =
            dbus_message_iter_next(&it) && dbus_message_iter_get_arg_type(&it) == DBUS_TYPE_VARIANT;
        double d = 0;
        if (isDouble) {
            dbus_message_iter_recurse(&it, &variant);
            value = variant;
            isDouble = dbus_message_iter_get_arg_type(&value) == DBUS_TYPE_DOUBLE;
            if (isDouble) {
                dbus_message_iter_get_basic(&value, &d);
            }
        }
        std::string which = property;
        if (std::strcmp(iface, kPlayerInterface) != 0 || (which != "Volume" && which != "Rate")) {
            replyError(call, kReadOnly, which + " cannot be set");
        } else if (!isDouble) {
            replyError(call, kInvalidArgs, which + " takes a double");
        } else {
            // The rate stays 1: its bounds are both 1, so only 1 is ever asked for.
            if (which == "Volume") {
                target.setVolume(std::clamp(d, 0.0, 1.0));
            }
            reply(call);
        }
    } else {
        replyError(call, kUnknownMethod, std::string("no method ") + member);
    }
}

void MprisService::handleRoot(DBusMessage* call, const char* member) {
    if (std::strcmp(member, "Raise") == 0) {
        target.raise();
    } else if (std::strcmp(member, "Quit") == 0) {
        target.quit();
    } else {
        replyError(call, kUnknownMethod, std::string("no method ") + member);
        return;
    }
    reply(call);
}

void MprisService::handlePlayer(DBusMessage* call, const char* member) {
    PlayerSnapshot now = target.snapshot();
    std::string m = member;
    DBusError err;
    dbus_error_init(&err);
    if (m == "Next") {
        if (now.canGoNext) {
            target.next();
        }
    } else if (m == "Previous") {
        if (now.canGoPrevious) {
            target.previous();
        }
    } else if (m == "Pause") {
        if (now.canPause) {
            target.pause();
        }
    } else if (m == "PlayPause") {
        target.playPause();
    } else if (m == "Stop") {
        target.stop();
    } else if (m == "Play") {
        if (now.canPlay) {
            target.play();
        }
    } else if (m == "Seek") {
        dbus_int64_t offset = 0;
        if (!dbus_message_get_args(call, &err, DBUS_TYPE_INT64, &offset, DBUS_TYPE_INVALID)) {
            dbus_error_free(&err);
            replyError(call, kInvalidArgs, "Seek takes an offset in microseconds");
            return;
        }
        // Past the end moves on to the next song; before the start goes to the start.
        int64_t to = std::max<int64_t>(0, now.positionUs + offset);
        if (now.canSeek && now.lengthUs > 0 && to > now.lengthUs) {
            target.next();
        } else if (now.canSeek) {
            target.seekTo(static_cast<double>(to) / 1e6);
        }
    } else if (m == "SetPosition") {
        const char* track = nullptr;
        dbus_int64_t position = 0;
        if (!dbus_message_get_args(call, &err, DBUS_TYPE_OBJECT_PATH, &track, DBUS_TYPE_INT64,
                                   &position, DBUS_TYPE_INVALID)) {
            dbus_error_free(&err);
            replyError(call, kInvalidArgs, "SetPosition takes a track id and a position");
            return;
        }
        // A stale track id or a position outside the track is ignored, as the interface asks.
        if (now.canSeek && trackIdFor(now) == track && position >= 0 &&
            (now.lengthUs <= 0 || position <= now.lengthUs)) {
            target.seekTo(static_cast<double>(position) / 1e6);
        }
    } else if (m == "OpenUri") {
        const char* uri = nullptr;
        if (!dbus_message_get_args(call, &err, DBUS_TYPE_STRING, &uri, DBUS_TYPE_INVALID)) {
            dbus_error_free(&err);
            replyError(call, kInvalidArgs, "OpenUri takes a URI");
            return;
        }
        std::string path = localPathOfUri(uri);
        if (path.empty() || access(path.c_str(), R_OK) != 0) {
            replyError(call, kInvalidArgs, std::string("cannot open ") + uri);
            return;
        }
        target.open(path);
    } else {
        replyError(call, kUnknownMethod, "no method " + m);
        return;
    }
    reply(call);
}

void MprisService::reply(DBusMessage* call) {
    if (dbus_message_get_no_reply(call)) {
        return;
    }
    Message answer{dbus_message_new_method_return(call)};
    if (answer.m != nullptr) {
        dbus_connection_send(connection, answer.m, nullptr);
    }
}

void MprisService::replyError(DBusMessage* call, const char* errorName, const std::string& text) {
    Message answer{dbus_message_new_error(call, errorName, text.c_str())};
    if (answer.m != nullptr) {
        dbus_connection_send(connection, answer.m, nullptr);
    }
}

} // namespace mpris
