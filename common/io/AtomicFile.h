#pragma once
#include <string>

// Writes `bytes` as the file `path` so that, whatever happens while it is written, the file is
// either what it was or the whole new content: a new file beside it, written through to the disk,
// then moved over it. False when the new file could not be written or moved; the old file is
// then as it was and the new one is gone. Paths are bytes of the system's code page.
bool WriteFileReplacing(const std::string& path, const std::string& bytes);

// The whole file into `bytes`; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes);
