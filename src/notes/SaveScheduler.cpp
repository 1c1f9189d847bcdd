#include "notes/SaveScheduler.h"

#include <algorithm>
#include <utility>

#include "notes/RecoveryFiles.h"
#include "settings/AppFolders.h"

namespace {
const wchar_t kKeptForLater[] =
    L"\n\nNothing is lost: Tallyleaf keeps the text and saves it as soon as the database can be written.";

// A failed save is tried again after a second, then less often, but never
// more than a few seconds apart.
constexpr UINT kFirstRetryMs = 1000;
constexpr UINT kLongestRetryMs = 4000;
}  // namespace

void SaveScheduler::Keep(long long noteId, std::wstring text, int pos, const NotesStore::StoredText& stored) {
    m_waiting.Record(noteId, std::move(text), pos, stored);
}

void SaveScheduler::Defer(long long noteId, std::wstring text, int pos, const NotesStore::StoredText& stored,
                          const std::function<bool()>& writeWaiting) {
    // While failed saves wait for their retry, the note left joins them: trying
    // now would only hold the user up.
    if (m_state == State::Retrying) {
        Keep(noteId, std::move(text), pos, stored);
        return;
    }
    if (m_waiting.IsWaiting())
        writeWaiting();
    Keep(noteId, std::move(text), pos, stored);
    if (m_state == State::Retrying)
        return;
    m_state = State::Deferred;
    m_host.StartTimer(NotesHost::Timer::DeferredSave, kDeferredSaveMs);
}

void SaveScheduler::Forget(long long noteId) {
    m_waiting.Forget(noteId);
}

void SaveScheduler::WriteAll(const Write& write) {
    m_waiting.WriteEach(write);
}

void SaveScheduler::Failed(const wchar_t* failurePrefix, const CppSQLite3Exception& e, bool quiet) {
    m_retryMs = m_state != State::Retrying ? kFirstRetryMs : std::min(m_retryMs * 2, kLongestRetryMs);
    m_state = State::Retrying;
    m_host.StartTimer(NotesHost::Timer::DeferredSave, m_retryMs);
    if (m_reported || quiet)
        return;
    m_reported = true;
    m_host.Say(failurePrefix + std::wstring(e.Message()) + kKeptForLater, MB_OK | MB_ICONERROR);
}

void SaveScheduler::Succeeded() {
    m_state = State::Idle;
    m_retryMs = 0;
    m_reported = false;
}

bool SaveScheduler::TimerFired() {
    m_host.StopTimer(NotesHost::Timer::DeferredSave);
    return m_state == State::Retrying;
}

void SaveScheduler::Typed() {
    m_host.StartTimer(NotesHost::Timer::TypingPause, m_typing.pauseMs);
    if (!m_typingUnsaved) {
        m_typingUnsaved = true;
        m_host.StartTimer(NotesHost::Timer::TypingLongest, m_typing.longestMs);
    }
}

void SaveScheduler::StopTyping() {
    if (!m_typingUnsaved)
        return;
    m_typingUnsaved = false;
    m_host.StopTimer(NotesHost::Timer::TypingPause);
    m_host.StopTimer(NotesHost::Timer::TypingLongest);
}

void SaveScheduler::KeepInRecoveryFiles(const std::wstring& why, const std::wstring& dbPath,
                                        const std::function<std::wstring(long long noteId)>& nameOf) {
    std::vector<UnsavedNote> notes;
    for (const DeferredSave::Waiting& save : m_waiting.All())
        notes.push_back({nameOf(save.noteId), save.text});
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    const std::vector<std::wstring> files = WriteRecoveryFiles(AppFolders::DataFolder(), notes, now);
    std::wstring list;
    for (size_t i = 0; i < files.size(); ++i)
        list += L"\n  " + (files[i].empty() ? L"(could not be written anywhere) " + notes[i].name : files[i]);
    m_waiting.Clear();
    m_host.Say(
        why + L"\n\nThe text that could not be saved into the database " + dbPath + L" is kept in these files:" + list,
        MB_OK | MB_ICONWARNING);
}
