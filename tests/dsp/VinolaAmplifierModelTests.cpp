#include <gtest/gtest.h>

#include "VinolaAmplifierModel.h"
#include "VinolaKernels.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace
{
    struct Frame
    {
        float wet[2] { 0, 0 }, dry[2] { 0, 0 };
    };

    Frame run (VinolaAmplifierModel& amp, float left, float right, int numChannels = 2,
               float vinyl = 0.0f, float crackle = 0.0f, float duck = 1.0f)
    {
        const float in[2] { left, right }, gains[2] { duck, duck }, v[2] { vinyl, vinyl }, c[2] { crackle, crackle };
        Frame f;
        amp.processFrame (in, numChannels, gains, v, c, f.wet, f.dry);
        return f;
    }

    void expectLanes (VinolaFloat4 v, std::initializer_list<float> expected, float tolerance)
    {
        int i = 0;
        for (float e : expected)
            EXPECT_NEAR (v.get (i++), e, tolerance) << "lane " << i - 1;
    }
}

/** The amplifier written out in the plain order, frame by frame and lane by lane, with the
    library's exponential and double-precision state-variable tone filters designed from
    frequency, Q and gain alone, whose states a new design carries as the model's do (each keeps
    its level or shrinks with the new design, but for the DC the high-pass holds); the pipelined
    model must give the same wet and dry samples. */
struct ReferenceAmplifier
{
    VinolaCrossover crossover;
    float pre[4], post[4], drive = 1;
    struct Filter { double g = 1, m0 = 1, m1 = 0, m2 = 0; } wetDesign[4], dryDesign[4];
    struct Cascade { double ic1[4] {}, ic2[4] {}, dc = 0; float history[4] {}; } wet[2], dry[2];
    static constexpr double k = 1.0 / 0.707f;

    static void redesign (Filter& f, Cascade (&c)[2], int lane, float frequency, float gain)
    {
        const double T = std::tan (3.141592653589793 * frequency / 44100.0), A = std::sqrt ((double) gain);
        const Filter filters[4] = { { T / std::sqrt (A), 1, k * (A - 1), A * A - 1 }, { T * std::sqrt (A), A * A, k * (1 - A) * A, 1 - A * A },
                                    { T, 1, -k, -1 }, { T, 0, 0, 1 } };
        const double g = filters[lane].g, band = (g / (1 + g * (g + k))) / (f.g / (1 + f.g * (f.g + k)));   // 2g/N, new over old
        for (auto& cascade : c)
        {
            const double held = lane == 2 ? cascade.dc : 0.0;   // the low-pass state's scale is 2g^2/N
            cascade.ic1[lane] *= std::min (1.0, band);
            cascade.ic2[lane] = held + (cascade.ic2[lane] - held) * std::min (1.0, band * g / f.g);
        }
        f = filters[lane];
    }

    void prepare (float n, float q, float inputGain)
    {
        n = std::max (n, 0.0001f);
        const float m = n > 0.9999f ? 1.0f - 0.9999f : 1.0f - n;
        const float preK[4] = { 20, 60, 200, 456 }, postK[4] = { 10.5f, 42, 50, 45 }, w[4] = { 1, 1, 0.7f, 0.7f };
        for (int k = 0; k < 4; ++k)
        {
            pre[k] = 1 + m * m * preK[k];
            post[k] = w[k] / (1 + m * std::sqrt (m) * postK[k]);
        }
        const float g = (float) (0.9 * q + 0.1), q2 = q * q;
        const float frequencies[4] = { q * -295 + 300, 2000 + 17000 * q2, 200 - 190 * q, 4000 + 17000 * q2 };
        for (int lane = 0; lane < 4; ++lane)
        {
            redesign (wetDesign[lane], wet, lane, frequencies[lane], lane < 2 ? g : 1);
            redesign (dryDesign[lane], dry, lane, lane < 2 ? frequencies[lane] : lane == 2 ? 10 : 22000, 1);
        }
        drive = ((1 - q) + (1 - q) + 1) * inputGain;
    }

