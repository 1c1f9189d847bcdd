#include "NotesDatabase.h"

#include <windows.h>

#include <cmath>

#include "support/SeededStore.h"

namespace bench {
namespace {

// xorshift32: small, fast and the same everywhere.
class Random {
public:
    explicit Random(uint32_t seed) : m_state(seed ? seed : 0x9E3779B9u) {}
    uint32_t Next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    // 0 .. n-1
    uint32_t Below(uint32_t n) { return Next() % n; }
    double Unit() { return (Next() >> 8) / static_cast<double>(1u << 24); }

private:
    uint32_t m_state;
};

const wchar_t* const kWords[] = {
    L"meeting",
    L"call",
    L"budget",
    L"review",
    L"draft",
    L"the",
    L"a",
    L"of",
    L"to",
    L"and",
    L"with",
    L"server",
    L"invoice",
    L"deadline",
    L"Friday",
    L"notes",
    L"idea",
    L"check",
    L"send",
    L"reply",
    L"don't",
    L"it's",
    L"customer's",
    L"'urgent'",
    L"O'Brien",
    L"password",
    L"backup",
    L"list",
    L"buy",
    L"milk",
    L"bread",
    L"café",
    L"release",
    L"version",
    L"2.2",
    L"ticket",
    L"#4711",
    L"bug",
    L"fix",
    L"later",
    L"maybe",
    L"todo:",
    L"done",
    L"phone",
    L"address",
    L"street",
    L"recipe",
    L"flour",
    L"sugar",
    L"https://example.org/page",
    L"C:\\Work\\plan.txt",
    L"(see",
    L"above)",
    L"-",
    L"*",
    L"1.",
    L"2.",
};
constexpr size_t kWordCount = sizeof kWords / sizeof kWords[0];

// Multi-line text of exactly `length` characters that starts with `marker` on
// a line of its own; lines of about 10 to 110 characters, some blank lines.
std::wstring MakeText(Random& random, const std::wstring& marker, size_t length) {
    std::wstring text = marker + L"\r\n";
    text.reserve(length + 128);
    size_t lineLimit = 10 + random.Below(100);
    size_t lineStart = text.size();
    while (text.size() < length) {
        if (text.size() - lineStart >= lineLimit) {
            text += random.Below(8) == 0 ? L"\r\n\r\n" : L"\r\n";
            lineStart = text.size();
            lineLimit = 10 + random.Below(100);
            continue;
        }
        if (text.size() > lineStart)
            text += L' ';
        text += kWords[random.Below(kWordCount)];
    }
    text.resize(length);
    // A cut through a line break would leave a lone CR, which the editor would not keep.
    if (!text.empty() && text.back() == L'\r')
        text.back() = L'.';
    return text;
}

// 200 to 20,000 characters, evenly spread on a log scale: many short notes, a few long ones.
size_t RealisticLength(Random& random) {
    return static_cast<size_t>(200.0 * std::exp(random.Unit() * std::log(100.0)));
}

std::wstring NoteName(Random& random, int level, int id) {
    static const wchar_t* const kTop[] = {L"Project", L"Work", L"Home", L"Ideas", L"Reading", L"Bob's things"};
    static const wchar_t* const kMid[] = {L"Meeting", L"Shopping", L"Contacts", L"Plan", L"Mary's list"};
    static const wchar_t* const kLeaf[] = {L"Item", L"Detail", L"Call", L"Draft", L"Don't forget"};
    const wchar_t* base = level == 0   ? kTop[random.Below(6)]
                          : level == 1 ? kMid[random.Below(5)]
                                       : kLeaf[random.Below(5)];
    return std::wstring(base) + L" " + std::to_wstring(id);
}

}  // namespace

TreeDatabase WriteTreeDatabase(const std::wstring& path, int count, uint32_t seed, int topLevelUpTo) {
    Random random(seed);
    ::DeleteFileW(path.c_str());
    SeededStore writer(path);
    TreeDatabase facts;
    std::vector<int> topLevel;
    std::vector<int> children;
    for (int id = 1; id <= count; ++id) {
        // About one note in eight is a top-level note, a third are children, the rest grandchildren.
        const uint32_t roll = random.Below(100);
        int level = id == 1 || (roll < 12 && id <= topLevelUpTo) ? 0 : (roll < 45 || children.empty()) ? 1 : 2;
        int pid = 0;
        if (level == 1) {
            pid = topLevel[random.Below(static_cast<uint32_t>(topLevel.size()))];
            children.push_back(id);
            ++facts.children;
        } else if (level == 2) {
            pid = children[random.Below(static_cast<uint32_t>(children.size()))];
            ++facts.grandchildren;
        } else {
            topLevel.push_back(id);
            ++facts.topLevel;
        }
        const std::wstring marker = L"#" + std::to_wstring(id) + L" notes";
        const std::wstring text = MakeText(random, marker, RealisticLength(random));
        writer.Add({id, pid, NoteName(random, level, id), text});
        facts.textChars += static_cast<long long>(text.size());
        if (id == 1)
            facts.first = NoteFacts{id, marker, text.size()};
    }
    writer.Commit();
    facts.notes = count;
    return facts;
}

std::vector<NoteFacts> WriteSizedNotes(const std::wstring& path, const std::vector<size_t>& lengths, uint32_t seed,
                                       size_t topLevel) {
    Random random(seed);
    ::DeleteFileW(path.c_str());
    SeededStore writer(path);
    std::vector<NoteFacts> notes;
    for (size_t i = 0; i < lengths.size(); ++i) {
        const int id = static_cast<int>(i) + 1;
        const std::wstring marker = L"#" + std::to_wstring(id) + L" sized";
        const long long pid = i < topLevel ? 0 : static_cast<long long>((i - topLevel) % topLevel) + 1;
        writer.Add({id, pid, L"Sized " + std::to_wstring(lengths[i]), MakeText(random, marker, lengths[i])});
        notes.push_back(NoteFacts{id, marker, lengths[i]});
    }
    writer.Commit();
    return notes;
}

}  // namespace bench
