#include "Uimgdbgrid_win.h"

#include <commctrl.h>

#include <string>

#include "CallbackGuards_win.h"
#include "TextConv_win.h"
#include "Uimgdbgrid.h"

namespace {

constexpr UINT_PTR kSubclassId = 0x4442;
constexpr int kNameWidth = 220;
constexpr int kLevelWidth = 30;
constexpr wchar_t kDeleteQuestion[] = L"Delete record?";
constexpr wchar_t kDeleteCaption[] = L"Confirm";

bool CommonControlsReady() {
    static const bool ready = [] {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
        return InitCommonControlsEx(&icc) != FALSE;
    }();
    return ready;
}

// Draws `bitmap` at (x, y) with every pixel of colour `transparent` letting the canvas show.
void DrawTransparent(HDC canvas, HBITMAP bitmap, int x, int y, COLORREF transparent) {
    BITMAP info{};
    if (!GetObjectW(bitmap, sizeof info, &info)) return;
    const int w = info.bmWidth, h = info.bmHeight;
    UniqueDc source(CreateCompatibleDC(canvas)), mask(CreateCompatibleDC(canvas)),
        inverse(CreateCompatibleDC(canvas)), object(CreateCompatibleDC(canvas)),
        back(CreateCompatibleDC(canvas));
    UniqueGdi maskBits(CreateBitmap(w, h, 1, 1, nullptr)),
        inverseBits(CreateBitmap(w, h, 1, 1, nullptr)),
        objectBits(CreateCompatibleBitmap(canvas, w, h)),
        backBits(CreateCompatibleBitmap(canvas, w, h));
    if (!source || !mask || !inverse || !object || !back || !maskBits || !inverseBits ||
        !objectBits || !backBits)
        return;
    const HGDIOBJ oldSource = SelectObject(source.get(), bitmap);
    const HGDIOBJ oldMask = SelectObject(mask.get(), maskBits.get());
    const HGDIOBJ oldInverse = SelectObject(inverse.get(), inverseBits.get());
    const HGDIOBJ oldObject = SelectObject(object.get(), objectBits.get());
    const HGDIOBJ oldBack = SelectObject(back.get(), backBits.get());
    // The mask: set where the picture has the transparent colour.
    const COLORREF oldColor = SetBkColor(source.get(), transparent);
    BitBlt(mask.get(), 0, 0, w, h, source.get(), 0, 0, SRCCOPY);
    SetBkColor(source.get(), oldColor);
    BitBlt(inverse.get(), 0, 0, w, h, mask.get(), 0, 0, NOTSRCCOPY);
    // The picture with its transparent pixels black, the canvas with the covered pixels black.
    BitBlt(object.get(), 0, 0, w, h, source.get(), 0, 0, SRCCOPY);
    BitBlt(object.get(), 0, 0, w, h, inverse.get(), 0, 0, SRCAND);
    BitBlt(back.get(), 0, 0, w, h, canvas, x, y, SRCCOPY);
    BitBlt(back.get(), 0, 0, w, h, mask.get(), 0, 0, SRCAND);
    BitBlt(back.get(), 0, 0, w, h, object.get(), 0, 0, SRCINVERT);
    BitBlt(canvas, x, y, w, h, back.get(), 0, 0, SRCCOPY);
    SelectObject(source.get(), oldSource);
    SelectObject(mask.get(), oldMask);
    SelectObject(inverse.get(), oldInverse);
    SelectObject(object.get(), oldObject);
    SelectObject(back.get(), oldBack);
}

}  // namespace

