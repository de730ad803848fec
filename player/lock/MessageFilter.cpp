#include "MessageFilter.h"

namespace {
constexpr std::uint32_t kNull = 0x0000;
constexpr std::uint32_t kRightButtonDown = 0x0204;
constexpr std::uint32_t kRightButtonDoubleClick = 0x0206;
}  // namespace

std::uint32_t FilteredMessage(std::uint32_t message) {
    return message >= kRightButtonDown && message <= kRightButtonDoubleClick ? kNull : message;
}
