// Speed of the whole processor and of the wet-chain stages on one core.
//
// Ten seconds of stereo pink noise at 44.1 kHz go through VinolaAudioProcessor::processBlock in
// 512-frame blocks in three settings, then ten seconds of NaN input (what a broken upstream
// plug-in hands on) in two of them; each run is repeated and the fastest counts. Then the
// stages are timed on their own over the same frames, in the same runs of 128 frames the
// engine uses, to show where the time goes.
//
// Every figure is given for each kernel build the CPU can run: the AVX2+FMA kernels where the
// CPU has them, then the SSE2 baseline.
//
// Usage: VinolaBench [repeats] [chain] [baseline]    ("chain" skips the stage timings, for
// profiling; "baseline" times only the baseline kernels). Each setting also prints a hash of
// its output: the same command gives the same hashes as long as every output sample is the same.
// VINOLA_BENCH_SETTING=<part of a name> times only the settings whose names contain it.

#include "MvPlatform.h"
#include "VinolaAmplifierModel.h"
#include "VinolaAudioProcessor.h"
#include "VinolaCableStage.h"
#include "VinolaCrossover.h"
#include "VinolaDuckingStage.h"
#include "VinolaKernels.h"
#include "VinolaParameterTable.h"
#include "VinolaWobbleStage.h"

#include <juce_events/juce_events.h>

#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace
{
    constexpr double sampleRate = 44100.0;
    constexpr int numFrames = 441000;
    constexpr int blockSize = 512;
    constexpr int runLength = 128;   // the engine's own run length

    double threadSeconds()
    {
        timespec t {};
        clock_gettime (CLOCK_THREAD_CPUTIME_ID, &t);
        return (double) t.tv_sec + 1.0e-9 * (double) t.tv_nsec;
    }

    /** Pink noise (Paul Kellet's economy filter over a fixed-seed white noise), about -12 dBFS. */
    std::vector<float> pinkNoise (int frames, unsigned seed)
    {
        std::vector<float> out ((size_t) frames);
        float b0 = 0, b1 = 0, b2 = 0;
        for (auto& s : out)
        {
            seed = seed * 1664525u + 1013904223u;
            const float white = (float) (seed >> 8) / 8388608.0f - 1.0f;
            b0 = 0.99765f * b0 + white * 0.0990460f;
            b1 = 0.96300f * b1 + white * 0.2965164f;
            b2 = 0.57000f * b2 + white * 1.0526913f;
            s = 0.12f * (b0 + b1 + b2 + white * 0.1848f);
        }
        return out;
    }

    /** Decaying clicks that stay above the -56 dB ducking threshold: the ducking stage's worst
        case, a logarithm and a power per channel and frame. */
    std::vector<float> crackleLike (int frames)
    {
        std::vector<float> out ((size_t) frames);
        unsigned seed = 99;
        float level = 0.0f;
        for (auto& s : out)
        {
            seed = seed * 1664525u + 1013904223u;
            if ((seed >> 16) % 3000 == 0)
                level = 0.4f;
            level *= 0.9995f;
            s = level * ((float) ((seed >> 9) & 0xff) / 128.0f - 1.0f);
        }
        return out;
    }

    struct Setting
    {
        const char* name;
        int generatorMode;
        std::vector<std::pair<int, float>> values;   // parameter index, normalised value
        bool nanInput = false;                        // NaN in every input sample instead of the noise
    };

    /** FNV-1a over the output's bits: equal figures before and after a change mean the change
        kept every output sample identical. */
    std::uint64_t lastOutputHash = 0;

    void hashFloats (std::uint64_t& hash, const float* data, int count)
    {
        for (int i = 0; i < count; ++i)
        {
            std::uint32_t bits;
            std::memcpy (&bits, data + i, sizeof bits);
            hash = (hash ^ bits) * 1099511628211ull;
        }
    }

    double runProcessor (const Setting& setting, const std::vector<float>& left, const std::vector<float>& right)
    {
        std::uint64_t hash = 14695981039346656037ull;
        auto processor = std::make_unique<VinolaAudioProcessor>();
        processor->generatorMode.store (setting.generatorMode);
        for (const auto& [index, value] : setting.values)
            processor->parameterObjects[index]->setValueNotifyingHost (value);
        processor->prepareToPlay (sampleRate, blockSize);

        juce::AudioBuffer<float> buffer (2, blockSize);
        juce::MidiBuffer midi;
        double seconds = 0.0;
        for (int start = 0; start < numFrames; start += blockSize)
        {
            const int n = std::min (blockSize, numFrames - start);
            buffer.setSize (2, n, false, false, true);
            if (setting.nanInput)
            {
                for (int ch = 0; ch < 2; ++ch)
                    std::fill (buffer.getWritePointer (ch), buffer.getWritePointer (ch) + n,
                               std::numeric_limits<float>::quiet_NaN());
            }
            else
            {
                std::copy (left.begin() + start, left.begin() + start + n, buffer.getWritePointer (0));
                std::copy (right.begin() + start, right.begin() + start + n, buffer.getWritePointer (1));
            }

            const double t0 = threadSeconds();
            processor->processBlock (buffer, midi);
            seconds += threadSeconds() - t0;

            hashFloats (hash, buffer.getReadPointer (0), n);
            hashFloats (hash, buffer.getReadPointer (1), n);
        }
        lastOutputHash = hash;
        return seconds;
    }

    double best (int repeats, const std::function<double()>& run)
    {
        double fastest = 1.0e30;
        for (int r = 0; r < repeats; ++r)
            fastest = std::min (fastest, run());
        return fastest;
    }

    /** Times run (start, count) over all frames in runs of the engine's length. */
    template <typename Run>
    double timeRuns (Run&& run)
    {
        const double t0 = threadSeconds();
        for (int start = 0; start < numFrames; start += runLength)
            run (start, std::min (runLength, numFrames - start));
        return threadSeconds() - t0;
    }

    void report (const char* name, double seconds, double wholeChain)
    {
        const double nsPerFrame = seconds * 1.0e9 / numFrames;
        std::printf ("  %-42s %6.1f ns/frame", name, nsPerFrame);
        if (wholeChain > 0.0)
            std::printf ("  %5.1f %% of the whole chain", 100.0 * seconds / wholeChain);
        std::printf ("\n");
    }
}

