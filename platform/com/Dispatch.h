// Late binding for dual interfaces: an object lists its dispatchable members once (name, id
// and the functions that answer a property get, a property put or a method call) and answers
// GetIDsOfNames and Invoke from that list. Names compare without regard to ASCII case, as
// automation does.
#pragma once

#include "platform/com/Unknown.h"

namespace plat {

struct DispatchMember {
    const char16_t* name;
    DISPID id;
    // Each may be null when the member does not support that kind of call. The object is the
    // one passed to dispatchInvoke; arguments arrive last first, as in DISPPARAMS.
    HRESULT (*get)(void* object, VARIANT* result);
    HRESULT (*put)(void* object, const VARIANT& value);
    HRESULT (*call)(void* object, const DISPPARAMS& params, VARIANT* result);
};

// Fills ids for names (the first is the member, the rest would be argument names, which no
// member has). DISP_E_UNKNOWNNAME when any is unknown; its id is then DISPID_UNKNOWN.
HRESULT dispatchIdsOfNames(const DispatchMember* members, size_t count, LPOLESTR* names,
                           UINT nameCount, DISPID* ids);

// Runs the member with that id. DISP_E_MEMBERNOTFOUND for an unknown id or an unsupported kind
// of call, DISP_E_BADPARAMCOUNT for a wrong number of arguments, DISP_E_TYPEMISMATCH when a
// put gets a value of another type than expected by the member (the member decides that and
// returns it itself). A put needs exactly one argument named DISPID_PROPERTYPUT.
HRESULT dispatchInvoke(const DispatchMember* members, size_t count, void* object, DISPID id,
                       WORD flags, DISPPARAMS* params, VARIANT* result);

} // namespace plat
