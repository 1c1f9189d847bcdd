// The counters of section "Stat": program runs and call-ups of the window.
#pragma once

namespace UsageCounters {
// The number of runs so far (1 on the first run).
int Runs();
// Adds this run and its call-ups, as the end of the program does.
void CountRun(int callUps);
}  // namespace UsageCounters
