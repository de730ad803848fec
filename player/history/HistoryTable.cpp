#include "HistoryTable.h"

#include <zlib.h>

#include "LittleEndian.h"

namespace {

constexpr char kMagic[] = "VZHT";
constexpr std::uint16_t kVersion = 1;
enum : std::uint8_t { kInteger = 1, kString = 2 };

struct FieldDef {
    const char* name;
    std::uint8_t type;
    std::uint16_t size;
};
constexpr FieldDef kFields[] = {
    {"FID", kInteger, 0},
    {"Name", kString, kHistoryNameSize},
    {"Types", kString, kHistoryTypesSize},
    {"Level", kInteger, 0},
};

std::uint32_t Crc(const std::uint8_t* data, std::size_t size) {
    uLong crc = crc32(0L, Z_NULL, 0);
    // zlib takes at most a uInt at a time.
    while (size > 0) {
        const uInt chunk = size > (1u << 30) ? (1u << 30) : static_cast<uInt>(size);
        crc = crc32(crc, data, chunk);
        data += chunk;
        size -= chunk;
    }
    return static_cast<std::uint32_t>(crc);
}

void PutInteger(std::vector<std::uint8_t>& out, const std::optional<std::int32_t>& v) {
    out.push_back(v ? 1 : 0);
    if (v) le::Append32(out, static_cast<std::uint32_t>(*v));
}

void PutString(std::vector<std::uint8_t>& out, const std::string& s, std::size_t size) {
    const std::size_t n = s.size() < size ? s.size() : size;
    out.push_back(1);
    le::Append16(out, static_cast<std::uint16_t>(n));
    out.insert(out.end(), s.begin(), s.begin() + static_cast<std::ptrdiff_t>(n));
}

bool GetInteger(le::Reader& r, std::optional<std::int32_t>& v) {
    const std::uint8_t present = r.U8();
    if (present > 1) return false;
    v.reset();
    if (present) v = static_cast<std::int32_t>(r.U32());
    return r.Ok();
}

bool GetString(le::Reader& r, std::string& s, std::size_t size) {
    const std::uint8_t present = r.U8();
    if (present > 1) return false;
    s.clear();
    if (!present) return r.Ok();
    const std::uint16_t n = r.U16();
    if (!r.Ok() || n > size || n > r.Left()) return false;
    s.assign(reinterpret_cast<const char*>(r.Here()), n);
    r.Skip(n);
    return r.Ok();
}

}  // namespace

std::string EncodeHistory(const std::vector<HistoryRow>& rows) {
    std::vector<std::uint8_t> out(kMagic, kMagic + 4);
    le::Append16(out, kVersion);
    le::Append16(out, static_cast<std::uint16_t>(std::size(kFields)));
    for (const auto& f : kFields) {
        const std::string name = f.name;
        out.push_back(static_cast<std::uint8_t>(name.size()));
        out.insert(out.end(), name.begin(), name.end());
        out.push_back(f.type);
        le::Append16(out, f.size);
    }
    le::Append32(out, static_cast<std::uint32_t>(rows.size()));
    for (const auto& row : rows) {
        PutInteger(out, row.FID);
        PutString(out, row.Name, kHistoryNameSize);
        PutString(out, row.Types, kHistoryTypesSize);
        PutInteger(out, row.Level);
    }
    le::Append32(out, Crc(out.data(), out.size()));
    return std::string(out.begin(), out.end());
}

bool DecodeHistory(const std::string& bytes, std::vector<HistoryRow>& rows) {
    rows.clear();
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    if (bytes.size() < 8 + 4) return false;
    const std::size_t body = bytes.size() - 4;
    if (le::Get32(data + body) != Crc(data, body)) return false;

    le::Reader r(data, body);
    for (int i = 0; i < 4; ++i)
        if (r.U8() != static_cast<std::uint8_t>(kMagic[i])) return false;
    if (r.U16() != kVersion || r.U16() != std::size(kFields)) return false;
    for (const auto& f : kFields) {
        const std::string name = f.name;
        const std::uint8_t length = r.U8();
        if (length != name.size() || r.Left() < length) return false;
        if (std::string(reinterpret_cast<const char*>(r.Here()), length) != name) return false;
        r.Skip(length);
        if (r.U8() != f.type || r.U16() != f.size) return false;
    }
    const std::uint32_t count = r.U32();
    // Every row takes at least its four presence bytes: a count beyond that is a lie.
    if (!r.Ok() || count > r.Left() / 4) return false;
    std::vector<HistoryRow> read;
    read.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        HistoryRow row;
        if (!GetInteger(r, row.FID) || !GetString(r, row.Name, kHistoryNameSize) ||
            !GetString(r, row.Types, kHistoryTypesSize) || !GetInteger(r, row.Level))
            return false;
        read.push_back(std::move(row));
    }
    if (!r.Ok() || r.Left() != 0) return false;
    rows = std::move(read);
    return true;
}
