// The history file on any bytes: either refused with no rows, or read into rows that fit their
// fields and that write back to the very same bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "HistoryTable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::vector<HistoryRow> rows;
    if (!DecodeHistory(bytes, rows)) {
        FUZZ_CHECK(rows.empty());
        return 0;
    }
    for (const auto& row : rows) {
        FUZZ_CHECK(row.Name.size() <= kHistoryNameSize);
        FUZZ_CHECK(row.Types.size() <= kHistoryTypesSize);
    }
    FUZZ_CHECK(EncodeHistory(rows) == bytes);
    return 0;
}
