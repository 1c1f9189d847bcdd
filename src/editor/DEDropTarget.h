// CDEDropTarget: the note editor's drop target. It takes Unicode text, ANSI
// text (converted from the system's ANSI code page) and files (the first one is
// handed to the editor's file-drop callback; refused when there is none). A
// read-only editor takes nothing. While something is dragged over the editor
// the caret follows the pointer, and in the border band the text scrolls one
// line per notification.
#pragma once

#include <optional>
#include <string>

#include "framework/OleDropTarget.h"

class CDragEdit;

class CDEDropTarget : public COleDropTarget {
public:
    CDEDropTarget() = default;

    // The editor served; set before the target is registered for its window.
    void SetOwner(CDragEdit* owner) { m_pOwner = owner; }

protected:
    DROPEFFECT OnDragEnter(HWND wnd, COleDataObject& data, DWORD keyState, POINT point) override;
    DROPEFFECT OnDragOver(HWND wnd, COleDataObject& data, DWORD keyState, POINT point) override;
    bool OnDrop(HWND wnd, COleDataObject& data, DROPEFFECT effect, POINT point) override;
    void OnDragLeave(HWND wnd) override;
    DROPEFFECT OnDragScroll(HWND wnd, DWORD keyState, POINT point) override;

private:
    // Copy with Ctrl, else move; files are only ever read, so they are copied.
    DROPEFFECT EffectFor(DWORD keyState) const;
    // Drops text at the point; false when it is refused or can't be had.
    bool DropText(const std::optional<std::wstring>& text, DROPEFFECT effect, POINT point);
    // True when files are offered and the editor has somebody to load them.
    bool OffersFilesToLoad(const COleDataObject& data) const;
    // Hands the first dropped file to the editor; false when there is none.
    bool DropFiles(const COleDataObject& data);

    bool m_bActive = false;
    bool m_bFilesOnly = false;
    CDragEdit* m_pOwner = nullptr;
};