    static float step (Cascade& c, const Filter* d, float x)
    {
        c.dc += 6.2831853 / 44100.0 * (x - c.dc);
        const float in[4] = { c.history[1], c.history[2], c.history[3], x };
        for (int lane = 0; lane < 4; ++lane)
        {
            const double g = d[lane].g, a1 = 1 / (1 + g * (g + k)), a2 = g * a1, a3 = g * a2, v3 = in[lane] - c.ic2[lane];
            const double v1 = a1 * c.ic1[lane] + a2 * v3, v2 = c.ic2[lane] + a2 * c.ic1[lane] + a3 * v3;
            c.ic1[lane] = 2 * v1 - c.ic1[lane];
            c.ic2[lane] = 2 * v2 - c.ic2[lane];
            c.history[lane] = (float) (d[lane].m0 * in[lane] + d[lane].m1 * v1 + d[lane].m2 * v2);
        }
        return c.history[0];
    }

    void process (const float* in, const float* duck, const float* vinyl, const float* crackle, float* wetOut, float* dryOut)
    {
        // Through the crossover's run entry, so that both sides use the same crossover kernels.
        VinolaFloat4 bands[2];
        crossover.processBlock (&in[0], &in[1], 1, &bands[0], &bands[1]);
        for (int ch = 0; ch < 2; ++ch)
        {
            float y[4], b[4];
            for (int k = 0; k < 4; ++k)
            {
                b[k] = bands[ch].get (k);
                const float u = ((b[k] * drive * duck[ch] + vinyl[ch]) + crackle[ch]) * pre[k];
                const float sat = u > 0 ? 1 - (float) std::exp (-(double) u) : (float) std::exp ((double) u) - 1;
                y[k] = sat * post[k];
            }
            wetOut[ch] = step (wet[ch], wetDesign, (y[0] + y[2]) + (y[1] + y[3]));
            dryOut[ch] = step (dry[ch], dryDesign, (b[0] + b[2]) + (b[1] + b[3]));
        }
    }
};

TEST (VinolaAmplifierModel, PipelinedModelMatchesThePlainOrderWhileEverythingMoves)
{
    auto amp = std::make_unique<VinolaAmplifierModel>();
    auto ref = std::make_unique<ReferenceAmplifier>();
    amp->reset();
    const float tolerance = 5.0e-5f;

    for (int n = 0; n < 6000; ++n)
    {
        // Every frame a new needle, amp quality (so a new design), gain, ducking and noise.
        const float t = (float) n / 6000.0f;
        const float needle = 0.9f * t, q = (n / 3) % 2 == 0 ? 0.25f : 0.8f + 0.1f * t, gain = 0.5f + t;
        amp->prepareFrame (needle, q, gain);
        ref->prepare (needle, q, gain);

        const float in[2] { 0.8f * std::sin (0.031f * (float) n), n % 200 < 100 ? 0.0f : 0.5f * std::sin (0.27f * (float) n) };
        const float duck[2] { 1.0f - 0.5f * t, 0.25f + 0.5f * t };
        const float vinyl[2] { 0.01f * std::sin (0.5f * (float) n), 0.0f };
        const float crackle[2] { n % 97 == 0 ? 0.6f : 0.0f, n % 89 == 0 ? -0.4f : 0.0f };

        float wet[2], dry[2], rw[2], rd[2];
        amp->processFrame (in, 2, duck, vinyl, crackle, wet, dry);
        ref->process (in, duck, vinyl, crackle, rw, rd);
        for (int ch = 0; ch < 2; ++ch)
        {
            // The exponential, the order of the gain products and single precision differ: both
            // kernel sets stay within 1.5e-5 here.
            ASSERT_NEAR (wet[ch], rw[ch], tolerance) << "frame " << n << " channel " << ch;
            ASSERT_NEAR (dry[ch], rd[ch], tolerance) << "frame " << n << " channel " << ch;
        }
    }
}

TEST (VinolaAmplifierModel, NeedleFactorsAtBothEnds)
{
    auto amp = std::make_unique<VinolaAmplifierModel>();

    amp->prepareFrame (0.9f, 0.5f, 1.0f);      // NEEDLE QUALITY 1 maps to 0.9: m = 0.1
    expectLanes (amp->getPreGain(), { 1.2f, 1.6f, 3.0f, 5.56f }, 1.0e-5f);
    expectLanes (amp->getPostGain(), { 1 / 1.332039f, 1 / 2.328157f, 1 / 2.581139f, 1 / 2.423025f }, 1.0e-5f);

    amp->prepareFrame (0.0f, 0.5f, 1.0f);      // m = 0.9999
    expectLanes (amp->getPreGain(), { 20.996f, 60.988f, 200.96f, 456.909f }, 2.0e-3f);
    expectLanes (amp->getPostGain(), { 1 / 11.4984f, 1 / 42.9937f, 1 / 50.9925f, 1 / 45.9932f }, 1.0e-5f);

    amp->prepareFrame (std::nanf (""), 0.5f, 1.0f);
    EXPECT_TRUE (VinolaFloat4::allFinite (amp->getPreGain()));
}

