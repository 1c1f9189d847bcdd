// What the performance scenarios share besides the tests' support (message
// pump, modal answerer, registry sandbox, stopwatch): the samples of one
// figure, the repetition budget, a temporary folder, and starting and ending
// the main window.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "notes/SaveScheduler.h"
#include "support/ModalAnswer.h"
#include "support/Stopwatch.h"

class CTallyLeafDlg;
struct MessageWatch;

namespace bench {

// The repetitions of one figure.
class Samples {
public:
    void Add(double ms) { m_values.push_back(ms); }
    size_t Count() const { return m_values.size(); }
    double Median() const;
    double Min() const;
    double Max() const;

private:
    std::vector<double> m_values;
};

// A fresh folder under the user's temporary folder, removed with all it holds
// (runs of the bench are not meant to overlap).
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // A sub-folder (created) of the scratch folder, ending with a backslash.
    std::wstring SubFolder(const std::wstring& name) const;
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

// One line of the results table.
struct Figure {
    std::string scenario;
    std::string size;
    Samples samples;
    double targetMs = 0;  // 0: no target
    int plannedReps = 0;
    std::string notRun;  // why the figure was not measured, if it was not
};

// No condition of a scenario should take anywhere near this long.
constexpr DWORD kTimeoutMs = 120000;

// Repetitions of one figure stop early once it has had its share of the run:
// after the budget (but never before the minimum), and always at the cap.
constexpr int kMinReps = 3;
constexpr double kFigureBudgetMs = 10000;
constexpr double kFigureCapMs = 30000;

// Whether a figure with `done` of `planned` repetitions, measured for
// `figureTime` so far, takes another.
bool MoreReps(size_t done, int planned, const Stopwatch& figureTime);

std::string Narrow(const std::wstring& text);
std::string Thousands(long long n);
void Progress(const std::string& text);
// Message boxes a scenario shows on purpose (the import's report): the run
// warns only when more were shown.
void ExpectBoxes(int count);
// One such box, answered by `act` once it is up (the run's answerer, SetAnswerer's).
void ExpectBox(ModalAnswer::Action act);
void SetAnswerer(ModalAnswer* modal);
size_t ExpectedBoxes();
[[noreturn]] void Fail(const std::string& what);

// Pumps messages until `done` holds; a time-out fails the run, naming `what`.
void WaitUntil(const std::function<bool()>& done, const std::string& what, MessageWatch* watch = nullptr);

// The main window on `dataFolder`, created as the program creates it (hidden),
// saving typing after the pauses of `typingSaves`.
std::unique_ptr<CTallyLeafDlg> StartWindow(const std::wstring& dataFolder, SaveScheduler::Timings typingSaves = {});

// Ends the window as the end of the program does (it saves the shown note), then the connection.
void CloseWindow(std::unique_ptr<CTallyLeafDlg>& dlg);

// The longest time the thread went without dispatching a message while it
// lives: a thread timer of its own is due every 10 ms, so each dispatch of it
// marks a moment the thread was pumping. What a user feels as a stuck window.
class MessageGaps {
public:
    MessageGaps();
    ~MessageGaps();
    MessageGaps(const MessageGaps&) = delete;
    MessageGaps& operator=(const MessageGaps&) = delete;

    // The longest gap so far, the one still open included.
    double LongestMs() const;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);

    UINT_PTR m_timer = 0;
    Stopwatch m_sinceLast;
    double m_longestMs = 0;
};

// The top-level tree item of note `noteId`.
HTREEITEM ItemOf(CTallyLeafDlg& dlg, int noteId);

}  // namespace bench
