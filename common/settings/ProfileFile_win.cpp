#include "ProfileFile_win.h"

#include <windows.h>

#include <vector>

std::string ProfileFile::Read(const std::string& section, const std::string& key,
                              const std::string& def) const {
    if (size_ == 0) return {};
    std::vector<char> buffer(size_, '\0');
    const DWORD n =
        GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer.data(),
                                 static_cast<DWORD>(size_), path_.c_str());
    return std::string(buffer.data(), n);
}

bool ProfileFile::Write(const std::string& section, const std::string& key,
                        const std::string& value) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path_.c_str()) !=
           FALSE;
}
