// NotesStore's changes to the tree: add, rename, move and delete, each checked against
// the file under the write lock it changes the file with.
#include <algorithm>
#include <map>
#include <utility>

#include "storage/CppSQLite3DB.h"
#include "storage/NotesStore.h"

namespace {
constexpr int kSqliteNull = 5;

// The chain of parents from a note up: the ids met (the note first), and
// whether it ends at the top level. UNION (not UNION ALL) ends a chain that
// loops, as rows a hand-made file may hold do.
const wchar_t kChainOfParents[] =
    L"WITH RECURSIVE up(id, pid) AS (SELECT id, pid FROM notes WHERE id=? "
    L"UNION SELECT n.id, n.pid FROM notes n JOIN up ON n.id = up.pid) SELECT id, pid FROM up;";

// The rows of a note and of every note below it.
const wchar_t kBranch[] =
    L"WITH RECURSIVE down(id) AS (SELECT id FROM notes WHERE id=? "
    L"UNION SELECT n.id FROM notes n JOIN down ON n.pid = down.id) "
    L"SELECT id, pid, name, note, pos FROM notes WHERE id IN down ORDER BY id;";

struct Chain {
    std::vector<long long> ids;
    bool reachesTop = false;
    bool Holds(long long id) const { return std::find(ids.begin(), ids.end(), id) != ids.end(); }
};

Chain ChainOfParents(CppSQLite3DB& db, long long noteId) {
    Chain chain;
    CppSQLite3Query query = db.ExecuteQuery(kChainOfParents, {noteId});
    const int pidColumn = query.ColumnIndex(L"pid");
    for (; !query.AtEnd(); query.Advance()) {
        chain.ids.push_back(query.Int64ByName(L"id", 0));
        if (query.ColumnType(pidColumn) != kSqliteNull && query.Int64ByName(L"pid", -1) == 0)
            chain.reachesTop = true;
    }
    query.Finish();
    return chain;
}

// `rows` from `id` down, each before its subnotes, siblings in id order; and
// their ids in the order they are deleted, each note after its subnotes.
void InTreeOrder(long long id, std::map<long long, NotesStore::Row>& rows,
                 const std::multimap<long long, long long>& children, std::vector<NotesStore::Row>& ordered,
                 std::vector<long long>& deepestFirst) {
    auto row = rows.find(id);
    if (row == rows.end())
        return;
    ordered.push_back(std::move(row->second));
    rows.erase(row);
    auto [first, last] = children.equal_range(id);
    for (auto child = first; child != last; ++child)
        InTreeOrder(child->second, rows, children, ordered, deepestFirst);
    deepestFirst.push_back(id);
}
}  // namespace

NotesStore::TreeChanged::TreeChanged()
    : CException(
          L"another copy of Tallyleaf on this database changed these notes meanwhile; the tree now shows "
          L"them as they are.") {}

bool NotesStore::IsReachable(long long noteId) {
    return ChainOfParents(m_db, noteId).reachesTop;
}

long long NotesStore::AddNote(long long parentId, const std::wstring& name) {
    long long id = 0;
    InTransaction(
        [&] {
            if (parentId != 0 && !IsReachable(parentId))
                throw TreeChanged();
            id = InsertNoteAbove(parentId, name, std::wstring(), 0);
        },
        true);
    return id;
}

void NotesStore::RenameNote(long long noteId, const std::wstring& name) {
    InTransaction(
        [&] {
            if (!HasNote(noteId))
                throw TreeChanged();
            m_db.ExecuteStatement(L"UPDATE notes SET name=? WHERE id=?;", {name, noteId});
        },
        true);
}

void NotesStore::MoveNote(long long noteId, long long newParentId) {
    InTransaction(
        [&] {
            if (!HasNote(noteId))
                throw TreeChanged();
            if (newParentId != 0) {
                // Under a note below itself, the note and its subtree would
                // form a loop that nothing joins to the top level.
                const Chain chain = ChainOfParents(m_db, newParentId);
                if (!chain.reachesTop || chain.Holds(noteId))
                    throw TreeChanged();
            }
            m_db.ExecuteStatement(L"UPDATE notes SET pid=? WHERE id=?;", {newParentId, noteId});
        },
        true);
}

std::vector<NotesStore::Row> NotesStore::DeleteBranch(long long noteId) {
    std::vector<Row> ordered;
    InTransaction(
        [&] {
            std::map<long long, Row> rows;
            std::multimap<long long, long long> children;
            {
                CppSQLite3Query query = m_db.ExecuteQuery(kBranch, {noteId});
                for (; !query.AtEnd(); query.Advance()) {
                    Row row{query.Int64ByName(L"id", 0), query.Int64ByName(L"pid", 0),
                            query.TextByName(L"name", L"Note"), query.TextByName(L"note", L""),
                            query.IntByName(L"pos", 0)};
                    if (row.id != noteId)
                        children.emplace(row.parentId, row.id);
                    rows.emplace(row.id, std::move(row));
                }
            }
            if (rows.empty())
                throw TreeChanged();
            std::vector<long long> deepestFirst;
            InTreeOrder(noteId, rows, children, ordered, deepestFirst);
            for (long long id : deepestFirst)
                m_db.ExecuteStatement(L"DELETE FROM notes WHERE id=?;", {id});
        },
        true);
    return ordered;
}
