#pragma once
#include <cstdint>

// The message the application's loops dispatch in place of `message` while the lock holds: the
// right mouse button's press, release and double click become the null message, so no window of
// the program sees a right click (no movie menu, no pop-up menu); the rest stay as they are.
std::uint32_t FilteredMessage(std::uint32_t message);
