// Every web address the program opens lives here, so that whoever distributes
// Tallyleaf sets them in one place (see README.md, "Web addresses"). The values
// below are placeholders on a domain reserved for examples: they lead nowhere.
#pragma once

namespace WebAddresses {
// The Help menu's pages.
inline constexpr const wchar_t* kHomePage = L"https://tallyleaf.example/";
inline constexpr const wchar_t* kForum = L"https://tallyleaf.example/forum";
inline constexpr const wchar_t* kFeedback = L"https://tallyleaf.example/feedback";
inline constexpr const wchar_t* kNewsletter = L"https://tallyleaf.example/newsletter";

// The About box's links (its home page link is kHomePage).
inline constexpr const wchar_t* kSupportMail = L"mailto:support@tallyleaf.example";
inline constexpr const wchar_t* kClipkeeper = L"https://tallyleaf.example/clipkeeper";
inline constexpr const wchar_t* kTimeslip = L"https://tallyleaf.example/timeslip";
inline constexpr const wchar_t* kSoftwareArchive = L"https://software-archive.example/";
}  // namespace WebAddresses
