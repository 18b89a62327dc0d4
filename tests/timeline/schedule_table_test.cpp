// The schedule table: which rows act at a given demo time, in what order, with what arguments.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "textures/catalogue.h"
#include "timeline/schedule.h"

// Row numbers as the running order counts them, from 1.
static std::vector<int> ActiveRows(std::int32_t t)
{
    std::vector<int> rows;
    for (int i = 0; i < ScheduleRowCount; ++i) {
        if (IsRowActive(Schedule[i], t))
            rows.push_back(i + 1);
    }
    return rows;
}

static const ScheduleRow& Row(int number)
{
    return Schedule[number - 1];
}

TEST(ScheduleTable, RowsActiveAtChosenTimesInDrawingOrder)
{
    using Rows = std::vector<int>;
    const struct {
        std::int32_t Time;
        Rows Active;
    } table[] = {
        // Bounds are exclusive, so these moments fall between two scenes.
        {0, {}},
        {900, {}},
        {18000, {}},
        {32000, {}},
        {44750, {}},
        {69000, {}},
        {121050, {}},
        {15000, {10, 11}},
        {16550, {10, 11, 12}},
        {55500, {45, 46}},
        // Inside the scenes, the layers come in the order they are drawn.
        {1, {1}},
        {899, {9}},
        {16551, {10, 11, 12, 13}},
        {20001, {14, 15}},
        {33400, {16, 17}},
        {41999, {16, 28}},
        {44001, {29}},
        {50000, {45, 46, 47}},
        {55600, {45, 46, 50}},
        {81001, {55, 56}},
        {121049, {62}},
    };
    for (const auto& row : table)
        EXPECT_EQ(ActiveRows(row.Time), row.Active) << "at " << row.Time;

    for (int n = 1; n <= ScheduleRowCount; ++n) {
        const ScheduleRow& row = Row(n);
        EXPECT_FALSE(IsRowActive(row, row.Lower) || IsRowActive(row, row.Upper)) << n;
        EXPECT_TRUE(IsRowActive(row, row.Lower + 1) && IsRowActive(row, row.Upper - 1)) << n;
    }
}

TEST(ScheduleTable, ArgumentsThatTheScenesReadBack)
{
    // The opening cube brightens by tenths, one row per 100 ms.
    for (int k = 1; k <= 9; ++k)
        EXPECT_DOUBLE_EQ(Row(k).Arg[0], k / 10.0) << k;
    for (int pass = 1; pass <= 3; ++pass)
        EXPECT_EQ(Row(10 + pass).Arg[0], pass);

    // Each credit pair shows its own caption, far then near; the second run likewise.
    GLuint TextureSlots::*const first[6] = {&TextureSlots::CrTavrel, &TextureSlots::CrQuimbrel,
                                            &TextureSlots::CrDunvo,  &TextureSlots::CrFenwisp,
                                            &TextureSlots::CrPlo,    &TextureSlots::CrKirrage};
    GLuint TextureSlots::*const second[6] = {&TextureSlots::Codework, &TextureSlots::Glimber, &TextureSlots::Gfx,
                                             &TextureSlots::Yast,     &TextureSlots::Msx,     &TextureSlots::Brund};
    for (int m = 0; m < 6; ++m) {
        EXPECT_EQ(Row(17 + 2 * m).Texture, first[m]) << m;
        EXPECT_EQ(Row(18 + 2 * m).Texture, first[m]) << m;
        EXPECT_EQ(Row(17 + 2 * m).Arg[0], -6.5);
        EXPECT_EQ(Row(18 + 2 * m).Arg[0], -4.2);
        EXPECT_EQ(Row(56 + m).Texture, second[m]) << m;
    }
    // The backdrop slides left in 50 ms steps.
    for (int k = 1; k <= 15; ++k)
        EXPECT_NEAR(Row(28 + k).Arg[0], -0.2 * k, 1e-12) << k;

    // The violet square turns the other way from the first.
    EXPECT_EQ(Row(45).Action, ScheduleAction::TintedSpinner);
    EXPECT_EQ(Row(46).Arg[0], -50);
    EXPECT_EQ(Row(46).Arg[1], -8);

    // Each mk.jpg fade is handed exactly its own row's window.
    for (int n = 47; n <= 49; ++n) {
        EXPECT_EQ(Row(n).Arg[0], Row(n).Lower) << n;
        EXPECT_EQ(Row(n).Arg[1], Row(n).Upper) << n;
    }
    EXPECT_EQ(Row(52).Arg[1], 0.7);
    EXPECT_EQ(Row(53).Arg[0], 0.0);

    // The end picture is told to stop at 121000 though the row runs to 121050.
    EXPECT_EQ(Row(62).Texture, &TextureSlots::Ende);
    EXPECT_EQ(Row(62).Arg[0], 90000.0);
    EXPECT_EQ(Row(62).Arg[1], 121000.0);
}

