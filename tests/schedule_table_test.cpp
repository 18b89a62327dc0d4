// The schedule table: which rows act at a given demo time, in what order, with what arguments.
#include <gtest/gtest.h>

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
    // Bounds are exclusive, so most of these moments fall between two scenes.
    EXPECT_EQ(ActiveRows(0), Rows{});
    EXPECT_EQ(ActiveRows(100), Rows{});
    EXPECT_EQ(ActiveRows(900), Rows{});
    EXPECT_EQ(ActiveRows(12000), Rows{10});
    EXPECT_EQ(ActiveRows(15000), (Rows{10, 11}));
    EXPECT_EQ(ActiveRows(16550), (Rows{10, 11, 12}));
    EXPECT_EQ(ActiveRows(18000), Rows{});
    EXPECT_EQ(ActiveRows(32000), Rows{});
    EXPECT_EQ(ActiveRows(44750), Rows{});
    EXPECT_EQ(ActiveRows(49500), Rows{});
    EXPECT_EQ(ActiveRows(55500), (Rows{45, 46}));
    EXPECT_EQ(ActiveRows(69000), Rows{});
    EXPECT_EQ(ActiveRows(90000), Rows{});
    EXPECT_EQ(ActiveRows(121050), Rows{});
    EXPECT_EQ(ActiveRows(121100), Rows{});

    // Inside the scenes, the layers come in the order they are drawn.
    EXPECT_EQ(ActiveRows(1), Rows{1});
    EXPECT_EQ(ActiveRows(899), Rows{9});
    EXPECT_EQ(ActiveRows(16551), (Rows{10, 11, 12, 13}));
    EXPECT_EQ(ActiveRows(19999), Rows{14});
    EXPECT_EQ(ActiveRows(20001), (Rows{14, 15}));
    EXPECT_EQ(ActiveRows(33400), (Rows{16, 17}));
    EXPECT_EQ(ActiveRows(41999), (Rows{16, 28}));
    EXPECT_EQ(ActiveRows(44001), Rows{29});
    EXPECT_EQ(ActiveRows(44749), Rows{43});
    EXPECT_EQ(ActiveRows(50000), (Rows{45, 46, 47}));
    EXPECT_EQ(ActiveRows(55600), (Rows{45, 46, 50}));
    EXPECT_EQ(ActiveRows(59600), Rows{50});
    EXPECT_EQ(ActiveRows(81001), (Rows{55, 56}));
    EXPECT_EQ(ActiveRows(121049), Rows{62});
}

TEST(ScheduleTable, EveryRowIsOpenOnBothEnds)
{
    for (int n = 1; n <= ScheduleRowCount; ++n) {
        const ScheduleRow& row = Row(n);
        SCOPED_TRACE(n);
        EXPECT_FALSE(IsRowActive(row, row.Lower));
        EXPECT_FALSE(IsRowActive(row, row.Upper));
        EXPECT_TRUE(IsRowActive(row, row.Lower + 1));
        EXPECT_TRUE(IsRowActive(row, row.Upper - 1));
    }
}

TEST(ScheduleTable, OpeningCubeAndLogoPasses)
{
    for (int k = 1; k <= 9; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(Row(k).Action, ScheduleAction::WideAngleCube);
        EXPECT_EQ(Row(k).Lower, 100 * (k - 1));
        EXPECT_EQ(Row(k).Upper, 100 * k);
        EXPECT_DOUBLE_EQ(Row(k).Arg[0], k / 10.0);
    }
    EXPECT_EQ(Row(10).Action, ScheduleAction::WideAngleCube);
    EXPECT_EQ(Row(10).Arg[0], 1.0);
    for (int pass = 1; pass <= 3; ++pass) {
        EXPECT_EQ(Row(10 + pass).Action, ScheduleAction::LogoOverlay);
        EXPECT_EQ(Row(10 + pass).Arg[0], pass);
        EXPECT_EQ(Row(10 + pass).Upper, 18000);
    }
    EXPECT_EQ(Row(14).Action, ScheduleAction::SpinningBox);
    EXPECT_EQ(Row(15).Action, ScheduleAction::CubeStar);
    EXPECT_EQ(Row(15).Texture, &TexHdr);
    EXPECT_EQ(Row(15).Arg[0], -7.0);
}

