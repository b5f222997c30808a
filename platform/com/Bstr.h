// BSTR strings: UTF-16 text with its length kept in front, allocated by the COM runtime and
// handed between modules (a string one library allocates, another may free). A null BSTR
// counts as the empty string everywhere.
#pragma once

#include "platform/com/Guid.h"

#include <string>

using BSTR = OLECHAR*;

// A new string with the text up to its NUL; null for a null text or when memory runs out.
BSTR SysAllocString(const OLECHAR* text);
// A new string of length characters copied from text (left zero when text is null).
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
void SysFreeString(BSTR text);
// Characters in the string (0 for null); the string may hold NULs before its end.
UINT SysStringLen(BSTR text);

namespace plat {

// UTF-8 <-> BSTR. Bad UTF-8 sequences become U+FFFD; unpaired surrogates likewise on the way
// back.
BSTR bstrFromUtf8(const std::string& text);
std::string utf8FromBstr(BSTR text);

} // namespace plat
