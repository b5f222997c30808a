#include "platform/registry/RegistryStore.h"

#include "platform/base/AtomicFile.h"
#include "platform/registry/Registry.h"

#include <strings.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;

namespace plat {

namespace {

std::string& rootOverride() {
    static std::string root;
    return root;
}

const char* const valuesFile = ".values";

std::string toHex(const std::string& s) {
    if (s.empty()) {
        return "-";
    }
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : s) {
        out.push_back(digits[c >> 4]);
        out.push_back(digits[c & 15]);
    }
    return out;
}

bool fromHex(const std::string& h, std::string* out) {
    out->clear();
    if (h == "-") {
        return true;
    }
    if (h.size() % 2 != 0) {
        return false;
    }
    for (size_t i = 0; i < h.size(); i += 2) {
        char pair[3] = {h[i], h[i + 1], 0};
        char* end = nullptr;
        long v = std::strtol(pair, &end, 16);
        if (end != pair + 2) {
            return false;
        }
        out->push_back(static_cast<char>(v));
    }
    return true;
}

struct Entry {
    std::string name;
    RegValue value;
};

std::vector<Entry> readAll(const std::string& folder) {
    std::vector<Entry> entries;
    std::ifstream in(folder + "/" + valuesFile);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string name, data;
        DWORD type = 0;
        if (!(fields >> name >> type >> data)) {
            continue;
        }
        Entry e;
        if (fromHex(name, &e.name) && fromHex(data, &e.value.bytes)) {
            e.value.type = type;
            entries.push_back(e);
        }
    }
    return entries;
}

bool writeAll(const std::string& folder, const std::vector<Entry>& entries) {
    std::ostringstream out;
    for (const Entry& e : entries) {
        out << toHex(e.name) << ' ' << e.value.type << ' ' << toHex(e.value.bytes) << '\n';
    }
    return writeFileAtomically(folder + "/" + valuesFile, out.str());
}

// True when path is a folder; an entry that cannot be examined (a link loop, no permission)
// is not one.
bool isFolder(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec) && !ec;
}

// Finds the child folder whose name matches without regard to case. Entries that cannot be
// examined are passed over; a folder that cannot be listed has no children.
bool findChild(const fs::path& dir, const std::string& name, fs::path* found) {
    std::error_code ec;
    fs::directory_iterator it(dir, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const fs::path& child = it->path();
        if (strcasecmp(child.filename().c_str(), name.c_str()) == 0 && isFolder(child)) {
            *found = child;
            return true;
        }
    }
    return false;
}

} // namespace

void setRegistryRoot(const std::string& folder) {
    rootOverride() = folder;
}

std::string registryRoot() {
    if (!rootOverride().empty()) {
        return rootOverride();
    }
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && *xdg != '\0') {
        return std::string(xdg) + "/tonecrest/registry";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') {
        return std::string(home) + "/.config/tonecrest/registry";
    }
    return std::string();
}

std::string hiveFolder(const char* hive) {
    std::string root = registryRoot();
    if (root.empty()) {
        return root;
    }
    std::string folder = root + "/" + hive;
    std::error_code ec;
    fs::create_directories(folder, ec);
    return folder;
}

bool resolveKeyFolder(const std::string& base, const std::string& subKey, bool create,
                      std::string* folder, bool* created) {
    fs::path dir(base);
    *created = false;
    std::istringstream parts(subKey);
    std::string part;
    while (std::getline(parts, part, '\\')) {
        if (part.empty()) {
            continue;
        }
        if (part == "." || part == ".." || part.find('/') != std::string::npos) {
            return false;
        }
        fs::path next;
        if (findChild(dir, part, &next)) {
            dir = next;
            continue;
        }
        if (!create) {
            return false;
        }
        std::error_code ec;
        dir /= part;
        if (!fs::create_directory(dir, ec) && !isFolder(dir)) {
            return false;
        }
        *created = true;
    }
    if (!isFolder(dir)) {
        return false;
    }
    *folder = dir.string();
    return true;
}

bool loadValue(const std::string& folder, const std::string& name, RegValue* value) {
    for (const Entry& e : readAll(folder)) {
        if (strcasecmp(e.name.c_str(), name.c_str()) == 0) {
            *value = e.value;
            return true;
        }
    }
    return false;
}

bool storeValue(const std::string& folder, const std::string& name, const RegValue* value) {
    std::vector<Entry> entries = readAll(folder);
    bool replaced = false;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (strcasecmp(entries[i].name.c_str(), name.c_str()) != 0) {
            continue;
        }
        if (value != nullptr) {
            entries[i].value = *value;
        } else {
            entries.erase(entries.begin() + static_cast<long>(i));
        }
        replaced = true;
        break;
    }
    if (!replaced && value != nullptr) {
        entries.push_back(Entry{name, *value});
    }
    return writeAll(folder, entries);
}

bool removeKeyFolder(const std::string& folder, bool whole) {
    std::error_code ec;
    if (whole) {
        fs::remove_all(folder, ec);
        return !ec;
    }
    bool removed = true;
    fs::directory_iterator it(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code entryError;
        fs::remove_all(it->path(), entryError);
        removed = removed && !entryError;
    }
    return removed && !ec;
}

} // namespace plat