TEST (VinolaAmplifierModel, AmpQualitySetsDriveAndToneDesigns)
{
    auto amp = std::make_unique<VinolaAmplifierModel>();
    auto expectDesign = [] (const Biquad4& actual, VinolaFloat4 frequencies, VinolaFloat4 gains)
    {
        Biquad4 expected;
        Biquad4::design (expected, VinolaFloat4::broadcast (44100.0f), frequencies, VinolaFloat4::broadcast (0.707f), gains);
        for (int i = 0; i < 4; ++i)
            for (auto member : { &Biquad4::b0, &Biquad4::b1, &Biquad4::b2, &Biquad4::a1, &Biquad4::a2, &Biquad4::dcFeedback, &Biquad4::dcForward })
                EXPECT_EQ ((actual.*member).get (i), (expected.*member).get (i)) << "lane " << i;
    };

    amp->prepareFrame (0.5f, 1.0f, 2.0f);
    EXPECT_FLOAT_EQ (amp->getDrive(), 2.0f);
    expectDesign (amp->getWetDesign(), VinolaFloat4::set (5.0f, 19000.0f, 10.0f, 21000.0f), VinolaFloat4::set (1.0f, 1.0f, 0.0f, 0.0f));

    amp->prepareFrame (0.5f, 0.0f, 2.0f);
    EXPECT_FLOAT_EQ (amp->getDrive(), 6.0f);
    expectDesign (amp->getWetDesign(), VinolaFloat4::set (300.0f, 2000.0f, 200.0f, 4000.0f), VinolaFloat4::set (0.1f, 0.1f, 0.0f, 0.0f));

    // The dry path is neutral whatever the amp quality: shelves at gain 1, 10 Hz and 22 kHz.
    expectDesign (amp->getDryDesign(), VinolaFloat4::set (300.0f, 2000.0f, 10.0f, 22000.0f), VinolaFloat4::broadcast (1.0f));

    // A new sample rate redesigns even when the quality is unchanged.
    const float before = amp->getWetDesign().b0.get (3);
    amp->setSampleRate (96000.0);
    amp->prepareFrame (0.5f, 0.0f, 2.0f);
    EXPECT_NE (amp->getWetDesign().b0.get (3), before);
}

TEST (VinolaAmplifierModel, ImpulseReachesWetAndDryThreeFramesLaterAligned)
{
    auto amp = std::make_unique<VinolaAmplifierModel>();
    amp->prepareFrame (0.5f, 0.7f, 1.0f);
    amp->reset();

    int firstWet = -1, firstDry = -1;
    for (int n = 0; n < 10; ++n)
    {
        const auto f = run (*amp, n == 0 ? 1.0f : 0.0f, n == 0 ? 1.0f : 0.0f);
        if (firstWet < 0 && std::fabs (f.wet[0]) > 1.0e-3f)
            firstWet = n;
        if (firstDry < 0 && std::fabs (f.dry[0]) > 1.0e-3f)
            firstDry = n;
        EXPECT_EQ (f.wet[0], f.wet[1]);
        EXPECT_EQ (f.dry[0], f.dry[1]);
    }
    EXPECT_EQ (firstWet, 3);
    EXPECT_EQ (firstDry, 3);
}

TEST (VinolaAmplifierModel, DryPathIsTheInputDelayedWithFlatMagnitude)
{
    auto amp = std::make_unique<VinolaAmplifierModel>();
    amp->prepareFrame (0.5f, 0.2f, 8.0f);     // wet settings must not touch the dry path

    for (double f : { 100.0, 1000.0, 8000.0 })
    {
        amp->reset();
        double inPower = 0, outPower = 0;
        for (int n = 0; n < 44100; ++n)
        {
            const float x = (float) std::sin (2.0 * 3.141592653589793 * f * n / 44100.0);
            const auto fr = run (*amp, x, x);
            if (n >= 22050)
            {
                inPower += (double) x * x;
                outPower += (double) fr.dry[0] * fr.dry[0];
            }
        }
        EXPECT_NEAR (std::sqrt (outPower / inPower), 1.0, 0.02) << f << " Hz";
    }
}

