// The LV2 window in a real third-party host: jalv.gtk3 on the virtual display, with a dummy JACK
// server of the test's own. The window opens at the stored zoom drawn as the zoomed window is
// drawn, and jalv's own window follows every choice, up and down.
#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>

#include "VinolaHostTestSupport.h"

#include <unistd.h>

using namespace hosttest;

namespace
{
    /** The deepest of a window's descendants, following the largest child at every level: the
        plug-in's own window inside jalv's. */
    ::Window innermostWindow (::Window window)
    {
        Display* display = XOpenDisplay (nullptr);
        if (display == nullptr)
            return 0;

        for (;;)
        {
            ::Window root = 0, parent = 0, *children = nullptr, largest = 0;
            unsigned int count = 0;
            long largestArea = 0;
            if (XQueryTree (display, window, &root, &parent, &children, &count) == 0)
                break;
            for (unsigned int i = 0; i < count; ++i)
            {
                XWindowAttributes a {};
                XGetWindowAttributes (display, children[i], &a);
                if ((long) a.width * a.height > largestArea && a.width > 1)
                {
                    largestArea = (long) a.width * a.height;
                    largest = children[i];
                }
            }
            if (children != nullptr)
                XFree (children);
            if (largest == 0)
                break;
            window = largest;
        }

        XCloseDisplay (display);
        return window;
    }

    /** Pixels that differ by more than a little, outside the parts that move by themselves. */
    int differingPixels (const juce::Image& a, const juce::Image& b, const juce::Array<juce::Rectangle<int>>& moving)
    {
        int n = 0;
        for (int y = 0; y < a.getHeight(); ++y)
            for (int x = 0; x < a.getWidth(); ++x)
            {
                bool skip = false;
                for (const auto& area : moving)
                    skip = skip || area.contains (x, y);
                const auto p = a.getPixelAt (x, y), q = b.getPixelAt (x, y);
                if (! skip && (std::abs (p.getRed() - q.getRed()) > 16 || std::abs (p.getGreen() - q.getGreen()) > 16
                               || std::abs (p.getBlue() - q.getBlue()) > 16))
                    ++n;
            }
        return n;
    }
}

