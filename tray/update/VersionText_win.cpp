#include "VersionText_win.h"

#include "BesideWindow_win.h"
#include "HttpText_win.h"

std::string WinVersionSource::FetchVersionText(const std::string& address) {
    return net::TextBesideWindow([address] {
        WinInetPort port;
        return ::FetchVersionText(port, address);
    });
}
