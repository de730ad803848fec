#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "UniqueResource.h"

// The few file calls the movie container needs, over the system's own file handles: descriptors
// natively, Win32 handles on Windows. Paths are bytes of the system's code page.
namespace osfile {

using Handle = std::intptr_t;
constexpr Handle kInvalidHandle = -1;

enum class Origin { Begin, Current, End };

// Mode word of Open: access in bits 0-1 (0 read, 1 write, 2 read and write), sharing in bits 4-6
// (honoured on Windows only).
constexpr unsigned kOpenRead = 0x0000;
constexpr unsigned kOpenWrite = 0x0001;
constexpr unsigned kOpenReadWrite = 0x0002;

// Both return kInvalidHandle on failure; LastError() then tells why.
Handle Open(const std::string& path, unsigned mode);
Handle Create(const std::string& path);  // a new file, or an existing one emptied; read and write
void Close(Handle handle);

// -1 on failure, otherwise the count moved (a short count only at the end of the file).
std::int64_t Read(Handle handle, void* buffer, std::size_t count);
std::int64_t Write(Handle handle, const void* buffer, std::size_t count);
// The new position, or -1.
std::int64_t Seek(Handle handle, std::int64_t offset, Origin origin);
// Ends the file at the current position.
bool Truncate(Handle handle);

// Writes what the system holds for the file through to the disk.
bool Flush(Handle handle);

bool FileExists(const std::string& path);
// Moves `from` over `to`, replacing a file there, in one step of the file system.
bool MoveReplacing(const std::string& from, const std::string& to);
// Deletes a file; false when it is not there or cannot go.
bool RemoveFile(const std::string& path);
// The absolute form of a path, with "." and ".." taken out.
std::string ExpandFileName(const std::string& path);

int LastError();
// The system's text for an error code, without trailing blanks or full stop.
std::string SysErrorMessage(int code);

// Owns a handle; closes it on destruction.
using File = UniqueResource<Handle, Close, kInvalidHandle>;

}  // namespace osfile
