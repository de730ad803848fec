#pragma once
#include <string>

// Fills the first "%s" of a template, the way the system's address and message templates are used.
inline std::string FormatS(const std::string& tmpl, const std::string& arg) {
    const auto at = tmpl.find("%s");
    if (at == std::string::npos) return tmpl;
    return tmpl.substr(0, at) + arg + tmpl.substr(at + 2);
}
