// Owners of kernel handles, closed with CloseHandle, and of folder searches,
// closed with FindClose. Files and searches say "none" with
// INVALID_HANDLE_VALUE (what CreateFile and FindFirstFile return on failure),
// the other kernel objects (mutexes, events) with null.
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

// A search of a folder (FindFirstFile), ended with FindClose.
struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE search) { ::FindClose(search); }
};

using FileHandle = UniqueHandle<FileHandleTraits>;
using FindHandle = UniqueHandle<FindHandleTraits>;
using KernelHandle = UniqueHandle<KernelHandleTraits>;
