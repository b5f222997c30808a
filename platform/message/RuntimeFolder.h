// The per-user folder where running programs of this system meet: the broadcast sockets and
// the table of registered message names live there.
#pragma once

#include <string>

namespace plat {

// $TONECREST_RUNTIME_DIR if set, else $XDG_RUNTIME_DIR/tonecrest, else
// /tmp/tonecrest-<uid>. Created (mode 0700) on first use; empty when it cannot be made.
std::string runtimeFolder();

} // namespace plat
