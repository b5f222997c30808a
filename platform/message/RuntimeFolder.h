// The per-user folder where running programs of this system meet: the broadcast sockets, the
// table of registered message names and the player's remote socket live there.
#pragma once

#include <string>

namespace plat {

struct RuntimeFolder {
    std::string folder;  // "" when there is none
    std::string warning; // why the usual folder is not used; "" when it is
};

// The usual folder is $TONECREST_RUNTIME_DIR if set, else $XDG_RUNTIME_DIR/tonecrest, else
// /tmp/tonecrest-<uid>; it is created (mode 0700) on first use. When it cannot be used (it
// belongs to another user, is open to others, is not a folder), the folder is a private one
// made with mkdtemp under the user's cache folder ($XDG_CACHE_HOME, else ~/.cache), which
// every program of the user finds again, so that they still meet; the warning says so (for
// the program to tell its user). folder is "" only when neither can be had.
RuntimeFolder resolveRuntimeFolder();
// The user's cache folder: $XDG_CACHE_HOME when it is an absolute path, else ~/.cache; ""
// when neither is known. Not created here.
std::string userCacheFolder();
// resolveRuntimeFolder().folder and .warning.
std::string runtimeFolder();
std::string runtimeFolderWarning();

} // namespace plat
