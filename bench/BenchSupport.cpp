#include "BenchSupport.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "app/TallyLeafDlg.h"
#include "app/TestSeams.h"
#include "storage/CppSQLite3DB.h"
#include "support/Pump.h"

namespace bench {

double Samples::Median() const {
    if (m_values.empty())
        return 0;
    std::vector<double> sorted = m_values;
    std::sort(sorted.begin(), sorted.end());
    const size_t mid = sorted.size() / 2;
    return sorted.size() % 2 ? sorted[mid] : (sorted[mid - 1] + sorted[mid]) / 2;
}

double Samples::Min() const {
    return m_values.empty() ? 0 : *std::min_element(m_values.begin(), m_values.end());
}

double Samples::Max() const {
    return m_values.empty() ? 0 : *std::max_element(m_values.begin(), m_values.end());
}

namespace {
void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(folder + name + L"\\");
            else
                ::DeleteFileW((folder + name).c_str());
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(folder.c_str());
}
}  // namespace

ScratchFolder::ScratchFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    // One fixed name: what an interrupted run left behind goes with the next run.
    m_path = std::wstring(temp) + L"tallyleaf-bench\\";
    RemoveTree(m_path);
    ::CreateDirectoryW(m_path.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
    RemoveTree(m_path);
}

std::wstring ScratchFolder::SubFolder(const std::wstring& name) const {
    std::wstring folder = m_path + name + L"\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

bool MoreReps(size_t done, int planned, const Stopwatch& figureTime) {
    if (done >= static_cast<size_t>(planned))
        return false;
    const double elapsed = figureTime.ElapsedMs();
    if (elapsed > kFigureCapMs)
        return false;
    return done < static_cast<size_t>(kMinReps) || elapsed < kFigureBudgetMs;
}

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text)
        out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

std::string Thousands(long long n) {
    std::string digits = std::to_string(n);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(static_cast<size_t>(i), ",");
    return digits;
}

void Progress(const std::string& text) {
    std::fprintf(stderr, "bench: %s\n", text.c_str());
    std::fflush(stderr);
}

namespace {
size_t g_expectedBoxes = 0;
ModalAnswer* g_pAnswerer = nullptr;
}  // namespace

void ExpectBoxes(int count) {
    g_expectedBoxes += static_cast<size_t>(count);
}

void ExpectBox(ModalAnswer::Action act) {
    ExpectBoxes(1);
    if (g_pAnswerer)
        g_pAnswerer->Answer(std::move(act));
}

void SetAnswerer(ModalAnswer* modal) {
    g_pAnswerer = modal;
}

size_t ExpectedBoxes() {
    return g_expectedBoxes;
}

void Fail(const std::string& what) {
    throw std::runtime_error(what);
}

void WaitUntil(const std::function<bool()>& done, const std::string& what, MessageWatch* watch) {
    if (!PumpUntil(done, kTimeoutMs, watch))
        Fail("timed out waiting for " + what);
}

std::unique_ptr<CTallyLeafDlg> StartWindow(const std::wstring& dataFolder, SaveScheduler::Timings typingSaves) {
    TestSeams::SetDataFolder(dataFolder);
    auto dlg = std::make_unique<CTallyLeafDlg>(typingSaves);
    if (!dlg->Create())
        Fail("the main window could not be created");
    return dlg;
}

void CloseWindow(std::unique_ptr<CTallyLeafDlg>& dlg) {
    if (dlg && dlg->m_hWnd)
        ::DestroyWindow(dlg->m_hWnd);
    PumpPending();
    dlg.reset();
    theDB.Close();
}

namespace {
// The probe whose timer runs; probes do not nest.
MessageGaps* g_pGaps = nullptr;
}  // namespace

MessageGaps::MessageGaps() : m_timer(::SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &MessageGaps::Tick)) {
    g_pGaps = this;
}

MessageGaps::~MessageGaps() {
    ::KillTimer(nullptr, m_timer);
    g_pGaps = nullptr;
}

double MessageGaps::LongestMs() const {
    return std::max(m_longestMs, m_sinceLast.ElapsedMs());
}

void CALLBACK MessageGaps::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!g_pGaps)
        return;
    g_pGaps->m_longestMs = std::max(g_pGaps->m_longestMs, g_pGaps->m_sinceLast.ElapsedMs());
    g_pGaps->m_sinceLast.Restart();
}

HTREEITEM ItemOf(CTallyLeafDlg& dlg, int noteId) {
    for (HTREEITEM item = dlg.Parts().tree.GetRootItem(); item; item = dlg.Parts().tree.GetNextSiblingItem(item)) {
        if (dlg.Parts().tree.NoteId(item) == noteId)
            return item;
    }
    Fail("no tree item for note " + std::to_string(noteId));
}

}  // namespace bench
