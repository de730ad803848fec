// The logo's version tag in any answer of the server: it is the answer without the blanks and
// line breaks around it, or empty; never longer than the limit, never holding a control byte or
// a blank at either end, and a tag taken again stays what it is.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "Udownlogo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string answer(reinterpret_cast<const char*>(data), size);
    const std::string tag = LogoTagOf(answer);
    if (tag.empty()) return 0;
    FUZZ_CHECK(tag.size() <= kLogoTagLimit);
    for (const char c : tag) {
        const auto u = static_cast<unsigned char>(c);
        FUZZ_CHECK(u >= 0x20 && u != 0x7F);
    }
    FUZZ_CHECK(tag.front() != ' ' && tag.back() != ' ');
    FUZZ_CHECK(answer.find(tag) != std::string::npos);
    FUZZ_CHECK(LogoTagOf(tag) == tag);
    return 0;
}
