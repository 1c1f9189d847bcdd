// Milliseconds from the performance counter: the pump times a watched message
// with it, the bench its figures.
#pragma once

#include <windows.h>

class Stopwatch {
public:
    Stopwatch() { Restart(); }
    void Restart() { ::QueryPerformanceCounter(&m_start); }
    double ElapsedMs() const {
        static const double ticksPerMs = [] {
            LARGE_INTEGER frequency;
            ::QueryPerformanceFrequency(&frequency);
            return static_cast<double>(frequency.QuadPart) / 1000.0;
        }();
        LARGE_INTEGER now;
        ::QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - m_start.QuadPart) / ticksPerMs;
    }

private:
    LARGE_INTEGER m_start;
};
