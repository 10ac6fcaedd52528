// The per-block mapping of the 14 parameters into the engine's ramps, rates and raw values.
#include <gtest/gtest.h>
#include "VinolaAudioProcessor.h"
#include "VinolaParameterTable.h"

#include <cmath>
#include <limits>

namespace
{
    using T = VinolaParameterTable;

    void setParam (VinolaAudioProcessor& p, int index, float value)
    {
        p.getParameters()[index]->setValueNotifyingHost (value);
    }

    std::vector<VinolaParameterSmoother*> allSmoothers (VinolaDspEngine& d)
    {
        return { &d.scratches, &d.ampNoise, &d.vinylNoise, &d.hum, &d.inputGain, &d.humFreq, &d.needleQuality,
                 &d.ampQuality, &d.cableQuality, &d.outputGain, &d.wobbleAmount, &d.mix };
    }
}

TEST (VinolaParameterMapping, ConstructionLeavesEverySmootherIdleAtItsMappedDefault)
{
    VinolaAudioProcessor p;
    auto& d = p.dsp;
    for (auto* s : allSmoothers (d))
    {
        EXPECT_EQ (s->countdown, 0);
        EXPECT_EQ (s->current, s->target);
    }
    EXPECT_NEAR (d.inputGain.target, 1.0f, 1e-5f);
    EXPECT_NEAR (d.outputGain.target, 1.0f, 1e-5f);
    EXPECT_EQ (d.humFreq.target, 50.0f);
    EXPECT_EQ (d.needleQuality.target, (float) (0.9f * 0.9));
    EXPECT_EQ (d.hum.target, 0.15f);
    EXPECT_EQ (d.duckingAmount, 0.5f);
    EXPECT_FLOAT_EQ (d.crackleA.rate, 0.25f);
    EXPECT_FLOAT_EQ (d.crackleB.rate, 2.5f);
    EXPECT_FLOAT_EQ (d.crackleC.rate, 4.0f);
}

TEST (VinolaParameterMapping, InputGainRampsLinearlyOverOneBlockThenHoldsTheTarget)
{
    VinolaAudioProcessor p;
    auto& s = p.dsp.inputGain;
    const float start = s.tick();

    setParam (p, T::inputGain, 1.0f);
    p.updateParameters (256);
    const float target = std::exp (24.0f * 0.115129255f);
    EXPECT_NEAR (target, 15.85f, 0.01f);
    EXPECT_EQ (s.target, target);
    EXPECT_EQ (s.countdown, 256);

    for (int k = 1; k <= 256; ++k)
        ASSERT_NEAR (s.tick(), start + (float) k * (target - start) / 256.0f, 2e-4f) << "frame " << k;

    p.updateParameters (256);   // no change: the next block sits on the target exactly
    for (int k = 0; k < 256; ++k)
        ASSERT_EQ (s.tick(), target);
}

TEST (VinolaParameterMapping, HumFrequencySwitchesAtOneHalfAndGlidesOverOneBlock)
{
    VinolaAudioProcessor p;
    auto& f = p.dsp.humFreq;

    setParam (p, T::humFreqSw, 0.49f);
    p.updateParameters (64);
    EXPECT_EQ (f.target, 50.0f);

    setParam (p, T::humFreqSw, 0.5f);
    p.updateParameters (64);
    EXPECT_EQ (f.target, 60.0f);
    EXPECT_EQ (f.countdown, 64);
    const float first = f.tick();
    EXPECT_GT (first, 50.0f);
    EXPECT_LT (first, 51.0f);

    for (int k = 1; k < 64; ++k)
        f.tick();
    setParam (p, T::humFreqSw, 0.0f);
    p.updateParameters (64);
    const float down = f.tick();
    EXPECT_LT (down, 60.0f);
    EXPECT_GT (down, 59.0f);
}

TEST (VinolaParameterMapping, NeedleDuckingAndScratchRates)
{
    VinolaAudioProcessor p;
    setParam (p, T::needleQuality, 1.0f);
    setParam (p, T::ducking, 0.8f);
    setParam (p, T::scratchesRate, 1.0f);
    p.updateParameters (32);
    EXPECT_EQ (p.dsp.needleQuality.target, 0.9f);
    EXPECT_EQ (p.dsp.duckingAmount, 0.8f);   // no ramp
    EXPECT_EQ (p.dsp.crackleA.rate, 0.5f);
    EXPECT_EQ (p.dsp.crackleB.rate, 5.0f);
    EXPECT_EQ (p.dsp.crackleC.rate, 8.0f);

    setParam (p, T::scratchesRate, 0.0f);
    p.updateParameters (32);
    EXPECT_TRUE (p.dsp.crackleA.muted);
    EXPECT_TRUE (p.dsp.crackleB.muted);
    EXPECT_TRUE (p.dsp.crackleC.muted);
}

TEST (VinolaParameterMapping, WobbleRampsOverATenthOfASecondAcrossBlocks)
{
    VinolaAudioProcessor p;
    p.prepareToPlay (48000.0, 64);
    auto& w = p.dsp.wobbleAmount;

    setParam (p, T::wobble, 1.0f);
    p.updateParameters (64);
    EXPECT_EQ (w.countdown, 4800);

    for (int block = 0; block < 10; ++block)
    {
        p.updateParameters (64);
        for (int k = 0; k < 64; ++k)
            w.tick();
    }
    EXPECT_EQ (w.countdown, 4800 - 640);
    const float midway = w.current;
    EXPECT_NEAR (midway, 640.0f / 4800.0f, 1e-4f);

    // A further change restarts a full ramp from wherever the value stands.
    setParam (p, T::wobble, 0.0f);
    p.updateParameters (64);
    EXPECT_EQ (w.countdown, 4800);
    EXPECT_NEAR (w.tick(), midway - midway / 4800.0f, 1e-6f);
}

TEST (VinolaParameterMapping, AnEmptyBlockAppliesTheNewTargetAtTheNextFrame)
{
    VinolaAudioProcessor p;
    setParam (p, T::hum, 0.9f);
    p.updateParameters (0);
    EXPECT_EQ (p.dsp.hum.countdown, 0);
    EXPECT_EQ (p.dsp.hum.tick(), 0.9f);
}

TEST (VinolaParameterMapping, ANonNumberFromTheHostNeverReachesTheEngine)
{
    VinolaAudioProcessor p;
    for (int i = 0; i < T::numParameters; ++i)
        setParam (p, i, std::numeric_limits<float>::quiet_NaN());
    p.updateParameters (16);

    for (auto* s : allSmoothers (p.dsp))
        for (int k = 0; k < 16; ++k)
            ASSERT_TRUE (std::isfinite (s->tick()));
    EXPECT_TRUE (std::isfinite (p.dsp.duckingAmount));
    EXPECT_FALSE (std::isnan (p.dsp.crackleA.meanInterval));

    juce::AudioBuffer<float> buffer (2, 512);
    buffer.clear();
    juce::MidiBuffer midi;
    p.processBlock (buffer, midi);
    EXPECT_TRUE (std::isfinite (p.dsp.humStage.phase));
    EXPECT_TRUE (std::isfinite (p.dsp.noiseLoop.position));
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < 512; ++i)
            ASSERT_TRUE (std::isfinite (buffer.getSample (ch, i)));
}
