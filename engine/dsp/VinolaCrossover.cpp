#include "VinolaCrossover.h"

#include <cmath>
#include <initializer_list>


namespace
{
    // Which pair fills each half of each unit: { section, is high-pass } for lanes 0-1, then 2-3.
    struct UnitLayout { int lowSection; bool lowIsHighPass; int highSection; bool highIsHighPass; };
    constexpr UnitLayout layouts[6] = {
        { 0, false, 3, true },   // first split: low band | common path of the upper bands
        { 1, false, 1, true },   // all-pass on the low band
        { 4, false, 6, true },   // band 2 split | bands 3 and 4
        { 2, false, 2, true },   // all-pass on the low band -> band 1
        { 5, false, 5, true },   // all-pass on band 2 -> band 2
        { 7, false, 8, true },   // band 3 | band 4
    };

    /** One biquad (see PairUnit) on an input guarded against exact zeros, which step as if
        they were 1e-6: the guard's share of gain x is added off the recursion's path. */
    inline VinolaFloat4 runBiquad (VinolaFloat4 x, VinolaFloat4 c, VinolaFloat4 E, VinolaFloat4 gain, VinolaFloat4 p,
                                   VinolaFloat4 gainGuard, VinolaFloat4& z, VinolaFloat4& v) noexcept
    {
        const VinolaFloat4 input = gain * x + VinolaFloat4::bitAnd (VinolaFloat4::equal (x, VinolaFloat4::zero()), gainGuard);
        const VinolaFloat4 step = (input + c * v) - E * z;
        const VinolaFloat4 y = p * z + (step - v);
        z = z + step;
        v = step;
        return y;
    }
}

VinolaCrossover::VinolaCrossover() noexcept
{
    for (int s = 0; s < numSections; ++s)
        frequencies[s] = defaultSplitFrequencies[s];

    setup();
    reset();
}

VinolaCrossoverBiquad VinolaCrossover::designPair (float frequency, float rate, bool highPass) noexcept
{
    // Keep every split below the Nyquist frequency at unusually low host rates (at the usual
    // rates this does not bite), and above nonsense.
    frequency = std::fmax (std::fmin (frequency, 0.45f * rate), lowestSplit);

    const float K = std::tan ((float) (((double) frequency * 3.141592653589793) / (double) rate));
    const float KK = K * K;
    const float s = (K + K) * 0.70710677f;
    const float D = KK + s + 1.0f;

    VinolaCrossoverBiquad c;
    c.feedback = (KK - s + 1.0f) / D;
    c.dcFeedback = 4.0f * KK / D;
    c.gain = highPass ? 1.0f / D : KK / D;
    c.levelWeight = highPass ? 0.0f : 4.0f;
    return c;
}

void VinolaCrossover::designUnit (int u, int lowSection, bool lowIsHighPass, int highSection, bool highIsHighPass) noexcept
{
    const auto lo = designPair (frequencies[lowSection], sampleRate, lowIsHighPass);
    const auto hi = designPair (frequencies[highSection], sampleRate, highIsHighPass);
    auto& unit = units[u];
    unit.feedback = VinolaFloat4::set (lo.feedback, lo.feedback, hi.feedback, hi.feedback);
    unit.dcFeedback = VinolaFloat4::set (lo.dcFeedback, lo.dcFeedback, hi.dcFeedback, hi.dcFeedback);
    unit.gain = VinolaFloat4::set (lo.gain, lo.gain, hi.gain, hi.gain);
    unit.levelWeight = VinolaFloat4::set (lo.levelWeight, lo.levelWeight, hi.levelWeight, hi.levelWeight);
    unit.gainGuard = unit.gain * VinolaFloat4::broadcast (zeroGuard);
}

void VinolaCrossover::designSection (int section) noexcept
{
    for (int u = 0; u < 6; ++u)
    {
        const auto& l = layouts[u];
        if (l.lowSection == section || l.highSection == section)
            designUnit (u, l.lowSection, l.lowIsHighPass, l.highSection, l.highIsHighPass);
    }
}

void VinolaCrossover::setup() noexcept
{
    for (int u = 0; u < 6; ++u)
    {
        const auto& l = layouts[u];
        designUnit (u, l.lowSection, l.lowIsHighPass, l.highSection, l.highIsHighPass);
    }
}

void VinolaCrossover::setSplitFrequency (int section, float frequency) noexcept
{
    if (section < 0 || section >= numSections || ! (frequency > 0.0f))
        return;

    frequencies[section] = frequency;
    designSection (section);
}

void VinolaCrossover::setSampleRate (double newRate) noexcept
{
    if (! (newRate > 0.0 && newRate < 1.0e7) || (float) newRate == sampleRate)
        return;

    sampleRate = (float) newRate;
    setup();
}

void VinolaCrossover::reset() noexcept
{
    for (auto& unit : units)
        unit.z1a = unit.ua = unit.z1b = unit.ub = VinolaFloat4::zero();
}

