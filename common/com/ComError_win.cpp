#include "ComError_win.h"

#include <cstdio>

std::string ComErrorText(const std::string& what, HRESULT hr) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
    return what + " failed: " + code;
}
