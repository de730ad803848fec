// Times one download through the player's own download path, for ./bench.sh:
//   DownloadTimer.exe ADDRESS FILE    prints "MILLISECONDS ok" or "MILLISECONDS failed"
#include <windows.h>

#include <cstdio>
#include <string>

#include "TextConv_win.h"
#include "UrlDownload_win.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const bool ok = net::DownloadToFile(WideToAnsi(argv[1]), WideToAnsi(argv[2]));
    QueryPerformanceCounter(&end);
    std::printf("%.1f %s\n", (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart,
                ok ? "ok" : "failed");
    return ok ? 0 : 1;
}
