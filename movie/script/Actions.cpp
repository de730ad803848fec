#include "Actions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>

#include "LittleEndian.h"
#include "Utf16.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// What one block may hold at once: doubling a string or pushing in a loop stops here.
constexpr std::size_t kMaxStack = 1u << 16;
constexpr std::size_t kMaxText = 1u << 16;       // one string
constexpr std::size_t kMaxStackText = 1u << 22;  // all strings on the stack
// All the strings one block makes: a short loop of concatenations may not copy gigabytes.
constexpr std::size_t kMaxBlockText = 1u << 24;

std::u16string Ascii(const char* s) {
    std::u16string out;
    while (*s) out.push_back(static_cast<char16_t>(static_cast<unsigned char>(*s++)));
    return out;
}

bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

double ParseNumber(const std::u16string& text, int version) {
    std::size_t from = 0, to = text.size();
    while (from < to && IsSpace(text[from])) ++from;
    while (to > from && IsSpace(text[to - 1])) --to;
    if (from == to) return version >= 7 ? kNaN : 0;
    std::string ascii;
    for (std::size_t i = from; i < to; ++i) {
        if (text[i] > 0x7F) return version >= 5 ? kNaN : 0;
        ascii.push_back(static_cast<char>(text[i]));
    }
    if (ascii.size() > 2 && ascii[0] == '0' && (ascii[1] == 'x' || ascii[1] == 'X')) {
        char* end = nullptr;
        const long long v = std::strtoll(ascii.c_str() + 2, &end, 16);
        return *end ? kNaN : static_cast<double>(v);
    }
    char* end = nullptr;
    const double v = std::strtod(ascii.c_str(), &end);
    // strtod reads "inf" and "nan"; movies do not write numbers that way.
    if (*end || !std::isfinite(v)) return version >= 5 ? kNaN : 0;
    return v;
}

std::u16string FormatNumber(double v) {
    if (std::isnan(v)) return u"NaN";
    if (std::isinf(v)) return v > 0 ? u"Infinity" : u"-Infinity";
    if (v == std::floor(v) && std::fabs(v) < 1e15) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.0f", v == 0 ? 0.0 : v);
        return Ascii(buffer);
    }
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15g", v);
    return Ascii(buffer);
}

}  // namespace

double ActionValue::ToNumber(int version) const {
    switch (kind) {
        case Number:
        case Bool:
            return number;
        case String:
            return ParseNumber(text, version);
        case Null:
            return 0;
        default:
            return version >= 7 ? kNaN : 0;
    }
}

std::u16string ActionValue::ToText(int version) const {
    switch (kind) {
        case Number:
            return FormatNumber(number);
        case Bool:
            return number != 0 ? (version >= 5 ? u"true" : u"1") : (version >= 5 ? u"false" : u"0");
        case String:
        case Clip:
            return text;
        case Null:
            return u"null";
        default:
            return version >= 7 ? u"undefined" : u"";
    }
}

bool ActionValue::ToBool(int version) const {
    switch (kind) {
        case Number:
        case Bool:
            return number != 0 && !std::isnan(number);
        case String:
            if (version >= 7) return !text.empty();
            {
                const double n = ParseNumber(text, version);
                return n != 0 && !std::isnan(n);
            }
        case Clip:
            return true;
        default:
            return false;
    }
}

namespace ClipProperty {
int ByName(const std::u16string& name) {
    static const char16_t* const kNames[] = {
        u"_x",           u"_y",      u"_xscale",       u"_yscale", u"_currentframe",
        u"_totalframes", u"_alpha",  u"_visible",      u"_width",  u"_height",
        u"_rotation",    u"_target", u"_framesloaded", u"_name"};
    for (int i = 0; i < static_cast<int>(std::size(kNames)); ++i)
        if (name == kNames[i]) return i;
    return -1;
}
}  // namespace ClipProperty

namespace {

class Machine {
  public:
    Machine(const std::uint8_t* data, std::size_t size, int version, ActionHost& host)
        : data_(data), size_(size), version_(version), host_(host) {}

