#include "storage/DeferredSave.h"

#include <utility>

#include "storage/NotesStore.h"

void DeferredSave::Record(int noteId, std::wstring text, int pos) {
    m_strText = std::move(text);
    m_nPos = pos;
    m_nNoteId = noteId;
    m_bWaiting = true;
}

void DeferredSave::WriteTo(NotesStore& store) const {
    if (m_bWaiting)
        store.SaveNote(m_nNoteId, m_strText, m_nPos);
}

void DeferredSave::Clear() {
    m_strText.clear();
    m_nPos = 0;
    m_nNoteId = 0;
    m_bWaiting = false;
}
