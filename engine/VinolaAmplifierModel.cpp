#include "VinolaAmplifierModel.h"

#include <cmath>
#include <initializer_list>

namespace
{
    constexpr float crossoverSplits[VinolaCrossover::numSections] = {
        300.0f, 1300.0f, 5000.0f, 300.0f, 1300.0f, 5000.0f, 1300.0f, 5000.0f, 5000.0f
    };

    // Design frequencies stay just below the Nyquist frequency: at 44.1 kHz and above nothing
    // is moved, at lower rates the upper filters stay stable instead of blowing up.
    constexpr float nyquistMargin = 0.499f;
}

VinolaAmplifierModel::VinolaAmplifierModel()
{
    for (int section = 0; section < VinolaCrossover::numSections; ++section)
        crossover.setSplitFrequency (section, crossoverSplits[section]);

    laneWeights = VinolaFloat4::set (1.0f, 1.0f, 0.7f, 0.7f);
    prepareFrame (0.9f, 0.7f, 1.0f, crossover.getSampleRate());
    reset();
}

VinolaAmplifierModel::~VinolaAmplifierModel() = default;

void VinolaAmplifierModel::setSampleRate (double sampleRate) noexcept
{
    crossover.setSampleRate (sampleRate);
}

void VinolaAmplifierModel::reset() noexcept
{
    crossover.reset();
    for (int ch = 0; ch < 2; ++ch)
        for (auto* cascade : { &wetCascade[ch], &dryCascade[ch] })
            cascade->s1 = cascade->s2 = cascade->history = VinolaFloat4::zero();
}

void VinolaAmplifierModel::updateNeedleFactors (float n) noexcept
{
    needleValid = true;
    designedNeedle = n;

    if (! (n >= 0.0001f))   // also catches NaN
        n = 0.0001f;
    float m = 1.0f - n;
    if (n > 0.9999f)
        m = 1.0f - 0.9999f;

    using F = VinolaFloat4;
    const F one = F::broadcast (1.0f);
    const float m2 = m * m;
    const float m15 = m * std::sqrt (m);
    preGain = one + F::broadcast (m2) * F::set (20.0f, 60.0f, 200.0f, 456.0f);
    postGain = one / (one + F::broadcast (m15) * F::set (10.5f, 42.0f, 50.0f, 45.0f));
    weightedPostGain = postGain * laneWeights;
}

void VinolaAmplifierModel::updateDesigns (float q, float sampleRate) noexcept
{
    designValid = true;
    designedQuality = q;
    designedRate = sampleRate;

    if (! (q >= 0.0f))
        q = 0.0f;
    if (q > 1.0f)
        q = 1.0f;

    using F = VinolaFloat4;
    const float q2 = q * q;
    const float g = (float) (0.9 * (double) q + 0.1);
    const float lowShelf = q * -295.0f + 300.0f;
    const float highShelf = 2000.0f + 17000.0f * q2;

    const F rate = F::broadcast (sampleRate);
    const F limit = F::broadcast (nyquistMargin * sampleRate);
    const F Q = F::broadcast (0.707f);

    const F wetFrequency = F::min (F::set (lowShelf, highShelf, 200.0f - 190.0f * q, 4000.0f + 17000.0f * q2), limit);
    Biquad4::design (wetDesign, rate, wetFrequency, Q, F::set (g, g, 0.0f, 0.0f));

    const F dryFrequency = F::min (F::set (lowShelf, highShelf, 10.0f, 22000.0f), limit);
    Biquad4::design (dryDesign, rate, dryFrequency, Q, F::broadcast (1.0f));
}

void VinolaAmplifierModel::prepareFrame (float needleQuality, float ampQuality, float inputGain, float sampleRate) noexcept
{
    if (! needleValid || needleQuality != designedNeedle)
        updateNeedleFactors (needleQuality);

    if (! designValid || ampQuality != designedQuality || sampleRate != designedRate)
        updateDesigns (ampQuality, sampleRate);

    const float q = ampQuality;
    drive = ((1.0f - q) + (1.0f - q) + 1.0f) * inputGain;
}

void VinolaAmplifierModel::processFrame (const float* input, int numChannels, const float* duckingGain,
                                         const float* vinyl, const float* crackle, float* wet, float* dry) noexcept
{
    using F = VinolaFloat4;

    if (numChannels <= 0)
        return;
    if (numChannels > 2)
        numChannels = 2;

    F bands[2];
    crossover.processFrame (input[0], numChannels > 1 ? input[1] : 0.0f, bands[0], bands[1]);

    const F one = F::broadcast (1.0f);
    const F signBit = F::broadcast (-0.0f);

    for (int ch = 0; ch < numChannels; ++ch)
    {
        const F band = bands[ch];
        const F u = (band * F::broadcast (drive * duckingGain[ch]) + F::broadcast (vinyl[ch] + crackle[ch])) * preGain;

        // 1 - e^-u above zero, e^u - 1 otherwise: the magnitude 1 - e^-|u| with the sign of u.
        const F magnitude = one - F::exp (F::bitOr (u, signBit));
        const F saturated = F::bitXor (magnitude, F::bitAnd (u, signBit));
        const F y = saturated * weightedPostGain;

        wet[ch] = wetCascade[ch].step (wetDesign, F::sumPairs (y));
        dry[ch] = dryCascade[ch].step (dryDesign, F::sumPairs (band));
    }

    // A host that sends NaN or infinity would leave the recursive states poisoned for good.
    // Every state feeds these values within the frame, so one check covers them all.
    const F check = (bands[0] + bands[1]) + (wetCascade[0].history + dryCascade[0].history)
                    + (wetCascade[1].history + dryCascade[1].history);
    if (! F::allFinite (check))
        reset();
}
