// The command table itself: every id once, every menu and button entry backed
// by a row, and the enabling rules.
#include "app/command_table.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(CommandTable, EveryIdOnceAndEveryEntryHasARow)
{
    std::set<int> ids;
    for (const CommandInfo& command : commandTable())
        EXPECT_TRUE(ids.insert(command.id).second) << command.id;

    auto expectRows = [&](std::span<const int> entries) {
        for (int id : entries) {
            if (id != kSeparator && id != kRecentFilesSlot) {
                EXPECT_NE(findCommand(id), nullptr) << id;
            }
        }
    };
    for (const MenuInfo& menu : menusWithoutDocument())
        expectRows(menu.entries);
    for (const MenuInfo& menu : menusWithDocument())
        expectRows(menu.entries);
    expectRows(mainToolbarButtons());
    expectRows(noteBarButtons());
    EXPECT_EQ(findCommand(4711), nullptr);
}

TEST(CommandTable, EnablingRules)
{
    struct Row {
        CommandRule rule;
        bool none, idleView, activePlaying, otherPlaying, inactiveViews;
    };
    // States: no view; an idle active view; the active view playing; another
    // view playing while the active one is idle; views but none active.
    const CommandState none;
    const CommandState idle{true, false, true, false};
    const CommandState activePlaying{true, true, true, true};
    const CommandState otherPlaying{true, false, true, true};
    const CommandState inactive{false, false, true, false};
    const Row rows[] = {
        {CommandRule::Disabled, false, false, false, false, false},
        {CommandRule::Always, true, true, true, true, true},
        {CommandRule::ActiveView, false, true, true, true, false},
        {CommandRule::ActiveViewIdle, false, true, false, true, false},
        {CommandRule::AnyView, false, true, true, true, true},
        {CommandRule::AnyViewIdle, false, true, false, false, true},
        {CommandRule::SomeViewPlaying, false, false, true, true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(int(row.rule));
        EXPECT_EQ(isCommandEnabled(row.rule, none), row.none);
        EXPECT_EQ(isCommandEnabled(row.rule, idle), row.idleView);
        EXPECT_EQ(isCommandEnabled(row.rule, activePlaying), row.activePlaying);
        EXPECT_EQ(isCommandEnabled(row.rule, otherPlaying), row.otherPlaying);
        EXPECT_EQ(isCommandEnabled(row.rule, inactive), row.inactiveViews);
    }
}

TEST(CommandTable, PlaybackCommandsFollowTheirRules)
{
    const std::pair<int, CommandRule> rows[] = {
        {cmd::PlayAll, CommandRule::AnyViewIdle},   {cmd::StopPlaying, CommandRule::SomeViewPlaying},
        {cmd::TieViews, CommandRule::AnyView},      {cmd::Home, CommandRule::ActiveView},
        {cmd::End, CommandRule::ActiveView},        {cmd::PlayView, CommandRule::ActiveViewIdle},
        {32833, CommandRule::Always},
    };
    for (const auto& [id, rule] : rows)
        EXPECT_EQ(findCommand(id)->rule, rule) << id;
    EXPECT_STREQ(findCommand(cmd::PlayView)->keys, "P");
    EXPECT_STREQ(findCommand(cmd::StopPlaying)->keys, "S");
}

} // namespace
