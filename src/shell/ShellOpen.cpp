#include "shell/ShellOpen.h"

#include <shellapi.h>

#include <utility>
#include "app/TestSeams.h"

namespace {
ShellOpenHandler& TestHandler() {
    static ShellOpenHandler handler;
    return handler;
}
}  // namespace

HINSTANCE ShellOpen(const ShellOpenRequest& request) {
    if (TestHandler())
        return TestHandler()(request);
    return ::ShellExecuteW(request.owner, request.verb, request.file, request.parameters, request.directory,
                           request.show);
}

void TestSeams::SetShellOpenHandler(ShellOpenHandler handler) {
    TestHandler() = std::move(handler);
}
