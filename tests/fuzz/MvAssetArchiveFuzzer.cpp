// libFuzzer target: any bytes as the asset archive file. The manager must open it without harm
// and serve real names, names taken from the damaged index and arbitrary byte strings (not
// necessarily UTF-8) within their bounds; the same request must give the same block until it is
// released, and the bytes again after.
#include "MvAssetManager.h"
#include "MvPlatform.h"

#include <juce_events/juce_events.h>

#include <cstdint>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
    struct Harness
    {
        juce::ScopedJuceInitialiser_GUI juce;
        juce::File common, archive;

        Harness()
        {
            common = juce::File::getSpecialLocation (juce::File::tempDirectory)
                         .getChildFile ("vinola-archive-fuzzer-" + juce::String ((int) ::getpid()));
            archive = common.getChildFile ("Marvolund").getChildFile ("Vinola").getChildFile ("appdata").getChildFile ("Assets.mva");
            archive.getParentDirectory().createDirectory();
            MvPlatform::setFolderOverridesForTests (common, common);
        }

        ~Harness() { common.deleteRecursively(); }
    };

    Harness& harness()
    {
        static Harness h;
        return h;
    }

    const char* const realNames[] = { "Inter-Light-BETA.ttf", "vinola_bg_clean.png", "vinola_record_and_arm.png",
                                      "vinola_knob_bottomrow.png", "vinola_btn_zoom.png" };

    /** Reads every byte of a served block, so that a block shorter than its size is caught. */
    std::uint32_t touch (const void* data, juce::uint32 size)
    {
        std::uint32_t sum = 0;
        for (juce::uint32 i = 0; i < size; ++i)
            sum += static_cast<const std::uint8_t*> (data)[i];
        return sum;
    }

    void exercise (MvAssetManager& assets, const std::string& name)
    {
        juce::uint32 size = 0;
        const void* data = assets.getAsset (name.c_str(), size);
        if (data == nullptr)
        {
            if (size != 0)
                std::abort();
            assets.releaseAsset (name.c_str());
            return;
        }
        const auto sum = touch (data, size);
        juce::uint32 again = 0;
        if (assets.getAsset (name.c_str(), again) != data || again != size)
            std::abort();
        assets.releaseAsset (name.c_str());
        assets.releaseAsset (name.c_str());
        juce::uint32 reread = 0;
        const void* fresh = assets.getAsset (name.c_str(), reread);
        if (fresh == nullptr || reread != size || touch (fresh, reread) != sum)
            std::abort();
        assets.releaseAsset (name.c_str());
    }
}

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    harness();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    auto& h = harness();
    if (! h.archive.replaceWithData (data, size))
        return 0;

    std::vector<std::string> names (std::begin (realNames), std::end (realNames));
    // The first names of the index as they stand, cut at their terminator or the field's end.
    for (std::size_t field = 32; field < size && names.size() < 9; field += 64)
    {
        const auto* start = reinterpret_cast<const char*> (data + field);
        const auto length = std::min<std::size_t> (64, size - field);
        names.emplace_back (start, strnlen (start, length));
    }
    // Arbitrary byte strings from the input's tail, and the overlong forms that once broke the
    // cache key.
    for (std::size_t length : { 1, 7, 63, 64, 200 })
        if (size >= length)
            names.emplace_back (reinterpret_cast<const char*> (data + size - length), length);
    std::string overlong;
    for (int i = 0; i < 40; ++i)
        overlong += "\xc1\x81";
    names.push_back (overlong);
    names.emplace_back();

    MvAssetManager assets ("Vinola", "appdata/Assets.mva");
    for (const auto& name : names)
        exercise (assets, name.c_str());   // a byte string ends at its first zero, as a C name does
    // Requests left cached are freed by the manager itself.
    juce::uint32 ignored = 0;
    for (const auto& name : names)
        assets.getAsset (name.c_str(), ignored);
    return 0;
}
