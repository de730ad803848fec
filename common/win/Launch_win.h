#pragma once
#include <string>

// Starting other programs for the user. Paths and addresses are bytes of the ANSI code page.
namespace launch {

// Starts the program at `path`, shown as a program normally is, with `folder` as its working
// folder; does not wait for it. False when the system refused.
bool StartProgram(const std::string& path, const std::string& folder);

// Hands `address` to the shell's "open" verb: a web address opens in the user's default browser.
// False when no program took it.
bool OpenAddress(const std::string& address);

}  // namespace launch
