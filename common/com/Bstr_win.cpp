#include "Bstr_win.h"

#include <climits>

#include "ComError_win.h"

static_assert(sizeof(OLECHAR) == sizeof(char16_t), "wide texts are UTF-16 units");

namespace {
BSTR Allocate(const OLECHAR* text, std::size_t length) {
    if (length > UINT_MAX / sizeof(OLECHAR)) throw ComError("SysAllocStringLen", E_OUTOFMEMORY);
    BSTR s = SysAllocStringLen(text, static_cast<UINT>(length));
    if (!s) throw ComError("SysAllocStringLen", E_OUTOFMEMORY);
    return s;
}
}  // namespace

Bstr::Bstr(std::wstring_view text) : s_(Allocate(text.data(), text.size())) {}

Bstr::Bstr(std::u16string_view text)
    : s_(Allocate(reinterpret_cast<const OLECHAR*>(text.data()), text.size())) {}

std::u16string Bstr::Utf16(BSTR s) {
    if (!s) return {};
    return std::u16string(reinterpret_cast<const char16_t*>(s), SysStringLen(s));
}
