#pragma once
#include <cstdint>
#include <string>

#include "HttpText.h"

// The server's version text: the address, and how it is asked for. The version request is
// direct (no proxy), never answered from the cache, and reads once.
constexpr const char* kVersionAgent = "MyApp";
constexpr std::uintptr_t kVersionContext = 1;
constexpr const char* kVersionHeaders = "Accept: */*\r\n\r\n";
constexpr std::uint32_t kVersionReadLimit = 100;

std::string VersionAddress(const std::string& host);

// The body of the answer at `address` as the bytes came, at most kVersionReadLimit of them from a
// single read; empty when the service or the address cannot be opened, the answer is an error
// (status 400 or above, or none to be had), or the read fails.
std::string FetchVersionText(InternetPort& port, const std::string& address);

// Where the update logic gets the version text from.
class VersionSource {
  public:
    virtual ~VersionSource() = default;
    virtual std::string FetchVersionText(const std::string& address) = 0;
};
