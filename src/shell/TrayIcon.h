// CTrayIcon: the program's one icon in the notification area (identifier 1),
// with its tip, its balloon and its callback message WM_TRAYCALLBACK.
//
// The record is always passed in its 936-byte form (the one with the balloon
// fields), which every shell since Windows 2000 accepts. Failures are not
// reported: without a notification area the program still runs.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

// The tip of the icon added at start-up.
constexpr const wchar_t* kTrayTipAtStartUp = L"Tallyleaf.  Work faster.";
// The tip of the icon the Settings dialog adds.
constexpr const wchar_t* kTrayTipFromSettings = L"Tallyleaf - Work faster.";

// The tray icon's callback message; a second start sends it with WM_LBUTTONDOWN.
constexpr UINT WM_TRAYCALLBACK = 3004;

class CTrayIcon {
public:
    static constexpr UINT kId = 1;
    static constexpr DWORD kRecordSize = NOTIFYICONDATAW_V2_SIZE;

    // The message the shell broadcasts when it (re)starts: icons must be added again.
    static const UINT s_nTaskbarCreatedMsg;

    // Adds the icon for `owner`; the tip is kept for Restore. False when the shell refused.
    bool Add(HWND owner, HICON icon, const std::wstring& tip);
    // Adds the icon again as it was last added (after the shell restarted).
    bool Restore();
    // Shows an information balloon on the icon.
    bool ShowBalloon(const std::wstring& title, const std::wstring& text, UINT timeoutMs);
    bool Remove();

    // Every call to the shell goes through here.
    static BOOL Notify(DWORD message, NOTIFYICONDATAW& data);
    // Sees each record and the shell's answer.
    using Observer = std::function<void(DWORD message, const NOTIFYICONDATAW& data, BOOL result)>;
    // `observer` sees every call to the notification area (the real call still
    // happens); an empty one stops watching.
    static void SetObserver(Observer observer);

private:
    // A record naming the icon, with the given flags and nothing else set.
    NOTIFYICONDATAW Record(UINT flags) const;

    HWND m_hOwner = nullptr;
    HICON m_hIcon = nullptr;
    std::wstring m_strTip;
};
