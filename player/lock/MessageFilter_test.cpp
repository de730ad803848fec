// The lock's message filter: right clicks become the null message, nothing else changes.
#include "MessageFilter.h"

#include <gtest/gtest.h>

namespace {

TEST(FilteredMessage, OnlyTheRightButtonsMessagesBecomeTheNullMessage) {
    const struct {
        const char* what;
        std::uint32_t message, filtered;
    } cases[] = {
        {"right button down", 0x0204, 0},
        {"right button up", 0x0205, 0},
        {"right button double click", 0x0206, 0},
        {"left button down", 0x0201, 0x0201},
        {"left button double click", 0x0203, 0x0203},
        {"middle button down", 0x0207, 0x0207},
        {"mouse move", 0x0200, 0x0200},
        {"context menu", 0x007B, 0x007B},
        {"right button down outside the client area", 0x00A4, 0x00A4},
        {"key down", 0x0100, 0x0100},
        {"the null message", 0, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(FilteredMessage(c.message), c.filtered) << c.what;
}

}  // namespace
