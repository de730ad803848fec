#include "UrlDownload_win.h"

#include <wininet.h>

#include "ComGuards_win.h"
#include "ComPtr_win.h"
#include "ComSessions_win.h"
#include "DownloadFile.h"
#include "Handles_win.h"
#include "HttpText_win.h"
#include "TextConv_win.h"

namespace {

void CloseFind(HANDLE h) {
    FindClose(h);
}
using UniqueFind = UniqueResource<HANDLE, CloseFind, nullptr>;

}  // namespace

HRESULT STDMETHODCALLTYPE BindStatusCallback::OnStartBinding(DWORD, IBinding*) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE BindStatusCallback::GetPriority(LONG* priority) {
    return GuardComMethod([&] {
        // Answer a defined value rather than leave the caller's variable as it was.
        if (priority) *priority = THREAD_PRIORITY_NORMAL;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE BindStatusCallback::OnLowResource(DWORD) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE BindStatusCallback::OnProgress(ULONG progress, ULONG progressMax, ULONG,
                                                         LPCWSTR) {
    // A sink that fails has nobody left to hear the rest: the download is abandoned.
    return GuardComMethod(
        [&] {
            return sink_ ? static_cast<HRESULT>(sink_->OnProgress(progress, progressMax)) : S_OK;
        },
        E_ABORT);
}

HRESULT STDMETHODCALLTYPE BindStatusCallback::OnStopBinding(HRESULT, LPCWSTR) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE BindStatusCallback::GetBindInfo(DWORD*, BINDINFO*) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE BindStatusCallback::OnDataAvailable(DWORD, DWORD, FORMATETC*,
                                                              STGMEDIUM*) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE BindStatusCallback::OnObjectAvailable(REFIID, IUnknown*) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE BindStatusCallback::BeginningTransaction(LPCWSTR, LPCWSTR, DWORD,
                                                                   LPWSTR* additionalHeaders) {
    return GuardComMethod([&] {
        if (additionalHeaders) *additionalHeaders = nullptr;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE BindStatusCallback::OnResponse(DWORD responseCode, LPCWSTR, LPCWSTR,
                                                         LPWSTR* additionalRequestHeaders) {
    return GuardComMethod([&] {
        if (additionalRequestHeaders) *additionalRequestHeaders = nullptr;
        httpStatus_ = responseCode;
        return S_OK;
    });
}

HRESULT BindStatusCallback::Outcome(HRESULT downloadResult) const {
    if (FAILED(downloadResult) || httpStatus_ < 400) return downloadResult;
    return httpStatus_ == 404 || httpStatus_ == 410 ? INET_E_OBJECT_NOT_FOUND
                                                    : INET_E_DOWNLOAD_FAILURE;
}

void WinUrlDownload::DeleteCacheEntry(const std::string& url) {
    // No entry is the usual answer; any other refusal leaves a stale copy that the download may
    // still get, which is no reason to stop it.
    DeleteUrlCacheEntryA(url.c_str());
}

std::int32_t WinUrlDownload::DownloadWithProgress(const std::string& url,
                                                  const std::string& fileName,
                                                  DownloadProgressSink& sink) {
    ComApartment com;
    if (!com.Usable()) return com.Result();
    auto callback = ComPtr<BindStatusCallback>::Attach(new BindStatusCallback(&sink));
    const HRESULT hr = URLDownloadToFileW(nullptr, AnsiToWide(url).c_str(),
                                          AnsiToWide(fileName).c_str(), 0, callback.Get());
    callback->Detach();  // the sink ends with this call; a late call finds nothing
    return callback->Outcome(hr);
}

std::int32_t WinUrlDownload::Download(const std::string& url, const std::string& fileName) {
    ComApartment com;
    if (!com.Usable()) return com.Result();
    // No progress, but the status is still heard.
    auto callback = ComPtr<BindStatusCallback>::Attach(new BindStatusCallback(nullptr));
    const HRESULT hr =
        URLDownloadToFileA(nullptr, url.c_str(), fileName.c_str(), 0, callback.Get());
    return callback->Outcome(hr);
}

std::int32_t WinDownloadFiles::Replace(const std::string& from, const std::string& to) {
    if (MoveFileExW(AnsiToWide(from).c_str(), AnsiToWide(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return kResultOk;
    return HRESULT_FROM_WIN32(GetLastError());
}

void WinDownloadFiles::Remove(const std::string& path) {
    // A file that is not there is what we want; one that cannot go stays under its own name,
    // never the destination's.
    DeleteFileW(AnsiToWide(path).c_str());
}

std::vector<std::string> WinDownloadFiles::ListFiles(const std::string& folder) {
    // The separator is looked for in wide text: a double-byte character may end in a backslash
    // byte.
    std::wstring prefix = AnsiToWide(folder);
    std::string ansiPrefix = folder;
    if (!prefix.empty() && prefix.back() != L'\\' && prefix.back() != L'/') {
        prefix += L'\\';
        ansiPrefix += '\\';
    }
    std::vector<std::string> paths;
    WIN32_FIND_DATAW found;
    const HANDLE first = FindFirstFileW((prefix + L"*").c_str(), &found);
    // A folder that is missing or cannot be read has nothing to list.
    if (first == INVALID_HANDLE_VALUE) return paths;
    const UniqueFind find(first);
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        // A name without an exact ANSI form cannot be reached through ANSI paths, nor is it ours.
        const std::wstring name = found.cFileName;
        const std::string ansi = WideToAnsi(name);
        if (AnsiToWide(ansi) != name) continue;
        paths.push_back(ansiPrefix + ansi);
    } while (FindNextFileW(find.get(), &found));
    // ERROR_NO_MORE_FILES is the usual end; after any other error the names so far still hold.
    return paths;
}

std::string WinHttpText::HttpGetText(const std::string& address) {
    return ::HttpGetText(address);
}

DownloadServices WindowsDownloadServices(std::shared_ptr<SyncReport> report) {
    return {std::move(report), std::make_shared<WinUrlDownload>(),
            std::make_shared<WinDownloadFiles>()};
}

bool net::DownloadToFile(const std::string& address, const std::string& fileName) {
    WinUrlDownload download;
    WinDownloadFiles files;
    return DownloadToFile(download, files, address, fileName);
}
