// COM result codes with their Win32 values. Success codes are >= 0; every failure has the
// top bit set, so SUCCEEDED and FAILED look at the sign only.
#pragma once

#include "platform/base/WinTypes.h"

using HRESULT = int32_t;
using ULONG = uint32_t;

constexpr HRESULT makeHresult(uint32_t code) {
    return static_cast<HRESULT>(code);
}

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;

constexpr HRESULT E_NOTIMPL = makeHresult(0x80004001u);
constexpr HRESULT E_NOINTERFACE = makeHresult(0x80004002u);
constexpr HRESULT E_POINTER = makeHresult(0x80004003u);
constexpr HRESULT E_ABORT = makeHresult(0x80004004u);
constexpr HRESULT E_FAIL = makeHresult(0x80004005u);
constexpr HRESULT E_UNEXPECTED = makeHresult(0x8000FFFFu);
constexpr HRESULT E_ACCESSDENIED = makeHresult(0x80070005u);
constexpr HRESULT E_OUTOFMEMORY = makeHresult(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = makeHresult(0x80070057u);

constexpr HRESULT CLASS_E_NOAGGREGATION = makeHresult(0x80040110u);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = makeHresult(0x80040111u);
constexpr HRESULT REGDB_E_READREGDB = makeHresult(0x80040150u);
constexpr HRESULT REGDB_E_WRITEREGDB = makeHresult(0x80040151u);
constexpr HRESULT REGDB_E_CLASSNOTREG = makeHresult(0x80040154u);
constexpr HRESULT CO_E_NOTINITIALIZED = makeHresult(0x800401F0u);
constexpr HRESULT CO_E_DLLNOTFOUND = makeHresult(0x800401F8u);
constexpr HRESULT CO_E_ERRORINDLL = makeHresult(0x800401F9u);
constexpr HRESULT CO_E_CLASSSTRING = makeHresult(0x800401F3u);
constexpr HRESULT SELFREG_E_TYPELIB = makeHresult(0x80040200u);
constexpr HRESULT SELFREG_E_CLASS = makeHresult(0x80040201u);

constexpr HRESULT DISP_E_UNKNOWNINTERFACE = makeHresult(0x80020001u);
constexpr HRESULT DISP_E_MEMBERNOTFOUND = makeHresult(0x80020003u);
constexpr HRESULT DISP_E_PARAMNOTFOUND = makeHresult(0x80020004u);
constexpr HRESULT DISP_E_TYPEMISMATCH = makeHresult(0x80020005u);
constexpr HRESULT DISP_E_UNKNOWNNAME = makeHresult(0x80020006u);
constexpr HRESULT DISP_E_BADPARAMCOUNT = makeHresult(0x8002000Eu);
constexpr HRESULT DISP_E_BADINDEX = makeHresult(0x8002000Bu);
constexpr HRESULT DISP_E_NONAMEDARGS = makeHresult(0x80020007u);
constexpr HRESULT TYPE_E_REGISTRYACCESS = makeHresult(0x8002801Cu);
constexpr HRESULT TYPE_E_LIBNOTREGISTERED = makeHresult(0x8002801Du);

// A Win32 error code as an HRESULT (facility 7); 0 stays S_OK.
constexpr HRESULT HRESULT_FROM_WIN32(LONG error) {
    return error <= 0 ? static_cast<HRESULT>(error)
                      : makeHresult((static_cast<uint32_t>(error) & 0xFFFFu) | 0x80070000u);
}

constexpr bool SUCCEEDED(HRESULT hr) {
    return hr >= 0;
}
constexpr bool FAILED(HRESULT hr) {
    return hr < 0;
}
