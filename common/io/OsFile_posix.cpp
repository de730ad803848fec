#include "OsFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace osfile {

Handle Open(const std::string& path, unsigned mode) {
    int flags = O_RDONLY;
    switch (mode & 3) {
        case kOpenWrite:
            flags = O_WRONLY;
            break;
        case kOpenReadWrite:
            flags = O_RDWR;
            break;
        default:
            break;
    }
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    return fd < 0 ? kInvalidHandle : fd;
}

Handle Create(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    return fd < 0 ? kInvalidHandle : fd;
}

void Close(Handle handle) {
    ::close(static_cast<int>(handle));
}

// One system call moves at most this much; larger requests loop.
constexpr std::size_t kMaxChunk = 0x40000000;

std::int64_t Read(Handle handle, void* buffer, std::size_t count) {
    auto* at = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const std::size_t want = count - done < kMaxChunk ? count - done : kMaxChunk;
        const ssize_t got = ::read(static_cast<int>(handle), at + done, want);
        if (got < 0) {
            if (errno == EINTR) continue;
            return done ? static_cast<std::int64_t>(done) : -1;
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<std::int64_t>(done);
}

std::int64_t Write(Handle handle, const void* buffer, std::size_t count) {
    const auto* at = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const std::size_t want = count - done < kMaxChunk ? count - done : kMaxChunk;
        const ssize_t put = ::write(static_cast<int>(handle), at + done, want);
        if (put < 0) {
            if (errno == EINTR) continue;
            return done ? static_cast<std::int64_t>(done) : -1;
        }
        if (put == 0) break;
        done += static_cast<std::size_t>(put);
    }
    return static_cast<std::int64_t>(done);
}

std::int64_t Seek(Handle handle, std::int64_t offset, Origin origin) {
    const int whence = origin == Origin::Begin ? SEEK_SET
                       : origin == Origin::End ? SEEK_END
                                               : SEEK_CUR;
    const off_t at = ::lseek(static_cast<int>(handle), static_cast<off_t>(offset), whence);
    return at < 0 ? -1 : static_cast<std::int64_t>(at);
}

bool Truncate(Handle handle) {
    const off_t at = ::lseek(static_cast<int>(handle), 0, SEEK_CUR);
    return at >= 0 && ::ftruncate(static_cast<int>(handle), at) == 0;
}

bool Flush(Handle handle) {
    return ::fsync(static_cast<int>(handle)) == 0;
}

bool MoveReplacing(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool RemoveFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

bool FileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::string ExpandFileName(const std::string& path) {
    std::string full;
    if (path.empty() || path[0] != '/') {
        std::vector<char> cwd(PATH_MAX);
        if (::getcwd(cwd.data(), cwd.size())) full = cwd.data();
        full += '/';
    }
    full += path;

    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= full.size()) {
        std::size_t end = full.find('/', start);
        if (end == std::string::npos) end = full.size();
        const std::string part = full.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string out;
    for (const auto& p : parts) out += '/' + p;
    return out.empty() ? "/" : out;
}

int LastError() {
    return errno;
}

std::string SysErrorMessage(int code) {
    std::string text = std::strerror(code);
    while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.'))
        text.pop_back();
    return text;
}

}  // namespace osfile