TEST(ScheduleTable, CreditPanelsTexturesAndDepths)
{
    const GLuint* first[6] = {&TexCrTavrel, &TexCrQuimbrel, &TexCrDunvo, &TexCrFenwisp, &TexCrPlo, &TexCrKirrage};
    for (int m = 0; m < 6; ++m) {
        SCOPED_TRACE(m);
        const ScheduleRow& far = Row(17 + 2 * m);
        const ScheduleRow& near = Row(18 + 2 * m);
        EXPECT_EQ(far.Action, ScheduleAction::BlendedPanel);
        EXPECT_EQ(near.Action, ScheduleAction::BlendedPanel);
        EXPECT_EQ(far.Texture, first[m]);
        EXPECT_EQ(near.Texture, first[m]);
        EXPECT_EQ(far.Arg[0], -6.5);
        EXPECT_EQ(near.Arg[0], -4.2);
        EXPECT_EQ(far.Lower, 33000 + 1500 * m);
        EXPECT_EQ(far.Upper, 33500 + 1500 * m);
        EXPECT_EQ(near.Lower, 33500 + 1500 * m);
        EXPECT_EQ(near.Upper, 34500 + 1500 * m);
    }
    const GLuint* second[6] = {&TexCodework, &TexGlimber, &TexGfx, &TexYast, &TexMsx, &TexBrund};
    for (int m = 0; m < 6; ++m) {
        SCOPED_TRACE(m);
        const ScheduleRow& panel = Row(56 + m);
        EXPECT_EQ(panel.Action, ScheduleAction::BlendedPanel);
        EXPECT_EQ(panel.Texture, second[m]);
        EXPECT_EQ(panel.Arg[0], -4.2);
        EXPECT_EQ(panel.Lower, 81000 + 1500 * m);
        EXPECT_EQ(panel.Upper, 82500 + 1500 * m);
    }
}

TEST(ScheduleTable, BackdropSlidesLeftInFiftyMillisecondSteps)
{
    for (int k = 1; k <= 15; ++k) {
        SCOPED_TRACE(k);
        const ScheduleRow& row = Row(28 + k);
        EXPECT_EQ(row.Action, ScheduleAction::SlidingBackdrop);
        EXPECT_EQ(row.Lower, 44000 + 50 * (k - 1));
        EXPECT_EQ(row.Upper, 44000 + 50 * k);
        EXPECT_NEAR(row.Arg[0], -0.2 * k, 1e-12);
    }
}

TEST(ScheduleTable, SpinnersPicturesTubesAndEnd)
{
    for (int n : {16, 44}) {
        SCOPED_TRACE(n);
        EXPECT_EQ(Row(n).Arg[0], 30);
        EXPECT_EQ(Row(n).Arg[1], 10);
        EXPECT_EQ(Row(n).Arg[2], -50);
        EXPECT_EQ(Row(n).Arg[3], -8);
    }
    EXPECT_EQ(Row(16).Action, ScheduleAction::WobblePicture);
    EXPECT_EQ(Row(44).Action, ScheduleAction::SpinnerPair);
    EXPECT_EQ(Row(45).Action, ScheduleAction::TintedSpinner);
    EXPECT_EQ(Row(45).Arg[0], 30);
    EXPECT_EQ(Row(45).Arg[1], 10);
    EXPECT_EQ(Row(46).Action, ScheduleAction::TintedSpinner);
    EXPECT_EQ(Row(46).Arg[0], -50);
    EXPECT_EQ(Row(46).Arg[1], -8);

    // Each mk.jpg fade is handed exactly its own row's window.
    for (int n = 47; n <= 49; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(Row(n).Action, ScheduleAction::PictureInOut);
        EXPECT_EQ(Row(n).Texture, &TexMk);
        EXPECT_EQ(Row(n).Arg[0], Row(n).Lower);
        EXPECT_EQ(Row(n).Arg[1], Row(n).Upper);
    }
    EXPECT_EQ(Row(50).Action, ScheduleAction::TwinTubes);

    const double colours[5][3] = {{1, 1, 1}, {1, 0.7, 0.3}, {0, 0.8, 1}, {1, 1, 1}, {1, 1, 1}};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Row(51 + i).Action, ScheduleAction::RozaScene);
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(Row(51 + i).Arg[c], colours[i][c]);
    }

    // The end picture is told to stop at 121000 though the row runs to 121050.
    EXPECT_EQ(Row(62).Action, ScheduleAction::EndPicture);
    EXPECT_EQ(Row(62).Texture, &TexEnde);
    EXPECT_EQ(Row(62).Arg[0], 90000.0);
    EXPECT_EQ(Row(62).Arg[1], 121000.0);
    EXPECT_EQ(Row(62).Upper, 121050);
}