int main (int argc, char** argv)
{
    const int repeats = argc > 1 ? std::max (1, std::atoi (argv[1])) : 3;

    juce::ScopedJuceInitialiser_GUI juce;
    const auto scratch = juce::File::createTempFile ("vinola-bench");
    scratch.createDirectory();
    MvPlatform::setFolderOverridesForTests (scratch, scratch);

    const auto left = pinkNoise (numFrames, 1), right = pinkNoise (numFrames, 2);

    using T = VinolaParameterTable;
    const std::vector<std::pair<int, float>> allOn = {
        { T::ampNoise, 1.0f }, { T::vinylNoise, 1.0f }, { T::hum, 1.0f }, { T::scratches, 1.0f },
        { T::scratchesRate, 1.0f }, { T::ducking, 1.0f }, { T::wobble, 1.0f }, { T::cableQuality, 0.05f },
        { T::ampQuality, 0.3f }, { T::needleQuality, 0.5f } };
    const Setting settings[] = {
        { "defaults, generators on", 0, {} },
        { "everything on", 0, allOn },
        { "generators off", 2, {} },
        { "defaults, NaN input", 0, {}, true },
        { "everything on, NaN input", 0, allOn, true },
    };

    // VINOLA_BENCH_SETTING=<part of a setting's name> times only the settings it names, for profiling one.
    const char* onlySetting = std::getenv ("VINOLA_BENCH_SETTING");
    const bool onlyBaseline = argc > 3 && std::string (argv[3]) == "baseline";
    std::vector<VinolaKernels::Path> paths;
    if (VinolaKernels::cpuHasAvx2() && ! onlyBaseline)
        paths.push_back (VinolaKernels::Path::avx2);
    if (onlyBaseline || ! (argc > 2 && std::string (argv[2]) == "chain"))
        paths.push_back (VinolaKernels::Path::baseline);
    std::printf ("Best kernels this CPU can run: %s\n",
                 VinolaKernels::name (VinolaKernels::cpuHasAvx2() ? VinolaKernels::Path::avx2 : VinolaKernels::Path::baseline));

    std::vector<double> everythingOnByPath;
    for (const auto path : paths)
    {
        VinolaKernels::forceBaseline (path == VinolaKernels::Path::baseline);
        std::printf ("\nKernels: %s\n", VinolaKernels::name (VinolaKernels::active()));
        std::printf ("VinolaAudioProcessor::processBlock, 10 s of stereo pink noise at 44.1 kHz, %d-frame blocks, best of %d\n",
                     blockSize, repeats);
        double everythingOn = 0.0;
        for (const auto& s : settings)
        {
            if (onlySetting != nullptr && std::string (s.name).find (onlySetting) == std::string::npos)
                continue;
            const double seconds = best (repeats, [&] { return runProcessor (s, left, right); });
            if (std::string (s.name) == "everything on")
                everythingOn = seconds;
            std::printf ("  %-26s %8.0fx real time  %7.1f ns/frame  output %016llx\n", s.name,
                         (double) numFrames / sampleRate / seconds, seconds * 1.0e9 / numFrames,
                         (unsigned long long) lastOutputHash);
        }

        everythingOnByPath.push_back (everythingOn);
    }

    if (argc > 2 && std::string (argv[2]) == "chain")
    {
        scratch.deleteRecursively();
        return 0;
    }

    // The wet-chain stages on their own, at the "everything on" settings, over the same frames,
    // with denormals flushed as processBlock does.
    const juce::ScopedNoDenormals noDenormals;
    const auto crackle = crackleLike (numFrames);
    const float inputGain = 1.0f, needle = 0.45f, ampQuality = 0.3f;
    volatile float sink = 0.0f;
    for (size_t p = 0; p < paths.size(); ++p)
    {
        VinolaKernels::forceBaseline (paths[p] == VinolaKernels::Path::baseline);
        const double everythingOn = everythingOnByPath[p];
        std::printf ("\nKernels: %s\n", VinolaKernels::name (VinolaKernels::active()));

        std::printf ("Stages alone (stereo frames; shares of the \"everything on\" chain; the rest is what the\n"
                     "chain spends besides the stages marked *, so stage figures measured alone only approximate it)\n");

        double stageTotal = 0.0;
        auto stage = [&] (const char* name, bool partOfTheChain, const std::function<double()>& run)
        {
            const double seconds = best (repeats, run);
            if (partOfTheChain)
                stageTotal += seconds;
            report ((std::string (partOfTheChain ? "* " : "  ") + name).c_str(), seconds, everythingOn);
        };

        stage ("crossover (inside the amplifier)", false, [&]
        {
            auto xo = std::make_unique<VinolaCrossover>();
            VinolaFloat4 a[runLength], b[runLength], acc = VinolaFloat4::zero();
            const double s = timeRuns ([&] (int start, int n)
            {
                xo->processBlock (left.data() + start, right.data() + start, n, a, b);
                acc = acc + a[0] + b[n - 1];
            });
            sink = sink + acc.lane0();
            return s;
        });

        auto timeDucking = [&] (bool loud)
        {
            auto duck = std::make_unique<VinolaDuckingStage>();
            duck->setSampleRate (sampleRate);
            std::atomic<float> meter { 0.0f };
            std::vector<float> silence ((size_t) numFrames, 0.0f), inverted ((size_t) numFrames);
            for (size_t i = 0; i < inverted.size(); ++i)
                inverted[i] = -crackle[i];
            float gains[2][runLength];
            const double s = timeRuns ([&] (int start, int n)
            {
                const float* c[2] = { (loud ? crackle : silence).data() + start, (loud ? inverted : silence).data() + start };
                float* g[2] = { gains[0], gains[1] };
                duck->processBlock (c, g, n, 1.0f, meter);
            });
            sink = sink + duck->gain (0);
            return s;
        };
        stage ("ducking, no crackle", true, [&] { return timeDucking (false); });
        stage ("ducking, crackle above threshold", false, [&] { return timeDucking (true); });

        // With AMP QUALITY moving every frame, both tone designs are recomputed every frame.
        auto timeAmplifier = [&] (bool qualityMoving)
        {
            auto amp = std::make_unique<VinolaAmplifierModel>();
            std::vector<float> inverted ((size_t) numFrames), quality ((size_t) numFrames);
            for (size_t i = 0; i < inverted.size(); ++i)
            {
                inverted[i] = -crackle[i];
                quality[i] = qualityMoving ? ampQuality + 1.0e-6f * (float) (i % 1000) : ampQuality;
            }
            float gains[runLength], vinyl[2][runLength], needles[runLength], inputGains[runLength];
            float wet[2][runLength], dry[2][runLength], acc = 0.0f;
            std::fill (gains, gains + runLength, 0.8f);
            std::fill (vinyl[0], vinyl[0] + runLength, 0.001f);
            std::fill (vinyl[1], vinyl[1] + runLength, -0.001f);
            std::fill (needles, needles + runLength, needle);
            std::fill (inputGains, inputGains + runLength, inputGain);
            const double s = timeRuns ([&] (int start, int n)
            {
                const VinolaAmplifierModel::FrameControls controls { needles, quality.data() + start, inputGains };
                const float* in[2] = { left.data() + start, right.data() + start };
                const float* g[2] = { gains, gains };
                const float* v[2] = { vinyl[0], vinyl[1] };
                const float* c[2] = { crackle.data() + start, inverted.data() + start };
                float* w[2] = { wet[0], wet[1] };
                float* d[2] = { dry[0], dry[1] };
                amp->processBlock (&controls, in, 2, n, g, v, c, w, d);
                acc += wet[0][0] + dry[1][n - 1];
            });
            sink = sink + acc;
            return s;
        };
        stage ("amplifier (prepare + both channels)", true, [&] { return timeAmplifier (false); });
        stage ("amplifier, AMP QUALITY moving", false, [&] { return timeAmplifier (true); });

        auto copyRun = [&] (int start, int n, float (&frame)[2][runLength])
        {
            std::copy (left.begin() + start, left.begin() + start + n, frame[0]);
            std::copy (right.begin() + start, right.begin() + start + n, frame[1]);
        };

        stage ("wobble (WOBBLE 1)", true, [&]
        {
            auto wobble = std::make_unique<VinolaWobbleStage>();
            wobble->setSampleRate (sampleRate);
            float frame[2][runLength], amounts[runLength], acc = 0.0f;
            std::fill (amounts, amounts + runLength, 1.0f);
            const double s = timeRuns ([&] (int start, int n)
            {
                copyRun (start, n, frame);
                float* channels[2] = { frame[0], frame[1] };
                wobble->processBlock (channels, 2, n, amounts);
                acc += frame[0][0];
            });
            sink = sink + acc;
            return s;
        });

        stage ("cable (CABLE QUALITY 0.05)", true, [&]
        {
            std::vector<float> contact (65536), dropout (65536);
            for (size_t k = 0; k < contact.size(); ++k)
            {
                contact[k] = 0.4f + 0.4f * (float) ((k / 97) % 7) / 7.0f;
                dropout[k] = (float) ((k / 401) % 11) / 11.0f;
            }
            VinolaCableStage cable;
            cable.setTables (contact.data(), dropout.data());
            float frame[2][runLength], qualities[runLength], acc = 0.0f;
            std::fill (qualities, qualities + runLength, 0.05f);
            const double s = timeRuns ([&] (int start, int n)
            {
                copyRun (start, n, frame);
                float* channels[2] = { frame[0], frame[1] };
                cable.processBlock (channels, 2, n, qualities);
                acc += frame[1][0];
            });
            sink = sink + acc;
            return s;
        });

        if (everythingOn > 0.0)
            report ("rest (generators, smoothing, mix, shell)", std::max (0.0, everythingOn - stageTotal), everythingOn);
    }

    scratch.deleteRecursively();
    return sink == 12345.0f ? 1 : 0;
}
