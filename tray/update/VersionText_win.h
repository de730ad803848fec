#pragma once
#include <string>

#include "VersionText.h"

// The version text through WinInet, fetched beside the calling window's thread.
class WinVersionSource : public VersionSource {
  public:
    std::string FetchVersionText(const std::string& address) override;
};
