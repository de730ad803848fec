// Any address a page navigates to: it is an "app:" link exactly when its first four characters
// are that scheme in some case, and the link is all that follows.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "FuzzCheck.h"
#include "Notice.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string address(size / 2, u'\0');
    if (!address.empty()) std::memcpy(&address[0], data, address.size() * 2);
    const auto link = AppLinkOf(address);
    bool scheme = address.size() >= 4;
    for (std::size_t i = 0; scheme && i < 4; ++i) {
        const char16_t c = address[i];
        scheme = c == u"app:"[i] || c == u"APP:"[i];
    }
    FUZZ_CHECK(link.has_value() == scheme);
    if (link) FUZZ_CHECK(*link == address.substr(4));
    return 0;
}