    ActionRun Run() {
        ActionRun run;
        std::size_t pc = 0;
        while (pc < size_) {
            if (run.executed >= kMaxActionsPerBlock) {
                run.capped = true;
                break;
            }
            const std::uint8_t code = data_[pc++];
            if (code == 0) break;
            std::size_t length = 0;
            if (code >= 0x80) {
                if (size_ - pc < 2) break;
                length = static_cast<std::size_t>(data_[pc] | data_[pc + 1] << 8);
                pc += 2;
                if (length > size_ - pc) break;
            }
            le::Reader body(data_ + pc, length);
            pc += length;
            ++run.executed;
            long jump = 0;
            if (!Step(code, body, jump)) {
                run.unknown = true;
                break;
            }
            if (full_) {
                run.capped = true;
                break;
            }
            // Branches count from the end of their own record.
            if (jump != 0) {
                const long target = static_cast<long>(pc) + jump;
                if (target < 0 || static_cast<std::size_t>(target) > size_) break;
                pc = static_cast<std::size_t>(target);
            }
        }
        return run;
    }

  private:
    std::u16string Text(const std::string& bytes) const {
        return version_ >= 6 ? Utf16FromUtf8(bytes) : Utf16FromLatin1(bytes);
    }

    static std::string CString(le::Reader& r) {
        std::string s;
        while (r.Left() > 0) {
            const std::uint8_t c = r.U8();
            if (c == 0) return s;
            s.push_back(static_cast<char>(c));
        }
        return s;
    }

    ActionValue Pop() {
        if (stack_.empty()) return {};
        ActionValue v = std::move(stack_.back());
        stack_.pop_back();
        stackText_ -= v.text.size();
        return v;
    }
    void Push(ActionValue v) {
        if (stack_.size() >= kMaxStack) {
            full_ = true;
            return;
        }
        if (v.text.size() > kMaxText) v.text.resize(kMaxText);
        blockText_ += v.text.size();
        if (stackText_ + v.text.size() > kMaxStackText || blockText_ > kMaxBlockText) {
            full_ = true;
            return;
        }
        stackText_ += v.text.size();
        stack_.push_back(std::move(v));
    }
    double PopNumber() { return Pop().ToNumber(version_); }
    std::u16string PopText() { return Pop().ToText(version_); }

    // SWF 4 answers comparisons with numbers; later versions with booleans.
    ActionValue Truth(bool v) const {
        return version_ >= 5 ? ActionValue::Of(v) : ActionValue::Of(v ? 1.0 : 0.0);
    }

    static std::int32_t ToInt32(double v) {
        if (!std::isfinite(v)) return 0;
        const double m = std::fmod(std::trunc(v), 4294967296.0);
        const auto u =
            static_cast<std::uint32_t>(static_cast<std::int64_t>(m < 0 ? m + 4294967296.0 : m));
        return static_cast<std::int32_t>(u);
    }

    bool Equal(const ActionValue& a, const ActionValue& b) const {
        using K = ActionValue::Kind;
        const bool aNone = a.kind == K::Undefined || a.kind == K::Null;
        const bool bNone = b.kind == K::Undefined || b.kind == K::Null;
        if (aNone || bNone) return aNone && bNone;
        if ((a.kind == K::String || a.kind == K::Clip) &&
            (b.kind == K::String || b.kind == K::Clip))
            return a.text == b.text;
        return a.ToNumber(version_) == b.ToNumber(version_);
    }

    // a < b: true, false, or undefined (NaN) as the third answer.
    ActionValue Less(const ActionValue& a, const ActionValue& b) const {
        if (a.kind == ActionValue::String && b.kind == ActionValue::String)
            return ActionValue::Of(a.text < b.text);
        const double x = a.ToNumber(version_), y = b.ToNumber(version_);
        if (std::isnan(x) || std::isnan(y)) return {};
        return ActionValue::Of(x < y);
    }

    ActionValue Member(const ActionValue& object, const std::u16string& name) {
        if (object.kind != ActionValue::Clip) {
            if (object.kind == ActionValue::String && name == u"length")
                return ActionValue::Of(static_cast<double>(object.text.size()));
            return {};
        }
        const int property = ClipProperty::ByName(name);
        if (property >= 0) return host_.GetProperty(object.text, property);
        return host_.GetVariable(object.text + u"." + name);
    }

