#include "MvPlatform.h"

#include <atomic>
#include <cstring>

#if JUCE_MAC
 #include <Accelerate/Accelerate.h>
#endif

namespace
{
    // A counter hashed by a strong 32-bit mixer: one relaxed fetch_add per draw, so the
    // generator is lock-free and gives the same sequence in every run of a single-threaded host.
    std::atomic<juce::uint32> randCounter { 0 };

    juce::File& userOverride()   { static juce::File f; return f; }
    juce::File& commonOverride() { static juce::File f; return f; }

    /** The override where a test set one, else the system's folder (Application Support in the
        application-data folder on macOS, the application-data folder itself elsewhere). */
    juce::File applicationSupportFolder (const juce::File& overridden, juce::File::SpecialLocationType location)
    {
        if (overridden != juce::File())
            return overridden;
       #if JUCE_MAC
        return juce::File::getSpecialLocation (location).getChildFile ("Application Support");
       #else
        return juce::File::getSpecialLocation (location);
       #endif
    }
}

void MvPlatform::clearFloats (float* destination, int count) noexcept
{
    if (destination == nullptr || count <= 0)
        return;
   #if JUCE_MAC
    vDSP_vclr (destination, 1, (vDSP_Length) count);
   #else
    std::memset (destination, 0, sizeof (float) * (size_t) count);
   #endif
}

int MvPlatform::rand() noexcept
{
    auto x = randCounter.fetch_add (1, std::memory_order_relaxed) + 0x9e3779b9u;
    x ^= x >> 16;
    x *= 0x21f0aaadu;
    x ^= x >> 15;
    x *= 0x735a2d97u;
    x ^= x >> 15;
    return (int) (x & (juce::uint32) randMax);
}

void MvPlatform::restartRandForTests() noexcept
{
    randCounter.store (0, std::memory_order_relaxed);
}

juce::File MvPlatform::userApplicationSupportFolder()
{
    return applicationSupportFolder (userOverride(), juce::File::userApplicationDataDirectory);
}

juce::File MvPlatform::commonApplicationSupportFolder()
{
    return applicationSupportFolder (commonOverride(), juce::File::commonApplicationDataDirectory);
}

void MvPlatform::setFolderOverridesForTests (const juce::File& userFolder, const juce::File& commonFolder)
{
    userOverride() = userFolder;
    commonOverride() = commonFolder;
}
