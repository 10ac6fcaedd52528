// The plug-in's window as a user meets it, on the virtual display: the built VST3's editor in a
// real top-level window, opened and closed again and again, and the built Standalone driven by
// real X pointer events.
#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "VinolaHostTestSupport.h"

#include <cstdlib>
#include <fstream>
#include <set>

using namespace hosttest;

#if defined (__SANITIZE_ADDRESS__)
 #define VINOLA_UNDER_ADDRESS_SANITIZER 1
#elif defined (__has_feature)
 #if __has_feature (address_sanitizer)
  #define VINOLA_UNDER_ADDRESS_SANITIZER 1
 #endif
#endif
#ifndef VINOLA_UNDER_ADDRESS_SANITIZER
 #define VINOLA_UNDER_ADDRESS_SANITIZER 0
#endif

namespace
{
    bool hasDisplay() { return std::getenv ("DISPLAY") != nullptr; }

    long residentKilobytes()
    {
        std::ifstream statm ("/proc/self/statm");
        long size = 0, resident = 0;
        statm >> size >> resident;
        return resident * (long) (sysconf (_SC_PAGESIZE) / 1024);
    }
}

TEST (HostedWindow, Vst3EditorOpensPaintsAndClosesTwentyTimes)
{
    if (! hasDisplay())
        GTEST_SKIP() << "needs a display (run under xvfb-run)";

    auto plugin = loadVst3();
    ASSERT_NE (plugin, nullptr) << "no VST3 at " << VINOLA_VST3_PATH;
    ASSERT_TRUE (plugin->hasEditor());

    long residentAfterFirst = 0;
    for (int round = 0; round <= 20; ++round)
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (plugin->createEditorIfNeeded());
        ASSERT_NE (editor, nullptr) << "round " << round;

        // Named and placed apart from the Standalone test's window, which may be open at once
        // on the same display and is found by its name.
        editor->setName ("Hosted Vinola VST3");
        editor->setTopLeftPosition (0, 0);
        editor->addToDesktop (juce::ComponentPeer::windowHasTitleBar | juce::ComponentPeer::windowHasCloseButton);
        editor->setVisible (true);
        pump (100);

        // The product's window, not a generic parameter list.
        EXPECT_EQ (editor->getWidth(), 748) << "round " << round;
        EXPECT_EQ (editor->getHeight(), 350) << "round " << round;

        if (round == 0)
        {
            auto* peer = editor->getPeer();
            ASSERT_NE (peer, nullptr);
            // A busy machine may take a while to show the first frame.
            juce::Image shot;
            for (int wait = 0; wait < 50 && (! shot.isValid() || distinctColours (shot) <= 200); ++wait)
            {
                pump (100);
                shot = grabWindow ((::Window) (juce::pointer_sized_uint) peer->getNativeHandle(),
                                   editor->getWidth(), editor->getHeight());
            }
            ASSERT_TRUE (shot.isValid());
            // A painted panel has many colours; an unpainted window one or two.
            EXPECT_GT (distinctColours (shot), 200);

            savePng (shot, "hosted-vst3-window.png");
        }

        plugin->editorBeingDeleted (editor.get());
        editor.reset();
        pump (30);

        if (round == 1)
            residentAfterFirst = residentKilobytes();
    }

    // Every window decodes its pictures afresh (several megabytes): a window that outlived its
    // closing would show here many times over. Under AddressSanitizer freed memory is held in
    // quarantine, so the resident size grows anyway; its leak check covers this there.
   #if ! VINOLA_UNDER_ADDRESS_SANITIZER
    EXPECT_LT (residentKilobytes() - residentAfterFirst, 30 * 1024);
   #else
    juce::ignoreUnused (residentAfterFirst);
   #endif
}

