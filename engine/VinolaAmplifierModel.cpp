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
    designSlots[currentSlot ^ 1] = designSlots[currentSlot];
    pending.designSlot = currentSlot;
    reset();
}

VinolaAmplifierModel::~VinolaAmplifierModel() = default;

void VinolaAmplifierModel::setSampleRate (double sampleRate) noexcept
{
    crossover.setSampleRate (sampleRate);
}

void VinolaAmplifierModel::ToneDesign::set (const Biquad4& d) noexcept
{
    const VinolaFloat4 keep = VinolaFloat4::lessThan (VinolaFloat4::set (0, 1, 2, 3), VinolaFloat4::broadcast (2.5f));
    firstThree.b0 = VinolaFloat4::bitAnd (keep, d.b0);
    firstThree.b1 = VinolaFloat4::bitAnd (keep, d.b1);
    firstThree.b2 = VinolaFloat4::bitAnd (keep, d.b2);
    firstThree.a1 = VinolaFloat4::bitAnd (keep, d.a1);
    firstThree.a2 = VinolaFloat4::bitAnd (keep, d.a2);
    last = { d.b0.get (3), d.b1.get (3), d.b2.get (3), d.a1.get (3), d.a2.get (3) };
}

void VinolaAmplifierModel::reset() noexcept
{
    crossover.reset();
    for (int ch = 0; ch < 2; ++ch)
    {
        wetCascade[ch].clear();
        dryCascade[ch].clear();
    }
    pending.numChannels = 0;
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
    F wetSine, wetCosine;
    Biquad4::laneSinCos (rate, wetFrequency, wetSine, wetCosine);
    Biquad4::designFromSinCos (wetDesign, wetSine, wetCosine, Q, F::set (g, g, 0.0f, 0.0f));

    // The dry shelves sit at the wet shelves' frequencies and its pass filters stay put, so
    // the dry design reuses the wet angles and, per rate, its own fixed ones.
    if (sampleRate != dryAnglesRate)
    {
        dryAnglesRate = sampleRate;
        Biquad4::laneSinCos (rate, F::min (F::set (10.0f, 10.0f, 10.0f, 22000.0f), limit), drySine, dryCosine);
    }
    const F shelfLanes = F::lessThan (F::set (0, 1, 2, 3), F::broadcast (1.5f));
    Biquad4::designFromSinCos (dryDesign, F::select (shelfLanes, wetSine, drySine), F::select (shelfLanes, wetCosine, dryCosine),
                               Q, F::broadcast (1.0f));

    // The frame still waiting for its lane-3 step keeps the slot it was designed in.
    currentSlot ^= 1;
    designSlots[currentSlot].wet.set (wetDesign);
    designSlots[currentSlot].dry.set (dryDesign);
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

    // 1. The previous frame's saturation and its lane-3 cascade step.
    const F one = F::broadcast (1.0f);
    const F signBit = F::broadcast (-0.0f);
    const DesignSlot& previousDesign = designSlots[pending.designSlot];
    for (int ch = 0; ch < pending.numChannels; ++ch)
    {
        const F band = pending.bands[ch];
        const F u = band * pending.bandScale[ch] + pending.noiseOffset[ch];

        // 1 - e^-u above zero, e^u - 1 otherwise: the magnitude 1 - e^-|u| with the sign of u.
        const F magnitude = one - F::exp (F::bitOr (u, signBit));
        const F saturated = F::bitXor (magnitude, F::bitAnd (u, signBit));
        const F y = saturated * pending.weightedPostGain;

        wetCascade[ch].stepLastLane (previousDesign.wet.last, F::sumPairs (y));
        dryCascade[ch].stepLastLane (previousDesign.dry.last, F::sumPairs (band));
    }

    // 2. This frame's outputs, from the state alone, and the other three lanes' step.
    const DesignSlot& design = designSlots[currentSlot];
    for (int ch = 0; ch < numChannels; ++ch)
    {
        wet[ch] = wetCascade[ch].stepFirstLanes (design.wet.firstThree);
        dry[ch] = dryCascade[ch].stepFirstLanes (design.dry.firstThree);
    }

    // 3. This frame's bands, saturated at the start of the next frame.
    crossover.processFrame (input[0], numChannels > 1 ? input[1] : 0.0f, pending.bands[0], pending.bands[1]);
    pending.weightedPostGain = weightedPostGain;
    for (int ch = 0; ch < numChannels; ++ch)
    {
        // u = (band x drive x ducking + vinyl + crackle) x preGain, with the products that do
        // not need the band taken now, off the saturation's path.
        pending.bandScale[ch] = F::broadcast (drive * duckingGain[ch]) * preGain;
        pending.noiseOffset[ch] = F::broadcast (vinyl[ch] + crackle[ch]) * preGain;
    }
    pending.numChannels = numChannels;
    pending.designSlot = currentSlot;

    // A host that sends NaN or infinity would leave the recursive states poisoned for good.
    // Every state feeds these values within a frame or two, so one check covers them all.
    const F check = (pending.bands[0] + pending.bands[1])
                    + (wetCascade[0].history + dryCascade[0].history) + (wetCascade[1].history + dryCascade[1].history)
                    + F::set (wetCascade[0].lastOut + dryCascade[0].lastOut, wetCascade[1].lastOut + dryCascade[1].lastOut, 0.0f, 0.0f);
    if (! F::allFinite (check))
        reset();
}
