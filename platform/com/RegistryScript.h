// Registration scripts: the text that describes the registry keys and values a server
// library owns, applied on registration and removed on unregistration.
//
//   HKCR
//   {
//       NoRemove CLSID
//       {
//           ForceRemove {F0B862AC-CEA2-4980-802F-C63FCB03F074} = s 'Wavetap1 Class'
//           {
//               val TypeLib = s '{92F4E648-D6A1-49D0-BDDB-E0D888C07514}'
//               InprocServer32 = s '%MODULE%'
//               {
//                   val ThreadingModel = s 'Apartment'
//               }
//           }
//       }
//   }
//
// Tokens are separated by white space; text in single quotes may hold blanks and writes a
// quote as ''. Roots: HKCR / HKEY_CLASSES_ROOT, HKLM / HKEY_LOCAL_MACHINE. A key is
// [ForceRemove | NoRemove | Delete] name [= type value] [{ body }]; the body holds subkeys and
// named values "val name = type value". Types: s (string), d (32-bit number, decimal or 0x
// hex), b (hexadecimal bytes). %NAME% is replaced by the value given for NAME, %% by %.
#pragma once

#include "platform/base/WinTypes.h"

#include <map>
#include <string>
#include <vector>

namespace plat {

struct ScriptValue {
    std::string name; // empty: the key's default value
    DWORD type = 0;   // REG_SZ, REG_DWORD or REG_BINARY
    std::string data; // the bytes stored (a string without its NUL)
};

struct ScriptKey {
    enum class Flag { None, ForceRemove, NoRemove, Delete };
    Flag flag = Flag::None;
    std::string name;
    std::vector<ScriptValue> values; // the default value first when there is one
    std::vector<ScriptKey> subkeys;
};

struct ScriptRoot {
    HKEY root = nullptr;
    std::vector<ScriptKey> keys;
};

// Parses the script with its replacements (names without the percent signs, matched without
// regard to case). False with a one-line reason for bad syntax or an unknown %NAME%.
bool parseRegistryScript(const std::string& script,
                         const std::map<std::string, std::string>& replacements,
                         std::vector<ScriptRoot>* out, std::string* error);

} // namespace plat
