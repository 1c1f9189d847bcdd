// The notes session as the Find in All Notes dialog sees it
// (dialogs/FindAllNotesHost.h): the notes are gathered on the window's thread
// and searched on the search worker's, and the texts it read in full are kept
// (SearchedNotes) for the next search.
#pragma once

#include <memory>
#include <system_error>
#include <utility>

#include "dialogs/FindAllNotesHost.h"
#include "framework/PostedObject.h"
#include "notes/SearchedNotes.h"
#include "notes/SearchWorker.h"

class SessionSearchHost : public FindAllNotesHost {
public:
    explicit SessionSearchHost(SearchedNotes& notes) : m_notes(notes) {}

    void StartSearch(const NoteSearch::Query& query, std::size_t cap, unsigned generation, HWND notify,
                     UINT message) override {
        SearchWorker::Request request;
        request.generation = generation;
        request.query = query;
        request.cap = cap;
        request.notify = notify;
        request.message = message;
        try {
            request.notes = m_notes.NotesToSearch(request.fullRead);
        } catch (const CppSQLite3Exception& e) {
            auto failed = std::make_unique<SearchWorker::Outcome>();
            failed->generation = generation;
            failed->query = query;
            failed->failure = e.Message();
            PostedObject<SearchWorker::Outcome>::Post(notify, message, std::move(failed));
            return;
        }
        m_worker.Post(std::move(request));
    }
    std::unique_ptr<NoteSearch::Found> TakeFound(LPARAM lParam) override {
        std::unique_ptr<SearchWorker::Outcome> outcome = SearchWorker::Take(lParam);
        if (outcome && outcome->texts)
            m_notes.AdoptStoredTexts(outcome->fullRead, std::move(outcome->texts));
        return outcome;
    }
    bool ShowFound(const NoteSearch::Hit& hit) override { return m_notes.ShowFound(hit); }

    // Reads and folds the stored texts on the search thread ahead of the first
    // search, when they must be read; the answer comes to `notify` as
    // `message`, for TakeFound. A file that can't be read now is left to the search.
    void WarmUp(HWND notify, UINT message) {
        SearchWorker::Request request;
        request.warmUp = true;
        request.notify = notify;
        request.message = message;
        try {
            if (!m_notes.StoredTextsToRead(request.fullRead))
                return;
            m_worker.Post(std::move(request));
        } catch (const CppSQLite3Exception&) {
        } catch (const std::system_error&) {
        }
    }
    // The window that took the warm-up's answers goes: none is left unfreed.
    void DiscardWarmUp(HWND notify, UINT message) { m_worker.Discard(notify, message); }

private:
    SearchedNotes& m_notes;
    // The searches' thread: it reads only what a request hands it.
    SearchWorker m_worker;
};