TEST (VinolaAmplifierModel, SaturationBoundsTheWetPathAndDuckingGainScalesTheMusic)
{
    auto amp = std::make_unique<VinolaAmplifierModel>();
    amp->prepareFrame (0.0f, 0.0f, 15.85f);    // worst needle, lowest quality, +24 dB

    float peak = 0.0f;
    for (int n = 0; n < 20000; ++n)
    {
        const float x = 2.0f * std::sin (0.07f * (float) n);
        peak = std::fmax (peak, std::fabs (run (*amp, x, x).wet[0]));
    }
    EXPECT_GT (peak, 0.05f);
    EXPECT_LT (peak, 4.0f);    // four saturated lanes, weighted and filtered

    // A ducking gain of 0 removes the music entirely: with no noise the wet path only carries
    // the silence guard's residue.
    amp->prepareFrame (0.5f, 0.7f, 1.0f);
    amp->reset();
    float loudest = 0.0f;
    for (int n = 0; n < 2000; ++n)
    {
        const float x = std::sin (0.05f * (float) n);
        loudest = std::fmax (loudest, std::fabs (run (*amp, x, x, 2, 0.0f, 0.0f, 0.0f).wet[0]));
    }
    EXPECT_LT (loudest, 1.0e-6f);

    // Noise is added after the ducking gain, so it still comes through.
    float noisy = 0.0f;
    for (int n = 0; n < 2000; ++n)
        noisy = std::fmax (noisy, std::fabs (run (*amp, 0.0f, 0.0f, 2, 0.0f, n % 50 == 0 ? 0.5f : 0.0f, 0.0f).wet[0]));
    EXPECT_GT (noisy, 0.01f);
}

TEST (VinolaAmplifierModel, MonoWritesOnlyTheFirstChannelAndMatchesStereoLeft)
{
    auto mono = std::make_unique<VinolaAmplifierModel>();
    auto stereo = std::make_unique<VinolaAmplifierModel>();
    mono->prepareFrame (0.3f, 0.4f, 2.0f);
    stereo->prepareFrame (0.3f, 0.4f, 2.0f);

    for (int n = 0; n < 3000; ++n)
    {
        const float x = std::sin (0.03f * (float) n) * 0.7f;
        const float in[2] { x, 0.0f }, one[2] { 1, 1 }, zero[2] { 0, 0 };
        float wet[2] { 42.0f, 42.0f }, dry[2] { 42.0f, 42.0f };
        mono->processFrame (in, 1, one, zero, zero, wet, dry);
        const auto s = run (*stereo, x, -x);
        ASSERT_EQ (wet[0], s.wet[0]);
        ASSERT_EQ (dry[0], s.dry[0]);
        ASSERT_EQ (wet[1], 42.0f);
        ASSERT_EQ (dry[1], 42.0f);
    }

    // No channel: nothing is read or written.
    float wet[2] { 42.0f, 42.0f }, dry[2] { 42.0f, 42.0f };
    mono->processFrame (nullptr, 0, nullptr, nullptr, nullptr, wet, dry);
    EXPECT_EQ (wet[0], 42.0f);
}

TEST (VinolaAmplifierModel, RecoversFromANonFiniteBurstWithinAFrame)
{
    auto amp = std::make_unique<VinolaAmplifierModel>();
    amp->prepareFrame (0.5f, 0.7f, 1.0f);

    const float bad[3] = { std::nanf (""), std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity() };
    for (float b : bad)
    {
        for (int n = 0; n < 100; ++n)
            run (*amp, b, n % 2 == 0 ? b : 0.5f);

        float loudest = 0.0f;
        for (int n = 0; n < 2000; ++n)
        {
            const float x = std::sin (0.05f * (float) n);
            const auto f = run (*amp, x, x);
            ASSERT_TRUE (std::isfinite (f.wet[0]) && std::isfinite (f.wet[1])) << "frame " << n;
            ASSERT_TRUE (std::isfinite (f.dry[0]) && std::isfinite (f.dry[1])) << "frame " << n;
            loudest = std::fmax (loudest, std::fabs (f.dry[0]));
        }
        EXPECT_GT (loudest, 0.5f);   // working again, not merely silenced
    }
}

TEST (VinolaAmplifierModel, LowHostRatesStayStable)
{
    for (float rate : { 22050.0f, 32000.0f })
    {
        auto amp = std::make_unique<VinolaAmplifierModel>();
        amp->setSampleRate (rate);
        amp->prepareFrame (0.9f, 1.0f, 1.0f);
        float peak = 0.0f;
        for (int n = 0; n < 40000; ++n)
        {
            const float x = std::sin (0.9f * (float) n);
            const auto f = run (*amp, x, x);
            peak = std::fmax (peak, std::fmax (std::fabs (f.wet[0]), std::fabs (f.dry[0])));
        }
        EXPECT_LT (peak, 4.0f) << rate;
    }
}

