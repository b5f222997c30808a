// Type libraries as registry data. A server library describes its type library (library id,
// version, help text, its interfaces) and registers it beside its classes:
//   HKCR\TypeLib\{lib}\<major>.<minor>            default = help text
//   HKCR\TypeLib\{lib}\<major>.<minor>\0\linux     default = full path of the server library
//   HKCR\TypeLib\{lib}\<major>.<minor>\FLAGS       default = "0"
//   HKCR\TypeLib\{lib}\<major>.<minor>\HELPDIR     default = folder of the server library
//   HKCR\Interface\{iid}                           default = interface name
//   HKCR\Interface\{iid}\ProxyStubClsid32          default = the automation marshaller
//   HKCR\Interface\{iid}\TypeLib                   default = {lib}, "Version" = "<major>.<minor>"
#pragma once

#include "platform/com/Guid.h"

#include <string>
#include <vector>

namespace plat {

struct TypeLibInterface {
    IID iid;
    std::string name;     // "IWavetap1"
    std::string helpText; // "IWavetap1 Interface"
    bool dual = true;
};

struct TypeLibClass {
    CLSID clsid;
    std::string name;     // "Wavetap1"
    std::string helpText; // "Wavetap1 Class"
};

struct TypeLibDescription {
    GUID libid;
    std::string name;     // "WAVETAP1Lib"
    std::string helpText; // "Wavetap1 1.0 Type Library"
    WORD major = 1;
    WORD minor = 0;
    std::vector<TypeLibInterface> interfaces;
    std::vector<TypeLibClass> classes;
};

// Writes the keys above. TYPE_E_REGISTRYACCESS when they cannot be written.
HRESULT registerTypeLib(const TypeLibDescription& lib, const std::string& modulePath);
// Removes this version of the library (and the library key once no version is left) and its
// interfaces' keys. Missing keys are not an error.
HRESULT unregisterTypeLib(const TypeLibDescription& lib);
// The registered path of the library version; TYPE_E_LIBNOTREGISTERED when there is none.
HRESULT queryTypeLibPath(REFGUID libid, WORD major, WORD minor, std::string* path);

} // namespace plat
