#include "DelimitedText.h"

#include "Mbcs.h"

namespace {

constexpr char kQuote = '"';

bool IsBlank(unsigned char c) {
    return c >= 1 && c <= 32;
}

// Steps over one character: two bytes for a lead byte that has its second byte.
std::size_t Next(const std::string& t, std::size_t i) {
    if (IsLeadByte(static_cast<unsigned char>(t[i])) && i + 1 < t.size()) return i + 2;
    return i + 1;
}

}  // namespace

std::vector<std::string> SplitDelimited(const std::string& whole, char delimiter) {
    const std::string text = whole.substr(0, whole.find('\0'));
    std::vector<std::string> items;
    std::size_t i = 0;
    const auto skipBlanks = [&] {
        while (i < text.size() && IsBlank(static_cast<unsigned char>(text[i]))) ++i;
    };
    skipBlanks();
    while (i < text.size()) {
        std::string item;
        if (text[i] == kQuote) {
            ++i;
            while (i < text.size()) {
                if (text[i] == kQuote) {
                    if (i + 1 < text.size() && text[i + 1] == kQuote) {
                        item += kQuote;
                        i += 2;
                        continue;
                    }
                    ++i;  // the closing quote
                    break;
                }
                const std::size_t next = Next(text, i);
                item.append(text, i, next - i);
                i = next;
            }
        } else {
            const std::size_t start = i;
            while (i < text.size() && text[i] != delimiter &&
                   !IsBlank(static_cast<unsigned char>(text[i])))
                i = Next(text, i);
            item.assign(text, start, i - start);
        }
        items.push_back(item);
        skipBlanks();
        if (i < text.size() && text[i] == delimiter) {
            if (i + 1 == text.size()) items.emplace_back();
            ++i;
            skipBlanks();
        }
    }
    return items;
}
