// What the performance scenarios share: a stopwatch, the samples of one figure,
// a message pump, a sandboxed registry, a guard against message boxes, and a
// temporary folder.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace bench {

// Milliseconds from the performance counter.
class Stopwatch {
public:
    Stopwatch() { Restart(); }
    void Restart() { ::QueryPerformanceCounter(&m_start); }
    double ElapsedMs() const;

private:
    LARGE_INTEGER m_start;
};

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

// One kind of message whose dispatch the pump times (the deferred-save timer).
struct MessageWatch {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    int seen = 0;
    double lastMs = 0;
};

// Dispatches what is waiting now (and what that posts), through the windows'
// pre-translation and the dialog manager, as the program's own loop does.
void PumpPending(MessageWatch* watch = nullptr);
// Pumps until `done` holds or `timeoutMs` passes; returns done()'s last value.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs, MessageWatch* watch = nullptr);

// Closes every dialog box (other than the main window) the moment it is
// activated and keeps its text: an unexpected error box would otherwise stop
// the run, and any box means the figures around it are not to be trusted.
class BoxGuard {
public:
    BoxGuard();
    ~BoxGuard();
    BoxGuard(const BoxGuard&) = delete;
    BoxGuard& operator=(const BoxGuard&) = delete;

    static const std::vector<std::wstring>& Texts();

private:
    HHOOK m_hook = nullptr;
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

}  // namespace bench
