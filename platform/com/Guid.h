// GUIDs (class, interface and library ids) and their registry text form
// "{F0B862AC-CEA2-4980-802F-C63FCB03F074}": 8-4-4-4-12 hexadecimal digits in braces,
// written in upper case and read in either case.
#pragma once

#include "platform/com/HResult.h"

#include <string>

using OLECHAR = char16_t;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;

struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};

using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

constexpr bool operator==(const GUID& a, const GUID& b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) {
        return false;
    }
    for (int i = 0; i < 8; ++i) {
        if (a.Data4[i] != b.Data4[i]) {
            return false;
        }
    }
    return true;
}
constexpr bool operator!=(const GUID& a, const GUID& b) {
    return !(a == b);
}

inline bool IsEqualGUID(REFGUID a, REFGUID b) {
    return a == b;
}

namespace plat {

namespace detail {
constexpr uint32_t hexDigit(char c) {
    return c >= '0' && c <= '9'   ? static_cast<uint32_t>(c - '0')
           : c >= 'a' && c <= 'f' ? static_cast<uint32_t>(c - 'a' + 10)
           : c >= 'A' && c <= 'F' ? static_cast<uint32_t>(c - 'A' + 10)
                                  : throw "not a hexadecimal digit";
}
constexpr uint32_t hexField(const char* s, int digits) {
    uint32_t v = 0;
    for (int i = 0; i < digits; ++i) {
        v = v * 16 + hexDigit(s[i]);
    }
    return v;
}
} // namespace detail

// A GUID from its text form, at compile time: guid("{00000000-0000-0000-C000-000000000046}").
// Text of any other shape does not compile.
constexpr GUID guid(const char (&s)[39]) {
    if (s[0] != '{' || s[9] != '-' || s[14] != '-' || s[19] != '-' || s[24] != '-' ||
        s[37] != '}') {
        throw "GUID text must be {8-4-4-4-12}";
    }
    GUID g{detail::hexField(s + 1, 8),
           static_cast<uint16_t>(detail::hexField(s + 10, 4)),
           static_cast<uint16_t>(detail::hexField(s + 15, 4)),
           {}};
    g.Data4[0] = static_cast<uint8_t>(detail::hexField(s + 20, 2));
    g.Data4[1] = static_cast<uint8_t>(detail::hexField(s + 22, 2));
    for (int i = 0; i < 6; ++i) {
        g.Data4[2 + i] = static_cast<uint8_t>(detail::hexField(s + 25 + 2 * i, 2));
    }
    return g;
}

// Upper-case text form with braces.
std::string guidToString(REFGUID g);
// Reads the text form (braces required, digits in either case); false for anything else,
// and then *out is left unchanged.
bool guidFromString(const std::string& text, GUID* out);

} // namespace plat

constexpr GUID GUID_NULL{0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

// Writes the text form and its NUL into buffer; the number of characters written with the
// NUL, or 0 when the buffer holds fewer than 39.
int StringFromGUID2(REFGUID g, LPOLESTR buffer, int size);
// CO_E_CLASSSTRING for text that is not a GUID in braces.
HRESULT CLSIDFromString(LPCOLESTR text, CLSID* out);
HRESULT IIDFromString(LPCOLESTR text, IID* out);
