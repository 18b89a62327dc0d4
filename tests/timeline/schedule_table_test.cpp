// The schedule table: which rows act at a given demo time, in what order, with what arguments.
// Rows are found by their time window and action, not by their place in the table, so that a row
// added for a new scene leaves these checks as they are; only the checks about the order of the
// list itself walk it by position.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <limits>
#include <string>
#include <vector>

#include "textures/catalogue.h"
#include "timeline/schedule.h"

using enum ScheduleAction;

static const char* ActionName(ScheduleAction action)
{
    switch (action) {
    case WideAngleCube:
        return "WideAngleCube";
    case LogoOverlay:
        return "LogoOverlay";
    case SpinningBox:
        return "SpinningBox";
    case CubeStar:
        return "CubeStar";
    case WobblePicture:
        return "WobblePicture";
    case BlendedPanel:
        return "BlendedPanel";
    case SlidingBackdrop:
        return "SlidingBackdrop";
    case SpinnerPair:
        return "SpinnerPair";
    case TintedSpinner:
        return "TintedSpinner";
    case PictureInOut:
        return "PictureInOut";
    case TwinTubes:
        return "TwinTubes";
    case RozaScene:
        return "RozaScene";
    case EndPicture:
        return "EndPicture";
    }
    return "unknown action";
}

// A row as the tests name it: its window and action, "16550-18000 LogoOverlay".
static std::string Describe(std::int32_t lower, std::int32_t upper, ScheduleAction action)
{
    return std::to_string(lower) + "-" + std::to_string(upper) + " " + ActionName(action);
}

static std::string Describe(const ScheduleRow& row)
{
    return Describe(row.Lower, row.Upper, row.Action);
}

// Every active row, named, in drawing order.
static std::vector<std::string> ActiveRows(std::int32_t t)
{
    std::vector<std::string> rows;
    for (const ScheduleRow& row : Schedule) {
        if (IsRowActive(row, t))
            rows.push_back(Describe(row));
    }
    return rows;
}

static bool NothingDrawnAt(std::int32_t t)
{
    return std::none_of(std::begin(Schedule), std::end(Schedule),
                        [t](const ScheduleRow& row) { return IsRowActive(row, t); });
}

// The rows with this window and action, in list order.
static std::vector<const ScheduleRow*> RowsAt(std::int32_t lower, std::int32_t upper, ScheduleAction action)
{
    std::vector<const ScheduleRow*> rows;
    for (const ScheduleRow& row : Schedule) {
        if (row.Lower == lower && row.Upper == upper && row.Action == action)
            rows.push_back(&row);
    }
    return rows;
}

// The one row with this window and action. The test fails where there is none or more than one; it
// then reads a row whose numbers match nothing.
static const ScheduleRow& RowAt(std::int32_t lower, std::int32_t upper, ScheduleAction action)
{
    constexpr double None = std::numeric_limits<double>::quiet_NaN();
    static const ScheduleRow missing{0, 0, action, nullptr, {None, None, None, None}};
    const std::vector<const ScheduleRow*> rows = RowsAt(lower, upper, action);
    if (rows.size() != 1) {
        ADD_FAILURE() << rows.size() << " rows " << Describe(lower, upper, action) << ", not one";
        return rows.empty() ? missing : *rows.front();
    }
    return *rows.front();
}

// Where the list's order is the point: the row at a place in the running order, counted from 0.
static const ScheduleRow& RowInListAt(int index)
{
    return Schedule[index];
}

TEST(ScheduleTable, RowsActiveAtChosenTimesInDrawingOrder)
{
    using Rows = std::vector<std::string>;
    const Rows tintedPair = {"49500-59500 TintedSpinner", "49500-59500 TintedSpinner"};
    const auto pairThen = [&tintedPair](const std::string& row) {
        Rows rows = tintedPair;
        rows.push_back(row);
        return rows;
    };
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
        {15000, {"900-18000 WideAngleCube", "12000-18000 LogoOverlay"}},
        {16550, {"900-18000 WideAngleCube", "12000-18000 LogoOverlay", "15000-18000 LogoOverlay"}},
        {55500, tintedPair},
        // Inside the scenes, the layers come in the order they are drawn.
        {1, {"0-100 WideAngleCube"}},
        {899, {"800-900 WideAngleCube"}},
        {16551,
         {"900-18000 WideAngleCube", "12000-18000 LogoOverlay", "15000-18000 LogoOverlay", "16550-18000 LogoOverlay"}},
        {20001, {"18000-32000 SpinningBox", "20000-32000 CubeStar"}},
        {33400, {"32000-44000 WobblePicture", "33000-33500 BlendedPanel"}},
        {41999, {"32000-44000 WobblePicture", "41000-42000 BlendedPanel"}},
        {44001, {"44000-44050 SlidingBackdrop"}},
        {50000, pairThen("49700-50700 PictureInOut")},
        {55600, pairThen("55500-69000 TwinTubes")},
        {81001, {"81000-90000 RozaScene", "81000-82500 BlendedPanel"}},
        {121049, {"90000-121050 EndPicture"}},
    };
    for (const auto& row : table)
        EXPECT_EQ(ActiveRows(row.Time), row.Active) << "at " << row.Time;

    for (const ScheduleRow& row : Schedule) {
        EXPECT_FALSE(IsRowActive(row, row.Lower) || IsRowActive(row, row.Upper)) << Describe(row);
        EXPECT_TRUE(IsRowActive(row, row.Lower + 1) && IsRowActive(row, row.Upper - 1)) << Describe(row);
    }
}

