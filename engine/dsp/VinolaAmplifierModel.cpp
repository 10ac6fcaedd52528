#include "VinolaAmplifierModel.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <iterator>


namespace
{
    // Design frequencies stay just below the Nyquist frequency: at 44.1 kHz and above nothing
    // is moved, at lower rates the upper filters stay stable instead of blowing up.
    constexpr float nyquistMargin = 0.499f;
}

VinolaAmplifierModel::VinolaAmplifierModel()
{
    laneWeights = VinolaFloat4::set (1.0f, 1.0f, 0.7f, 0.7f);
    prepareFrame (0.9f, 0.7f, 1.0f);
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
    for (int k = 0; k < 4; ++k)
        cascades.s1[k] = cascades.s2[k] = cascades.out[k] = VinolaFloat4::zero();
    cascades.dc = VinolaFloat4::zero();
}

void VinolaAmplifierModel::resetSecondChannel() noexcept
{
    crossover.resetSecondChannel();
    keepSecondChannel (cascades, Cascades {});   // the second channel's lanes from a zeroed state
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
    const bool hadDesign = designValid;
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
    auto designable = [&] (F frequency) { return F::min (frequency, limit); };

    const F wetFrequency = designable (F::set (lowShelf, highShelf, 200.0f - 190.0f * q, 4000.0f + 17000.0f * q2));
    F wetSine, wetCosine;
    Biquad4::laneSinCos (rate, wetFrequency, wetSine, wetCosine);
    Biquad4::designFromSinCos (wetDesign, wetSine, wetCosine, Q, F::set (g, g, 0.0f, 0.0f));

    // The dry shelves sit at the wet shelves' frequencies and its pass filters stay put, so
    // the dry design reuses the wet angles and, per rate, its own fixed ones.
    if (sampleRate != dryAnglesRate)
    {
        dryAnglesRate = sampleRate;
        Biquad4::laneSinCos (rate, designable (F::set (10.0f, 10.0f, 10.0f, 22000.0f)), drySine, dryCosine);
    }
    const F shelfLanes = F::lessThan (F::set (0, 1, 2, 3), F::broadcast (1.5f));
    Biquad4::designFromSinCos (dryDesign, F::select (shelfLanes, wetSine, drySine), F::select (shelfLanes, wetCosine, dryCosine),
                               Q, F::broadcast (1.0f));

    // Filter k of the design is lane k; the cascades want it for { wet, wet, dry, dry }.
    auto spread = [this] (VinolaFloat4 Biquad4::* member, VinolaFloat4 (&filters)[4])
    {
        const F wet = wetDesign.*member, dry = dryDesign.*member;
        filters[0] = F::shuffle<0, 0, 0, 0> (wet, dry);
        filters[1] = F::shuffle<1, 1, 1, 1> (wet, dry);
        filters[2] = F::shuffle<2, 2, 2, 2> (wet, dry);
        filters[3] = F::shuffle<3, 3, 3, 3> (wet, dry);
    };
    F oldDifference[4], oldSum[4];
    std::copy (std::begin (cascadeDesign.differenceScale), std::end (cascadeDesign.differenceScale), oldDifference);
    std::copy (std::begin (cascadeDesign.sumScale), std::end (cascadeDesign.sumScale), oldSum);

    spread (&Biquad4::b0, cascadeDesign.b0);
    spread (&Biquad4::a2, cascadeDesign.a2);
    spread (&Biquad4::differenceScale, cascadeDesign.differenceScale);
    spread (&Biquad4::dcFeedback, cascadeDesign.sumScale);
    F b2[4], dcForward[4], nyquistFeedback[4], nyquistForward[4];
    spread (&Biquad4::b2, b2);
    spread (&Biquad4::dcForward, dcForward);
    spread (&Biquad4::nyquistFeedback, nyquistFeedback);
    spread (&Biquad4::nyquistForward, nyquistForward);

    // Filters 0 and 2 run the near-DC form (s2 = z1 - z2), filters 1 and 3 the near-Nyquist one
    // (s2 = z1 + z2); a first design carries nothing (see Cascades for the rule).
    const F one = F::broadcast (1.0f);
    for (int k = 0; k < 4; ++k)
    {
        cascadeDesign.feedback[k] = k % 2 == 0 ? cascadeDesign.sumScale[k] : nyquistFeedback[k];
        const F difference = hadDesign ? F::min (one, oldDifference[k] / cascadeDesign.differenceScale[k]) : one;
        const F sum = hadDesign ? F::min (one, oldSum[k] / cascadeDesign.sumScale[k]) : one;
        carry.own[k] = k % 2 == 0 ? difference : sum;
        carry.other[k] = k % 2 == 0 ? sum : difference;
    }
    cascadeDesign.b2[0] = b2[0];
    cascadeDesign.b2[1] = b2[1];
    cascadeDesign.forward[0] = dcForward[0];
    cascadeDesign.forward[1] = nyquistForward[1];
    // The high-pass's l' = dc + (l - dc) min(1, E' / E) as z1 + z2 = 2 l' / E': with
    // r = min(1, E / E') the ratio its z1 + z2 is carried by (carry.other[2]), that is
    // r (z1 + z2) + 2 dc (1 / E' - r / E), since min(1, E' / E) / E' = r / E.
    carry.highPassDc = hadDesign ? F::broadcast (2.0f) * (one / cascadeDesign.sumScale[2] - carry.other[2] / oldSum[2]) : F::zero();
    cascadeDesign.dcRate = F::broadcast (6.2831853f / sampleRate);   // about 1 Hz
}

