#include "storage/DeferredSave.h"

#include <algorithm>
#include <utility>

#include "storage/NotesStore.h"

const DeferredSave::Waiting* DeferredSave::Find(long long noteId) const {
    for (const Waiting& save : m_waiting) {
        if (save.noteId == noteId)
            return &save;
    }
    return nullptr;
}

void DeferredSave::Record(long long noteId, std::wstring text, int pos, NotesStore::StoredText stored) {
    Forget(noteId);
    m_waiting.push_back({noteId, std::move(text), pos, std::move(stored)});
}

void DeferredSave::WriteTo(NotesStore& store) {
    WriteEach([&store](const Waiting& save) { store.SaveNote(save.noteId, save.text, save.pos); });
}

void DeferredSave::WriteEach(const std::function<void(const Waiting&)>& write) {
    while (!m_waiting.empty()) {
        write(m_waiting.front());
        m_waiting.erase(m_waiting.begin());
    }
}

void DeferredSave::Forget(long long noteId) {
    m_waiting.erase(std::remove_if(m_waiting.begin(), m_waiting.end(),
                                   [noteId](const Waiting& save) { return save.noteId == noteId; }),
                    m_waiting.end());
}
