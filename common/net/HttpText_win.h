#pragma once
#include <memory>
#include <string>

#include "HttpText.h"

// The internet port on WinInet.
class WinInetPort : public InternetPort {
  public:
    std::unique_ptr<InternetSession> Open(const std::string& agent, InternetAccess access) override;
};

// HttpGetText through WinInet.
std::string HttpGetText(const std::string& address);
