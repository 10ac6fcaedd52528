// libFuzzer target: any bytes as a saved state. After setStateInformation a short block must come
// out finite, and a get/set/get round trip must give the same bytes twice.
#include "MvPlatform.h"
#include "VinolaAudioProcessor.h"

#include <juce_events/juce_events.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace
{
    struct Harness
    {
        juce::ScopedJuceInitialiser_GUI juce;
        juce::File scratch;
        std::unique_ptr<VinolaAudioProcessor> processor;
        juce::AudioBuffer<float> buffer { 2, 64 };
        juce::MidiBuffer midi;

        Harness()
        {
            // The settings file goes to a folder of its own, never the user's.
            scratch = juce::File::getSpecialLocation (juce::File::tempDirectory)
                          .getChildFile ("vinola-state-fuzzer-" + juce::String ((int) ::getpid()));
            scratch.createDirectory();
            MvPlatform::setFolderOverridesForTests (scratch, scratch);
            // One instance for every input (building one per input would cost more than the run);
            // the render state it carries over must not matter to any check below.
            processor = std::make_unique<VinolaAudioProcessor>();
            processor->prepareToPlay (44100.0, 64);
        }

        ~Harness()
        {
            processor.reset();
            scratch.deleteRecursively();
        }
    };

    Harness& harness()
    {
        static Harness h;
        return h;
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
    auto& p = *h.processor;
    p.setStateInformation (data, (int) (size > 1 << 20 ? 1 << 20 : size));

    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < h.buffer.getNumSamples(); ++i)
            h.buffer.setSample (ch, i, 0.5f * std::sin (0.05f * (float) (i + 7 * ch)));
    p.processBlock (h.buffer, h.midi);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < h.buffer.getNumSamples(); ++i)
            if (! std::isfinite (h.buffer.getSample (ch, i)))
                std::abort();

    juce::MemoryBlock first, second;
    p.getStateInformation (first);
    p.setStateInformation (first.getData(), (int) first.getSize());
    p.getStateInformation (second);
    if (first != second)
        std::abort();
    return 0;
}
