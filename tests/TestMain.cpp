#include <gtest/gtest.h>
#include <juce_events/juce_events.h>
#include "MvPlatform.h"
#include <X11/Xlib.h>

namespace
{
    // Xvfb answers some of JUCE's atom queries with errors; Xlib's default handler would end
    // the process. JUCE installs its own handler only inside a JUCEApplication.
    int ignoreXErrors (Display*, XErrorEvent*) { return 0; }
}

int main (int argc, char** argv)
{
    XSetErrorHandler (ignoreXErrors);
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
