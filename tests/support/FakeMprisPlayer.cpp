#include "tests/support/FakeMprisPlayer.h"

namespace testsupport {

namespace {

// One dictionary entry: key, and a variant of the basic type (signature) holding *value.
void appendVariant(DBusMessageIter* into, const char* key, int type, const char* signature,
                   const void* value) {
    DBusMessageIter entry, variant;
    dbus_message_iter_open_container(into, DBUS_TYPE_DICT_ENTRY, nullptr, &entry);
    dbus_message_iter_append_basic(&entry, DBUS_TYPE_STRING, &key);
    dbus_message_iter_open_container(&entry, DBUS_TYPE_VARIANT, signature, &variant);
    dbus_message_iter_append_basic(&variant, type, value);
    dbus_message_iter_close_container(&entry, &variant);
    dbus_message_iter_close_container(into, &entry);
}

void appendVariantString(DBusMessageIter* into, const char* key, const std::string& value) {
    const char* v = value.c_str();
    appendVariant(into, key, DBUS_TYPE_STRING, "s", &v);
}

} // namespace

void FakePlayer::reply(DBusMessage* call) {
    std::lock_guard<std::mutex> lock(mutex);
    DBusMessage* r = dbus_message_new_method_return(call);
    DBusMessageIter top, props, entry, variant, meta;
    dbus_message_iter_init_append(r, &top);
    dbus_message_iter_open_container(&top, DBUS_TYPE_ARRAY, "{sv}", &props);
    appendVariantString(&props, "PlaybackStatus", announce.status);
    if (positionUs >= 0) {
        const dbus_int64_t us = positionUs;
        appendVariant(&props, "Position", DBUS_TYPE_INT64, "x", &us);
    }
    const char* key = "Metadata";
    dbus_message_iter_open_container(&props, DBUS_TYPE_DICT_ENTRY, nullptr, &entry);
    dbus_message_iter_append_basic(&entry, DBUS_TYPE_STRING, &key);
    dbus_message_iter_open_container(&entry, DBUS_TYPE_VARIANT, "a{sv}", &variant);
    dbus_message_iter_open_container(&variant, DBUS_TYPE_ARRAY, "{sv}", &meta);
    if (announce.titleAsNumber) {
        const int32_t n = 42;
        appendVariant(&meta, "xesam:title", DBUS_TYPE_INT32, "i", &n);
    } else if (!announce.title.empty()) {
        appendVariantString(&meta, "xesam:title", announce.title);
    }
    if (!url.empty()) {
        appendVariantString(&meta, "xesam:url", url);
    }
    if (!announce.artists.empty()) {
        DBusMessageIter e, v, list;
        const char* k = "xesam:artist";
        dbus_message_iter_open_container(&meta, DBUS_TYPE_DICT_ENTRY, nullptr, &e);
        dbus_message_iter_append_basic(&e, DBUS_TYPE_STRING, &k);
        dbus_message_iter_open_container(&e, DBUS_TYPE_VARIANT, "as", &v);
        dbus_message_iter_open_container(&v, DBUS_TYPE_ARRAY, "s", &list);
        for (const std::string& a : announce.artists) {
            const char* s = a.c_str();
            dbus_message_iter_append_basic(&list, DBUS_TYPE_STRING, &s);
        }
        dbus_message_iter_close_container(&v, &list);
        dbus_message_iter_close_container(&e, &v);
        dbus_message_iter_close_container(&meta, &e);
    }
    dbus_message_iter_close_container(&variant, &meta);
    dbus_message_iter_close_container(&entry, &variant);
    dbus_message_iter_close_container(&props, &entry);
    dbus_message_iter_close_container(&top, &props);
    dbus_connection_send(conn, r, nullptr);
    dbus_connection_flush(conn);
    dbus_message_unref(r);
}

} // namespace testsupport
