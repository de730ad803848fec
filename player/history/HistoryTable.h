#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One row of the play history: a series, one of its episodes, and how the series was shown.
struct HistoryRow {
    std::optional<std::int32_t> FID;    // the series id
    std::string Name;                   // the series' name, at most kHistoryNameSize bytes
    std::string Types;                  // its category text, at most kHistoryTypesSize bytes
    std::optional<std::int32_t> Level;  // the episode number, from 1
    bool operator==(const HistoryRow& o) const {
        return FID == o.FID && Name == o.Name && Types == o.Types && Level == o.Level;
    }
};

constexpr std::size_t kHistoryNameSize = 60;
constexpr std::size_t kHistoryTypesSize = 100;

// "web\Local.dat": the play history as one self-describing table, little-endian throughout.
//
//   size  content
//   4     "VZHT"
//   2     format version: 1
//   2     field count F: 4
//         F field definitions, each: name length (1 byte), name bytes, type (1 byte: 1 a 32-bit
//         signed integer, 2 a single-byte string of the ANSI code page), size (2 bytes: a
//         string's largest length in bytes, 0 for an integer). The fields are FID (integer),
//         Name (string, 60), Types (string, 100), Level (integer), in this order.
//   4     row count R
//         R rows in the order they were added, each field in the order of the definitions: a
//         presence byte (0 empty, 1 a value), then for an integer 4 bytes, for a string its
//         length (2 bytes, at most the field's size) and its bytes
//   4     CRC-32 (zlib's) of every byte before it
//
// Nothing follows. A reader refuses a file that differs from this in any way: another magic or
// version, other fields, a length beyond its field's size, a presence byte other than 0 or 1, a
// file cut short or longer than its rows, a wrong CRC.
std::string EncodeHistory(const std::vector<HistoryRow>& rows);
// False, leaving `rows` empty, for bytes that are no history table.
bool DecodeHistory(const std::string& bytes, std::vector<HistoryRow>& rows);
