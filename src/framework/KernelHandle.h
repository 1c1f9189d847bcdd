// Owners of kernel handles, closed with CloseHandle. Files say "none" with
// INVALID_HANDLE_VALUE (what CreateFile returns on failure), the other kernel
// objects (mutexes, events) with null.
#pragma once

#include <windows.h>

#include "framework/UniqueHandle.h"

struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE file) { ::CloseHandle(file); }
};

struct KernelHandleTraits {
    using Handle = HANDLE;
    static constexpr Handle Invalid() { return nullptr; }
    static void Close(HANDLE object) { ::CloseHandle(object); }
};

using FileHandle = UniqueHandle<FileHandleTraits>;
using KernelHandle = UniqueHandle<KernelHandleTraits>;