bool VinolaAmplifierModel::prepare (float needleQuality, float ampQuality, float inputGain) noexcept
{
    const float sampleRate = crossover.getSampleRate();
    if (! needleValid || needleQuality != designedNeedle)
        updateNeedleFactors (needleQuality);

    const bool redesign = ! designValid || ampQuality != designedQuality || sampleRate != designedRate;
    if (redesign)
        updateDesigns (ampQuality, sampleRate);

    const float q = ampQuality;
    drive = ((1.0f - q) + (1.0f - q) + 1.0f) * inputGain;
    return redesign;
}

void VinolaAmplifierModel::prepareFrame (float needleQuality, float ampQuality, float inputGain) noexcept
{
    if (prepare (needleQuality, ampQuality, inputGain))
        carryStates (cascades, carry);
}

namespace
{
    using F = VinolaFloat4;

    // Inputs and states below this magnitude cannot drive any value of the next run anywhere
    // near the float range (the filters' gains are small), so such a run needs no checks.
    constexpr float moderateLimit = 1.0e18f;
    constexpr float gainLimit = 1.0e6f;   // for the factors that multiply the bands

    /** (a0 + a2) + (a1 + a3) of each of four vectors, as one vector. */
    inline F pairSums (F a, F b, F c, F d) noexcept
    {
        const F ab = F::shuffle<0, 1, 0, 1> (a, b) + F::shuffle<2, 3, 2, 3> (a, b);
        const F cd = F::shuffle<0, 1, 0, 1> (c, d) + F::shuffle<2, 3, 2, 3> (c, d);
        return F::shuffle<0, 2, 0, 2> (ab, cd) + F::shuffle<1, 3, 1, 3> (ab, cd);
    }

    /** 1 - e^-u above zero, e^u - 1 otherwise: the magnitude 1 - e^-|u| with the sign of u. */
    inline F saturate (F u) noexcept
    {
        const F signBit = F::broadcast (-0.0f);
        const F magnitude = F::broadcast (1.0f) - F::exp (F::bitOr (u, signBit));
        return F::bitXor (magnitude, F::bitAnd (u, signBit));
    }

    /** One frame's input to the four cascades { wet 0, wet 1, dry 0, dry 1 }: per channel
        u = (band x drive x ducking + vinyl + crackle) x preGain, saturated and weighted, and the
        pair sums of the saturated and the plain bands. Mono leaves the second wet lane at 0. */
    template <bool mono>
    inline F cascadeInput (F band0, F band1, F pre, F weightedPost, float drive, const float* const* duckingGain,
                           const float* const* vinyl, const float* const* crackle, int i) noexcept
    {
        const F u0 = band0 * (F::broadcast (drive * duckingGain[0][i]) * pre) + F::broadcast (vinyl[0][i] + crackle[0][i]) * pre;
        const F y0 = saturate (u0) * weightedPost;
        F y1 = F::zero();
        if (! mono)
        {
            const F u1 = band1 * (F::broadcast (drive * duckingGain[1][i]) * pre) + F::broadcast (vinyl[1][i] + crackle[1][i]) * pre;
            y1 = saturate (u1) * weightedPost;
        }
        return pairSums (y0, y1, band0, band1);
    }

