// The command table over a context of parts: each row runs, enables and checks
// through a member function of one part, and the checks over rows catch what
// would break menus and keys.
#include <gtest/gtest.h>

#include "app/CommandTable.h"

namespace {
struct Part {
    int runs = 0;
    UINT lastId = 0;
    bool allowed = true;
    bool on = false;

    void Run() { ++runs; }
    void RunWithId(UINT id) {
        ++runs;
        lastId = id;
    }
    bool Allowed() { return allowed; }
    bool On() const { return on; }
};

struct Context {
    Part first;
    Part second;
};
using C = Context;

template <auto OfContext, auto Member>
using H = CommandHandler<OfContext, Member>;

constexpr CommandKey kCtrlA{'A', CommandKey::kCtrl, 0};

// clang-format off
constexpr CommandRow<C> kRows[] = {
    {100, H<&C::first, &Part::Run>::Run,        H<&C::first, &Part::Allowed>::Enabled, nullptr,                          kCtrlA,       0},
    {101, H<&C::second, &Part::RunWithId>::Run, nullptr,                               H<&C::second, &Part::On>::Checked, CommandKey{}, kNoIcon},
};
constexpr CommandRow<C> kSameId[] = {
    {100, H<&C::first, &Part::Run>::Run, nullptr, nullptr, CommandKey{}, kNoIcon},
    {100, H<&C::second, &Part::Run>::Run, nullptr, nullptr, CommandKey{}, kNoIcon},
};
constexpr CommandRow<C> kSameKey[] = {
    {100, H<&C::first, &Part::Run>::Run, nullptr, nullptr, kCtrlA, kNoIcon},
    {101, H<&C::second, &Part::Run>::Run, nullptr, nullptr, kCtrlA, kNoIcon},
};
constexpr CommandRow<C> kNoHandler[] = {
    {100, nullptr, nullptr, nullptr, CommandKey{}, kNoIcon},
};
// clang-format on

constexpr CommandTable<C> kTable{kRows};
static_assert(kTable.HandlersSet() && kTable.IdsDistinct() && kTable.KeysDistinct() && kTable.IconsFill(1));
static_assert(!CommandTable<C>{kSameId}.IdsDistinct());
static_assert(!CommandTable<C>{kSameKey}.KeysDistinct());
static_assert(!CommandTable<C>{kNoHandler}.HandlersSet());
static_assert(!kTable.IconsFill(2));
static_assert(!kTable.IdsOutside(101, 200));
}  // namespace

TEST(CommandTable, ARowRunsItsMemberOnItsOwnPart) {
    Context context;
    EXPECT_TRUE(kTable.Route(context, 100, nullptr));
    EXPECT_EQ(context.first.runs, 1);
    EXPECT_EQ(context.second.runs, 0);

    EXPECT_TRUE(kTable.Route(context, 101, nullptr));
    EXPECT_EQ(context.second.runs, 1);
    EXPECT_EQ(context.second.lastId, 101u);
    EXPECT_EQ(context.first.runs, 1);
}

TEST(CommandTable, AnIdWithoutARowIsLeftToOthers) {
    Context context;
    EXPECT_FALSE(kTable.Route(context, 102, nullptr));
    EXPECT_EQ(context.first.runs + context.second.runs, 0);
    EXPECT_TRUE(kTable.IsEnabled(context, 102));
    EXPECT_FALSE(kTable.IsChecked(context, 102));
}

TEST(CommandTable, ADisabledCommandRunsOnlyWhenAControlSendsIt) {
    Context context;
    context.first.allowed = false;
    EXPECT_FALSE(kTable.IsEnabled(context, 100));
    EXPECT_TRUE(kTable.Route(context, 100, nullptr));
    EXPECT_EQ(context.first.runs, 0);

    const HWND control = reinterpret_cast<HWND>(1);
    EXPECT_TRUE(kTable.Route(context, 100, control));
    EXPECT_EQ(context.first.runs, 1);
}

TEST(CommandTable, TheCheckMarkIsAskedOfThePart) {
    Context context;
    EXPECT_FALSE(kTable.IsChecked(context, 101));
    context.second.on = true;
    EXPECT_TRUE(kTable.IsChecked(context, 101));
    context.first.on = true;
    EXPECT_FALSE(kTable.IsChecked(context, 100));
}

TEST(CommandTable, KeysAndIconsAreLookedUpInTheRows) {
    const CommandRow<C>* row = kTable.FindKey('A', CommandKey::kCtrl, 0);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->id, 100u);
    EXPECT_EQ(kTable.FindKey('A', CommandKey::kCtrl | CommandKey::kShift, 0), nullptr);
    EXPECT_EQ(kTable.IconStrip(133, 16, 16), (std::vector<WORD>{133, 16, 16, 100, 0}));
}
