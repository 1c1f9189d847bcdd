#include "editor/Snippets.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "framework/KernelHandle.h"
#include "framework/Utf8.h"
#include "res/resource.h"

namespace Snippets {
namespace {
const char kUtf8Bom[] = "\xEF\xBB\xBF";
const wchar_t kNameTag[] = L"Name=";
// As many as the Insert commands' range holds: a snippet beyond it could not be chosen.
constexpr std::size_t kMaxSnippets = ID_INSERT_LAST - ID_INSERT_FIRST + 1;
constexpr std::size_t kNameTagLength = 5;

std::wstring BytePerCharacter(const std::string& bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    for (char c : bytes)
        text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return text;
}

// UTF-8 when marked so, or when the bytes decode as UTF-8 and hold more than
// ASCII; otherwise each byte is the character of the same code.
std::wstring Decode(std::string bytes) {
    const bool marked = bytes.compare(0, 3, kUtf8Bom) == 0;
    if (marked)
        bytes.erase(0, 3);
    bool ascii = true;
    for (char c : bytes)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii)
        return BytePerCharacter(bytes);
    std::optional<std::wstring> text = StrictFromUtf8(bytes);
    if (!text)
        return BytePerCharacter(bytes);  // not UTF-8 (even if marked so): an 8-bit file
    return std::move(*text);
}

bool IsNameLine(const std::wstring& line) {
    return line.compare(0, kNameTagLength, kNameTag) == 0;
}

// The menu text of the snippet named on `line`, kept as the n-th (0-based).
std::wstring LabelFor(std::wstring line, std::size_t n) {
    // A tab would start the key column early, and a NUL end the label.
    std::replace_if(
        line.begin(), line.end(), [](wchar_t c) { return c == L'\t' || c == L'\0'; }, L' ');
    std::wstring label = line;
    if (n < 10)
        label = line.substr(kNameTagLength) + L"\tAlt+" + std::to_wstring((n + 1) % 10);
    // A single "&" would underline the next letter instead of showing.
    for (std::size_t at = label.find(L'&'); at != std::wstring::npos; at = label.find(L'&', at + 2))
        label.insert(at, 1, L'&');
    return label;
}
}  // namespace

std::vector<Snippet> Parse(const std::string& bytes) {
    const std::wstring content = Decode(bytes);
    std::vector<Snippet> snippets;
    bool inSnippet = false;
    Snippet current;
    // A snippet ends at the next name: without the line break after its last line.
    auto keep = [&snippets, &current](bool trim) {
        if (trim && current.text.size() >= 2)
            current.text.resize(current.text.size() - 2);
        if (!current.text.empty())
            snippets.push_back(current);
    };
    std::size_t start = 0;
    while (start < content.size()) {
        // CR LF, a lone LF and a lone CR each end a line.
        std::size_t end = content.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos)
            end = content.size();
        std::size_t next = end + 1;
        if (end < content.size() && content[end] == L'\r' && next < content.size() && content[next] == L'\n')
            ++next;
        std::wstring line = content.substr(start, end - start);
        start = next;
        if (IsNameLine(line)) {
            if (inSnippet)
                keep(true);
            if (snippets.size() == kMaxSnippets)
                return snippets;
            current.label = LabelFor(line, snippets.size());
            current.text.clear();
            inSnippet = true;
        } else if (inSnippet) {
            current.text += line;
            current.text += L"\r\n";
        }
    }
    // The last snippet of the file keeps the line break after its last line.
    if (inSnippet)
        keep(false);
    return snippets;
}

std::vector<Snippet> Load(const std::wstring& path) {
    const FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return {};
    std::string bytes;
    char chunk[16384];
    DWORD got = 0;
    while (::ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    return Parse(bytes);
}

void FillMenu(HMENU popup, const std::vector<Snippet>& snippets) {
    while (::GetMenuItemCount(popup) > 0)
        ::RemoveMenu(popup, 0, MF_BYPOSITION);
    for (std::size_t k = 0; k < snippets.size(); ++k)
        ::AppendMenuW(popup, MF_STRING, ID_INSERT_FIRST + k, snippets[k].label.c_str());
}

}  // namespace Snippets
