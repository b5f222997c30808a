// The COM runtime: apartment initialisation and creating objects of registered classes.
//
// A class is found under HKEY_CLASSES_ROOT "CLSID\{class id}\InprocServer32", whose default
// value is the full path of the library that serves it. The library is loaded once per
// process and asked for the class object through its exported
//   HRESULT DllGetClassObject(REFCLSID, REFIID, void**)
// It stays loaded until CoFreeUnusedLibraries finds that its
//   HRESULT DllCanUnloadNow()
// answers S_OK.
#pragma once

#include "platform/com/Unknown.h"

#include <string>

constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
constexpr DWORD CLSCTX_ALL = 0x17;
constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;

using LPFNGETCLASSOBJECT = HRESULT (*)(REFCLSID, REFIID, void**);
using LPFNCANUNLOADNOW = HRESULT (*)();

// S_OK on the first call of a thread, S_FALSE on every further one; each call is matched by
// one CoUninitialize.
HRESULT CoInitialize(void* reserved);
HRESULT CoInitializeEx(void* reserved, DWORD flags);
void CoUninitialize();

// Gets the class object of a registered in-process class. The calling thread must have called
// CoInitialize (else CO_E_NOTINITIALIZED). Failures: REGDB_E_CLASSNOTREG when the class or its
// InprocServer32 key or path is missing; HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND) when the
// registered file does not exist; HRESULT_FROM_WIN32(ERROR_BAD_EXE_FORMAT) when it cannot be
// loaded; CO_E_ERRORINDLL when it has no DllGetClassObject; otherwise what that returns.
HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void* server, REFIID riid, void** object);
// CoGetClassObject for IClassFactory, then CreateInstance. *object is null on every failure.
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid,
                         void** object);
// Unloads the libraries whose DllCanUnloadNow answers S_OK.
void CoFreeUnusedLibraries();

namespace plat {
// How many CoInitialize calls of this thread are not yet matched.
int comInitCount();
// How many server libraries the runtime holds loaded.
int comLoadedLibraryCount();
// The library registered as the in-process server of a class (its InprocServer32 value);
// REGDB_E_CLASSNOTREG when there is none.
HRESULT classServerPath(REFCLSID clsid, std::string* path);
} // namespace plat
