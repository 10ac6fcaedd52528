// A fresh instance at a high host rate, with the amp quality where its tone filters come down to
// a few hertz, must play a minute of silence and a minute of a tone at the level the same
// settings give at 48 kHz, on every kernel set: a filter pole that single precision pushes
// outside the unit circle lets the output grow until it is infinite.
#include <gtest/gtest.h>

#include "KernelChoice.h"
#include "MvPlatform.h"
#include "VinolaAudioProcessor.h"
#include "VinolaParameterTable.h"
#include "VinolaXorShift128.h"

#include <cmath>
#include <memory>

namespace
{
    struct Playback
    {
        float peak = 0.0f;
        bool finite = true;
    };

    /** Seconds of output of a fresh instance at the rate, every parameter at its default but
        AMP QUALITY, fed silence or a -12 dBFS 440 Hz tone. */
    Playback play (double rate, float ampQuality, bool tone, double seconds)
    {
        MvPlatform::restartRandForTests();
        VinolaXorShift128::shared().restart();
        auto p = std::make_unique<VinolaAudioProcessor>();
        p->getParameters()[VinolaParameterTable::ampQuality]->setValue (ampQuality);
        constexpr int blockSize = 512;
        p->prepareToPlay (rate, blockSize);

        juce::AudioBuffer<float> buffer (2, blockSize);
        juce::MidiBuffer midi;
        const double step = 2.0 * 3.141592653589793 * 440.0 / rate;
        const auto total = (long long) (seconds * rate);
        Playback run;
        for (long long start = 0; start < total; start += blockSize)
        {
            for (int i = 0; i < blockSize; ++i)
            {
                const float x = tone ? 0.25f * (float) std::sin (step * (double) (start + i)) : 0.0f;
                buffer.setSample (0, i, x);
                buffer.setSample (1, i, x);
            }
            p->processBlock (buffer, midi);
            for (int ch = 0; ch < 2; ++ch)
                for (int i = 0; i < blockSize; ++i)
                {
                    const float y = buffer.getSample (ch, i);
                    run.finite = run.finite && std::isfinite (y);
                    run.peak = std::fmax (run.peak, std::fabs (y));
                }
            if (! run.finite)
                break;
        }
        return run;
    }
}

TEST (HighRateStability, AMinuteAtTheAmpQualityOfNearDcFiltersStaysAtThe48kHzLevel)
{
    struct Case { double rate; float ampQuality; };
    const Case cases[] = { { 192000.0, 0.997591496f }, { 384000.0, 1.0f } };

    onEveryKernel ([&]
    {
        for (const auto& c : cases)
            for (bool tone : { false, true })
            {
                SCOPED_TRACE (testing::Message() << c.rate << " Hz, AMP QUALITY " << c.ampQuality << (tone ? ", tone" : ", silence"));
                const Playback reference = play (48000.0, c.ampQuality, tone, 60.0);
                const Playback run = play (c.rate, c.ampQuality, tone, 60.0);
                ASSERT_TRUE (reference.finite);
                EXPECT_TRUE (run.finite);
                // Crackles fall at other moments at another rate: 10 % of leeway (the peaks come out
                // below the 48 kHz ones); a blow-up is orders of magnitude.
                EXPECT_LT (run.peak, 1.1f * reference.peak);
            }
    });
}