// Bad input inside a run: every frame's output must be what the same frames give one at a time
// (each bad frame resets the state; the frames after it start from there), finite at once, on
// both kernel builds, in mono and stereo; and the run must be cheap, which the benchmark shows.
TEST (VinolaAmplifierModel, BadInputInsideARunGivesTheFrameByFrameSamples)
{
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    struct Pattern
    {
        const char* name;
        float (*sample) (int channel, int frame);
    };
    static float badValue;
    const Pattern patterns[] = {
        { "all bad", [] (int, int) { return badValue; } },
        { "one bad sample first", [] (int, int i) { return i == 0 ? badValue : 0.3f * std::sin (0.1f * (float) i); } },
        { "one bad sample inside", [] (int, int i) { return i == 37 ? badValue : 0.3f * std::sin (0.1f * (float) i); } },
        { "one bad sample last", [] (int, int i) { return i == 127 ? badValue : 0.3f * std::sin (0.1f * (float) i); } },
        { "every other sample", [] (int, int i) { return i % 2 == 1 ? badValue : 0.3f * std::sin (0.1f * (float) i); } },
        { "bad, then music", [] (int, int i) { return i < 50 ? badValue : 0.3f * std::sin (0.1f * (float) i); } },
        { "right channel only", [] (int ch, int i) { return ch == 1 && i % 9 == 4 ? badValue : 0.3f * std::sin (0.1f * (float) i); } },
    };

    const bool wasForced = VinolaKernels::cpuHasAvx2() && ! VinolaKernels::useAvx2();
    for (bool baseline : { false, true })
    {
        if (! baseline && ! VinolaKernels::cpuHasAvx2())
            continue;
        VinolaKernels::forceBaseline (baseline);
        for (float bad : { nan, inf, -inf, 1.0e30f })
            for (const auto& pattern : patterns)
                for (int numChannels : { 2, 1 })
                {
                    SCOPED_TRACE (testing::Message() << pattern.name << ", " << bad << ", " << numChannels
                                                     << " channel(s)" << (baseline ? ", baseline" : ""));
                    badValue = bad;
                    constexpr int n = 128;
                    std::vector<float> in[2], gains (n, 1.0f), zeros (n, 0.0f), wet[2], dry[2];
                    for (int ch = 0; ch < 2; ++ch)
                    {
                        for (int i = 0; i < 3 * n; ++i)   // a bad run between two good ones
                            in[ch].push_back (i >= n && i < 2 * n ? pattern.sample (ch, i - n)
                                                                  : 0.3f * std::sin (0.05f * (float) i));
                        wet[ch].assign (3 * n, 0.0f);
                        dry[ch].assign (3 * n, 0.0f);
                    }

                    auto runs = std::make_unique<VinolaAmplifierModel>(), frames = std::make_unique<VinolaAmplifierModel>();
                    for (auto* amp : { runs.get(), frames.get() })
                        amp->prepareFrame (0.5f, 0.6f, 2.0f);
                    for (int start = 0; start < 3 * n; start += n)
                    {
                        const float* input[2] = { in[0].data() + start, in[1].data() + start };
                        const float* g[2] = { gains.data(), gains.data() };
                        const float* z[2] = { zeros.data(), zeros.data() };
                        float* w[2] = { wet[0].data() + start, wet[1].data() + start };
                        float* d[2] = { dry[0].data() + start, dry[1].data() + start };
                        runs->processBlock (nullptr, input, numChannels, n, g, z, z, w, d);
                    }
                    for (int i = 0; i < 3 * n; ++i)
                    {
                        const auto f = run (*frames, in[0][(size_t) i], in[1][(size_t) i], numChannels);
                        for (int ch = 0; ch < numChannels; ++ch)
                        {
                            ASSERT_TRUE (std::isfinite (wet[ch][(size_t) i]) && std::isfinite (dry[ch][(size_t) i])) << "frame " << i;
                            ASSERT_EQ (wet[ch][(size_t) i], f.wet[ch]) << "frame " << i;
                            ASSERT_EQ (dry[ch][(size_t) i], f.dry[ch]) << "frame " << i;
                        }
                    }
                }
    }
    VinolaKernels::forceBaseline (wasForced);
}
