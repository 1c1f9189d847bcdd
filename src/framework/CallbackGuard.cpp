#include "framework/CallbackGuard.h"

#include <exception>

#include "framework/AppMessageBox.h"
#include "framework/Exception.h"

void ReportCurrentException() noexcept {
    try {
        try {
            throw;
        } catch (const std::exception& e) {
            AppMessageBox(ExceptionMessage(e), nullptr, MB_ICONERROR);
        } catch (...) {
            AppMessageBox(L"Unexpected error.", nullptr, MB_ICONERROR);
        }
    } catch (...) {
        // Even the report failed (no memory for its text): nothing is left to tell.
    }
}
