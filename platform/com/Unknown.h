// The base interfaces of every COM object: IUnknown, IClassFactory and IDispatch with its
// VARIANT arguments.
//
// An interface is a class of pure virtual functions with no data and no virtual destructor, so
// its table holds exactly the listed operations in the listed order: slots never move, and a
// module built later calls a module built earlier through the same table. Objects are freed by
// their own final Release, never through an interface pointer.
#pragma once

#include "platform/com/Bstr.h"
#include "platform/com/Guid.h"

using LCID = DWORD;
using DISPID = LONG;
using VARTYPE = uint16_t;
using VARIANT_BOOL = int16_t;
using SHORT = int16_t;
using USHORT = uint16_t;
using INT = int32_t;

constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID riid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

  protected:
    ~IUnknown() = default;
};

struct IClassFactory : IUnknown {
    virtual HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** object) = 0;
    virtual HRESULT LockServer(BOOL lock) = 0;

  protected:
    ~IClassFactory() = default;
};

struct IDispatch;
struct ITypeInfo; // type information objects are not offered by this runtime

// VARIANT types used by dispatch calls.
constexpr VARTYPE VT_EMPTY = 0;
constexpr VARTYPE VT_NULL = 1;
constexpr VARTYPE VT_I2 = 2;
constexpr VARTYPE VT_I4 = 3;
constexpr VARTYPE VT_R8 = 5;
constexpr VARTYPE VT_BSTR = 8;
constexpr VARTYPE VT_DISPATCH = 9;
constexpr VARTYPE VT_BOOL = 11;
constexpr VARTYPE VT_UNKNOWN = 13;
constexpr VARTYPE VT_UI4 = 19;
constexpr VARTYPE VT_INT = 22;

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONG lVal;
        SHORT iVal;
        double dblVal;
        VARIANT_BOOL boolVal;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        ULONG ulVal;
        INT intVal;
    };
};
using VARIANTARG = VARIANT;

// Arguments of IDispatch::Invoke, last argument first, as on Windows.
struct DISPPARAMS {
    VARIANTARG* rgvarg;
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};

struct EXCEPINFO {
    WORD wCode;
    WORD wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    DWORD dwHelpContext;
    void* pvReserved;
    void* pfnDeferredFillIn;
    HRESULT scode;
};

constexpr WORD DISPATCH_METHOD = 0x1;
constexpr WORD DISPATCH_PROPERTYGET = 0x2;
constexpr WORD DISPATCH_PROPERTYPUT = 0x4;
constexpr WORD DISPATCH_PROPERTYPUTREF = 0x8;
constexpr DISPID DISPID_UNKNOWN = -1;
constexpr DISPID DISPID_VALUE = 0;
constexpr DISPID DISPID_PROPERTYPUT = -3;

// Late-bound calls by name. A dual interface derives from it, so the same object answers
// both through its table and through Invoke.
struct IDispatch : IUnknown {
    virtual HRESULT GetTypeInfoCount(UINT* count) = 0;
    virtual HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) = 0;
    virtual HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                  DISPID* ids) = 0;
    virtual HRESULT Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                           VARIANT* result, EXCEPINFO* exception, UINT* argumentError) = 0;

  protected:
    ~IDispatch() = default;
};

constexpr IID IID_IUnknown = plat::guid("{00000000-0000-0000-C000-000000000046}");
constexpr IID IID_IClassFactory = plat::guid("{00000001-0000-0000-C000-000000000046}");
constexpr IID IID_IDispatch = plat::guid("{00020400-0000-0000-C000-000000000046}");
constexpr IID IID_NULL = GUID_NULL;

// VARIANT handling: Init makes it VT_EMPTY; Clear frees a string and releases an interface it
// holds, then makes it VT_EMPTY; Copy clears the destination and copies the source, with a new
// string and an added reference.
void VariantInit(VARIANT* v);
HRESULT VariantClear(VARIANT* v);
HRESULT VariantCopy(VARIANT* destination, const VARIANT* source);