    bool allSame (const float* x, int count) noexcept
    {
        std::uint32_t first, other, differ = 0;
        std::memcpy (&first, x, sizeof (first));
        for (int i = 1; i < count; ++i)
        {
            std::memcpy (&other, x + i, sizeof (other));
            differ |= other ^ first;
        }
        return differ == 0;
    }

    bool belowLimit (const float* x, int count, float limit = moderateLimit) noexcept
    {
        if (const auto* kernels = VinolaKernels::avx2())
            return kernels->belowLimit (x, count, limit);
        // Comparisons are false for NaN.
        const F bound = F::broadcast (limit);
        F below = F::equal (bound, bound);
        int i = 0;
        for (; i + 4 <= count; i += 4)
            below = F::bitAnd (below, F::lessThan (F::abs (F::load (x + i)), bound));
        bool result = F::allTrue (below);
        for (; i < count; ++i)
            result = result && std::fabs (x[i]) < limit;
        return result;
    }
}

bool VinolaAmplifierModel::stateIsModerate() const noexcept
{
    const F bound = F::broadcast (moderateLimit);
    F within = F::equal (bound, bound);
    for (int k = 0; k < 4; ++k)
        for (auto v : { cascades.s1[k], cascades.s2[k], cascades.out[k] })
            within = F::bitAnd (within, F::lessThan (F::abs (v), bound));
    return F::allTrue (within) && crossover.stateIsBelow (moderateLimit);
}

void VinolaAmplifierModel::runCrossover (const float* const* input, int numChannels, int offset, int count,
                                         F* bands0, F* bands1) noexcept
{
    crossover.processBlock (input[0] + offset, numChannels > 1 ? input[1] + offset : nullptr, count,
                            bands0 + offset, bands1 + offset);
}

inline VinolaFloat4 VinolaAmplifierModel::stepCascades (Cascades& c, const CascadeDesign& d, VinolaFloat4 x) noexcept
{
    // Each filter takes the previous frame's output of the one before it; the low-pass takes x.
    // Written out with constant indices so that a local state stays in registers.
    const F in0 = c.out[1], in1 = c.out[2], in2 = c.out[3];

    const F fromState0 = d.forward[0] * c.s1[0] - d.b2[0] * c.s2[0];   // ready before the step
    const F step0 = (in0 + d.a2[0] * c.s2[0]) - d.feedback[0] * c.s1[0];
    c.out[0] = fromState0 + d.b0[0] * step0;
    c.s1[0] = c.s1[0] + step0;
    c.s2[0] = step0;

    const F fromState1 = d.b2[1] * c.s2[1] - d.forward[1] * c.s1[1];
    const F sum1 = (in1 - d.a2[1] * c.s2[1]) + d.feedback[1] * c.s1[1];
    c.out[1] = fromState1 + d.b0[1] * sum1;
    c.s1[1] = sum1 - c.s1[1];
    c.s2[1] = sum1;

    const F step2 = (in2 + d.a2[2] * c.s2[2]) - d.feedback[2] * c.s1[2];
    c.out[2] = d.b0[2] * (step2 - c.s2[2]);
    c.s1[2] = c.s1[2] + step2;
    c.s2[2] = step2;

    const F sum3 = (x - d.a2[3] * c.s2[3]) + d.feedback[3] * c.s1[3];
    c.out[3] = d.b0[3] * (sum3 + c.s2[3]);
    c.s1[3] = sum3 - c.s1[3];
    c.s2[3] = sum3;
    c.dc = c.dc + d.dcRate * (x - c.dc);
    return c.out[0];
}

void VinolaAmplifierModel::carryStates (Cascades& c, const StateCarry& carry) noexcept
{
    // s2 is z1 - z2 or z1 + z2, 2 s1 - s2 the other; z1 is their mean.
    const F half = F::broadcast (0.5f);
    for (int k = 0; k < 4; ++k)
    {
        const F other = (c.s1[k] + c.s1[k]) - c.s2[k];
        c.s2[k] = c.s2[k] * carry.own[k];
        c.s1[k] = (other * carry.other[k] + (k == 2 ? carry.highPassDc * c.dc : F::zero()) + c.s2[k]) * half;
    }
}

