#include "framework/ByteSizeText.h"

#include <cstdio>

std::wstring ByteSizeText(unsigned long long bytes) {
    wchar_t text[32];
    if (bytes >= 1024ull * 1024 * 1024)
        std::swprintf(text, 32, L"%.1f GB", static_cast<double>(bytes) / (1024.0 * 1024 * 1024));
    else if (bytes >= 1024ull * 1024)
        std::swprintf(text, 32, L"%.1f MB", static_cast<double>(bytes) / (1024.0 * 1024));
    else
        std::swprintf(text, 32, L"%llu KB", (bytes + 1023) / 1024);
    return text;
}
