#include "player/mpris/MprisProperties.h"

#include "player/mpris/SessionBus.h"

namespace mpris {
namespace {

const char* const kMimeTypes[] = {
    "audio/mpeg", "audio/flac", "audio/x-flac", "audio/ogg", "audio/x-vorbis+ogg", "audio/opus",
    "audio/aac",  "audio/mp4",  "audio/x-m4a",  "audio/wav", "audio/x-wav",        "audio/vnd.wave",
};

void appendBasicVariant(DBusMessageIter* out, int type, const void* value) {
    const char signature[2] = {static_cast<char>(type), '\0'};
    DBusMessageIter v;
    dbus_message_iter_open_container(out, DBUS_TYPE_VARIANT, signature, &v);
    dbus_message_iter_append_basic(&v, type, value);
    dbus_message_iter_close_container(out, &v);
}

void appendString(DBusMessageIter* out, const std::string& text) {
    const char* c = text.c_str();
    appendBasicVariant(out, DBUS_TYPE_STRING, &c);
}

void appendBool(DBusMessageIter* out, bool b) {
    dbus_bool_t value = b ? TRUE : FALSE;
    appendBasicVariant(out, DBUS_TYPE_BOOLEAN, &value);
}

void appendDouble(DBusMessageIter* out, double d) {
    appendBasicVariant(out, DBUS_TYPE_DOUBLE, &d);
}

void appendInt64(DBusMessageIter* out, int64_t x) {
    dbus_int64_t value = x;
    appendBasicVariant(out, DBUS_TYPE_INT64, &value);
}

void appendStrings(DBusMessageIter* out, const std::vector<std::string>& items) {
    DBusMessageIter v, array;
    dbus_message_iter_open_container(out, DBUS_TYPE_VARIANT, "as", &v);
    dbus_message_iter_open_container(&v, DBUS_TYPE_ARRAY, "s", &array);
    for (const std::string& item : items) {
        const char* c = item.c_str();
        dbus_message_iter_append_basic(&array, DBUS_TYPE_STRING, &c);
    }
    dbus_message_iter_close_container(&v, &array);
    dbus_message_iter_close_container(out, &v);
}

// One "key": variant entry of an a{sv}; write appends the variant.
template <typename Write> void appendEntry(DBusMessageIter* dict, const char* key, Write write) {
    DBusMessageIter entry;
    dbus_message_iter_open_container(dict, DBUS_TYPE_DICT_ENTRY, nullptr, &entry);
    dbus_message_iter_append_basic(&entry, DBUS_TYPE_STRING, &key);
    write(&entry);
    dbus_message_iter_close_container(dict, &entry);
}

void appendMetadata(DBusMessageIter* out, const PlayerSnapshot& s) {
    DBusMessageIter v, dict;
    dbus_message_iter_open_container(out, DBUS_TYPE_VARIANT, "a{sv}", &v);
    dbus_message_iter_open_container(&v, DBUS_TYPE_ARRAY, "{sv}", &dict);
    std::string track = trackIdFor(s);
    appendEntry(&dict, "mpris:trackid", [&](DBusMessageIter* e) {
        const char* c = track.c_str();
        appendBasicVariant(e, DBUS_TYPE_OBJECT_PATH, &c);
    });
    if (s.trackNumber != 0) {
        if (s.lengthUs > 0) {
            appendEntry(&dict, "mpris:length",
                        [&](DBusMessageIter* e) { appendInt64(e, s.lengthUs); });
        }
        appendEntry(&dict, "xesam:title", [&](DBusMessageIter* e) { appendString(e, s.title); });
        if (!s.artists.empty()) {
            appendEntry(&dict, "xesam:artist",
                        [&](DBusMessageIter* e) { appendStrings(e, s.artists); });
        }
        if (!s.album.empty()) {
            appendEntry(&dict, "xesam:album",
                        [&](DBusMessageIter* e) { appendString(e, s.album); });
        }
        if (!s.url.empty()) {
            appendEntry(&dict, "xesam:url", [&](DBusMessageIter* e) { appendString(e, s.url); });
        }
        if (!s.artUrl.empty()) {
            appendEntry(&dict, "mpris:artUrl",
                        [&](DBusMessageIter* e) { appendString(e, s.artUrl); });
        }
    }
    dbus_message_iter_close_container(&v, &dict);
    dbus_message_iter_close_container(out, &v);
}

bool appendRootProperty(DBusMessageIter* out, const std::string& name) {
    if (name == "CanQuit" || name == "CanRaise") {
        appendBool(out, true);
    } else if (name == "HasTrackList") {
        appendBool(out, false);
    } else if (name == "Identity") {
        appendString(out, "tcplayer");
    } else if (name == "DesktopEntry") {
        appendString(out, "tcplayer");
    } else if (name == "SupportedUriSchemes") {
        appendStrings(out, {"file"});
    } else if (name == "SupportedMimeTypes") {
        appendStrings(out, std::vector<std::string>(std::begin(kMimeTypes), std::end(kMimeTypes)));
    } else {
        return false;
    }
    return true;
}

bool appendPlayerProperty(DBusMessageIter* out, const std::string& name, const PlayerSnapshot& s) {
    if (name == "PlaybackStatus") {
        appendString(out, s.playbackStatus);
    } else if (name == "Rate" || name == "MinimumRate" || name == "MaximumRate") {
        appendDouble(out, 1.0);
    } else if (name == "Metadata") {
        appendMetadata(out, s);
    } else if (name == "Volume") {
        appendDouble(out, s.volume);
    } else if (name == "Position") {
        appendInt64(out, s.positionUs);
    } else if (name == "CanGoNext") {
        appendBool(out, s.canGoNext);
    } else if (name == "CanGoPrevious") {
        appendBool(out, s.canGoPrevious);
    } else if (name == "CanPlay") {
        appendBool(out, s.canPlay);
    } else if (name == "CanPause") {
        appendBool(out, s.canPause);
    } else if (name == "CanSeek") {
        appendBool(out, s.canSeek);
    } else if (name == "CanControl") {
        appendBool(out, true);
    } else {
        return false;
    }
    return true;
}

} // namespace

bool PlayerSnapshot::operator==(const PlayerSnapshot& o) const {
    return playbackStatus == o.playbackStatus && trackNumber == o.trackNumber && title == o.title &&
           artists == o.artists && album == o.album && url == o.url && artUrl == o.artUrl &&
           lengthUs == o.lengthUs && positionUs == o.positionUs && volume == o.volume &&
           canGoNext == o.canGoNext && canGoPrevious == o.canGoPrevious && canPlay == o.canPlay &&
           canPause == o.canPause && canSeek == o.canSeek;
}

std::string trackIdFor(const PlayerSnapshot& s) {
    if (s.trackNumber == 0) {
        return "/org/mpris/MediaPlayer2/TrackList/NoTrack";
    }
    return "/org/tonecrest/tcplayer/track/" + std::to_string(s.trackNumber);
}

const std::vector<std::string>& propertyNames(const std::string& interface) {
    static const std::vector<std::string> root{"CanQuit",           "CanRaise",
                                               "HasTrackList",      "Identity",
                                               "DesktopEntry",      "SupportedUriSchemes",
                                               "SupportedMimeTypes"};
    static const std::vector<std::string> player{
        "PlaybackStatus", "Rate",        "Metadata",  "Volume",        "Position",
        "MinimumRate",    "MaximumRate", "CanGoNext", "CanGoPrevious", "CanPlay",
        "CanPause",       "CanSeek",     "CanControl"};
    static const std::vector<std::string> none;
    return interface == kRootInterface ? root : interface == kPlayerInterface ? player : none;
}

bool appendProperty(DBusMessageIter* out, const std::string& interface, const std::string& name,
                    const PlayerSnapshot& s) {
    if (interface == kRootInterface) {
        return appendRootProperty(out, name);
    }
    return interface == kPlayerInterface && appendPlayerProperty(out, name, s);
}

void appendProperties(DBusMessageIter* out, const std::string& interface,
                      const std::vector<std::string>& names, const PlayerSnapshot& s) {
    DBusMessageIter dict;
    dbus_message_iter_open_container(out, DBUS_TYPE_ARRAY, "{sv}", &dict);
    for (const std::string& name : names) {
        appendEntry(&dict, name.c_str(),
                    [&](DBusMessageIter* e) { appendProperty(e, interface, name, s); });
    }
    dbus_message_iter_close_container(out, &dict);
}

std::vector<std::string> changedPlayerProperties(const PlayerSnapshot& a, const PlayerSnapshot& b) {
    std::vector<std::string> changed;
    if (a.playbackStatus != b.playbackStatus) {
        changed.push_back("PlaybackStatus");
    }
    if (a.trackNumber != b.trackNumber || a.title != b.title || a.artists != b.artists ||
        a.album != b.album || a.url != b.url || a.artUrl != b.artUrl || a.lengthUs != b.lengthUs) {
        changed.push_back("Metadata");
    }
    if (a.volume != b.volume) {
        changed.push_back("Volume");
    }
    const std::pair<const char*, bool> flags[] = {
        {"CanGoNext", a.canGoNext != b.canGoNext},
        {"CanGoPrevious", a.canGoPrevious != b.canGoPrevious},
        {"CanPlay", a.canPlay != b.canPlay},
        {"CanPause", a.canPause != b.canPause},
        {"CanSeek", a.canSeek != b.canSeek}};
    for (const auto& [name, differs] : flags) {
        if (differs) {
            changed.push_back(name);
        }
    }
    return changed;
}

const char* introspectionXml() {
    return R"(<!DOCTYPE node PUBLIC "-//freedesktop//DTD D-BUS Object Introspection 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/introspect.dtd">
<node>
  <interface name="org.freedesktop.DBus.Introspectable">
    <method name="Introspect"><arg name="xml" type="s" direction="out"/></method>
  </interface>
  <interface name="org.freedesktop.DBus.Properties">
    <method name="Get">
      <arg name="interface" type="s" direction="in"/><arg name="name" type="s" direction="in"/>
      <arg name="value" type="v" direction="out"/>
    </method>
    <method name="GetAll">
      <arg name="interface" type="s" direction="in"/>
      <arg name="properties" type="a{sv}" direction="out"/>
    </method>
    <method name="Set">
      <arg name="interface" type="s" direction="in"/><arg name="name" type="s" direction="in"/>
      <arg name="value" type="v" direction="in"/>
    </method>
    <signal name="PropertiesChanged">
      <arg name="interface" type="s"/><arg name="changed" type="a{sv}"/>
      <arg name="invalidated" type="as"/>
    </signal>
  </interface>
  <interface name="org.mpris.MediaPlayer2">
    <method name="Raise"/>
    <method name="Quit"/>
    <property name="CanQuit" type="b" access="read"/>
    <property name="CanRaise" type="b" access="read"/>
    <property name="HasTrackList" type="b" access="read"/>
    <property name="Identity" type="s" access="read"/>
    <property name="DesktopEntry" type="s" access="read"/>
    <property name="SupportedUriSchemes" type="as" access="read"/>
    <property name="SupportedMimeTypes" type="as" access="read"/>
  </interface>
  <interface name="org.mpris.MediaPlayer2.Player">
    <method name="Next"/>
    <method name="Previous"/>
    <method name="Pause"/>
    <method name="PlayPause"/>
    <method name="Stop"/>
    <method name="Play"/>
    <method name="Seek"><arg name="Offset" type="x" direction="in"/></method>
    <method name="SetPosition">
      <arg name="TrackId" type="o" direction="in"/><arg name="Position" type="x" direction="in"/>
    </method>
    <method name="OpenUri"><arg name="Uri" type="s" direction="in"/></method>
    <signal name="Seeked"><arg name="Position" type="x"/></signal>
    <property name="PlaybackStatus" type="s" access="read"/>
    <property name="Rate" type="d" access="readwrite"/>
    <property name="Metadata" type="a{sv}" access="read"/>
    <property name="Volume" type="d" access="readwrite"/>
    <property name="Position" type="x" access="read"/>
    <property name="MinimumRate" type="d" access="read"/>
    <property name="MaximumRate" type="d" access="read"/>
    <property name="CanGoNext" type="b" access="read"/>
    <property name="CanGoPrevious" type="b" access="read"/>
    <property name="CanPlay" type="b" access="read"/>
    <property name="CanPause" type="b" access="read"/>
    <property name="CanSeek" type="b" access="read"/>
    <property name="CanControl" type="b" access="read"/>
  </interface>
</node>
)";
}

} // namespace mpris
