#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// What a short HTTP text fetch needs of the platform's internet functions. Each object closes its
// handle when it is destroyed.

// An opened address whose body is read in pieces.
class InternetRequest {
  public:
    virtual ~InternetRequest() = default;
    struct ReadResult {
        bool ok;              // the platform's success flag
        std::uint32_t count;  // bytes delivered into the buffer
    };
    virtual ReadResult Read(char* buffer, std::uint32_t size) = 0;
    // The response's HTTP status code; nothing when the platform cannot say.
    virtual std::optional<std::uint32_t> StatusCode() = 0;
};

// What one opened address is asked with.
struct UrlRequest {
    std::uint32_t flags = 0;
    // Extra request headers, each line ending in CR LF; empty for none.
    std::string headers;
    // The caller's value that the platform hands back with the request's status.
    std::uintptr_t context = 0;
};

// The opened internet service.
class InternetSession {
  public:
    virtual ~InternetSession() = default;
    // Null when the address cannot be opened.
    virtual std::unique_ptr<InternetRequest> OpenUrl(const std::string& address,
                                                     const UrlRequest& request) = 0;
};

// How the service reaches the servers.
enum class InternetAccess {
    Preconfigured,  // as the system is set up, its proxy included
    Direct,         // straight to the server, no proxy
};

class InternetPort {
  public:
    virtual ~InternetPort() = default;
    // Opens the service with no proxy named and no flags; null when that fails.
    virtual std::unique_ptr<InternetSession> Open(const std::string& agent,
                                                  InternetAccess access) = 0;
};

constexpr const char* kHttpTextAgent = "MyApp";
constexpr std::uint32_t kInternetFlagReload = 0x80000000u;          // always from the server
constexpr std::uint32_t kInternetFlagTransferBinary = 0x00000002u;  // the bytes as they come
// The texts fetched this way are short; a longer body is no answer of ours.
constexpr std::uint32_t kHttpTextLimit = 1024 * 1024;

// The body of an HTTP GET of `address` as the bytes came. Empty text on any failure: the service or
// the address cannot be opened, the status is an error (400 and above) or cannot be read, or the
// body is longer than kHttpTextLimit. A zero byte cuts off the rest of its 1024-byte read.
std::string HttpGetText(InternetPort& port, const std::string& address);
