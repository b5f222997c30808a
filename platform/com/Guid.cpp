#include "platform/com/Guid.h"

#include <cstdio>

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool readHex(const std::string& s, size_t at, int digits, uint32_t* out) {
    uint32_t v = 0;
    for (int i = 0; i < digits; ++i) {
        int d = hexValue(s[at + static_cast<size_t>(i)]);
        if (d < 0) {
            return false;
        }
        v = v * 16 + static_cast<uint32_t>(d);
    }
    *out = v;
    return true;
}

std::string narrow(LPCOLESTR text) {
    std::string s;
    for (; text != nullptr && *text != 0 && s.size() < 64; ++text) {
        s += *text < 0x80 ? static_cast<char>(*text) : '?';
    }
    return s;
}

} // namespace

namespace plat {

std::string guidToString(REFGUID g) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.Data1,
                  g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4],
                  g.Data4[5], g.Data4[6], g.Data4[7]);
    return text;
}

bool guidFromString(const std::string& s, GUID* out) {
    if (out == nullptr || s.size() != 38 || s[0] != '{' || s[9] != '-' || s[14] != '-' ||
        s[19] != '-' || s[24] != '-' || s[37] != '}') {
        return false;
    }
    GUID g{};
    uint32_t v = 0;
    if (!readHex(s, 1, 8, &g.Data1)) {
        return false;
    }
    if (!readHex(s, 10, 4, &v)) {
        return false;
    }
    g.Data2 = static_cast<uint16_t>(v);
    if (!readHex(s, 15, 4, &v)) {
        return false;
    }
    g.Data3 = static_cast<uint16_t>(v);
    static const size_t byteAt[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8; ++i) {
        if (!readHex(s, byteAt[i], 2, &v)) {
            return false;
        }
        g.Data4[i] = static_cast<uint8_t>(v);
    }
    *out = g;
    return true;
}

} // namespace plat

int StringFromGUID2(REFGUID g, LPOLESTR buffer, int size) {
    std::string text = plat::guidToString(g);
    if (buffer == nullptr || size < static_cast<int>(text.size()) + 1) {
        return 0;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        buffer[i] = static_cast<OLECHAR>(text[i]);
    }
    buffer[text.size()] = 0;
    return static_cast<int>(text.size()) + 1;
}

HRESULT CLSIDFromString(LPCOLESTR text, CLSID* out) {
    if (out == nullptr) {
        return E_INVALIDARG;
    }
    return plat::guidFromString(narrow(text), out) ? S_OK : CO_E_CLASSSTRING;
}

HRESULT IIDFromString(LPCOLESTR text, IID* out) {
    return CLSIDFromString(text, out);
}
