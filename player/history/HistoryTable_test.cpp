// The history file: written and read back whole, and refused in any other shape.
#include "HistoryTable.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>
#include <string>
#include <vector>

namespace {

std::vector<HistoryRow> SomeRows() {
    return {{101, "\xD0\xA1\xC3\xA8", "\xB9\xCA\xCA\xC2", 1},
            {101, "\xD0\xA1\xC3\xA8", "\xB9\xCA\xCA\xC2", 2},
            {std::nullopt, "", std::string(100, 't'), std::nullopt},
            {-7, std::string(60, 'n'), "", 2147483647}};
}

// The file with its CRC made right again after a change, so that only the change is judged.
std::string Resealed(std::string bytes) {
    const std::size_t body = bytes.size() - 4;
    const auto crc = static_cast<std::uint32_t>(crc32(crc32(0L, Z_NULL, 0),
                                                      reinterpret_cast<const Bytef*>(bytes.data()),
                                                      static_cast<uInt>(body)));
    for (int i = 0; i < 4; ++i) bytes[body + i] = static_cast<char>(crc >> (8 * i));
    return bytes;
}

TEST(HistoryTable, RowsComeBackAsTheyWereInTheirOrder) {
    for (const auto& rows : {std::vector<HistoryRow>{}, SomeRows()}) {
        std::vector<HistoryRow> back{{1, "x", "y", 1}};
        ASSERT_TRUE(DecodeHistory(EncodeHistory(rows), back));
        EXPECT_EQ(back, rows);
    }
}

TEST(HistoryTable, TheEmptyTableDescribesItsFields) {
    const std::string file = EncodeHistory({});
    EXPECT_EQ(file.substr(0, 4), "VZHT");
    for (const char* field : {"FID", "Name", "Types", "Level"})
        EXPECT_NE(file.find(field), std::string::npos) << field;
}

TEST(HistoryTable, AnythingElseIsRefused) {
    const std::string good = EncodeHistory(SomeRows());
    // The row count follows the header, which is the empty table without its count and CRC.
    const std::size_t countAt = EncodeHistory({}).size() - 8;
    const struct {
        const char* what;
        std::function<std::string()> make;
    } cases[] = {
        {"nothing", [] { return std::string(); }},
        {"cut short", [&] { return good.substr(0, good.size() - 9); }},
        {"a byte more", [&] { return Resealed(good + "xxxx"); }},
        {"a wrong CRC",
         [&] {
             std::string b = good;
             b[10] ^= 1;
             return b;
         }},
        {"another magic",
         [&] {
             std::string b = good;
             b[0] = 'X';
             return Resealed(b);
         }},
        {"another version",
         [&] {
             std::string b = good;
             b[4] = 2;
             return Resealed(b);
         }},
        {"another field",
         [&] {
             std::string b = good;
             b[9] = 'f';
             return Resealed(b);
         }},
        {"a string field of another size",
         [&] {
             std::string b = good;
             b[good.find("Name") + 5] = 61;
             return Resealed(b);
         }},
        {"more rows than the file holds",
         [&] {
             std::string b = good;
             b[countAt] = 0x7F;
             return Resealed(b);
         }},
        {"a presence byte of 2",
         [&] {
             std::string b = good;
             b[countAt + 4] = 2;
             return Resealed(b);
         }},
    };
    for (const auto& c : cases) {
        std::vector<HistoryRow> rows{{1, "x", "y", 1}};
        EXPECT_FALSE(DecodeHistory(c.make(), rows)) << c.what;
        EXPECT_TRUE(rows.empty()) << c.what;
    }
}

}  // namespace