TimgDBGrid::TimgDBGrid(TWinControl* parent) : TWinControl(parent) {
    if (!CommonControlsReady() ||
        !CreateSystemWindow(WC_LISTVIEWW, L"",
                            LVS_REPORT | LVS_OWNERDATA | LVS_NOCOLUMNHEADER | LVS_SINGLESEL |
                                LVS_SHOWSELALWAYS | WS_CLIPSIBLINGS))
        return;
    ListView_SetExtendedListViewStyle(
        hwnd_, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH | LVCF_SUBITEM;
    column.cx = kNameWidth;
    column.iSubItem = 0;
    ListView_InsertColumn(hwnd_, 0, &column);
    column.cx = kLevelWidth;
    column.iSubItem = 1;
    ListView_InsertColumn(hwnd_, 1, &column);
    font_.reset(CreateFontW(-24, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                            L"MS Sans Serif"));
    if (font_) SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    const COLORREF back = GetSysColor(COLOR_HOTLIGHT);
    ListView_SetBkColor(hwnd_, back);
    ListView_SetTextBkColor(hwnd_, back);
    ListView_SetTextColor(hwnd_, GetSysColor(COLOR_WINDOWTEXT));
    SetWindowSubclass(hwnd_, &GridProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

TimgDBGrid::~TimgDBGrid() {
    if (hwnd_ && IsWindow(hwnd_)) RemoveWindowSubclass(hwnd_, &GridProc, kSubclassId);
}

void TimgDBGrid::SetStore(Tcdsdata* store) {
    store_ = store;
    Refresh();
}

void TimgDBGrid::Refresh() {
    if (!hwnd_) return;
    const int count = store_ && store_->Open() ? static_cast<int>(store_->Rows().size()) : 0;
    if (ListView_GetItemCount(hwnd_) != count)
        ListView_SetItemCountEx(hwnd_, count, LVSICF_NOSCROLL);
    // The selection follows the store's current row; it is touched only when it differs, since
    // a change of it comes back here through the list view's notification.
    const int current = store_ && count > 0 ? store_->Current() : -1;
    if (ListView_GetNextItem(hwnd_, -1, LVNI_SELECTED) != current) {
        ListView_SetItemState(hwnd_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        if (current >= 0)
            ListView_SetItemState(hwnd_, current, LVIS_SELECTED | LVIS_FOCUSED,
                                  LVIS_SELECTED | LVIS_FOCUSED);
    }
    if (current >= 0) ListView_EnsureVisible(hwnd_, current, FALSE);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void TimgDBGrid::SetBackgroundPicture(TPicture picture) {
    picture_ = std::move(picture);
    snapshot_.reset();
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void TimgDBGrid::SetUseBackgroundPicture(bool use) {
    if (use == usePicture_) return;
    usePicture_ = use;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

LRESULT TimgDBGrid::NotifyMessage(const NMHDR& header, bool& handled) {
    handled = true;
    switch (header.code) {
        case LVN_GETDISPINFOW: {
            auto& item =
                const_cast<NMLVDISPINFOW&>(reinterpret_cast<const NMLVDISPINFOW&>(header)).item;
            if (!(item.mask & LVIF_TEXT) || !store_ || item.iItem < 0 ||
                item.iItem >= static_cast<int>(store_->Rows().size()))
                return 0;
            const HistoryRow& row = store_->Rows()[static_cast<std::size_t>(item.iItem)];
            text_ = item.iSubItem == 0 ? AnsiToWide(row.Name)
                    : row.Level        ? std::to_wstring(*row.Level)
                                       : std::wstring();
            item.pszText = text_.data();
            return 0;
        }
        case LVN_ITEMCHANGED: {
            const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
            if (store_ && change.iItem >= 0 && (change.uNewState & LVIS_SELECTED) &&
                !(change.uOldState & LVIS_SELECTED))
                store_->SetCurrent(change.iItem);
            return 0;
        }
        case NM_CLICK: {
            const auto& click = reinterpret_cast<const NMITEMACTIVATE&>(header);
            if (store_ && click.iItem >= 0) {
                store_->SetCurrent(click.iItem);
                if (OnCellClick) OnCellClick();
            }
            return 0;
        }
        default:
            handled = false;
            return 0;
    }
}

LRESULT CALLBACK TimgDBGrid::GridProc(HWND window, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                      DWORD_PTR data) {
    auto* self = reinterpret_cast<TimgDBGrid*>(data);
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(window, &GridProc, id);
        return DefSubclassProc(window, msg, wp, lp);
    }
    return GuardWindowMessage([&] { return self->HandleGridMessage(msg, wp, lp); });
}

LRESULT TimgDBGrid::HandleGridMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT: {
            const LRESULT result = DefSubclassProc(hwnd_, msg, wp, lp);
            if (usePicture_)
                PaintPicture();
            else
                snapshot_.reset();
            return result;
        }
        case WM_VSCROLL:
            if (imggrid::ScrollRepaintsAll(usePicture_, LOWORD(wp)))
                InvalidateRect(hwnd_, nullptr, FALSE);
            return DefSubclassProc(hwnd_, msg, wp, lp);
        case WM_HSCROLL: {
            const LRESULT result = DefSubclassProc(hwnd_, msg, wp, lp);
            if (imggrid::ScrollRepaintsAll(usePicture_, LOWORD(wp)))
                InvalidateRect(hwnd_, nullptr, FALSE);
            return result;
        }
        case WM_MOUSEWHEEL: {
            // One row per message, and the message stops here.
            if (!store_ || !store_->Open()) return 0;
            if (usePicture_) InvalidateRect(hwnd_, nullptr, FALSE);
            const int rows = imggrid::WheelRows(GET_WHEEL_DELTA_WPARAM(wp));
            if (rows > 0) store_->Next();
            if (rows < 0) store_->Prior();
            return 0;
        }
        case WM_KEYDOWN:
            if (wp == VK_DELETE && GetKeyState(VK_CONTROL) < 0) {
                if (store_ && store_->Current() >= 0 &&
                    MessageBoxW(GetAncestor(hwnd_, GA_ROOT), kDeleteQuestion, kDeleteCaption,
                                MB_OKCANCEL | MB_ICONQUESTION) == IDOK)
                    store_->DeleteCurrentRow();
                return 0;
            }
            break;
        case WM_CONTEXTMENU:
            ShowPopupMenu(lp);
            return 0;
        default:
            break;
    }
    return DefSubclassProc(hwnd_, msg, wp, lp);
}

// The grid as painted, laid over the picture: its pure white pixels let the picture through.
void TimgDBGrid::PaintPicture() {
    RECT client{};
    GetClientRect(hwnd_, &client);
    HDC dc = GetDC(hwnd_);
    if (!dc) return;
    if (!snapshot_) {
        snapshot_.reset(CreateCompatibleBitmap(dc, client.right, client.bottom));
        snapshotSize_ = {client.right, client.bottom};
    }
    UniqueDc memory(CreateCompatibleDC(dc));
    if (snapshot_ && memory) {
        const HGDIOBJ old = SelectObject(memory.get(), snapshot_.get());
        BitBlt(memory.get(), 0, 0, snapshotSize_.cx, snapshotSize_.cy, dc, 0, 0, SRCCOPY);
        SelectObject(memory.get(), old);
        picture_.Draw(dc, client);
        DrawTransparent(dc, static_cast<HBITMAP>(snapshot_.get()), 0, 0, RGB(255, 255, 255));
    }
    ReleaseDC(hwnd_, dc);
}

void TimgDBGrid::ShowPopupMenu(LPARAM at) {
    if (!PopupMenu) return;
    POINT p{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    if (p.x == -1 && p.y == -1) {  // from the keyboard: at the grid's corner
        p = {0, 0};
        ClientToScreen(hwnd_, &p);
    }
    const UINT id = static_cast<UINT>(
        TrackPopupMenu(PopupMenu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                       p.x, p.y, 0, hwnd_, nullptr));
    if (id != 0 && OnPopupCommand) OnPopupCommand(id);
}
