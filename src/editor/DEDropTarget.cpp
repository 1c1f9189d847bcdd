#include "editor/DEDropTarget.h"

#include "editor/DragEdit.h"

namespace {
bool OffersText(const COleDataObject& data) {
    return data.IsDataAvailable(CF_UNICODETEXT) || data.IsDataAvailable(CF_TEXT);
}
}  // namespace

DROPEFFECT CDEDropTarget::EffectFor(DWORD keyState) const {
    return (keyState & MK_CONTROL) || m_bFilesOnly ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}

DROPEFFECT CDEDropTarget::OnDragEnter(HWND, COleDataObject& data, DWORD keyState, POINT) {
    m_bActive = false;
    if (!m_pOwner || !m_pOwner->AcceptsDrops())
        return DROPEFFECT_NONE;
    const bool text = OffersText(data);
    if (!text && !OffersFilesToLoad(data))
        return DROPEFFECT_NONE;
    m_bFilesOnly = !text;
    m_bActive = true;
    m_pOwner->SetFocus();
    return EffectFor(keyState);
}

DROPEFFECT CDEDropTarget::OnDragOver(HWND, COleDataObject&, DWORD keyState, POINT point) {
    if (!m_bActive)
        return DROPEFFECT_NONE;
    m_pOwner->ShowDropPoint(point);
    return EffectFor(keyState);
}

void CDEDropTarget::OnDragLeave(HWND) {
    m_bActive = false;
}

DROPEFFECT CDEDropTarget::OnDragScroll(HWND wnd, DWORD keyState, POINT point) {
    if (!m_bActive)
        return DROPEFFECT_NONE;
    RECT client{};
    ::GetClientRect(wnd, &client);
    const int inset = static_cast<int>(::GetProfileIntW(L"windows", L"DragScrollInset", DD_DEFSCROLLINSET));
    RECT inner = client;
    ::InflateRect(&inner, -inset, -inset);
    if (!::PtInRect(&client, point) || ::PtInRect(&inner, point))
        return DROPEFFECT_NONE;
    if (point.y < inner.top)
        m_pOwner->SendMessage(WM_VSCROLL, SB_LINEUP);
    else if (point.y >= inner.bottom)
        m_pOwner->SendMessage(WM_VSCROLL, SB_LINEDOWN);
    else if (point.x < inner.left)
        m_pOwner->SendMessage(WM_HSCROLL, SB_LINELEFT);
    else
        m_pOwner->SendMessage(WM_HSCROLL, SB_LINERIGHT);
    m_pOwner->ShowDropPoint(point);
    return DROPEFFECT_SCROLL | EffectFor(keyState);
}

bool CDEDropTarget::OnDrop(HWND, COleDataObject& data, DROPEFFECT effect, POINT point) {
    if (!m_bActive)
        return false;
    m_bActive = false;
    bool taken = false;
    if (data.IsDataAvailable(CF_UNICODETEXT))
        taken = DropText(data.GetUnicodeText(), effect, point);
    else if (data.IsDataAvailable(CF_TEXT))
        taken = DropText(data.GetAnsiText(CP_ACP), effect, point);
    else if (OffersFilesToLoad(data))
        taken = DropFiles(data);
    if (taken)
        m_pOwner->SetModify(true);
    return taken;
}

bool CDEDropTarget::DropText(const std::optional<std::wstring>& text, DROPEFFECT effect, POINT point) {
    CDragEdit& editor = *m_pOwner;
    // The editor's own selection dropped strictly inside itself goes nowhere.
    if (editor.m_bDragging && editor.IsPointerInSelection(point))
        return false;
    if (!text)
        return false;
    if ((effect & DROPEFFECT_MOVE) && editor.m_bDragging) {
        // A move within the note: the drag's start removes and reinserts it.
        editor.m_bDroppedOnSelf = true;
        editor.m_nDropIndex = editor.CharFromPoint(point);
        return true;
    }
    editor.CaretToPointer(point);
    editor.InsertAndSelect(*text);
    return true;
}

bool CDEDropTarget::OffersFilesToLoad(const COleDataObject& data) const {
    return m_pOwner->m_onFileDropped && data.IsDataAvailable(CF_HDROP);
}

bool CDEDropTarget::DropFiles(const COleDataObject& data) {
    const auto files = data.GetFiles();
    if (!files || files->empty())
        return false;
    m_pOwner->m_onFileDropped(files->front());
    return true;
}
