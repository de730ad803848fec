#include "AtomicFile.h"

#include "OsFile.h"

bool WriteFileReplacing(const std::string& path, const std::string& bytes) {
    // One writer at a time per file: a name of its own beside it is enough, and a leftover of a
    // crash is simply written over next time.
    const std::string fresh = path + ".~new";
    bool written = false;
    {
        osfile::File file(osfile::Create(fresh));
        if (file) {
            written = osfile::Write(file.get(), bytes.data(), bytes.size()) ==
                          static_cast<std::int64_t>(bytes.size()) &&
                      osfile::Flush(file.get());
        }
    }
    if (written && osfile::MoveReplacing(fresh, path)) return true;
    osfile::RemoveFile(fresh);
    return false;
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    osfile::File file(osfile::Open(path, osfile::kOpenRead));
    if (!file) return false;
    const std::int64_t size = osfile::Seek(file.get(), 0, osfile::Origin::End);
    if (size < 0 || osfile::Seek(file.get(), 0, osfile::Origin::Begin) != 0) return false;
    bytes.assign(static_cast<std::size_t>(size), '\0');
    return osfile::Read(file.get(), bytes.data(), bytes.size()) == size;
}
