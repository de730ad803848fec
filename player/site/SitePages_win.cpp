#include "SitePages_win.h"

#include <shlwapi.h>

#include "ComError_win.h"
#include "DIvezoZaz.h"
#include "Launch_win.h"
#include "LoadingPage.h"
#include "TextConv_win.h"

TSitePages::TSitePages(TWebBrowserWithUI& panel, const PlayerState& state)
    : panel_(panel), state_(state) {
    panel_.Events.Append(EWBEvent::DocumentComplete, [link = link_](EWBEventArgs&) {
        if (*link) (*link)->DocumentComplete();
    });
    panel_.Events.Append(EWBEvent::NavigateError, [link = link_](EWBEventArgs&) {
        if (*link) (*link)->NavigateError();
    });
}

void TSitePages::ShowLoadingPage(const std::string& target) {
    const std::string page = BuildLoadingPage(state_.ProgramDir, target);
    ComPtr<IDispatch> document = panel_.Document();
    if (document) {
        LoadPage(document.Get(), page);
        return;
    }
    pending_.Wait(page, target);
    panel_.Navigate(L"about:blank");
}

void TSitePages::LoadPage(IDispatch* document, const std::string& page) {
    HRESULT hr = E_NOINTERFACE;
    const auto persist = QueryAs<IPersistStreamInit>(document, &hr);
    CheckHr(hr, "IPersistStreamInit");
    auto stream = ComPtr<IStream>::Attach(SHCreateMemStream(
        reinterpret_cast<const BYTE*>(page.data()), static_cast<UINT>(page.size())));
    if (!stream) throw ComError("SHCreateMemStream", E_OUTOFMEMORY);
    CheckHr(persist->Load(stream.Get()), "IPersistStreamInit::Load");
}

void TSitePages::DocumentComplete() {
    const auto page = pending_.TakePage();
    if (!page) return;
    if (ComPtr<IDispatch> document = panel_.Document()) LoadPage(document.Get(), *page);
}

void TSitePages::NavigateError() {
    if (const auto target = pending_.TakeTarget()) panel_.Navigate(AnsiToWide(*target));
}

void TSitePages::Navigate(const std::string& address) {
    panel_.Navigate(AnsiToWide(address));
}

void TSitePages::OpenInDefaultBrowser(const std::string& address) {
    // Nothing is reported when no program takes the address.
    launch::OpenAddress(address);
}
