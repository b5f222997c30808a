// The test server library's one class: a counter object with its own interface.
#pragma once

#include "platform/com/Unknown.h"

constexpr CLSID CLSID_FakeCounter = plat::guid("{5A1D7C2E-0B3F-4E61-9C8A-7D2E4F6A8B10}");
constexpr IID IID_IFakeCounter = plat::guid("{5A1D7C2E-0B3F-4E61-9C8A-7D2E4F6A8B11}");

struct IFakeCounter : IUnknown {
    virtual HRESULT Increment(LONG* value) = 0;

  protected:
    ~IFakeCounter() = default;
};
