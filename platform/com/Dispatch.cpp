#include "platform/com/Dispatch.h"

namespace {

char16_t lower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool sameName(const char16_t* a, const char16_t* b) {
    for (; *a != 0 && *b != 0; ++a, ++b) {
        if (lower(*a) != lower(*b)) {
            return false;
        }
    }
    return *a == *b;
}

const plat::DispatchMember* find(const plat::DispatchMember* members, size_t count, DISPID id) {
    for (size_t i = 0; i < count; ++i) {
        if (members[i].id == id) {
            return &members[i];
        }
    }
    return nullptr;
}

} // namespace

namespace plat {

HRESULT dispatchIdsOfNames(const DispatchMember* members, size_t count, LPOLESTR* names,
                           UINT nameCount, DISPID* ids) {
    if (names == nullptr || ids == nullptr) {
        return E_POINTER;
    }
    if (nameCount == 0) {
        return S_OK;
    }
    HRESULT hr = S_OK;
    ids[0] = DISPID_UNKNOWN;
    for (size_t i = 0; names[0] != nullptr && i < count; ++i) {
        if (sameName(members[i].name, names[0])) {
            ids[0] = members[i].id;
        }
    }
    if (ids[0] == DISPID_UNKNOWN) {
        hr = DISP_E_UNKNOWNNAME;
    }
    for (UINT i = 1; i < nameCount; ++i) {
        ids[i] = DISPID_UNKNOWN;
        hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

HRESULT dispatchInvoke(const DispatchMember* members, size_t count, void* object, DISPID id,
                       WORD flags, DISPPARAMS* params, VARIANT* result) {
    const DispatchMember* m = find(members, count, id);
    if (m == nullptr) {
        return DISP_E_MEMBERNOTFOUND;
    }
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    const DISPPARAMS& p = params != nullptr ? *params : none;
    if (p.cArgs > 0 && p.rgvarg == nullptr) {
        return E_POINTER;
    }
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        if (m->put == nullptr) {
            return DISP_E_MEMBERNOTFOUND;
        }
        if (p.cArgs != 1) {
            return DISP_E_BADPARAMCOUNT;
        }
        if (p.cNamedArgs != 1 || p.rgdispidNamedArgs == nullptr ||
            p.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
            return DISP_E_PARAMNOTFOUND;
        }
        return m->put(object, p.rgvarg[0]);
    }
    if (p.cNamedArgs != 0) {
        return DISP_E_NONAMEDARGS;
    }
    if (result != nullptr) {
        VariantInit(result);
    }
    if ((flags & DISPATCH_PROPERTYGET) && m->get != nullptr && p.cArgs == 0) {
        VARIANT ignored;
        VariantInit(&ignored);
        HRESULT hr = m->get(object, result != nullptr ? result : &ignored);
        VariantClear(&ignored);
        return hr;
    }
    if ((flags & DISPATCH_METHOD) && m->call != nullptr) {
        return m->call(object, p, result);
    }
    if ((flags & DISPATCH_PROPERTYGET) && m->get != nullptr) {
        return DISP_E_BADPARAMCOUNT;
    }
    return DISP_E_MEMBERNOTFOUND;
}

} // namespace plat
