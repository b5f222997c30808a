// Applies a registration script (RegistryScript.h) to the registry.
//
// Registration: a ForceRemove key is deleted with everything below it and made anew; other
// keys are created when missing; then their values are set and their subkeys applied. A Delete
// key is deleted with everything below it.
// Unregistration: a ForceRemove key is deleted with everything below it. Other keys first have
// their subkeys unregistered; then a NoRemove key stays, and any other key is deleted with its
// values unless it still has subkeys (which some other owner put there). Missing keys are not
// an error.
#pragma once

#include "platform/com/HResult.h"

#include <map>
#include <string>

namespace plat {

class Registrar {
  public:
    // %name% in the script stands for value.
    void addReplacement(const std::string& name, const std::string& value);

    // E_INVALIDARG for a script that does not parse (nothing is changed then, see
    // lastError()); REGDB_E_WRITEREGDB when a key or value cannot be written; else S_OK.
    HRESULT registerScript(const std::string& script);
    HRESULT unregisterScript(const std::string& script);

    // Why the last call failed; empty after success.
    const std::string& lastError() const { return error; }

  private:
    HRESULT apply(const std::string& script, bool registering);

    std::map<std::string, std::string> replacements;
    std::string error;
};

} // namespace plat