TEST (JalvWindow, OpensAtTheStoredZoomAndJalvsWindowFollowsEveryChoice)
{
    if (std::getenv ("DISPLAY") == nullptr)
        GTEST_SKIP() << "needs a display (run under xvfb-run)";
   #if defined (__SANITIZE_ADDRESS__)
    // The sanitizer build's plug-in needs the sanitizer's run-time loaded first by its host, and
    // jalv's GTK start-up deadlocks in glibc's locale lock with that run-time preloaded.
    GTEST_SKIP() << "jalv cannot open a sanitizer build's plug-in";
   #endif
    for (auto* program : { "jalv.gtk3", "jackd", "jack_wait", "xdotool" })
        ASSERT_TRUE (haveProgram (program)) << program << " is installed by tools/install.sh";

    const ScopedHome home ("jalv-home");
    const auto& at150 = zoomedSizes[3];

    // What the window looks like at 150 %: the VST3's editor zoomed by a choice, which also
    // stores the 150 % that jalv's window then opens at.
    juce::Image reference;
    {
        auto plugin = loadVst3();
        ASSERT_NE (plugin, nullptr) << "no VST3 at " << VINOLA_VST3_PATH;
        OpenEditor open (*plugin, 0, 0);
        ASSERT_NE (open.editor, nullptr);
        ASSERT_TRUE (clickZoomChoice (nativeWindowOf (*open.editor), 100, at150.item));
        ASSERT_TRUE (waitFor ([&] { return physicalSize (*open.editor) == juce::Point<int> (at150.width, at150.height); }));
        // Settled: two looks a moment apart show the same.
        juce::Image previous;
        waitFor ([&] { previous = reference;
                       reference = grabWindow (nativeWindowOf (*open.editor), at150.width, at150.height);
                       return previous.isValid() && distinctColours (reference) > 200
                           && differingPixels (previous, reference, {}) == 0; });
    }
    ASSERT_EQ (home.openSettings()->getValue ("Zoom"), "150");

    // A JACK server of the test's own, with no sound card.
    const auto server = "vinola-test-" + juce::String (getpid()) + "-" + juce::String (juce::Random::getSystemRandom().nextInt (1000000));
    Spawned jack ({ "env", "JACK_NO_AUDIO_RESERVATION=1", "jackd", "-n", server, "-r", "-d", "dummy", "-r", "48000", "-p", "256" });
    ASSERT_GT (jack.pid, 0) << "jackd did not start";
    ASSERT_TRUE (run ({ "env", "JACK_NO_START_SERVER=1", "jack_wait", "-s", server, "-w", "-t", "10" }, 15000).contains ("available"))
        << "the JACK server did not come up";

    // jalv finds the bundle the build made, and the stored zoom in the test's home.
    Spawned jalv ({ "env", "HOME=" + home.folder.getFullPathName(),
                    "XDG_CONFIG_HOME=" + home.folder.getChildFile (".config").getFullPathName(),
                    "LV2_PATH=" + juce::File (VINOLA_LV2_PATH).getParentDirectory().getFullPathName(),
                    "JACK_DEFAULT_SERVER=" + server, "JACK_NO_START_SERVER=1",
                    "jalv.gtk3", VINOLA_LV2_URI });
    ASSERT_GT (jalv.pid, 0) << "jalv did not start";

    ::Window frame = 0;
    waitFor ([&] { return (frame = windowOf (jalv.pid)) != 0; }, 20000);
    ASSERT_NE (frame, 0u) << "no jalv window appeared";

    // jalv's window is its menu bar over the plug-in's window, which has the zoomed size.
    ::Window panel = 0;
    const auto hasSize = [&] (const ZoomedSize& step)
    {
        panel = innermostWindow (frame);
        const auto inner = physicalSize (panel), outer = physicalSize (frame);
        return inner == juce::Point<int> (step.width, step.height)
            && outer.x == step.width && outer.y > step.height && outer.y < step.height + 80;
    };
    EXPECT_TRUE (waitFor ([&] { return hasSize (at150); }, 10000))
        << "opened at " << physicalSize (panel).x << " x " << physicalSize (panel).y << " in a frame of "
        << physicalSize (frame).x << " x " << physicalSize (frame).y;

    // Drawn as the zoomed window is drawn, not scrambled (the record turns and the ducking dot
    // follows the sound: those two are left out).
    juce::Image shot;
    waitFor ([&] { shot = grabWindow (panel, at150.width, at150.height); return distinctColours (shot) > 200; });
    savePng (shot, "jalv-lv2-zoom-150.png");
    savePng (reference, "jalv-reference-vst3-zoom-150.png");
    const juce::Array<juce::Rectangle<int>> moving { juce::Rectangle<int> (482, 119, 108, 108).expanded (4) * 1.5f,
                                                     juce::Rectangle<int> (258, 17, 64, 64).expanded (4) * 1.5f };
    EXPECT_LT (differingPixels (shot, reference, moving), at150.width * at150.height / 100);

    // Live choices, up then down below the size it opened at: jalv's window follows each.
    int percent = 150;
    for (const int item : { 5, 0 })
    {
        const auto& step = zoomedSizes[item];
        EXPECT_TRUE (clickZoomChoice (panel, percent, item));
        EXPECT_TRUE (waitFor ([&] { return hasSize (step); }))
            << percent << " % to " << step.percent << " %: the plug-in's window is " << physicalSize (panel).x << " x "
            << physicalSize (panel).y << ", jalv's " << physicalSize (frame).x << " x " << physicalSize (frame).y;
        percent = step.percent;
    }

    EXPECT_EQ (home.openSettings()->getValue ("Zoom"), "75");
}
