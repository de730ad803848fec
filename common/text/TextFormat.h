#pragma once
#include <string>

// Fills the first "%s" of a template, the way the system's address and message templates are used.
inline std::string FormatS(const std::string& tmpl, const std::string& arg) {
    const auto at = tmpl.find("%s");
    if (at == std::string::npos) return tmpl;
    return tmpl.substr(0, at) + arg + tmpl.substr(at + 2);
}

// Fills the first "%d" of a template with a number in decimal.
inline std::string FormatD(const std::string& tmpl, long long number) {
    const auto at = tmpl.find("%d");
    if (at == std::string::npos) return tmpl;
    return tmpl.substr(0, at) + std::to_string(number) + tmpl.substr(at + 2);
}
