#include "shell/TrayIcon.h"

#include <cwchar>
#include <utility>

#ifndef _WIN64
static_assert(CTrayIcon::kRecordSize == 936, "the record with balloon fields is 936 bytes on 32-bit Windows");
#endif

namespace {
CTrayIcon::Observer g_observer;

// Copies text into a fixed field, cut to the field's size.
template <size_t N>
void CopyField(wchar_t (&field)[N], const std::wstring& text) {
    wcsncpy_s(field, N, text.c_str(), _TRUNCATE);
}
}  // namespace

const UINT CTrayIcon::s_nTaskbarCreatedMsg = ::RegisterWindowMessageW(L"TaskbarCreated");

NOTIFYICONDATAW CTrayIcon::Record(UINT flags) const {
    NOTIFYICONDATAW data{};
    data.cbSize = kRecordSize;
    data.hWnd = m_hOwner;
    data.uID = kId;
    data.uFlags = flags;
    return data;
}

bool CTrayIcon::Add(HWND owner, HICON icon, const std::wstring& tip) {
    m_hOwner = owner;
    m_hIcon = icon;
    m_strTip = tip;
    return Restore();
}

bool CTrayIcon::Restore() {
    NOTIFYICONDATAW data = Record(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    data.uCallbackMessage = WM_TRAYCALLBACK;
    data.hIcon = m_hIcon;
    CopyField(data.szTip, m_strTip);
    return Notify(NIM_ADD, data) != FALSE;
}

bool CTrayIcon::ShowBalloon(const std::wstring& title, const std::wstring& text, UINT timeoutMs) {
    NOTIFYICONDATAW data = Record(NIF_INFO);
    CopyField(data.szInfo, text);
    CopyField(data.szInfoTitle, title);
    data.uTimeout = timeoutMs;
    data.dwInfoFlags = NIIF_INFO;
    return Notify(NIM_MODIFY, data) != FALSE;
}

bool CTrayIcon::Remove() {
    NOTIFYICONDATAW data = Record(0);
    return Notify(NIM_DELETE, data) != FALSE;
}

BOOL CTrayIcon::Notify(DWORD message, NOTIFYICONDATAW& data) {
    BOOL result = ::Shell_NotifyIconW(message, &data);
    if (g_observer)
        g_observer(message, data, result);
    return result;
}

void CTrayIcon::SetObserver(Observer observer) {
    g_observer = std::move(observer);
}
