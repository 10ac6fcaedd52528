#include "VinolaDuckingStage.h"

#include <algorithm>
#include <cmath>

namespace
{
    constexpr float slope = 1.0f / 100.0f - 1.0f;   // dB of reduction per dB above the threshold
    constexpr float halfKneeWidth = 0.05f;
    constexpr float kneeDivisor = 0.2f;              // twice the knee width
}

VinolaDuckingStage::VinolaDuckingStage() = default;

float VinolaDuckingStage::reductionDb (float level, float threshold) noexcept
{
    if (level < threshold - halfKneeWidth)
        return 0.0f;
    if (level >= threshold + halfKneeWidth)
        return (level - threshold) * slope;

    const float d = level - threshold + halfKneeWidth;
    return d * d * slope / kneeDivisor;
}

void VinolaDuckingStage::updateQuietMagnitude (float duckingAmount) noexcept
{
    if (duckingAmount != cachedAmount)
    {
        cachedAmount = duckingAmount;
        // A margin of 1e-4 (about 1e-3 dB) keeps rounding of the logarithm on the safe side.
        quietMagnitude = std::pow (10.0f, (duckingAmount * -56.0f - halfKneeWidth) / 20.0f) * (1.0f - 1.0e-4f);
    }
}

float VinolaDuckingStage::loudGain (float magnitude, float duckingAmount) noexcept
{
    const float level = 20.0f * std::log10 (magnitude);
    return std::pow (10.0f, reductionDb (level, duckingAmount * -56.0f) / 20.0f);
}

void VinolaDuckingStage::process (int channel, float crackle, float duckingAmount, std::atomic<float>& meter) noexcept
{
    if (channel < 0 || channel > 1)
        return;

    const float* crackles[2] = { nullptr, nullptr };
    crackles[channel] = &crackle;
    float* gains[2] = { nullptr, nullptr };
    processBlock (crackles, gains, 1, duckingAmount, meter);
}

void VinolaDuckingStage::processBlock (const float* const* crackle, float* const* gains, int numFrames,
                                       float duckingAmount, std::atomic<float>& meter) noexcept
{
    const float recovery = (70.0f + 50.0f * (1.0f - duckingAmount)) * inverseSampleRate;
    float largest = 0.0f;   // the meter takes the run's largest reduction once, at the end
    updateQuietMagnitude (duckingAmount);
    const float quiet = quietMagnitude;

    auto step = [&] (float c, float& envelope) noexcept
    {
        // Magnitudes below the quiet one lie surely under the knee: their gain is exactly 1.
        const float magnitude = std::fabs (c);
        const float g = magnitude >= quiet ? loudGain (magnitude, duckingAmount) : 1.0f;   // a NaN crackle ducks nothing

        const float reduction = 1.0f - g;
        if (reduction > largest)
            largest = reduction;

        if (g < envelope)
            envelope = std::min (g, 1.0f);
        else if (envelope < 1.0f)   // a full envelope stays full: 1 + recovery is capped at 1
            envelope = std::min (envelope + recovery, 1.0f);
    };

    float left = duckingGain[0], right = duckingGain[1];
    const float* c0 = crackle[0];
    const float* c1 = crackle[1];
    float* g0 = gains[0];
    float* g1 = gains[1];

    // The two channels' envelopes are independent recursions: one loop lets them overlap.
    for (int i = 0; i < numFrames; ++i)
    {
        if (c0 != nullptr)
        {
            step (c0[i], left);
            if (g0 != nullptr)
                g0[i] = left;
        }
        if (c1 != nullptr)
        {
            step (c1[i], right);
            if (g1 != nullptr)
                g1[i] = right;
        }
    }

    duckingGain[0] = left;
    duckingGain[1] = right;
    if (largest > meter.load (std::memory_order_relaxed))
        meter.store (largest, std::memory_order_relaxed);
}
