#include "VinolaHumStage.h"
#include "VinolaFloat4.h"
#include "VinolaKernels.h"
#include "VinolaXorShift128.h"

#include <cmath>
#include <cstdint>

namespace
{
    constexpr double pi = 3.141592653589793;
    constexpr float twoPiFloat = 6.2831855f;

    float incrementFor (float frequency, float inverseSampleRate) noexcept
    {
        return (float) ((double) (frequency * inverseSampleRate) * pi * 2.0);
    }
}

void VinolaHumStage::setSampleRate (double newRate) noexcept
{
    sampleRate = (float) newRate;
    inverseSampleRate = 1.0f / sampleRate;
    increment = incrementFor (frequency, inverseSampleRate);
}

void VinolaHumStage::processBlock (const Controls& controls, float* left, float* right, int n) noexcept
{
    float sine[maxRunLength];

    // The oscillator's phases first, then the sine of the whole run at once.
    for (int i = 0; i < n; ++i)
    {
        const float f = controls.frequency[i];
        if (f != frequency)   // the increment depends on nothing else that changes per frame
        {
            frequency = f;
            increment = incrementFor (f, inverseSampleRate);
        }
        sine[i] = phase;
        float nextPhase = phase + increment;
        // Equal to fmodf for the usual case below two periods (the subtraction is exact there).
        if (nextPhase >= twoPiFloat)
            nextPhase = nextPhase < 2.0f * twoPiFloat ? nextPhase - twoPiFloat : std::fmod (nextPhase, twoPiFloat);
        phase = nextPhase;
    }
    VinolaKernels::sineInPlace (sine, n);

    const float running = controls.running;
    auto humLevelOf = [running] (float value) { return (float) ((double) value * 0.2 * (double) running); };
    auto overdriveOf = [] (float q) { return 4.0f * (float) (0.6 * (1.0 - (double) q)) + 1.0f; };
    const float steadyLevel = humLevelOf (controls.humLevel[0]), steadyOverdrive = overdriveOf (controls.ampQuality[0]);
    for (int i = 0; i < n; ++i)
    {
        const float humLevel = controls.humLevelSteady ? steadyLevel : humLevelOf (controls.humLevel[i]);
        const float overdrive = controls.ampQualitySteady ? steadyOverdrive : overdriveOf (controls.ampQuality[i]);
        float driven = overdrive * sine[i];
        driven = driven < -1.0f ? -1.0f : (driven > 1.0f ? 1.0f : driven);
        sine[i] = driven * humLevel;
    }

    // The noise four frames at a time (the same arithmetic as VinolaXorShift128::toBipolar); the
    // arrays are padded to whole vectors.
    std::uint32_t draws[2][maxRunLength];
    sharedXorShift128.nextPairs (draws[0], draws[1], n);
    const int padded = (n + 3) & ~3;
    for (int i = n; i < padded; ++i)
    {
        // The smoothed arrays always hold finite values past n.
        draws[0][i] = draws[1][i] = 0;
        sine[i] = 0.0f;
    }
    using F = VinolaFloat4;
    const F two = F::broadcast (2.0f), range = F::broadcast (VinolaXorShift128::bipolarRange), one = F::broadcast (1.0f);
    const F scale = F::broadcast (0.03f), runs = F::broadcast (running);
    float* const out[2] = { left, right };
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < padded; i += 4)
        {
            const F bipolar = (two * F::fromLow24Bits (draws[ch] + i)) / range - one;
            (F::load (sine + i) + bipolar * scale * (F::load (controls.noiseLevel + i) * runs)).store (out[ch] + i);
        }
}