TEST (HostedWindow, StandaloneWindowTakesARealDragAndQuitsCleanly)
{
    if (! hasDisplay())
        GTEST_SKIP() << "needs a display (run under xvfb-run)";
    ASSERT_TRUE (haveProgram ("xdotool")) << "xdotool is installed by tools/install.sh";

    const juce::File app (VINOLA_STANDALONE_PATH);
    ASSERT_TRUE (app.existsAsFile()) << app.getFullPathName();

    // A throw-away home: the app keeps its settings there, and we read its state back from it.
    auto home = juce::File::createTempFile ("vinola-standalone-home");
    home.createDirectory();

    juce::StringArray command { "env", "HOME=" + home.getFullPathName(), "XDG_CONFIG_HOME=" + home.getChildFile (".config").getFullPathName() };
   #if VINOLA_UNDER_ADDRESS_SANITIZER
    // JUCE unloads the libX11 it loaded before the leak check, which then takes the display's
    // memory for leaks; loaded up front, it stays.
    command.addArray ({ "LD_PRELOAD=libX11.so.6", "ASAN_OPTIONS=" + juce::String (std::getenv ("ASAN_OPTIONS")) + ":verify_asan_link_order=0" });
   #endif
    command.add (app.getFullPathName());
    Spawned standalone (command);
    auto& process = standalone.process;

    // Found by its process: another test's Standalone may be open on the same display.
    juce::String said;
    std::pair<::Window, juce::Rectangle<int>> shown;
    ASSERT_TRUE (waitFor ([&] { return (shown = shownWindowOf (standalone.pid, said)).first != 0; }, 15000))
        << "no window named Vinola was shown with the editor's size; xdotool said\n" << said;
    const auto [window, bounds] = shown;
    const int x = bounds.getX(), y = bounds.getY(), w = bounds.getWidth(), h = bounds.getHeight();

    // A loaded machine can be slow to paint it.
    juce::Image before;
    waitFor ([&] { before = grabWindow (window, w, h); return before.isValid() && distinctColours (before) > 200; }, 15000);
    ASSERT_TRUE (before.isValid());
    EXPECT_GT (distinctColours (before), 200) << "the window is not painted";
    savePng (before, "standalone-window.png");

    // The editor sits at the bottom of the window, centred: drag INPUT GAIN (its centre at
    // 136, 282 in the editor) 40 pixels up with real pointer events, then click the window's
    // close button at the right end of its title bar.
    const int editorX = x + (w - 748) / 2, editorY = y + h - 350;
    const juce::String kx (editorX + 136), ky (editorY + 282), kyUp (editorY + 242);
    // xdotool prints nothing when a step works.
    EXPECT_EQ (run ({ "xdotool", "mousemove", kx, ky, "sleep", "0.2", "mousedown", "1", "sleep", "0.1",
                      "mousemove", kx, juce::String (editorY + 272), "sleep", "0.1",
                      "mousemove", kx, juce::String (editorY + 257), "sleep", "0.1",
                      "mousemove", kx, kyUp, "sleep", "0.1", "mouseup", "1", "sleep", "0.3" }, 10000, true), "");
    EXPECT_EQ (run ({ "xdotool", "mousemove", juce::String (x + w - 12), juce::String (y + 12), "sleep", "0.2", "click", "1" }, 10000, true), "");

    ASSERT_TRUE (process.waitForProcessToFinish (15000))
        << "the app did not quit on its close button; its windows now:\n" << (shownWindowOf (standalone.pid, said), said);
    // Read at once: JUCE's isRunning() on a process already reaped resets its exit code to 0.
    EXPECT_EQ (process.getExitCode(), 0u);

    // The app saved its state on the way out: INPUT GAIN moved up from its default.
    juce::PropertiesFile::Options options;
    const auto settingsFile = home.getChildFile (".config/Vinola.settings");
    ASSERT_TRUE (settingsFile.existsAsFile()) << "no settings written, so the app did not end cleanly";
    juce::PropertiesFile settings (settingsFile, options);
    juce::MemoryBlock state;
    ASSERT_TRUE (state.fromBase64Encoding (settings.getValue ("filterState")));
    ASSERT_GE (state.getSize(), 4u);
    juce::MemoryInputStream in (state, false);
    const float inputGain = in.readFloat();
    EXPECT_GT (inputGain, 48.0f / 72.0f + 0.05f) << "the drag did not reach the knob";
    EXPECT_LE (inputGain, 1.0f);

    home.deleteRecursively();
}
