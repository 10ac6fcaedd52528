#include <gtest/gtest.h>
#include <juce_events/juce_events.h>
#include "MvPlatform.h"
#if VINOLA_TESTS_UNDER_X11
 #include <X11/Xlib.h>
#endif

#if VINOLA_TESTS_UNDER_X11
namespace
{
    // Xvfb answers some of JUCE's atom queries with errors; Xlib's default handler would end
    // the process. JUCE installs its own handler only inside a JUCEApplication.
    int ignoreXErrors (Display*, XErrorEvent*) { return 0; }
}
#endif

int main (int argc, char** argv)
{
   #if VINOLA_TESTS_UNDER_X11
    XSetErrorHandler (ignoreXErrors);
   #endif
    ::testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI juce;

    // No test may touch the real home or /opt: both application-support folders point into a
    // fresh temporary folder for the whole run.
    const auto sandbox = juce::File::createTempFile ("vinola-tests");
    sandbox.createDirectory();
    MvPlatform::setFolderOverridesForTests (sandbox.getChildFile ("user"), sandbox.getChildFile ("common"));

    const int result = RUN_ALL_TESTS();
    sandbox.deleteRecursively();
    return result;
}
