// The 64-bit FNV-1a hash of a string: a short, stable name or key for longer text (a song's
// path, the stamps a cached file depends on). Not for anything an attacker chooses to collide.
#pragma once

#include <cstdint>
#include <string_view>

namespace plat {

inline uint64_t fnv1a(std::string_view text) {
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text) {
        hash = (hash ^ c) * 1099511628211ull;
    }
    return hash;
}

} // namespace plat
