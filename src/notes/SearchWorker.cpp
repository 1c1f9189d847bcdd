#include "notes/SearchWorker.h"

#include "framework/PostedObject.h"

#include <exception>
#include <unordered_map>
#include <utility>

#include "framework/Exception.h"

namespace {

bool SameRead(const StoredTexts::FullRead& one, const StoredTexts::FullRead& other) {
    return one.path == other.path && one.connection == other.connection && one.changesSeen == other.changesSeen &&
           one.dataVersion == other.dataVersion;
}

}  // namespace

SearchWorker::~SearchWorker() {
    Stop();
}

void SearchWorker::Stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        m_next.reset();
    }
    m_newest.store(0);
    m_wake.notify_one();
    if (m_thread.joinable())
        m_thread.join();
}

void SearchWorker::Post(Request request) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (request.warmUp && m_next)
            return;
        if (!request.warmUp)
            m_newest.store(request.generation);
        m_next = std::move(request);
    }
    if (!m_thread.joinable())
        m_thread = std::thread([this] { Run(); });
    m_wake.notify_one();
}

void SearchWorker::Run() {
    for (;;) {
        Request request;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || m_next.has_value(); });
            if (m_stopping)
                return;
            request = std::move(*m_next);
            m_next.reset();
        }
        std::unique_ptr<Outcome> outcome;
        // A warm-up gives way to everything the user does meanwhile.
        if (request.warmUp)
            ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_LOWEST);
        try {
            outcome = Answer(request);
        } catch (...) {
            // Not even memory for an answer: the asker keeps its last results.
        }
        if (request.warmUp)
            ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_NORMAL);
        PostedObject<Outcome>::Post(request.notify, request.message, std::move(outcome));
    }
}

std::unique_ptr<SearchWorker::Outcome> SearchWorker::Answer(Request& request) {
    auto outcome = std::make_unique<Outcome>();
    outcome->generation = request.generation;
    outcome->query = request.query;
    outcome->fullRead = request.fullRead;
    try {
        if (!request.fullRead.path.empty()) {
            // A request made while the last full read ran asks for the same one.
            if (!m_lastTexts || !SameRead(m_lastRead, request.fullRead)) {
                m_lastTexts = StoredTexts::ReadAll(request.fullRead);
                m_lastRead = request.fullRead;
            }
            outcome->texts = m_lastTexts;
            StoredTexts::FillIn(request.notes, *outcome->texts);
        }
        if (request.warmUp) {
            if (outcome->texts)
                for (const auto& [id, text] : *outcome->texts)
                    if (text)
                        m_folds.Folded(text);
            return outcome;
        }
        const unsigned generation = request.generation;
        outcome->results = NoteSearch::Search(
            request.notes, request.query, request.cap, [&] { return m_newest.load() != generation; }, &m_folds);
    } catch (const std::exception& e) {
        outcome->failure = ExceptionMessage(e);
        return outcome;
    }
    std::unordered_map<long long, const std::wstring*> paths;
    for (const NoteSearch::Note& note : request.notes)
        paths[note.id] = note.path.get();
    outcome->paths.reserve(outcome->results.hits.size());
    for (const NoteSearch::Hit& hit : outcome->results.hits)
        outcome->paths.push_back(*paths[hit.noteId]);
    return outcome;
}

std::unique_ptr<SearchWorker::Outcome> SearchWorker::Take(LPARAM lParam) {
    return PostedObject<Outcome>::Take(lParam);
}

void SearchWorker::Discard(HWND notify, UINT message) {
    Stop();
    PostedObject<Outcome>::DiscardQueued(notify, message);
}
