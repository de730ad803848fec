#pragma once
#include <string>

// What the main window does with a command that a movie sends.
struct FSCommandAction {
    enum Kind { Ignore, OpenPage, NextEpisode } kind = Ignore;
    std::string address;  // OpenPage: the page to open through the loading page
};

// Commands compare exactly. "kefoweb" opens "http://" + host + args, but only for args that
// begin with "/": anything else would let a movie name another server ("@other.host/...").
FSCommandAction DispatchFSCommand(const std::string& command, const std::string& args,
                                  const std::string& host);