void VinolaCrossover::resetSecondChannel() noexcept
{
    // Lanes { ch0, ch1, ch0, ch1 } in every unit.
    const auto firstChannel = VinolaFloat4::equal (VinolaFloat4::set (0, 1, 0, 1), VinolaFloat4::zero());
    for (auto& unit : units)
        for (auto* z : { &unit.z1a, &unit.ua, &unit.z1b, &unit.ub })
            *z = VinolaFloat4::bitAnd (*z, firstChannel);
}

void VinolaCrossover::processFrame (float left, float right, VinolaFloat4& leftBands, VinolaFloat4& rightBands) noexcept
{
    processBlockBaseline<true> (&left, &right, 1, &leftBands, &rightBands);
}

template <bool stereo>
void VinolaCrossover::processBlockBaseline (const float* left, const float* right, int count,
                                            VinolaFloat4* leftBands, VinolaFloat4* rightBands) noexcept
{
    using F = VinolaFloat4;

    // Every pair input is a guarded value: the frame input, the first biquad's output inside a
    // pair, and the pair outputs and the sum that feed further sections. The band outputs are
    // not guarded.
    auto runPair = [] (PairUnit& u, F x) noexcept
    {
        const F y = runBiquad (x, u.feedback, u.dcFeedback, u.gain, u.levelWeight, u.gainGuard, u.z1a, u.ua);
        return runBiquad (y, u.feedback, u.dcFeedback, u.gain, u.levelWeight, u.gainGuard, u.z1b, u.ub);
    };

    // The tree depth by depth over the frames of a pass (lanes { ch0, ch1 } of a unit's first
    // pair, then { ch0, ch1 } of its second): from frame to frame only each filter's own state
    // carries over, so consecutive frames overlap. Each pass works on local copies of the
    // units, which stay in registers.
    constexpr int passLength = 16;
    F lowAndHigh[passLength], lowSum[passLength], midAndUpper[passLength];
    for (int offset = 0; offset < count; offset += passLength)
    {
        const int n = count - offset < passLength ? count - offset : passLength;

        PairUnit u0 = units[0];
        for (int i = 0; i < n; ++i)
        {
            const float l = left[offset + i], r = stereo ? right[offset + i] : 0.0f;
            lowAndHigh[i] = runPair (u0, F::set (l, r, l, r));                              // L | H
        }
        units[0] = u0;

        PairUnit u1 = units[1], u2 = units[2];
        for (int i = 0; i < n; ++i)
        {
            const F lowAllPass = runPair (u1, F::lowHalfTwice (lowAndHigh[i]));
            lowSum[i] = lowAllPass + F::swapHalves (lowAllPass);                           // L1 | L1
            midAndUpper[i] = runPair (u2, F::highHalfTwice (lowAndHigh[i]));               // M | H2
        }
        units[1] = u1;
        units[2] = u2;

        PairUnit u3 = units[3], u4 = units[4], u5 = units[5];
        for (int i = 0; i < n; ++i)
        {
            const F band1Parts = runPair (u3, lowSum[i]);
            const F band1 = band1Parts + F::swapHalves (band1Parts);
            const F band2Parts = runPair (u4, F::lowHalfTwice (midAndUpper[i]));
            const F band2 = band2Parts + F::swapHalves (band2Parts);
            const F bands34 = runPair (u5, F::highHalfTwice (midAndUpper[i]));

            const F band12 = F::unpackLow (band1, band2);                                   // b1 b2 of ch0, ch1
            leftBands[offset + i] = F::shuffle<0, 1, 0, 2> (band12, bands34);
            rightBands[offset + i] = F::shuffle<2, 3, 1, 3> (band12, bands34);
        }
        units[3] = u3;
        units[4] = u4;
        units[5] = u5;
    }
}

VinolaFloat4 VinolaCrossover::processSample (float x) noexcept
{
    VinolaFloat4 bands, unused;
    processFrame (x, 0.0f, bands, unused);
    return bands;
}

void VinolaCrossover::processBlock (const float* left, const float* right, int count, VinolaFloat4* leftBands,
                                    VinolaFloat4* rightBands) noexcept
{
#if VINOLA_AVX2_KERNELS
    if (count > 0 && VinolaKernels::avx2() != nullptr)
    {
        if (right != nullptr)
            processBlockAvx2<true> (left, right, count, leftBands, rightBands);
        else
            processBlockAvx2<false> (left, right, count, leftBands, rightBands);
        return;
    }
#endif
    if (right != nullptr)
        processBlockBaseline<true> (left, right, count, leftBands, rightBands);
    else
        processBlockBaseline<false> (left, right, count, leftBands, rightBands);
}

bool VinolaCrossover::stateIsBelow (float limit) const noexcept
{
    // NaN fails the comparison, infinity exceeds any finite limit.
    const VinolaFloat4 bound = VinolaFloat4::broadcast (limit);
    VinolaFloat4 within = VinolaFloat4::equal (bound, bound);
    for (const auto& u : units)
        for (auto z : { u.z1a, u.ua, u.z1b, u.ub })
            within = VinolaFloat4::bitAnd (within, VinolaFloat4::lessThan (VinolaFloat4::abs (z), bound));
    return VinolaFloat4::allTrue (within);
}
