#pragma once

#include <juce_core/juce_core.h>

/** The few operating-system services the engine and the library need, behind one small
    interface so that every platform offers the same behaviour:

    - clearing a float buffer (a vector clear on macOS, a plain fill elsewhere);
    - a process-wide pseudo-random integer in 0 .. 2^31 - 1 that is never seeded, so every run
      of the process draws the same sequence, and that never takes a lock (the render thread
      draws from it);
    - the user's and the machine-wide application-support folders: ~/Library/Application Support
      and /Library/Application Support on macOS, ~/.config (or $XDG_CONFIG_HOME) and /opt on Linux.

    Tests can point both folders somewhere else, so they never touch the real home or /opt. */
class MvPlatform
{
public:
    MvPlatform() = delete;

    static constexpr int randMax = 0x7fffffff;

    static void clearFloats (float* destination, int count) noexcept;

    /** Next value of the shared sequence, 0 .. randMax. Lock-free; safe from any thread. */
    static int rand() noexcept;

    /** Restarts the shared sequence from its first value (tests only). */
    static void restartRandForTests() noexcept;

    static juce::File userApplicationSupportFolder();
    static juce::File commonApplicationSupportFolder();

    /** Redirects the two folders (an empty File keeps the real one). Tests only. */
    static void setFolderOverridesForTests (const juce::File& userFolder, const juce::File& commonFolder);
};