TEST(ScheduleTable, ArgumentsThatTheScenesReadBack)
{
    // The opening cube brightens by tenths, one row per 100 ms.
    for (int k = 1; k <= 9; ++k)
        EXPECT_DOUBLE_EQ(RowAt(100 * (k - 1), 100 * k, WideAngleCube).Arg[0], k / 10.0) << k;
    const std::int32_t passStarts[3] = {12000, 15000, 16550};
    for (int pass = 1; pass <= 3; ++pass)
        EXPECT_EQ(RowAt(passStarts[pass - 1], 18000, LogoOverlay).Arg[0], pass);

    // Each credit pair shows its own caption, far then near, 1.5 s a name from 33 s; the second run
    // likewise, from 81 s.
    GLuint TextureSlots::*const first[6] = {&TextureSlots::CrTavrel, &TextureSlots::CrQuimbrel,
                                            &TextureSlots::CrDunvo,  &TextureSlots::CrFenwisp,
                                            &TextureSlots::CrPlo,    &TextureSlots::CrKirrage};
    GLuint TextureSlots::*const second[6] = {&TextureSlots::Codework, &TextureSlots::Glimber, &TextureSlots::Gfx,
                                             &TextureSlots::Yast,     &TextureSlots::Msx,     &TextureSlots::Brund};
    for (int m = 0; m < 6; ++m) {
        const std::int32_t at = 33000 + 1500 * m;
        const ScheduleRow& farRow = RowAt(at, at + 500, BlendedPanel);
        const ScheduleRow& nearRow = RowAt(at + 500, at + 1500, BlendedPanel);
        EXPECT_EQ(farRow.Texture, first[m]) << m;
        EXPECT_EQ(nearRow.Texture, first[m]) << m;
        EXPECT_EQ(farRow.Arg[0], -6.5);
        EXPECT_EQ(nearRow.Arg[0], -4.2);
        const std::int32_t again = 81000 + 1500 * m;
        EXPECT_EQ(RowAt(again, again + 1500, BlendedPanel).Texture, second[m]) << m;
    }
    // The backdrop slides left in 50 ms steps.
    for (int k = 1; k <= 15; ++k)
        EXPECT_NEAR(RowAt(44000 + 50 * (k - 1), 44000 + 50 * k, SlidingBackdrop).Arg[0], -0.2 * k, 1e-12) << k;

    // The violet square turns the other way from the first: the second of the pair, as drawn.
    const std::vector<const ScheduleRow*> tinted = RowsAt(49500, 59500, TintedSpinner);
    ASSERT_EQ(tinted.size(), 2u);
    EXPECT_EQ(tinted[0]->Arg[0], 30);
    EXPECT_EQ(tinted[0]->Arg[1], 10);
    EXPECT_EQ(tinted[1]->Arg[0], -50);
    EXPECT_EQ(tinted[1]->Arg[1], -8);

    // Each mk.jpg fade is handed exactly its own row's window.
    const std::int32_t flashes[3][2] = {{49700, 50700}, {52000, 53000}, {54000, 55000}};
    for (const auto& flash : flashes) {
        const ScheduleRow& row = RowAt(flash[0], flash[1], PictureInOut);
        EXPECT_EQ(row.Arg[0], row.Lower) << Describe(row);
        EXPECT_EQ(row.Arg[1], row.Upper) << Describe(row);
    }
    EXPECT_EQ(RowAt(72000, 75000, RozaScene).Arg[1], 0.7);
    EXPECT_EQ(RowAt(75000, 78000, RozaScene).Arg[0], 0.0);

    // The end picture is told to stop at 121000 though the row runs to 121050.
    const ScheduleRow& end = RowAt(90000, 121050, EndPicture);
    EXPECT_EQ(end.Texture, &TextureSlots::Ende);
    EXPECT_EQ(end.Arg[0], 90000.0);
    EXPECT_EQ(end.Arg[1], 121000.0);
}