    void GotoFrameValue(const ActionValue& frame, bool play, int bias) {
        if (frame.kind == ActionValue::String) {
            // "label", "frame number", or "target:frame".
            std::u16string text = frame.text;
            const std::size_t colon = text.rfind(u':');
            if (colon != std::u16string::npos) {
                host_.SetTarget(text.substr(0, colon));
                GotoFrameValue(ActionValue::Of(text.substr(colon + 1)), play, bias);
                host_.SetTarget(target_);
                return;
            }
            const double n = ParseNumber(text, 7);
            if (std::isnan(n)) {
                host_.GotoLabel(text, play);
                return;
            }
            host_.GotoFrame(static_cast<int>(std::clamp(n, -1e9, 1e9)) - 1 + bias, play);
            return;
        }
        const double n = frame.ToNumber(version_);
        if (std::isfinite(n))
            host_.GotoFrame(static_cast<int>(std::clamp(n, -1e9, 1e9)) - 1 + bias, play);
    }

    void Target(const std::u16string& path) {
        target_ = path;
        host_.SetTarget(path);
    }

    bool PushValues(le::Reader& r) {
        while (r.Left() > 0) {
            const std::uint8_t type = r.U8();
            ActionValue v;
            switch (type) {
                case 0:
                    v = ActionValue::Of(Text(CString(r)));
                    break;
                case 1: {
                    const std::uint32_t bits = r.U32();
                    float f;
                    std::memcpy(&f, &bits, 4);
                    v = ActionValue::Of(static_cast<double>(f));
                    break;
                }
                case 2:
                    v.kind = ActionValue::Null;
                    break;
                case 3:
                    break;
                case 4: {
                    const std::uint8_t n = r.U8();
                    if (n < 4) v = registers_[n];
                    break;
                }
                case 5:
                    v = ActionValue::Of(r.U8() != 0);
                    break;
                case 6: {
                    // The two 32-bit halves come high half first.
                    const std::uint64_t high = r.U32(), low = r.U32();
                    const std::uint64_t bits = high << 32 | low;
                    double d;
                    std::memcpy(&d, &bits, 8);
                    v = ActionValue::Of(d);
                    break;
                }
                case 7:
                    v = ActionValue::Of(static_cast<double>(static_cast<std::int32_t>(r.U32())));
                    break;
                case 8:
                case 9: {
                    const std::size_t index = type == 8 ? r.U8() : r.U16();
                    if (index < constants_.size()) v = ActionValue::Of(constants_[index]);
                    break;
                }
                default:
                    return false;
            }
            if (!r.Ok()) return false;
            Push(std::move(v));
        }
        return true;
    }

