#include "textfiles/ExportNames.h"

#include <algorithm>
#include <cwchar>

namespace {
// Long enough for any sensible note name, short enough that a few levels of
// folders stay within the system's path length.
constexpr size_t kLongestName = 100;

// The superscript digits one, two and three (U+00B9, U+00B2, U+00B3) make
// device names too.
const wchar_t* const kDeviceNames[] = {
    L"CON",       L"PRN",       L"AUX",       L"NUL",       L"COM1",      L"COM2",    L"COM3",
    L"COM4",      L"COM5",      L"COM6",      L"COM7",      L"COM8",      L"COM9",    L"LPT1",
    L"LPT2",      L"LPT3",      L"LPT4",      L"LPT5",      L"LPT6",      L"LPT7",    L"LPT8",
    L"LPT9",      L"COM0",      L"LPT0",      L"CLOCK$",    L"CONIN$",    L"CONOUT$", L"COM\u00B9",
    L"COM\u00B2", L"COM\u00B3", L"LPT\u00B9", L"LPT\u00B2", L"LPT\u00B3",
};

std::wstring Upper(const std::wstring& text) {
    if (text.empty())
        return text;
    std::wstring upper(text.size(), L'\0');
    const int size = static_cast<int>(text.size());
    ::LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, text.c_str(), size, upper.data(), size);
    return upper;
}

// The system takes these names for devices, whatever extension follows them.
bool IsDeviceName(const std::wstring& name) {
    std::wstring stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ')
        stem.pop_back();
    stem = Upper(stem);
    for (const wchar_t* device : kDeviceNames) {
        if (stem == device)
            return true;
    }
    return false;
}
}  // namespace

std::wstring ExportFolderName(const SYSTEMTIME& time) {
    wchar_t name[64];
    std::swprintf(name, 64, L"Tallyleaf export %02u.%02u.%02u %02u.%02u.%02u", time.wMonth, time.wDay,
                  time.wYear % 100u, time.wHour, time.wMinute, time.wSecond);
    return name;
}

std::wstring ExportNames::SafeName(const std::wstring& label) {
    std::wstring name;
    name.reserve(label.size() + 1);
    for (wchar_t c : label)
        name += c < 0x20 || std::wcschr(L":\\/<>\"|?*", c) ? L'.' : c;
    if (name.size() > kLongestName) {
        size_t cut = kLongestName;
        // Never half a surrogate pair.
        if (name[cut - 1] >= 0xD800 && name[cut - 1] <= 0xDBFF)
            --cut;
        name.resize(cut);
    }
    if (name.empty() || name.back() == L'.' || name.back() == L' ')
        name += L'_';
    if (IsDeviceName(name))
        name.insert(0, 1, L'_');
    return name;
}

std::wstring ExportNames::Folded(const std::wstring& name) {
    return Upper(name);
}

std::wstring ExportNames::NumberedBase(const std::wstring& name) {
    if (name.size() < 5 || name.back() != L')')
        return std::wstring();
    const size_t open = name.rfind(L" (");
    if (open == std::wstring::npos || open == 0)
        return std::wstring();
    const std::wstring digits = name.substr(open + 2, name.size() - open - 3);
    if (digits.empty() || digits.size() > 9 || digits[0] == L'0' ||
        digits.find_first_not_of(L"0123456789") != std::wstring::npos || digits == L"1")
        return std::wstring();
    return name.substr(0, open);
}

std::wstring ExportNames::Unescaped(const std::wstring& name) {
    std::wstring label = name;
    // "abc._" stood for "abc.", which no file may be named.
    if (label.size() >= 2 && label.back() == L'_' &&
        (label[label.size() - 2] == L'.' || label[label.size() - 2] == L' '))
        label.pop_back();
    if (label.size() > 1 && label[0] == L'_' && IsDeviceName(label.substr(1)))
        label.erase(0, 1);
    return label;
}

bool ExportNames::IsTaken(const std::wstring& name) const {
    return m_used.count(Upper(name)) || m_used.count(Upper(name + L".txt"));
}

std::wstring ExportNames::Claim(const std::wstring& label) {
    const std::wstring base = SafeName(label);
    std::wstring name = base;
    if (IsTaken(name)) {
        // Numbering goes on where the last sibling of this name stopped, so a
        // folder of thousands of "New Note"s is named in one pass.
        int& next = m_nextNumber[Upper(base)];
        next = std::max(next, 2);
        do
            name = base + L" (" + std::to_wstring(next++) + L")";
        while (IsTaken(name));
    }
    // Its file and the folder of its subnotes: another note's file may not be
    // named like this note's folder, nor the other way round.
    m_used.insert(Upper(name));
    m_used.insert(Upper(name + L".txt"));
    return name;
}
