// A fresh instance at a high host rate, with the amp quality where its tone filters come down to
// a few hertz, must play a minute of silence and a minute of a tone at the level the same
// settings give at 48 kHz, on every kernel set: a filter pole that single precision pushes
// outside the unit circle lets the output grow until it is infinite. And the tone itself must
// not change with the rate: a session rendered at another rate sounds the same.
#include <gtest/gtest.h>

#include "KernelChoice.h"
#include "MvPlatform.h"
#include "VinolaAudioProcessor.h"
#include "VinolaParameterTable.h"
#include "VinolaXorShift128.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <iterator>
#include <memory>

namespace
{
    constexpr double twoPi = 2.0 * 3.141592653589793;

    /** Plays a fresh instance, set up by setUp, at the rate for `frames` frames: input (frame)
        in both channels, each output sample to listen (frame, channel, sample), which returns
        false to stop. */
    template <typename SetUp, typename Input, typename Listen>
    void play (double rate, long long frames, SetUp&& setUp, Input&& input, Listen&& listen, int blockSize = 512)
    {
        auto p = std::make_unique<VinolaAudioProcessor>();
        setUp (*p);
        p->prepareToPlay (rate, blockSize);
        juce::AudioBuffer<float> buffer (2, blockSize);
        juce::MidiBuffer midi;
        for (long long start = 0; start < frames; start += blockSize)
        {
            for (int i = 0; i < blockSize; ++i)
                for (int ch = 0; ch < 2; ++ch)
                    buffer.setSample (ch, i, input (start + i));
            p->processBlock (buffer, midi);
            for (int i = 0; i < blockSize && start + i < frames; ++i)
                for (int ch = 0; ch < 2; ++ch)
                    if (! listen (start + i, ch, buffer.getSample (ch, i)))
                        return;
        }
    }

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
        sharedXorShift128.restart();
        Playback run;
        play (rate, (long long) (seconds * rate),
              [&] (VinolaAudioProcessor& p) { p.getParameters()[VinolaParameterTable::ampQuality]->setValue (ampQuality); },
              [&] (long long frame) { return tone ? 0.25f * (float) std::sin (twoPi * 440.0 * (double) frame / rate) : 0.0f; },
              [&] (long long, int, float y)
              {
                  run.finite = run.finite && std::isfinite (y);
                  run.peak = std::fmax (run.peak, std::fabs (y));
                  return run.finite;
              });
        return run;
    }

    constexpr double toneFrequencies[] = { 20, 31, 50, 80, 125, 200, 315, 500, 800, 1000 };
    constexpr int numTones = (int) std::size (toneFrequencies);

    /** The gain in dB of each tone of a quiet multitone (whole hertz, so a second holds whole
        periods of each) through a fresh instance with the generators stopped, measured over the
        second after a second of settling. */
    std::array<double, numTones> toneGains (double rate, float ampQuality, float mix)
    {
        constexpr double level = 0.003;
        const auto second = (long long) rate;
        std::array<std::complex<double>, numTones> out {};
        play (rate, 2 * second,
              [&] (VinolaAudioProcessor& p)
              {
                  p.generatorMode.store (2);
                  p.getParameters()[VinolaParameterTable::ampQuality]->setValue (ampQuality);
                  p.getParameters()[VinolaParameterTable::mix]->setValue (mix);
              },
              [&] (long long frame)
              {
                  double x = 0.0;
                  for (double f : toneFrequencies)
                      x += level * std::sin (twoPi * f * (double) frame / rate);
                  return (float) x;
              },
              [&] (long long frame, int channel, float y)
              {
                  for (int k = 0; frame >= second && channel == 0 && k < numTones; ++k)
                      out[(size_t) k] += (double) y * std::polar (1.0, twoPi * toneFrequencies[k] * (double) frame / rate);
                  return true;
              });
        std::array<double, numTones> gains;
        for (int k = 0; k < numTones; ++k)
            gains[(size_t) k] = 20.0 * std::log10 (std::abs (out[(size_t) k]) / (level * (double) second / 2.0));
        return gains;
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

TEST (HighRateStability, EveryRateGivesTheToneOf48kHzFrom20HzTo1kHz)
{
    struct Setting { float ampQuality, mix; };
    const Setting settings[] = { { 0.0f, 1.0f }, { 0.5f, 1.0f }, { 0.8f, 1.0f }, { 1.0f, 1.0f }, { 0.95f, 0.5f }, { 0.0f, 0.5f }, { 0.3f, 0.0f } };

    onEveryKernel ([&]
    {
        for (const auto& s : settings)
        {
            const auto reference = toneGains (48000.0, s.ampQuality, s.mix);
            for (double rate : { 44100.0, 96000.0, 192000.0, 384000.0, 768000.0 })
            {
                const auto gains = toneGains (rate, s.ampQuality, s.mix);
                for (int k = 0; k < numTones; ++k)
                    EXPECT_NEAR (gains[(size_t) k], reference[(size_t) k], 0.5)
                        << toneFrequencies[k] << " Hz at " << rate << " Hz, AMP QUALITY " << s.ampQuality << ", MIX " << s.mix;
            }
        }
    });
}

// A sudden AMP QUALITY change, ramped over one host block, goes from one steady tone to the other
// without a burst: its peak stays within 1.5 times the larger steady peak (of those at 0, 0.5 and 1
// for random values every 256 frames), and within half the offset when a small change meets DC.
TEST (HighRateStability, AmpQualityChangesGlideFromOneSteadyToneToTheOther)
{
    struct Case { double rate; int block; float from, to, hz; };   // 0 Hz: pink noise, -1: a DC offset
    const Case cases[] = { { 48000, 32, 1, 0, 0 }, { 48000, 16, 1, 0.3f, 0 }, { 44100, 4096, 0.99f, 0.5f, 0 }, { 192000, 32, 1, 0, 0 },
                           { 48000, 32, 0.7f, 0, 50 }, { 768000, 64, 0.7f, 0, 30 }, { 48000, 32, 0, 1, 0 }, { 96000, 256, 0.3f, 1, 30 },
                           { 44100, 1024, 0, 1, 50 }, { 768000, 16, 0, 1, 50 }, { 48000, 32, 1, 0.8f, -1 }, { 48000, 32, 0.8f, 1, -1 },
                           { 48000, 256, -1, -1, 0 } };   // from -1: random values
    onEveryKernel ([&]
    {
        for (const auto& c : cases)
        {
            const long long changeAt = (long long) (0.5 * c.rate) / c.block * c.block;
            auto peakAfterChange = [&] (float from, float to)
            {
                juce::AudioProcessorParameter* quality = nullptr;
                juce::Random random (1);
                float pink[3] {}, peak = 0.0f;   // pink enough: three leaky sums of white noise
                play (c.rate, changeAt + (long long) (0.3 * c.rate),
                      [&] (VinolaAudioProcessor& p) { p.generatorMode.store (2); (quality = p.getParameters()[VinolaParameterTable::ampQuality])->setValue (std::abs (from)); },
                      [&] (long long frame)
                      {
                          if (frame == changeAt || (to < 0 && frame % 256 == 0))
                              quality->setValue (to < 0 ? random.nextFloat() : to);
                          const float white = random.nextFloat() - 0.5f;
                          pink[0] = 0.997f * pink[0] + 0.03f * white, pink[1] = 0.97f * pink[1] + 0.1f * white, pink[2] = 0.7f * pink[2] + 0.3f * white;
                          return c.hz == 0 ? pink[0] + pink[1] + pink[2] : c.hz < 0 ? 0.05f : 0.25f * (float) std::sin (twoPi * c.hz * (double) frame / c.rate);
                      },   // a NaN peak stays, and fails
                      [&] (long long frame, int, float y) { peak = frame >= changeAt && ! (std::fabs (y) <= peak) ? std::fabs (y) : peak; return true; }, c.block);
                return peak;
            };
            SCOPED_TRACE (testing::Message() << c.rate << " Hz, blocks of " << c.block << ", " << c.from << " -> " << c.to << ", " << c.hz << " Hz");
            const float steady = c.from < 0 ? std::max ({ peakAfterChange (0, 0), peakAfterChange (0.5f, 0.5f), peakAfterChange (1, 1) })
                                            : std::max (peakAfterChange (c.from, c.from), peakAfterChange (c.to, c.to));
            EXPECT_LT (peakAfterChange (c.from, c.to), c.hz < 0 ? 0.5f * 0.05f : 1.5f * steady);
        }
    });
}
