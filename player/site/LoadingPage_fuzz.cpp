// The loading page's target on any bytes. Read as code page 936 text, no double quote,
// backslash, '<', '>' or control byte is left outside a double-byte character, so the target
// cannot end the script string or the script; the escapes change how the address is written,
// not the address: decoding every %XX gives what decoding the target gives (the target itself
// when it has no '%'). In the page, the string holds exactly that and the page goes on unchanged.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "LoadingPage.h"
#include "Mbcs.h"

namespace {

bool IsTrail(unsigned char c) {
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFE);
}

bool Unsafe(unsigned char c) {
    return c == '"' || c == '\\' || c == '<' || c == '>' || c < 0x20 || c == 0x7F;
}

// Where the text from `from` on first has an unsafe single byte, or npos.
std::size_t FirstUnsafe(const std::string& text, std::size_t from) {
    for (std::size_t i = from; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (IsLeadByte(c) && i + 1 < text.size() &&
            IsTrail(static_cast<unsigned char>(text[i + 1])))
            ++i;
        else if (Unsafe(c))
            return i;
    }
    return std::string::npos;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string Decoded(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
            HexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The program folder D:\学习播放器\ in code page 936.
const std::string kProgramDir = "D:\\\xD1\xA7\xCF\xB0\xB2\xA5\xB7\xC5\xC6\xF7\\";
const std::string kStringStart = "window.location.href =\"";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string target(reinterpret_cast<const char*>(data), size);
    const std::string escaped = EscapeLoadingTarget(target);
    FUZZ_CHECK(FirstUnsafe(escaped, 0) == std::string::npos);
    FUZZ_CHECK(Decoded(escaped) == Decoded(target));

    // The page around an empty target is the frame that every target sits in.
    static const std::string frame = BuildLoadingPage(kProgramDir, "");
    static const std::size_t start = frame.find(kStringStart) + kStringStart.size();
    const std::string page = BuildLoadingPage(kProgramDir, target);
    FUZZ_CHECK(page.size() >= frame.size() && page.compare(0, start, frame, 0, start) == 0);
    // The first unsafe byte after the string's start is the quote that ends it.
    const std::size_t end = FirstUnsafe(page, start);
    FUZZ_CHECK(end != std::string::npos && page[end] == '"');
    FUZZ_CHECK(Decoded(page.substr(start, end - start)) == Decoded(target));
    FUZZ_CHECK(page.compare(end, std::string::npos, frame, start, std::string::npos) == 0);
    return 0;
}