// The run ends once the demo time passes 121100 ms; nothing is scheduled outside it.
constexpr std::int32_t RunEnd = 121100;

TEST(ScheduleTable, EveryWindowLiesInsideTheRunAndTheShowNeverGoesBlank)
{
    for (const ScheduleRow& row : Schedule) {
        EXPECT_TRUE(0 <= row.Lower && row.Lower < row.Upper && row.Upper <= RunEnd)
            << "row " << Describe(row) << ": " << row.Lower << " to " << row.Upper;
    }
    // Between the start and the last row's end, only a single millisecond where one scene hands over
    // to the next may be left uncovered: never a stretch of two or more.
    std::int32_t lastEnd = 0;
    for (const ScheduleRow& row : Schedule)
        lastEnd = std::max(lastEnd, row.Upper);
    for (std::int32_t t = 1; t + 1 < lastEnd; ++t)
        EXPECT_FALSE(NothingDrawnAt(t) && NothingDrawnAt(t + 1)) << "nothing drawn at " << t << " and " << t + 1;
}

TEST(ScheduleTable, CreditsFollowOneAnotherWithoutGapOrOverlap)
{
    // The credit panels, each family in its running order: a family is a run of panels next to one
    // another in the list.
    std::vector<int> panels;
    for (int i = 0; i < ScheduleRowCount; ++i)
        if (RowInListAt(i).Action == BlendedPanel)
            panels.push_back(i);
    ASSERT_EQ(panels.size(), 18u);

    // Never two captions at once, and inside each family one takes over exactly where the last left off:
    // a name's near row where its far row ends, the next name where the last one's near row ends.
    for (std::int32_t t = 0; t <= RunEnd; ++t) {
        int shown = 0;
        for (int i : panels)
            shown += IsRowActive(RowInListAt(i), t) ? 1 : 0;
        ASSERT_LE(shown, 1) << "two credits at " << t;
    }
    int families = 1;
    for (std::size_t k = 1; k < panels.size(); ++k) {
        const ScheduleRow& before = RowInListAt(panels[k - 1]);
        const ScheduleRow& after = RowInListAt(panels[k]);
        if (panels[k] != panels[k - 1] + 1) {
            ++families;
            continue;
        }
        EXPECT_EQ(after.Lower, before.Upper) << "rows " << Describe(before) << " and " << Describe(after);
        // The same name twice running: far (deeper) first, then near.
        if (after.Texture == before.Texture) {
            EXPECT_LT(before.Arg[0], after.Arg[0]) << "rows " << Describe(before) << " and " << Describe(after);
        }
    }
    EXPECT_EQ(families, 2);
}

// A fade ladder: rows of one action next to one another in the list, each a short step of the same
// length, one starting where the last ends, then a row holding the last value. Its value moves one
// way in equal steps.
TEST(ScheduleTable, FadeLaddersStepOneWayInEqualSteps)
{
    constexpr std::int32_t LongestStep = 100;
    std::vector<int> ladderLengths;
    int n = 0;
    while (n < ScheduleRowCount) {
        int last = n;
        while (last + 1 < ScheduleRowCount && RowInListAt(last + 1).Action == RowInListAt(n).Action &&
               RowInListAt(last + 1).Lower == RowInListAt(last).Upper &&
               RowInListAt(last).Upper - RowInListAt(last).Lower <= LongestStep)
            ++last;
        if (last - n + 1 < 3) {
            ++n;
            continue;
        }
        SCOPED_TRACE("ladder of rows " + Describe(RowInListAt(n)) + " to " + Describe(RowInListAt(last)));
        const std::int32_t stepLength = RowInListAt(n).Upper - RowInListAt(n).Lower;
        const double step = RowInListAt(n + 1).Arg[0] - RowInListAt(n).Arg[0];
        EXPECT_NE(step, 0.0);
        for (int k = n + 1; k <= last; ++k) {
            if (k < last) {
                EXPECT_EQ(RowInListAt(k).Upper - RowInListAt(k).Lower, stepLength)
                    << "row " << Describe(RowInListAt(k));
            }
            EXPECT_NEAR(RowInListAt(k).Arg[0] - RowInListAt(k - 1).Arg[0], step, 1e-9)
                << "row " << Describe(RowInListAt(k));
        }
        ladderLengths.push_back(last - n + 1);
        n = last + 1;
    }
    // The opening cube's brightness, and the backdrop sliding away.
    EXPECT_EQ(ladderLengths, (std::vector<int>{10, 15}));
}
