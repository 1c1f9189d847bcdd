// The time stamp marker of snippets: "%ExTime(format)%" becomes the current
// local date and time in `format`, a strftime format written with "#" in place
// of "%" (#d.#m.#Y; ###d for the day without a leading zero; \# for a literal
// "#" and \) for a literal ")"). Percent signs that form no marker stay.
#pragma once

#include <ctime>
#include <string>

namespace TimeStampMarkers {

// A result can itself form a new marker, which is expanded in turn; after this
// many expansions the text stays as it stands.
constexpr int kMaxExpansions = 1000;

// Expands the markers of `text` with the time `now` (null: the time could not
// be had, and every marker becomes empty text).
std::wstring ExpandMarkers(std::wstring text, const std::tm* now, int maxExpansions = kMaxExpansions);

// `format` as written in a marker, turned into the runtime's format and applied
// to `now`. Empty when `now` is null, when the format holds a conversion the
// runtime does not know, or when the result is longer than 127 characters.
std::wstring FormatTime(const std::wstring& format, const std::tm* now);

}  // namespace TimeStampMarkers