    // One action; false ends the block. `jump` receives a branch's offset.
    bool Step(std::uint8_t code, le::Reader& r, long& jump) {
        switch (code) {
            case 0x04:
                host_.NextFrame();
                return true;
            case 0x05:
                host_.PrevFrame();
                return true;
            case 0x06:
                host_.Play();
                return true;
            case 0x07:
                host_.Stop();
                return true;
            case 0x08:  // toggle quality
            case 0x09:  // stop sounds
                return true;
            case 0x0A:
            case 0x0B:
            case 0x0C:
            case 0x0D:
            case 0x3F: {
                const double b = PopNumber(), a = PopNumber();
                double v = code == 0x0A   ? a + b
                           : code == 0x0B ? a - b
                           : code == 0x0C ? a * b
                           : code == 0x0D ? (b == 0 && version_ < 5 ? kNaN : a / b)
                                          : std::fmod(a, b);
                Push(ActionValue::Of(v));
                return true;
            }
            case 0x0E: {
                const double b = PopNumber(), a = PopNumber();
                Push(Truth(a == b));
                return true;
            }
            case 0x0F: {
                const double b = PopNumber(), a = PopNumber();
                Push(Truth(a < b));
                return true;
            }
            case 0x10:
            case 0x11: {
                const bool b = Pop().ToBool(version_), a = Pop().ToBool(version_);
                Push(Truth(code == 0x10 ? a && b : a || b));
                return true;
            }
            case 0x12:
                Push(Truth(!Pop().ToBool(version_)));
                return true;
            case 0x13: {
                const std::u16string b = PopText(), a = PopText();
                Push(Truth(a == b));
                return true;
            }
            case 0x29: {
                const std::u16string b = PopText(), a = PopText();
                Push(Truth(a < b));
                return true;
            }
            case 0x68: {
                const std::u16string b = PopText(), a = PopText();
                Push(Truth(a > b));
                return true;
            }
            case 0x14:
                Push(ActionValue::Of(static_cast<double>(PopText().size())));
                return true;
            case 0x15: {  // substring: string, index from 1, count
                const double count = PopNumber(), index = PopNumber();
                const std::u16string s = PopText();
                const double from = std::isfinite(index) ? std::max(index - 1, 0.0) : 0;
                std::u16string out;
                if (from < static_cast<double>(s.size())) {
                    const auto at = static_cast<std::size_t>(from);
                    std::size_t n = s.size() - at;
                    if (std::isfinite(count) && count >= 0 && count < static_cast<double>(n))
                        n = static_cast<std::size_t>(count);
                    out = s.substr(at, n);
                }
                Push(ActionValue::Of(std::move(out)));
                return true;
            }
            case 0x17:
                Pop();
                return true;
            case 0x18: {
                const double v = PopNumber();
                Push(ActionValue::Of(std::isfinite(v) ? std::trunc(v) : (std::isnan(v) ? 0 : v)));
                return true;
            }
            case 0x1C:
                Push(host_.GetVariable(PopText()));
                return true;
            case 0x1D:
            case 0x3C: {  // set variable; define local: in a frame, the same
                ActionValue v = Pop();
                host_.SetVariable(PopText(), v);
                return true;
            }
            case 0x41:  // define local without a value
                host_.SetVariable(PopText(), {});
                return true;
            case 0x20:
                Target(PopText());
                return true;
            case 0x21: {
                const std::u16string b = PopText(), a = PopText();
                Push(ActionValue::Of(a + b));
                return true;
            }
            case 0x22: {
                const double index = PopNumber();
                const std::u16string target = PopText();
                Push(std::fabs(index) < 1e6 ? host_.GetProperty(target, static_cast<int>(index))
                                            : ActionValue{});
                return true;
            }
            case 0x23: {
                ActionValue v = Pop();
                const double index = PopNumber();
                const std::u16string target = PopText();
                if (std::fabs(index) < 1e6) host_.SetProperty(target, static_cast<int>(index), v);
                return true;
            }
            case 0x26:  // trace
                Pop();
                return true;
            case 0x30: {  // random number below the limit; the same sequence every play
                const double limit = PopNumber();
                seed_ = seed_ * 1103515245u + 12345u;
                const auto below = std::isfinite(limit) && limit >= 1
                                       ? static_cast<std::uint32_t>(std::min(limit, 4294967295.0))
                                       : 0u;
                Push(ActionValue::Of(below ? static_cast<double>((seed_ >> 8) % below) : 0.0));
                return true;
            }
            case 0x47: {
                ActionValue b = Pop(), a = Pop();
                if (a.kind == ActionValue::String || b.kind == ActionValue::String)
                    Push(ActionValue::Of(a.ToText(version_) + b.ToText(version_)));
                else
                    Push(ActionValue::Of(a.ToNumber(version_) + b.ToNumber(version_)));
                return true;
            }
            case 0x48: {
                const ActionValue b = Pop(), a = Pop();
                Push(Less(a, b));
                return true;
            }
            case 0x67: {
                const ActionValue b = Pop(), a = Pop();
                Push(Less(b, a));
                return true;
            }
            case 0x49: {
                const ActionValue b = Pop(), a = Pop();
                Push(ActionValue::Of(Equal(a, b)));
                return true;
            }
            case 0x66: {
                const ActionValue b = Pop(), a = Pop();
                const bool number = a.kind == ActionValue::Number;
                Push(ActionValue::Of(a.kind == b.kind &&
                                     (number ? a.number == b.number : Equal(a, b))));
                return true;
            }
            case 0x4C: {
                const ActionValue v = stack_.empty() ? ActionValue{} : stack_.back();
                Push(v);
                return true;
            }
            case 0x4D: {
                ActionValue b = Pop(), a = Pop();
                Push(std::move(b));
                Push(std::move(a));
                return true;
            }
            case 0x4E: {
                const std::u16string name = PopText();
                const ActionValue object = Pop();
                Push(Member(object, name));
                return true;
            }
            case 0x4F: {
                ActionValue v = Pop();
                const std::u16string name = PopText();
                const ActionValue object = Pop();
                if (object.kind == ActionValue::Clip) {
                    const int property = ClipProperty::ByName(name);
                    if (property >= 0)
                        host_.SetProperty(object.text, property, v);
                    else
                        host_.SetVariable(object.text + u"." + name, v);
                }
                return true;
            }
            case 0x50:
            case 0x51:
                Push(ActionValue::Of(PopNumber() + (code == 0x50 ? 1 : -1)));
                return true;
            case 0x52: {  // call method: name, object, count, arguments
                const ActionValue name = Pop();
                const ActionValue object = Pop();
                const double count = PopNumber();
                std::vector<ActionValue> args;
                const std::size_t n = std::isfinite(count) && count > 0
                                          ? static_cast<std::size_t>(
                                                std::min(count, static_cast<double>(stack_.size())))
                                          : 0;
                for (std::size_t i = 0; i < n; ++i) args.push_back(Pop());
                if (object.kind != ActionValue::Clip ||
                    !host_.CallClipMethod(object.text, name.ToText(version_), args))
                    return false;
                Push({});
                return true;
            }
            case 0x60:
            case 0x61:
            case 0x62:
            case 0x63:
            case 0x64:
            case 0x65: {
                const std::int32_t b = ToInt32(PopNumber()), a = ToInt32(PopNumber());
                const int shift = b & 31;
                double v = 0;
                switch (code) {
                    case 0x60:
                        v = a & b;
                        break;
                    case 0x61:
                        v = a | b;
                        break;
                    case 0x62:
                        v = a ^ b;
                        break;
                    case 0x63:
                        v = static_cast<std::int32_t>(static_cast<std::uint32_t>(a) << shift);
                        break;
                    case 0x64:
                        v = a >> shift;
                        break;
                    default:
                        v = static_cast<std::uint32_t>(a) >> shift;
                        break;
                }
                Push(ActionValue::Of(v));
                return true;
            }
            case 0x81: {
                const std::uint16_t frame = r.U16();
                if (r.Ok()) host_.GotoFrame(frame, false);
                return true;
            }
            case 0x83: {
                const std::string url = CString(r), target = CString(r);
                host_.GetUrl(Text(url), Text(target));
                return true;
            }
            case 0x87: {
                const std::uint8_t n = r.U8();
                if (r.Ok() && n < 4) registers_[n] = stack_.empty() ? ActionValue{} : stack_.back();
                return true;
            }
            case 0x88: {
                const std::uint16_t count = r.U16();
                constants_.clear();
                for (std::uint16_t i = 0; i < count && r.Left() > 0; ++i)
                    constants_.push_back(Text(CString(r)));
                return true;
            }
            case 0x8A:  // wait for frame: every frame is loaded
            case 0x8D:
                if (code == 0x8D) Pop();
                return true;
            case 0x8B:
                Target(Text(CString(r)));
                return true;
            case 0x8C:
                host_.GotoLabel(Text(CString(r)), false);
                return true;
            case 0x96:
                return PushValues(r);
            case 0x99:
                jump = static_cast<std::int16_t>(r.U16());
                return r.Ok();
            case 0x9D: {
                const auto offset = static_cast<std::int16_t>(r.U16());
                if (Pop().ToBool(version_)) jump = offset;
                return r.Ok();
            }
            case 0x9A: {
                r.U8();  // how variables are sent: they are not
                const std::u16string target = PopText(), url = PopText();
                host_.GetUrl(url, target);
                return true;
            }
            case 0x9F: {
                const std::uint8_t flags = r.U8();
                const int bias = (flags & 2) ? r.U16() : 0;
                GotoFrameValue(Pop(), flags & 1, bias);
                return true;
            }
            default:
                return false;
        }
    }

    const std::uint8_t* data_;
    std::size_t size_;
    int version_;
    ActionHost& host_;
    std::vector<ActionValue> stack_;
    std::vector<std::u16string> constants_;
    ActionValue registers_[4];
    std::u16string target_;
    std::uint32_t seed_ = 1;
    bool full_ = false;
    std::size_t stackText_ = 0;
    std::size_t blockText_ = 0;
};

}  // namespace

ActionRun RunActions(const std::uint8_t* data, std::size_t size, int version, ActionHost& host) {
    Machine machine(data, size, version, host);
    const ActionRun run = machine.Run();
    // A target set in the block ends with it.
    host.SetTarget(u"");
    return run;
}