void VinolaAmplifierModel::keepSecondChannel (Cascades& c, const Cascades& before) noexcept
{
    const F firstChannel = F::equal (F::set (0, 1, 0, 1), F::zero());
    for (int k = 0; k < 4; ++k)
    {
        c.s1[k] = F::select (firstChannel, c.s1[k], before.s1[k]);
        c.s2[k] = F::select (firstChannel, c.s2[k], before.s2[k]);
        c.out[k] = F::select (firstChannel, c.out[k], before.out[k]);
    }
    c.dc = F::select (firstChannel, c.dc, before.dc);
}

template <bool mono>
void VinolaAmplifierModel::runSteadyFrames (int count, const float* const* duckingGain, const float* const* vinyl,
                                           const float* const* crackle, const F* bands0, const F* bands1,
                                           F* outputs) noexcept
{
#if VINOLA_AVX2_KERNELS
    if (VinolaKernels::avx2() != nullptr)
    {
        runSteadyFramesAvx2<mono> (count, duckingGain, vinyl, crackle, bands0, bands1, outputs);
        return;
    }
#endif

    // The cascade inputs of every frame first: no frame depends on another here.
    const F pre = preGain, post = weightedPostGain;
    const float frameDrive = drive;
    for (int i = 0; i < count; ++i)
        outputs[i] = cascadeInput<mono> (bands0[i], bands1[i], pre, post, frameDrive, duckingGain, vinyl, crackle, i);

    // Then the four recursions side by side.
    Cascades c = cascades;
    const CascadeDesign& d = cascadeDesign;
    for (int i = 0; i < count; ++i)
        outputs[i] = stepCascades (c, d, outputs[i]);

    if (mono)
        keepSecondChannel (c, cascades);   // mono leaves the second channel's lanes as they were
    cascades = c;
}

void VinolaAmplifierModel::runFramesBaseline (bool mono, bool moderate, const FrameControls* controls, int count,
                                              const float* const* input, const float* const* duckingGain,
                                              const float* const* vinyl, const float* const* crackle, F* bands0,
                                              F* bands1, F* outputs) noexcept
{
    runFramesOfLayout (mono, moderate, controls, count, input, bands0, bands1, outputs,
        [&] (auto monoTag)
        {
            return [&] (F band0, F band1, int i)
            {
                return cascadeInput<decltype (monoTag)::value> (band0, band1, preGain, weightedPostGain, drive,
                                                                 duckingGain, vinyl, crackle, i);
            };
        },
        [this] (Cascades& c, F x) { stepCascades (c, cascadeDesign, x); });
}

