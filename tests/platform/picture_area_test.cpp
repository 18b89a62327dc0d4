// The picture's size and place for the players that keep the desktop's mode.
#include <gtest/gtest.h>

#include "platform/sdl_picture.h"

TEST(PictureArea, AWindowIsWholeTimesAndTheDesktopTheLargest43ThatFits)
{
    SysPresentation window;
    window.Screen = SysScreen::Window;
    window.WindowScale = 3;
    const PictureArea tripled = CentrePicture(PictureSize(window, 1920, 1080), 1920, 1440);
    EXPECT_EQ(tripled.Width, 1920);
    EXPECT_EQ(tripled.Height, 1440);
    EXPECT_EQ(tripled.X, 0);
    EXPECT_EQ(tripled.Scale, 3.0);

    SysPresentation desktop;
    desktop.Screen = SysScreen::Desktop;
    struct Case {
        int DesktopWidth, DesktopHeight, Width, Height, X, Y;
    };
    // Wide desktops keep their height, tall ones their width; the odd side is rounded and centred.
    for (const Case& c :
         {Case{1920, 1080, 1440, 1080, 240, 0}, Case{1280, 800, 1067, 800, 106, 0}, Case{1080, 1920, 1080, 810, 0, 555},
          Case{640, 480, 640, 480, 0, 0}, Case{1366, 768, 1024, 768, 171, 0}, Case{1, 1, 1, 1, 0, 0}}) {
        const PictureArea area =
            CentrePicture(PictureSize(desktop, c.DesktopWidth, c.DesktopHeight), c.DesktopWidth, c.DesktopHeight);
        EXPECT_EQ(area.Width, c.Width) << c.DesktopWidth << "x" << c.DesktopHeight;
        EXPECT_EQ(area.Height, c.Height) << c.DesktopWidth << "x" << c.DesktopHeight;
        EXPECT_EQ(area.X, c.X) << c.DesktopWidth << "x" << c.DesktopHeight;
        EXPECT_EQ(area.Y, c.Y) << c.DesktopWidth << "x" << c.DesktopHeight;
        // The scale draws the band where the picture is: no more than half a pixel off on either side.
        EXPECT_NEAR(area.Scale * 480, area.Height, 0.5);
        EXPECT_NEAR(area.Scale * 640, area.Width, 0.5);
    }
    // A desktop that reports no size still gets a picture OpenGL can make.
    const PictureArea none = PictureSize(desktop, 0, 0);
    EXPECT_GE(none.Width, 1);
    EXPECT_GE(none.Height, 1);
}
