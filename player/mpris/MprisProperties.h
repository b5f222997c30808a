// The properties of the two media-player interfaces, written into D-Bus messages from a
// snapshot of the player.
#pragma once

#include "player/mpris/FileUri.h"
#include "player/mpris/MprisTarget.h"

#include <dbus/dbus.h>

#include <string>
#include <vector>

namespace mpris {

// The track's object path in Metadata ("mpris:trackid"): one per item started, or the
// interfaces' own "no track" path when nothing is loaded.
std::string trackIdFor(const PlayerSnapshot& s);

// The names of an interface's properties (kRootInterface or kPlayerInterface); empty for any
// other interface.
const std::vector<std::string>& propertyNames(const std::string& interface);

// Appends the property's value as a variant. False (nothing appended) for an unknown name.
bool appendProperty(DBusMessageIter* out, const std::string& interface, const std::string& name,
                    const PlayerSnapshot& s);

// Appends an a{sv} of the named properties.
void appendProperties(DBusMessageIter* out, const std::string& interface,
                      const std::vector<std::string>& names, const PlayerSnapshot& s);

// The Player interface's properties whose values differ between the two snapshots, as
// PropertiesChanged announces them (Position is never announced: it changes all the time).
std::vector<std::string> changedPlayerProperties(const PlayerSnapshot& before,
                                                 const PlayerSnapshot& after);

// The object's introspection data.
const char* introspectionXml();

} // namespace mpris
