#include "settings/UsageCounters.h"

#include "settings/Profile.h"

namespace {
constexpr const wchar_t* kRuns = L"Runs";
constexpr const wchar_t* kUses = L"Uses";
}  // namespace

namespace UsageCounters {
int Runs() {
    return Profile::ReadInt(Profile::kStat, kRuns, 1);
}

void CountRun(int callUps) {
    Profile::WriteInt(Profile::kStat, kRuns, Runs() + 1);
    Profile::WriteInt(Profile::kStat, kUses, Profile::ReadInt(Profile::kStat, kUses, 0) + callUps);
}
}  // namespace UsageCounters
