#include "notes/StoredTexts.h"

#include <cstring>
#include <utility>

#include "storage/CppSQLite3DB.h"
#include "storage/NotesStore.h"

namespace {
// More changed notes than this are read again all at once.
constexpr std::size_t kMostReadOneByOne = 500;
}  // namespace

StoredTexts::StoredTexts(NotesStore& store) : m_store(store) {
    m_store.SetRowListener(this, [this](const char* table, long long rowId) { OnRowChanged(table, rowId); });
}

StoredTexts::~StoredTexts() {
    m_store.ClearRowListener(this);
}

void StoredTexts::OnRowChanged(const char* table, long long rowId) {
    if (!table) {
        // Another file, or none: nothing kept is known to be true of it.
        ++m_connection;
        m_texts.reset();
        m_changedAt.clear();
        return;
    }
    if (std::strcmp(table, "notes") == 0)
        m_changedAt[rowId] = ++m_changes;
}

StoredTexts::Snapshot StoredTexts::Current(const std::wstring& path, FullRead& read) {
    const long long dataVersion = m_store.DataVersion();
    std::size_t changed = 0;
    for (const auto& [id, at] : m_changedAt)
        changed += at > m_applied ? 1 : 0;
    if (!m_texts || dataVersion != m_dataVersion || changed > kMostReadOneByOne) {
        m_texts.reset();
        read = {path, m_connection, m_changes, dataVersion};
        return nullptr;
    }
    read = {};
    if (changed == 0)
        return m_texts;
    // A search running on another thread may hold the old map: the new one is a copy.
    auto texts = std::make_shared<Map>(*m_texts);
    for (const auto& [id, at] : m_changedAt) {
        if (at <= m_applied)
            continue;
        std::wstring text;
        if (m_store.ReadText(id, text))
            (*texts)[id] = NoteSearch::MakeText(std::move(text));
        else
            texts->erase(id);
    }
    m_texts = std::move(texts);
    m_applied = m_changes;
    return m_texts;
}

StoredTexts::Snapshot StoredTexts::ReadAll(const FullRead& read) {
    CppSQLite3DB db;
    db.OpenForReading(read.path);
    // Read through a mapping of the file rather than a read call per page:
    // twice as fast under Wine, and the connection only ever reads.
    db.ExecuteStatement(L"PRAGMA mmap_size=1073741824;");
    NotesStore store(db);
    auto texts = std::make_shared<Map>();
    for (auto& [id, text] : store.ReadAllTexts())
        (*texts)[id] = NoteSearch::MakeText(std::move(text));
    return texts;
}

void StoredTexts::FillIn(std::vector<NoteSearch::Note>& notes, const Map& texts) {
    for (NoteSearch::Note& note : notes) {
        if (note.text)
            continue;
        auto stored = texts.find(note.id);
        if (stored != texts.end())
            note.text = stored->second;
    }
}

void StoredTexts::Adopt(const FullRead& read, Snapshot texts) {
    if (read.connection != m_connection || !texts)
        return;
    m_texts = std::move(texts);
    m_dataVersion = read.dataVersion;
    // What this connection changed after the read began is read again one by one.
    m_applied = read.changesSeen;
}
