#include "search/FoldCache.h"

#include <algorithm>

namespace {
constexpr std::size_t kBlockUnits = std::size_t{1} << 20;
}  // namespace

wchar_t* FoldCache::Room(std::size_t units) {
    if (units > m_blockLeft) {
        const std::size_t size = std::max(units, kBlockUnits);
        m_blocks.push_back(std::make_unique<wchar_t[]>(size));
        m_blockNext = m_blocks.back().get();
        m_blockLeft = size;
    }
    wchar_t* room = m_blockNext;
    m_blockNext += units;
    m_blockLeft -= units;
    return room;
}

FoldCache::View FoldCache::Folded(const NoteSearch::Text& text) {
    Entry& entry = m_entries[text.get()];
    if (!entry.text) {
        entry.text = text;
        const std::size_t length = CaseFold::FoldedLength(*text);
        wchar_t* room = Room(length);
        CaseFold::FoldInto(*text, room, entry.pairs);
        entry.folded = std::wstring_view(room, length);
        m_liveUnits += length;
    }
    entry.used = true;
    return {entry.folded, &entry.pairs};
}

void FoldCache::DropUnused() {
    for (auto entry = m_entries.begin(); entry != m_entries.end();) {
        if (entry->second.used) {
            entry->second.used = false;
            ++entry;
        } else {
            m_liveUnits -= entry->second.folded.size();
            m_deadUnits += entry->second.folded.size();
            entry = m_entries.erase(entry);
        }
    }
    // Once most of the blocks hold dropped texts, everything is let go and
    // the next search folds afresh.
    if (m_deadUnits > kBlockUnits && m_deadUnits > m_liveUnits) {
        m_entries.clear();
        m_blocks.clear();
        m_blockNext = nullptr;
        m_blockLeft = 0;
        m_liveUnits = 0;
        m_deadUnits = 0;
    }
}
