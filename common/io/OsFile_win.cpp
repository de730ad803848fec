#include "OsFile.h"

#include <windows.h>

#include "TextConv_win.h"

namespace osfile {
namespace {

HANDLE ToWin(Handle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

Handle FromWin(HANDLE handle) {
    return handle == INVALID_HANDLE_VALUE ? kInvalidHandle : reinterpret_cast<Handle>(handle);
}

// One ReadFile/WriteFile moves at most this much; larger requests loop.
constexpr DWORD kMaxChunk = 0x40000000;

}  // namespace

Handle Open(const std::string& path, unsigned mode) {
    static const DWORD kAccess[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE,
                                    GENERIC_READ};
    // Compatibility mode lets other readers in: a reader that locks out the next reader gains
    // nothing here.
    static const DWORD kShare[] = {FILE_SHARE_READ, 0, FILE_SHARE_READ, FILE_SHARE_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE};
    const unsigned share = (mode & 0xF0) >> 4;
    return FromWin(CreateFileW(AnsiToWide(path).c_str(), kAccess[mode & 3],
                               share < 5 ? kShare[share] : FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
}

Handle Create(const std::string& path) {
    return FromWin(CreateFileW(AnsiToWide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

void Close(Handle handle) {
    CloseHandle(ToWin(handle));
}

std::int64_t Read(Handle handle, void* buffer, std::size_t count) {
    auto* at = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const DWORD want = count - done < kMaxChunk ? static_cast<DWORD>(count - done) : kMaxChunk;
        DWORD got = 0;
        if (!ReadFile(ToWin(handle), at + done, want, &got, nullptr))
            return done ? static_cast<std::int64_t>(done) : -1;
        if (got == 0) break;
        done += got;
    }
    return static_cast<std::int64_t>(done);
}

std::int64_t Write(Handle handle, const void* buffer, std::size_t count) {
    const auto* at = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const DWORD want = count - done < kMaxChunk ? static_cast<DWORD>(count - done) : kMaxChunk;
        DWORD put = 0;
        if (!WriteFile(ToWin(handle), at + done, want, &put, nullptr))
            return done ? static_cast<std::int64_t>(done) : -1;
        if (put == 0) break;
        done += put;
    }
    return static_cast<std::int64_t>(done);
}

std::int64_t Seek(Handle handle, std::int64_t offset, Origin origin) {
    const DWORD method = origin == Origin::Begin ? FILE_BEGIN
                         : origin == Origin::End ? FILE_END
                                                 : FILE_CURRENT;
    LARGE_INTEGER move;
    move.QuadPart = offset;
    LARGE_INTEGER at;
    if (!SetFilePointerEx(ToWin(handle), move, &at, method)) return -1;
    return at.QuadPart;
}

bool Truncate(Handle handle) {
    return SetEndOfFile(ToWin(handle)) != FALSE;
}

bool Flush(Handle handle) {
    return FlushFileBuffers(ToWin(handle)) != FALSE;
}

bool MoveReplacing(const std::string& from, const std::string& to) {
    return MoveFileExW(AnsiToWide(from).c_str(), AnsiToWide(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool RemoveFile(const std::string& path) {
    return DeleteFileW(AnsiToWide(path).c_str()) != FALSE;
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(AnsiToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ExpandFileName(const std::string& path) {
    const std::wstring wide = AnsiToWide(path);
    const DWORD need = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (need == 0) return path;
    std::wstring full(need, L'\0');
    const DWORD got = GetFullPathNameW(wide.c_str(), need, full.data(), nullptr);
    if (got == 0 || got >= need) return path;
    full.resize(got);
    return WideToAnsi(full);
}

int LastError() {
    return static_cast<int>(GetLastError());
}

std::string SysErrorMessage(int code) {
    wchar_t buffer[512];
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             static_cast<DWORD>(code), 0, buffer, 512, nullptr);
    while (n > 0 && (buffer[n - 1] <= L' ' || buffer[n - 1] == L'.')) --n;
    return WideToAnsi(std::wstring(buffer, n));
}

}  // namespace osfile
