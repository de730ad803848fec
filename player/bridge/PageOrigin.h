#pragma once
#include <string>

// Whether the page shown at `location` may have the bridge: a page of the content server `host`
// (plain HTTP, that host and port exactly), or the panel's blank document that holds the player's
// own loading page. A page of any other origin, reached by a link, gets nothing: it could set
// the lock password and unlock with it.
bool PageMayUseBridge(const std::string& location, const std::string& host);
