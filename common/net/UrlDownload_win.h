#pragma once
#include <windows.h>
#include <urlmon.h>

#include <memory>
#include <string>
#include <vector>

#include "ComObject_win.h"
#include "DownloadPorts.h"

// The status callback object that the URL moniker download calls on the downloading thread. It
// hands progress to its sink until Detach; the platform may keep its own reference a little longer.
// It also hears the HTTP status: the download call answers success for an error page, which it
// stores like any file. No error of its own reaches the platform: each callback answers a failure
// code instead.
class BindStatusCallback final : public ComObject<IBindStatusCallback, IHttpNegotiate> {
  public:
    // `sink` may be null: no progress reports.
    explicit BindStatusCallback(DownloadProgressSink* sink) : sink_(sink) {}
    BindStatusCallback(const BindStatusCallback&) = delete;
    BindStatusCallback& operator=(const BindStatusCallback&) = delete;
    void Detach() { sink_ = nullptr; }
    // The download call's result with an HTTP error status turned into a failure.
    HRESULT Outcome(HRESULT downloadResult) const;

    HRESULT STDMETHODCALLTYPE OnStartBinding(DWORD reserved, IBinding* binding) override;
    HRESULT STDMETHODCALLTYPE GetPriority(LONG* priority) override;
    HRESULT STDMETHODCALLTYPE OnLowResource(DWORD reserved) override;
    HRESULT STDMETHODCALLTYPE OnProgress(ULONG progress, ULONG progressMax, ULONG statusCode,
                                         LPCWSTR statusText) override;
    HRESULT STDMETHODCALLTYPE OnStopBinding(HRESULT result, LPCWSTR error) override;
    HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD* bindFlags, BINDINFO* bindInfo) override;
    HRESULT STDMETHODCALLTYPE OnDataAvailable(DWORD flags, DWORD size, FORMATETC* format,
                                              STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE OnObjectAvailable(REFIID riid, IUnknown* object) override;

    HRESULT STDMETHODCALLTYPE BeginningTransaction(LPCWSTR url, LPCWSTR headers, DWORD reserved,
                                                   LPWSTR* additionalHeaders) override;
    HRESULT STDMETHODCALLTYPE OnResponse(DWORD responseCode, LPCWSTR responseHeaders,
                                         LPCWSTR requestHeaders,
                                         LPWSTR* additionalRequestHeaders) override;

  private:
    ~BindStatusCallback() override = default;  // through Release only

    DownloadProgressSink* sink_;
    DWORD httpStatus_ = 0;  // 0 until a response arrived
};

// URLDownloadToFileW with the status callback, URLDownloadToFileA without, and the WinInet cache.
class WinUrlDownload : public UrlDownload {
  public:
    void DeleteCacheEntry(const std::string& url) override;
    std::int32_t DownloadWithProgress(const std::string& url, const std::string& fileName,
                                      DownloadProgressSink& sink) override;
    std::int32_t Download(const std::string& url, const std::string& fileName) override;
};

// Paths are ANSI bytes, turned into wide text for the file functions.
class WinDownloadFiles : public DownloadFiles {
  public:
    std::int32_t Replace(const std::string& from, const std::string& to) override;
    void Remove(const std::string& path) override;
    std::vector<std::string> ListFiles(const std::string& folder) override;
};

// The player's HttpGetText (WinInet) behind the logo updater's port.
class WinHttpText : public HttpTextPort {
  public:
    std::string HttpGetText(const std::string& address) override;
};

// The platform's download services, reporting through `report`.
DownloadServices WindowsDownloadServices(std::shared_ptr<SyncReport> report);

namespace net {

// net::DownloadToFile on the platform's download and files, on the calling thread.
bool DownloadToFile(const std::string& address, const std::string& fileName);

}  // namespace net
