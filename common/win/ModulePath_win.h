#pragma once
#include <string>

// The full path of the running program, however long; empty when the system cannot tell.
std::wstring ModulePathWide();
// The same in the ANSI code page, as the player's paths are kept.
std::string ModulePathAnsi();
