#include "platform/com/Bstr.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

namespace {

// Layout: a 32-bit byte count, the characters, a NUL character. The BSTR points at the first
// character.
constexpr size_t kPrefix = sizeof(uint32_t);
constexpr UINT kMaxLength = (std::numeric_limits<uint32_t>::max() - 16) / sizeof(OLECHAR) / 2;

size_t lengthOf(const OLECHAR* text) {
    size_t n = 0;
    while (text[n] != 0) {
        ++n;
    }
    return n;
}

void appendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Next code point of UTF-8 text at i; U+FFFD for a bad sequence, which is skipped by one byte.
uint32_t nextCodePoint(const std::string& s, size_t& i) {
    auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char b = byte(i);
    int extra = b < 0x80             ? 0
                : (b & 0xE0) == 0xC0 ? 1
                : (b & 0xF0) == 0xE0 ? 2
                : (b & 0xF8) == 0xF0 ? 3
                                     : -1;
    if (extra < 0 || i + static_cast<size_t>(extra) >= s.size()) {
        ++i;
        return 0xFFFD;
    }
    uint32_t cp = extra == 0 ? b : b & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        unsigned char c = byte(i + static_cast<size_t>(k));
        if ((c & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    static const uint32_t minimum[4] = {0, 0x80, 0x800, 0x10000};
    if (cp < minimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return 0xFFFD;
    }
    i += static_cast<size_t>(extra) + 1;
    return cp;
}

} // namespace

BSTR SysAllocString(const OLECHAR* text) {
    if (text == nullptr) {
        return nullptr;
    }
    size_t n = lengthOf(text);
    return n > kMaxLength ? nullptr : SysAllocStringLen(text, static_cast<UINT>(n));
}

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
    if (length > kMaxLength) {
        return nullptr;
    }
    size_t bytes = static_cast<size_t>(length) * sizeof(OLECHAR);
    auto* block = static_cast<unsigned char*>(std::malloc(kPrefix + bytes + sizeof(OLECHAR)));
    if (block == nullptr) {
        return nullptr;
    }
    uint32_t count = static_cast<uint32_t>(bytes);
    std::memcpy(block, &count, kPrefix);
    auto* chars = reinterpret_cast<OLECHAR*>(block + kPrefix);
    if (text != nullptr) {
        std::memcpy(chars, text, bytes);
    } else {
        std::memset(chars, 0, bytes);
    }
    chars[length] = 0;
    return chars;
}

void SysFreeString(BSTR text) {
    if (text != nullptr) {
        std::free(reinterpret_cast<unsigned char*>(text) - kPrefix);
    }
}

UINT SysStringLen(BSTR text) {
    if (text == nullptr) {
        return 0;
    }
    uint32_t count = 0;
    std::memcpy(&count, reinterpret_cast<unsigned char*>(text) - kPrefix, kPrefix);
    return count / sizeof(OLECHAR);
}

namespace plat {

BSTR bstrFromUtf8(const std::string& text) {
    std::vector<OLECHAR> units;
    units.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        uint32_t cp = nextCodePoint(text, i);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            units.push_back(static_cast<OLECHAR>(0xD800 + (cp >> 10)));
            units.push_back(static_cast<OLECHAR>(0xDC00 + (cp & 0x3FF)));
        } else {
            units.push_back(static_cast<OLECHAR>(cp));
        }
    }
    if (units.size() > kMaxLength) {
        return nullptr;
    }
    return SysAllocStringLen(units.data(), static_cast<UINT>(units.size()));
}

std::string utf8FromBstr(BSTR text) {
    std::string out;
    UINT n = SysStringLen(text);
    for (UINT i = 0; i < n; ++i) {
        uint32_t u = text[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            u = 0x10000 + ((u - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            u = 0xFFFD;
        }
        appendUtf8(out, u);
    }
    return out;
}

} // namespace plat
