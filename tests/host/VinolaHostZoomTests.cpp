// The window zoom as a user meets it: the built VST3's editor in a real window on the virtual
// display, real pointer clicks on the zoom button and on "150%", and the window 1.5 times larger.
#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "VinolaHostTestSupport.h"

#include <cstdlib>

using namespace hosttest;

// Every test here clicks in real windows, in a home of its own, so the zoom it stores never
// reaches a real settings file.
struct HostedZoom : testing::Test
{
    const ScopedHome home { "zoom-home" };
    std::unique_ptr<juce::AudioPluginInstance> plugin;

    void SetUp() override
    {
        if (std::getenv ("DISPLAY") == nullptr || ! juce::File ("/usr/bin/xdotool").existsAsFile())
            GTEST_SKIP() << "needs a display (run under xvfb-run) and xdotool";
        plugin = loadVst3();
        ASSERT_NE (plugin, nullptr) << "no VST3 at " << VINOLA_VST3_PATH;
    }
};

TEST_F (HostedZoom, RealClicksZoomTheEditorTo150PercentAndItStaysZoomed)
{
    const int x = 60, y = 420;

    {
        OpenEditor open (*plugin, x, y);
        ASSERT_NE (open.editor, nullptr);
        ASSERT_EQ (physicalSize (*open.editor), juce::Point<int> (748, 350));

        // The zoom button's middle, then "150%".
        const auto window = nativeWindowOf (*open.editor);
        ASSERT_TRUE (clickZoomChoice (window, 100, 3));
        EXPECT_TRUE (waitFor ([&] { return physicalSize (window) == juce::Point<int> (1122, 525); }));

        // Open the list again to look at it, then close it with a click beside it.
        clickIn (window, zoomButtonAt (150));
        EXPECT_TRUE (waitFor ([&] { return zoomListShows (window, 150, 0); }));
        const auto size = physicalSize (window);
        savePng (grabWindow (window, size.x, size.y), "hosted-vst3-zoom-150.png");
        clickIn (window, { 900, 400 });
        EXPECT_TRUE (waitFor ([&] { return ! zoomListShows (window, 150, 0); }));
    }

    // Stored at once, and in force when the window opens again.
    EXPECT_EQ (home.openSettings()->getValue ("Zoom"), "150");

    {
        OpenEditor again (*plugin, x, y);
        ASSERT_NE (again.editor, nullptr);
        EXPECT_EQ (physicalSize (*again.editor), juce::Point<int> (1122, 525));
    }

}

namespace
{
    /** Pixels of a row that are (nearly) black: what shows behind a panel drawn short. */
    int blackPixelsInRow (const juce::Image& image, int y)
    {
        int n = 0;
        for (int x = 0; x < image.getWidth(); ++x)
            n += image.getPixelAt (x, y).getPerceivedBrightness() < 0.08f ? 1 : 0;
        return n;
    }
}

// Every size comes from 748 x 350 and the factor alone: a step from a size with half pixels
// (75, 125, 175 %) must not carry its rounding into the next one.
TEST_F (HostedZoom, EverySizeIsExactWhicheverSizeCameBefore)
{
    const int x = 40, y = 300;
    {
        OpenEditor open (*plugin, x, y);
        ASSERT_NE (open.editor, nullptr);
        ASSERT_EQ (physicalSize (*open.editor), juce::Point<int> (748, 350));

        int percent = 100;
        for (const int item : { 0, 3, 2, 5, 4, 1, 4, 3, 0, 2, 1 })
        {
            const auto& step = zoomedSizes[item];
            const auto from = percent;
            EXPECT_TRUE (clickZoomChoice (nativeWindowOf (*open.editor), percent, item)) << from << " % to " << step.percent << " %";
            percent = step.percent;

            const juce::Point<int> expected (step.width, step.height);
            waitFor ([&] { return physicalSize (*open.editor) == expected; });
            EXPECT_EQ (physicalSize (*open.editor), expected) << from << " % to " << step.percent << " %";

            // The server shows black where the new size is not painted yet: wait for the paint.
            const auto bottomRow = [&] { return grabWindow (nativeWindowOf (*open.editor), step.width, 1, { 0, step.height - 1 }); };
            EXPECT_TRUE (waitFor ([&] { return blackPixelsInRow (bottomRow(), 0) < step.width / 10; }, 5000))
                << "the panel ends short at " << step.percent << " %";
        }
    }

}

// The Standalone's window holds the editor under its own title bar: it has to grow with the zoom
// too, or the editor would shrink inside it and lose its right and bottom parts.
TEST_F (HostedZoom, RealClicksGrowTheStandaloneWindowByHalf)
{
    Spawned app ({ "env", "HOME=" + home.folder.getFullPathName(), VINOLA_STANDALONE_PATH });

    // Found by its process: another test's Standalone may be open on the same display.
    ::Window window = 0;
    juce::Point<int> before;
    ASSERT_TRUE (waitFor ([&] { window = windowOf (app.pid);
                                before = window != 0 ? physicalSize (window) : juce::Point<int>();
                                return before.y >= 350 && distinctColours (grabWindow (window, before.x, before.y)) > 200; }, 20000))
        << "no window of the Vinola Standalone was drawn";

    // The editor sits at the bottom of the window, centred.
    EXPECT_TRUE (clickZoomChoice (window, 100, 3, { (before.x - 748) / 2, before.y - 350 }));
    EXPECT_TRUE (waitFor ([&] { return std::abs (physicalSize (window).x - before.x * 3 / 2) <= 2
                                    && std::abs (physicalSize (window).y - before.y * 3 / 2) <= 2; }))
        << before.x << " x " << before.y << " became " << physicalSize (window).x << " x " << physicalSize (window).y;
}
