// Runs the search in all notes on a thread of its own, so that typing in the
// search box never waits for a search. The newest request is the one that
// runs: one still waiting is replaced, one running is abandoned between notes.
// When the stored texts must first be read in full, the thread reads them on a
// connection of its own and hands them back with its answer. Each answer is
// posted to the asker's window as a heap-allocated Outcome in LPARAM, taken
// with Take. Started on the first request; the destructor stops it.
#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "notes/StoredTexts.h"
#include "search/FoldCache.h"
#include "search/NoteSearch.h"

class SearchWorker {
public:
    struct Request {
        unsigned generation = 0;
        NoteSearch::Query query;
        std::size_t cap = 0;
        // In tree order; a null text is the stored one, read first when `fullRead` names a file.
        std::vector<NoteSearch::Note> notes;
        StoredTexts::FullRead fullRead;
        HWND notify = nullptr;
        UINT message = 0;
        // Only reads and folds the stored texts, at a low priority, so that the
        // first search costs what later ones do; answers with the texts alone.
        bool warmUp = false;
    };
    // The answer: what was found, and the texts read in full, if they were.
    struct Outcome : NoteSearch::Found {
        StoredTexts::FullRead fullRead;
        StoredTexts::Snapshot texts;
    };

    SearchWorker() = default;
    ~SearchWorker();
    SearchWorker(const SearchWorker&) = delete;
    SearchWorker& operator=(const SearchWorker&) = delete;

    // Throws std::system_error when no thread can be started. A warm-up never
    // takes the place of a search: it is dropped while one waits.
    void Post(Request request);
    static std::unique_ptr<Outcome> Take(LPARAM lParam);
    // Ends the thread (a search under way is abandoned, a read finished) and
    // frees its answers still queued for `notify` as `message`.
    void Discard(HWND notify, UINT message);

private:
    void Stop();
    void Run();
    std::unique_ptr<Outcome> Answer(Request& request);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<Request> m_next;
    bool m_stopping = false;
    std::atomic<unsigned> m_newest{0};
    // The thread's own: the folded texts, and the last texts it read in full.
    FoldCache m_folds;
    StoredTexts::FullRead m_lastRead;
    StoredTexts::Snapshot m_lastTexts;
    std::thread m_thread;
};
