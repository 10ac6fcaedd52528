// Listening aid: renders a few seconds of the plug-in's output to a 32-bit float WAV so the
// material and the chain can be heard and plotted. A development tool, not part of the product.
//
//   VinolaListen <out.wav> [--seconds S] [--rate HZ] [--block N] [--mono]
//                [--input silence|sine:FREQ:LEVEL|noise:LEVEL] [--mode 0|1|2]
//                [NAME=VALUE ...]
//
// NAME is a parameter name with spaces written as underscores (VINYL_NOISE=0.5) or its index
// (2=0.5); VALUE is the normalised 0..1 value.

#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_events/juce_events.h>

#include "MvPlatform.h"
#include "VinolaAudioProcessor.h"
#include "VinolaToolParameters.h"

#include <cmath>
#include <cstdio>

namespace
{
    int usage()
    {
        std::fprintf (stderr, "usage: VinolaListen <out.wav> [--seconds S] [--rate HZ] [--block N] [--mono]\n"
                              "       [--input silence|sine:FREQ:LEVEL|noise:LEVEL] [--mode 0|1|2] [NAME=VALUE ...]\n");
        return 2;
    }
}

int main (int argc, char** argv)
{
    if (argc < 2)
        return usage();

    juce::ScopedJuceInitialiser_GUI juceInit;

    // The processor keeps a settings file; never let a listening run touch the real home.
    const auto sandbox = juce::File::createTempFile ("vinola-listen");
    sandbox.createDirectory();
    MvPlatform::setFolderOverridesForTests (sandbox.getChildFile ("user"), sandbox.getChildFile ("common"));

    const juce::File outFile = juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]);
    double seconds = 5.0, rate = 44100.0;
    int blockSize = 512, channels = 2, mode = 0;
    juce::String input = "silence";
    juce::StringPairArray values;

    for (int i = 2; i < argc; ++i)
    {
        const juce::String arg (argv[i]);
        auto next = [&] { return i + 1 < argc ? juce::String (argv[++i]) : juce::String(); };
        if (arg == "--seconds") seconds = next().getDoubleValue();
        else if (arg == "--rate") rate = next().getDoubleValue();
        else if (arg == "--block") blockSize = juce::jmax (1, next().getIntValue());
        else if (arg == "--mono") channels = 1;
        else if (arg == "--input") input = next();
        else if (arg == "--mode") mode = next().getIntValue();
        else if (arg.contains ("=")) values.set (arg.upToFirstOccurrenceOf ("=", false, false), arg.fromFirstOccurrenceOf ("=", false, false));
        else return usage();
    }

    int result = 0;
    {
        VinolaAudioProcessor processor;
        const auto set = channels == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo();
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (set);
        layout.outputBuses.add (set);
        processor.setBusesLayout (layout);

        if (! VinolaToolParameters::apply (processor, values))
            return 2;
        processor.generatorMode = mode;
        processor.prepareToPlay (rate, blockSize);
        // Start on the requested values rather than gliding there from the defaults.
        processor.updateParameters (0);
        processor.dsp.reset();

        const auto total = (juce::int64) (seconds * rate);
        juce::AudioBuffer<float> all (channels, (int) total);
        juce::AudioBuffer<float> block (channels, blockSize);
        juce::MidiBuffer midi;
        juce::Random random (1);
        const auto kind = input.upToFirstOccurrenceOf (":", false, false);
        const auto args = juce::StringArray::fromTokens (input.fromFirstOccurrenceOf (":", false, false), ":", "");
        const bool isSine = kind == "sine", isNoise = kind == "noise";
        const double freq = args.size() > 0 ? args[0].getDoubleValue() : 440.0;
        const float level = kind == "noise" ? (args.size() > 0 ? args[0].getFloatValue() : 0.1f)
                                            : (args.size() > 1 ? args[1].getFloatValue() : 0.5f);

        double renderSeconds = 0.0;
        for (juce::int64 start = 0; start < total; start += blockSize)
        {
            const int n = (int) juce::jmin ((juce::int64) blockSize, total - start);
            for (int i = 0; i < n; ++i)
            {
                float x = 0.0f;
                if (isSine)
                    x = level * (float) std::sin (2.0 * juce::MathConstants<double>::pi * freq * (double) (start + i) / rate);
                else if (isNoise)
                    x = level * (random.nextFloat() * 2.0f - 1.0f);
                for (int ch = 0; ch < channels; ++ch)
                    block.setSample (ch, i, x);
            }
            juce::AudioBuffer<float> view (block.getArrayOfWritePointers(), channels, n);
            const auto t0 = juce::Time::getHighResolutionTicks();
            processor.processBlock (view, midi);
            renderSeconds += juce::Time::highResolutionTicksToSeconds (juce::Time::getHighResolutionTicks() - t0);
            for (int ch = 0; ch < channels; ++ch)
                all.copyFrom (ch, (int) start, view, ch, 0, n);
        }

        outFile.deleteFile();
        std::unique_ptr<juce::OutputStream> stream (outFile.createOutputStream().release());
        juce::WavAudioFormat wav;
        std::unique_ptr<juce::AudioFormatWriter> writer (
            stream != nullptr ? wav.createWriterFor (stream.get(), rate, (unsigned) channels, 32, {}, 0) : nullptr);
        if (writer == nullptr)
        {
            std::fprintf (stderr, "cannot write %s\n", outFile.getFullPathName().toRawUTF8());
            result = 1;
        }
        else
        {
            stream.release();   // the writer owns the stream now
            writer->writeFromAudioSampleBuffer (all, 0, all.getNumSamples());
            std::printf ("%s: %d frames, %d channel(s), peak %.4f, rms %.5f, rendered at %.0f x real time\n",
                         outFile.getFullPathName().toRawUTF8(), all.getNumSamples(), channels,
                         all.getMagnitude (0, all.getNumSamples()), all.getRMSLevel (0, 0, all.getNumSamples()),
                         renderSeconds > 0.0 ? seconds / renderSeconds : 0.0);
        }
    }
    sandbox.deleteRecursively();
    return result;
}