void VinolaAmplifierModel::processBlock (const FrameControls* controls, const float* const* input, int numChannels,
                                         int numFrames, const float* const* duckingGain, const float* const* vinyl,
                                         const float* const* crackle, float* const* wet, float* const* dry) noexcept
{
    if (numChannels <= 0)
    {
        if (controls != nullptr)
            for (int i = 0; i < numFrames; ++i)
                prepareFrame (controls->needleQuality[i], controls->ampQuality[i], controls->inputGain[i]);
        return;
    }
    if (numChannels > 2)
        numChannels = 2;

    alignas (16) F bands0[maxRun], bands1[maxRun], outputs[maxRun];
    for (int start = 0; start < numFrames; start += maxRun)
    {
        const int n = numFrames - start < maxRun ? numFrames - start : maxRun;
        const float* in[2] = { input[0] + start, numChannels > 1 ? input[1] + start : nullptr };
        const float* g[2] = { duckingGain[0] + start, numChannels > 1 ? duckingGain[1] + start : nullptr };
        const float* v[2] = { vinyl[0] + start, numChannels > 1 ? vinyl[1] + start : nullptr };
        const float* c[2] = { crackle[0] + start, numChannels > 1 ? crackle[1] + start : nullptr };
        FrameControls shifted;
        const FrameControls* ctl = nullptr;   // null: prepared already
        if (controls != nullptr)
        {
            shifted = { controls->needleQuality + start, controls->ampQuality + start, controls->inputGain + start };
            ctl = &shifted;
        }

        // Finite, moderate input, gains, noise and crackle into a moderate state keep every
        // value the check sums far from overflow: the check cannot fail. Anything else runs the
        // checked frames.
        bool moderate = stateIsModerate() && std::fabs (drive) < gainLimit;
        for (int ch = 0; ch < numChannels; ++ch)
            moderate = moderate && belowLimit (in[ch], n) && belowLimit (g[ch], n, gainLimit) && belowLimit (v[ch], n)
                       && belowLimit (c[ch], n);
        if (ctl != nullptr)   // the drive of each frame comes from its AMP QUALITY and input gain
            moderate = moderate && belowLimit (ctl->inputGain, n, gainLimit) && belowLimit (ctl->ampQuality, n, gainLimit);

        runCrossover (in, numChannels, 0, n, bands0, bands1);

        // With the same preparation for every frame, prepare once.
        bool steady = true;
        if (ctl != nullptr)
        {
            steady = allSame (ctl->needleQuality, n) && allSame (ctl->ampQuality, n) && allSame (ctl->inputGain, n);
            if (steady)
                prepareFrame (ctl->needleQuality[0], ctl->ampQuality[0], ctl->inputGain[0]);
        }

        if (steady && moderate)
        {
            if (numChannels == 1)
                runSteadyFrames<true> (n, g, v, c, bands0, bands1, outputs);
            else
                runSteadyFrames<false> (n, g, v, c, bands0, bands1, outputs);
        }
        else
        {
            // Prepared already when steady: preparing every frame again with the same bits would
            // only repeat the same work.
            const FrameControls* perFrame = steady ? nullptr : ctl;
#if VINOLA_AVX2_KERNELS
            if (VinolaKernels::avx2() != nullptr)
                runFramesAvx2 (numChannels == 1, moderate, perFrame, n, in, g, v, c, bands0, bands1, outputs);
            else
#endif
                runFramesBaseline (numChannels == 1, moderate, perFrame, n, in, g, v, c, bands0, bands1, outputs);
        }

        // Frames of { wet 0, wet 1, dry 0, dry 1 } into the four output rows, four frames at a
        // time where the rows have room, then frame by frame.
        float* rows[4] = { wet[0] + start, numChannels > 1 ? wet[1] + start : nullptr,
                           dry[0] + start, numChannels > 1 ? dry[1] + start : nullptr };
        int i = 0;
        if (numChannels > 1)
        {
            for (; i + 4 <= n; i += 4)
            {
                const F t0 = F::shuffle<0, 1, 0, 1> (outputs[i], outputs[i + 1]);
                const F t1 = F::shuffle<0, 1, 0, 1> (outputs[i + 2], outputs[i + 3]);
                const F t2 = F::shuffle<2, 3, 2, 3> (outputs[i], outputs[i + 1]);
                const F t3 = F::shuffle<2, 3, 2, 3> (outputs[i + 2], outputs[i + 3]);
                F::shuffle<0, 2, 0, 2> (t0, t1).store (rows[0] + i);
                F::shuffle<1, 3, 1, 3> (t0, t1).store (rows[1] + i);
                F::shuffle<0, 2, 0, 2> (t2, t3).store (rows[2] + i);
                F::shuffle<1, 3, 1, 3> (t2, t3).store (rows[3] + i);
            }
        }
        for (; i < n; ++i)
        {
            alignas (16) float lanes[4];
            outputs[i].store (lanes);
            for (int r = 0; r < 4; ++r)
                if (rows[r] != nullptr)
                    rows[r][i] = lanes[r];
        }
    }
}

void VinolaAmplifierModel::processFrame (const float* input, int numChannels, const float* duckingGain,
                                         const float* vinyl, const float* crackle, float* wet, float* dry) noexcept
{
    if (numChannels <= 0)
        return;

    const float* in[2] = { &input[0], numChannels > 1 ? &input[1] : nullptr };
    const float* g[2] = { &duckingGain[0], numChannels > 1 ? &duckingGain[1] : nullptr };
    const float* v[2] = { &vinyl[0], numChannels > 1 ? &vinyl[1] : nullptr };
    const float* c[2] = { &crackle[0], numChannels > 1 ? &crackle[1] : nullptr };
    float* w[2] = { &wet[0], numChannels > 1 ? &wet[1] : nullptr };
    float* d[2] = { &dry[0], numChannels > 1 ? &dry[1] : nullptr };
    processBlock (nullptr, in, numChannels, 1, g, v, c, w, d);
}
