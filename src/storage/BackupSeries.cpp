#include "storage/BackupSeries.h"

#include <cstdio>
#include <cstdint>
#include <utility>

#include "framework/KernelHandle.h"

namespace {

const wchar_t kExtension[] = L".db";
const wchar_t kUndoSuffix[] = L" before restore.db";
// "YYYY-MM-DD" and " HH.MM.SS".
constexpr size_t kDateLength = 10;
constexpr size_t kTimeLength = 9;

std::wstring Stem(const std::wstring& dbPath) {
    const size_t slash = dbPath.find_last_of(L"\\/");
    const std::wstring name = slash == std::wstring::npos ? dbPath : dbPath.substr(slash + 1);
    const size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos || dot == 0 ? name : name.substr(0, dot);
}

bool SameTextIgnoringCase(const std::wstring& a, size_t at, const std::wstring& b) {
    if (a.size() < at + b.size())
        return false;
    const int length = static_cast<int>(b.size());
    return ::CompareStringOrdinal(a.c_str() + at, length, b.c_str(), length, TRUE) == CSTR_EQUAL;
}

bool IsTimeText(const std::wstring& text) {
    if (text.size() != kTimeLength || text[0] != L' ' || text[3] != L'.' || text[6] != L'.')
        return false;
    for (size_t i : {1, 2, 4, 5, 7, 8}) {
        if (text[i] < L'0' || text[i] > L'9')
            return false;
    }
    return true;
}

// What follows "<stem> " or "<stem> <mark> ": a daily copy's "YYYY-MM-DD.db"
// or an undo copy's "YYYY-MM-DD HH.MM.SS before restore.db".
bool ParseRest(const std::wstring& rest, bool& undo, BackupDate& date) {
    if (rest.size() < kDateLength || !ParseDateText(rest.substr(0, kDateLength), date))
        return false;
    const std::wstring tail = rest.substr(kDateLength);
    if (tail.size() == 3 && SameTextIgnoringCase(tail, 0, kExtension)) {
        undo = false;
        return true;
    }
    const std::wstring suffix = kUndoSuffix;
    undo = tail.size() == kTimeLength + suffix.size() && IsTimeText(tail.substr(0, kTimeLength)) &&
           SameTextIgnoringCase(tail, kTimeLength, suffix);
    return undo;
}

}  // namespace

BackupSeries::BackupSeries(std::wstring dbPath) : m_dbPath(std::move(dbPath)), m_stem(Stem(m_dbPath)) {}

BackupSeries::BackupSeries(std::wstring dbPath, const std::wstring& identity)
    : m_dbPath(std::move(dbPath)), m_stem(Stem(m_dbPath)), m_mark(Mark(identity)) {}

std::wstring BackupSeries::Mark(const std::wstring& identity) {
    // Windows compares file names by upper case; both separators are one.
    std::wstring folded = identity;
    if (!folded.empty())
        ::LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, identity.c_str(), static_cast<int>(identity.size()),
                       &folded[0], static_cast<int>(folded.size()));
    // FNV-1a over the UTF-16 units: short, stable across versions and builds.
    std::uint32_t hash = 2166136261u;
    for (wchar_t unit : folded) {
        if (unit == L'/')
            unit = L'\\';
        for (int shift : {0, 8}) {
            hash ^= static_cast<std::uint8_t>(static_cast<unsigned>(unit) >> shift);
            hash *= 16777619u;
        }
    }
    wchar_t text[9];
    std::swprintf(text, 9, L"%08x", static_cast<unsigned>(hash));
    return text;
}

std::wstring BackupSeries::DailyName(BackupDate day) const {
    return m_stem + L' ' + (m_mark.empty() ? L"" : m_mark + L' ') + DateText(day) + kExtension;
}

std::wstring BackupSeries::UndoName(const SYSTEMTIME& at) const {
    wchar_t time[16];
    std::swprintf(time, 16, L" %02d.%02d.%02d", at.wHour, at.wMinute, at.wSecond);
    return m_stem + L' ' + (m_mark.empty() ? L"" : m_mark + L' ') + DateText({at.wYear, at.wMonth, at.wDay}) + time +
           kUndoSuffix;
}

std::vector<BackupSeries::Copy> BackupSeries::CopiesIn(const std::wstring& folderPath) const {
    std::vector<Copy> copies;
    std::wstring folder = folderPath;
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/')
        folder += L'\\';
    WIN32_FIND_DATAW found;
    const FindHandle find(::FindFirstFileW((folder + L"*").c_str(), &found));
    if (!find)
        return copies;
    const std::wstring stem = m_stem + L' ';
    const std::wstring mark = m_mark.empty() ? L"" : m_mark + L' ';
    do {
        const std::wstring name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !SameTextIgnoringCase(name, 0, stem))
            continue;
        const bool marked = !mark.empty() && SameTextIgnoringCase(name, stem.size(), mark);
        bool undo = false;
        BackupDate date;
        if (!ParseRest(name.substr(stem.size() + (marked ? mark.size() : 0)), undo, date))
            continue;
        // Copies of the file's name alone, made before series were marked:
        // only their daily copies ever had those names.
        if (!mark.empty() && !marked) {
            if (!undo)
                copies.push_back({Kind::Unmarked, date, name});
            continue;
        }
        copies.push_back({undo ? Kind::Undo : Kind::Daily, date, name});
    } while (::FindNextFileW(find.get(), &found));
    return copies;
}
