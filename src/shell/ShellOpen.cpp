#include "shell/ShellOpen.h"

#include <shellapi.h>

#include <utility>

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

void SetShellOpenHandler(ShellOpenHandler handler) {
    TestHandler() = std::move(handler);
}
