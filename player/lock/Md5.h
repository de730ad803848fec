#pragma once
#include <array>
#include <cstdint>
#include <string>

using Md5Digest = std::array<std::uint8_t, 16>;

// The MD5 digest (RFC 1321) of the bytes, as the platform's cryptography computes it. Throws
// std::runtime_error when the platform cannot.
Md5Digest Md5(const std::string& bytes);
