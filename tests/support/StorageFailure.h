// The storage failure an action throws, if any, for tests that check what it says.
#pragma once

#include <optional>

#include "storage/CppSQLite3Exception.h"

template <typename Action>
std::optional<CppSQLite3Exception> FailureOf(Action action) {
    try {
        action();
    } catch (const CppSQLite3Exception& e) {
        return e;
    }
    return std::nullopt;
}
