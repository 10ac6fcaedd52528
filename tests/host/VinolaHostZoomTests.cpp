// The window zoom as a user meets it: the built VST3's editor in a real window on the virtual
// display, real pointer clicks on the zoom button and on "150%", and the window 1.5 times larger.
#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "VinolaHostTestSupport.h"

#include <cstdlib>

using namespace hosttest;

TEST (HostedZoom, RealClicksZoomTheEditorTo150PercentAndItStaysZoomed)
{
    if (std::getenv ("DISPLAY") == nullptr || ! juce::File ("/usr/bin/xdotool").existsAsFile())
        GTEST_SKIP() << "needs a display (run under xvfb-run) and xdotool";

    // A home of this test's own, so the zoom it stores never reaches a real settings file.
    const ScopedHome home ("zoom-home");

    auto plugin = loadVst3();
    ASSERT_NE (plugin, nullptr) << "no VST3 at " << VINOLA_VST3_PATH;
    const int x = 60, y = 420;

    {
        OpenEditor open (*plugin, x, y);
        ASSERT_NE (open.editor, nullptr);
        ASSERT_EQ (physicalSize (*open.editor), juce::Point<int> (748, 350));

        // The zoom button's middle, then "150%": the list drops at x -10 with a margin of 10,
        // rows of 26 from y 15, so the fourth row's middle is at y 15 + 3 * 26 + 13 = 106.
        xdotool ({ "mousemove", juce::String (x + 14), juce::String (y + 14), "click", "1" });
        xdotool ({ "mousemove", juce::String (x + 55), juce::String (y + 106), "click", "1" });

        // The host is told the new size through the plug-in's frame; give a busy machine time.
        for (int i = 0; i < 30 && physicalSize (*open.editor) != juce::Point<int> (1122, 525); ++i)
            pump (100);
        EXPECT_EQ (physicalSize (*open.editor), juce::Point<int> (1122, 525));

        // At 150 % the button's middle is 21 pixels in: open the list again to look at it.
        xdotool ({ "mousemove", juce::String (x + 21), juce::String (y + 21), "click", "1" });
        const auto size = physicalSize (*open.editor);
        savePng (grabWindow (nativeWindowOf (*open.editor), size.x, size.y), "hosted-vst3-zoom-150.png");
        xdotool ({ "mousemove", juce::String (x + 900), juce::String (y + 400), "click", "1" });
    }

    // Stored at once, and in force when the window opens again.
    EXPECT_EQ (home.openSettings()->getValue ("Zoom"), "150");

    {
        OpenEditor again (*plugin, x, y);
        ASSERT_NE (again.editor, nullptr);
        EXPECT_EQ (physicalSize (*again.editor), juce::Point<int> (1122, 525));
    }

    plugin.reset();
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
TEST (HostedZoom, EverySizeIsExactWhicheverSizeCameBefore)
{
    if (std::getenv ("DISPLAY") == nullptr || ! juce::File ("/usr/bin/xdotool").existsAsFile())
        GTEST_SKIP() << "needs a display (run under xvfb-run) and xdotool";

    const ScopedHome home ("zoom-steps-home");

    auto plugin = loadVst3();
    ASSERT_NE (plugin, nullptr) << "no VST3 at " << VINOLA_VST3_PATH;
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
            clickZoomChoice ({ x, y }, percent, item);
            percent = step.percent;

            const juce::Point<int> expected (step.width, step.height);
            for (int i = 0; i < 30 && physicalSize (*open.editor) != expected; ++i)
                pump (100);
            EXPECT_EQ (physicalSize (*open.editor), expected) << from << " % to " << step.percent << " %";

            const auto shot = grabWindow (nativeWindowOf (*open.editor), step.width, step.height);
            EXPECT_LT (blackPixelsInRow (shot, step.height - 1), step.width / 10) << "the panel ends short at " << step.percent << " %";
        }
    }

    plugin.reset();
}

// The Standalone's window holds the editor under its own title bar: it has to grow with the zoom
// too, or the editor would shrink inside it and lose its right and bottom parts.
TEST (HostedZoom, RealClicksGrowTheStandaloneWindowByHalf)
{
    if (std::getenv ("DISPLAY") == nullptr || ! juce::File ("/usr/bin/xdotool").existsAsFile())
        GTEST_SKIP() << "needs a display (run under xvfb-run) and xdotool";

    const auto home = juce::File::createTempFile ("zoom-standalone-home");
    ASSERT_TRUE (home.createDirectory());
    juce::ChildProcess app;
    ASSERT_TRUE (app.start (juce::StringArray { "env", "HOME=" + home.getFullPathName(), VINOLA_STANDALONE_PATH }, 0));

    juce::String window;
    for (int i = 0; i < 150 && window.isEmpty(); ++i)
    {
        juce::Thread::sleep (100);
        window = run ({ "xdotool", "search", "--name", "^Vinola$" }).trim().upToFirstOccurrenceOf ("\n", false, false);
    }
    ASSERT_TRUE (window.isNotEmpty()) << "no window named Vinola appeared";

    auto before = windowGeometry (window);
    for (int i = 0; i < 50 && before.getHeight() < 350; ++i, juce::Thread::sleep (100))
        before = windowGeometry (window);
    juce::Thread::sleep (500);

    // The editor sits at the bottom of the window, centred.
    const int ex = before.getX() + (before.getWidth() - 748) / 2, ey = before.getBottom() - 350;
    run ({ "xdotool", "mousemove", juce::String (ex + 14), juce::String (ey + 14), "click", "1", "sleep", "0.5",
           "mousemove", juce::String (ex + 55), juce::String (ey + 106), "click", "1", "sleep", "1" });

    auto after = windowGeometry (window);
    for (int i = 0; i < 30 && after.getWidth() == before.getWidth(); ++i, juce::Thread::sleep (100))
        after = windowGeometry (window);
    EXPECT_NEAR (after.getWidth(), before.getWidth() * 3 / 2, 2);
    EXPECT_NEAR (after.getHeight(), before.getHeight() * 3 / 2, 2);

    app.kill();
    home.deleteRecursively();
}
