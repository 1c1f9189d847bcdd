#include "app/HelpCommands.h"

#include "dialogs/About.h"
#include "res/resource.h"
#include "shell/ShellOpen.h"
#include "shell/WebAddresses.h"

namespace {
struct WebPage {
    UINT command;
    const wchar_t* address;
};

constexpr WebPage kWebPages[] = {
    {ID_HELP_HOME_PAGE, WebAddresses::kHomePage},
    {ID_HELP_FORUM, WebAddresses::kForum},
    {ID_HELP_FEEDBACK, WebAddresses::kFeedback},
    {ID_HELP_NEWSLETTER, WebAddresses::kNewsletter},
};
}  // namespace

void HelpCommands::About() {
    CAbout about(m_window);
    about.DoModal();
}

void HelpCommands::OpenWebPage(UINT id) {
    for (const WebPage& page : kWebPages) {
        if (page.command == id) {
            // No owner, no verb: the shell opens the address with the user's browser.
            // A failure is not reported.
            ShellOpenRequest request;
            request.file = page.address;
            request.show = SW_SHOWNORMAL;
            ShellOpen(request);
            return;
        }
    }
}