// The run ends once the demo time passes 121100 ms; nothing is scheduled outside it.
constexpr std::int32_t RunEnd = 121100;

TEST(ScheduleTable, EveryWindowLiesInsideTheRunAndTheShowNeverGoesBlank)
{
    for (int n = 1; n <= ScheduleRowCount; ++n) {
        const ScheduleRow& row = Row(n);
        EXPECT_TRUE(0 <= row.Lower && row.Lower < row.Upper && row.Upper <= RunEnd)
            << "row " << n << ": " << row.Lower << " to " << row.Upper;
    }
    // Between the start and the last row's end, only a single millisecond where one scene hands over
    // to the next may be left uncovered: never a stretch of two or more.
    std::int32_t lastEnd = 0;
    for (const ScheduleRow& row : Schedule)
        lastEnd = std::max(lastEnd, row.Upper);
    for (std::int32_t t = 1; t + 1 < lastEnd; ++t)
        EXPECT_FALSE(ActiveRows(t).empty() && ActiveRows(t + 1).empty())
            << "nothing drawn at " << t << " and " << t + 1;
}

TEST(ScheduleTable, CreditsFollowOneAnotherWithoutGapOrOverlap)
{
    // The credit panels, each family in its running order.
    std::vector<int> panels;
    for (int n = 1; n <= ScheduleRowCount; ++n)
        if (Row(n).Action == ScheduleAction::BlendedPanel)
            panels.push_back(n);
    ASSERT_EQ(panels.size(), 18u);

    // Never two captions at once, and inside each family one takes over exactly where the last left off:
    // a name's near row where its far row ends, the next name where the last one's near row ends.
    for (std::int32_t t = 0; t <= RunEnd; ++t) {
        int shown = 0;
        for (int n : panels)
            shown += IsRowActive(Row(n), t) ? 1 : 0;
        ASSERT_LE(shown, 1) << "two credits at " << t;
    }
    int families = 1;
    for (std::size_t i = 1; i < panels.size(); ++i) {
        const ScheduleRow& before = Row(panels[i - 1]);
        const ScheduleRow& after = Row(panels[i]);
        if (panels[i] != panels[i - 1] + 1) {
            ++families;
            continue;
        }
        EXPECT_EQ(after.Lower, before.Upper) << "rows " << panels[i - 1] << " and " << panels[i];
        // The same name twice running: far (deeper) first, then near.
        if (after.Texture == before.Texture) {
            EXPECT_LT(before.Arg[0], after.Arg[0]) << "rows " << panels[i - 1] << " and " << panels[i];
        }
    }
    EXPECT_EQ(families, 2);
}

// A fade ladder: rows of one action, each a short step of the same length, one starting where the
// last ends, then a row holding the last value. Its value moves one way in equal steps.
TEST(ScheduleTable, FadeLaddersStepOneWayInEqualSteps)
{
    constexpr std::int32_t LongestStep = 100;
    std::vector<int> ladderLengths;
    int n = 1;
    while (n <= ScheduleRowCount) {
        int last = n;
        while (last < ScheduleRowCount && Row(last + 1).Action == Row(n).Action &&
               Row(last + 1).Lower == Row(last).Upper && Row(last).Upper - Row(last).Lower <= LongestStep)
            ++last;
        if (last - n + 1 < 3) {
            ++n;
            continue;
        }
        SCOPED_TRACE("ladder of rows " + std::to_string(n) + " to " + std::to_string(last));
        const std::int32_t stepLength = Row(n).Upper - Row(n).Lower;
        const double step = Row(n + 1).Arg[0] - Row(n).Arg[0];
        EXPECT_NE(step, 0.0);
        for (int k = n + 1; k <= last; ++k) {
            if (k < last) {
                EXPECT_EQ(Row(k).Upper - Row(k).Lower, stepLength) << "row " << k;
            }
            EXPECT_NEAR(Row(k).Arg[0] - Row(k - 1).Arg[0], step, 1e-9) << "row " << k;
        }
        ladderLengths.push_back(last - n + 1);
        n = last + 1;
    }
    // The opening cube's brightness, and the backdrop sliding away.
    EXPECT_EQ(ladderLengths, (std::vector<int>{10, 15}));
}
