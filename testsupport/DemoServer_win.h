#pragma once
// The demo content server of the ctest fixture DemoServer (cmake/DemoServerFixture.cmake), as a
// Windows test under Wine reaches it. Link wininet.
#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace demo_server {

// The fixture's folder as Wine sees it (drive Z:); empty outside the fixture.
inline std::string StateDir() {
    const char* dir = std::getenv("VARIZ_DEMO_SERVER");
    if (dir == nullptr || *dir == '\0') return {};
    std::string path = std::string("Z:") + dir;
    for (auto& c : path)
        if (c == '/') c = '\\';
    return path;
}

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// "127.0.0.1:PORT"; empty when no server runs for this test.
inline std::string Host() {
    const std::string dir = StateDir();
    return dir.empty() ? std::string() : ReadWholeFile(dir + "\\address");
}

inline std::string Url(const std::string& pathAndQuery) {
    return "http://" + Host() + pathAndQuery;
}

// The request log's lines (JSON, see tools/content_server.py) that contain `needle`, typically a
// token that the test put into its addresses.
inline std::vector<std::string> LogLinesWith(const std::string& needle) {
    std::istringstream log(ReadWholeFile(StateDir() + "\\requests.log"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);)
        if (line.find(needle) != std::string::npos) lines.push_back(line);
    return lines;
}

// A text for a query parameter: every byte but letters and digits as %XX.
inline std::string Encode(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
            out += static_cast<char>(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            out += hex;
        }
    }
    return out;
}

// A GET of an address of the server, as any client makes it; true when it answered 200. The
// body goes to `body` when given.
inline bool Get(const std::string& pathAndQuery, std::string* body = nullptr) {
    struct Closer {
        HINTERNET h;
        ~Closer() {
            if (h) InternetCloseHandle(h);
        }
    };
    Closer service{
        InternetOpenA("DemoServerControl", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0)};
    if (!service.h) return false;
    Closer request{InternetOpenUrlA(service.h, Url(pathAndQuery).c_str(), nullptr, 0,
                                    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0)};
    if (!request.h) return false;
    DWORD status = 0, size = sizeof status;
    if (!HttpQueryInfoA(request.h, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                        nullptr))
        return false;
    char buffer[4096];
    DWORD read = 0;
    while (InternetReadFile(request.h, buffer, sizeof buffer, &read) && read != 0)
        if (body) body->append(buffer, read);
    return status == 200;
}

// A GET of a control address of the server; true when it answered 200.
inline bool Control(const std::string& pathAndQuery) {
    return Get(pathAndQuery);
}

// Fault of `path` ("/a/b", "/a/b?x=1" or "/a/*"); params as the server takes them, e.g.
// "status=503&times=1", "delay=2", "trickle_bytes_per_second=2000", "cut_after_bytes=100".
inline bool SetFault(const std::string& path, const std::string& params) {
    return Control("/__control/fault?path=" + Encode(path) + "&" + params);
}

// What `path` serves from now on, byte for byte.
inline bool SetBody(const std::string& path, const std::string& bytes) {
    return Control("/__control/body?path=" + Encode(path) + "&body=" + Encode(bytes));
}

// What `path` serves from now on: the bytes of a file of the machine the server runs on, read at
// each request (a Unix path).
inline bool SetBodyFile(const std::string& path, const std::string& file) {
    return Control("/__control/body?path=" + Encode(path) + "&file=" + Encode(file));
}

// Drops every fault and replaced body.
inline bool Reset() {
    return Control("/__control/reset");
}

// A token unique to this process and call, to find one's own requests in the log.
inline std::string UniqueToken() {
    static LONG counter = 0;
    return "t" + std::to_string(GetCurrentProcessId()) + "x" + std::to_string(GetTickCount()) +
           "x" + std::to_string(InterlockedIncrement(&counter));
}

}  // namespace demo_server
