#include "VinolaWobbleStage.h"
#include "VinolaFloat4.h"
#include "VinolaKernels.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

VinolaWobbleStage::VinolaWobbleStage()
{
    for (auto& line : lines)
        line.buffer = static_cast<float*> (std::calloc (bufferSize, sizeof (float)));
}

VinolaWobbleStage::~VinolaWobbleStage()
{
    for (auto& line : lines)
        std::free (line.buffer);
}

void VinolaWobbleStage::reset() noexcept
{
    for (auto& line : lines)
    {
        if (line.buffer != nullptr)
            std::fill (line.buffer, line.buffer + bufferSize, 0.0f);
        line.writeIndex = 0;
        line.readIndex = (-(int) line.delay) & mask;
    }
}

void VinolaWobbleStage::restartSecondLine() noexcept
{
    auto& line = lines[1];
    if (line.buffer != nullptr)
        std::fill (line.buffer, line.buffer + bufferSize, 0.0f);
    line.writeIndex = lines[0].writeIndex;
    line.readIndex = lines[0].readIndex;
    line.delay = lines[0].delay;
}

namespace
{
    VinolaFloat4 exponentFor (float wobble) noexcept
    {
        return VinolaFloat4::broadcast ((float) (1.0 - 0.25 * (double) wobble));
    }

    /** cos (2 pi phase^exponent) for four phases, the exponent 1 - W / 4 of each lane's WOBBLE
        value; a phase of 0 or below gives cos 0. */
    VinolaFloat4 bentCosine (VinolaFloat4 phases, VinolaFloat4 exponent) noexcept
    {
        using F = VinolaFloat4;
        const F power = F::exp (exponent * F::log (phases));
        const F angle = F::bitAnd (F::greaterThan (phases, F::zero()), power * F::broadcast (6.28318531f));
        F sine, cosine;
        F::sinCos (angle, sine, cosine);
        return cosine;
    }
}

float VinolaWobbleStage::modulation (float phaseValue, float wobble) noexcept
{
    if (const auto* kernels = VinolaKernels::avx2())
    {
        alignas (32) float phases[8], cosines[8];
        for (auto& p : phases)
            p = phaseValue;
        kernels->steadyBentCosines (phases, exponentFor (wobble).lane0(), cosines, 8);
        return cosines[0];
    }
    return bentCosine (VinolaFloat4::broadcast (phaseValue), exponentFor (wobble)).lane0();
}

void VinolaWobbleStage::refillModulation (float wobble) noexcept
{
    // The same steps as the per-frame phase update, so a reused entry belongs to exactly this
    // phase; a jump of the phase or a new rate simply misses the check and refills.
    float p = phase;
    for (int i = 0; i < cacheSize; ++i)
    {
        cachedPhase[i] = p;
        p = p + phaseStep;
        if (p > 1.0f)
            p = p - 1.0f;
    }
    static_assert (cacheSize == 8, "two four-lane or one eight-lane pass");
    if (const auto* kernels = VinolaKernels::avx2())
    {
        kernels->steadyBentCosines (cachedPhase, exponentFor (wobble).lane0(), cachedCosine, cacheSize);
    }
    else
    {
        bentCosine (VinolaFloat4::load (cachedPhase), exponentFor (wobble)).store (cachedCosine);
        bentCosine (VinolaFloat4::load (cachedPhase + 4), exponentFor (wobble)).store (cachedCosine + 4);
    }
    cachedWobble = wobble;
    cacheNext = 0;
}

inline void VinolaWobbleStage::updatePhaseStep (float sampleRate) noexcept
{
    if (sampleRate != phaseRate)
    {
        phaseRate = sampleRate;
        phaseStep = 1.0f / sampleRate;
    }
}

inline void VinolaWobbleStage::stepPhase (float sampleRate) noexcept
{
    updatePhaseStep (sampleRate);

    phase = phase + phaseStep;
    if (phase > 1.0f)
        phase = phase - 1.0f;
}

inline float VinolaWobbleStage::delayFor (float cosine, float wobble, float sampleRate) noexcept
{
    const float k = (float) ((double) wobble * 0.003);
    const float swing = cosine * k + k;
    const float delay = sampleRate * (swing > 0.0f ? swing : 0.0f);   // a NaN swing counts as 0

    // Only an absurd sample rate gets here; the line cannot hold a longer delay.
    return delay < (float) (bufferSize - 2) ? delay : 0.0f;
}

void VinolaWobbleStage::runLine (DelayLine& line, float* samples, const float* delays, int numFrames) noexcept
{
    if (line.buffer == nullptr)
        return;

    float* const buffer = line.buffer;
    int write = line.writeIndex;
    int read = line.readIndex;
    float lastDelay = line.delay;

    for (int i = 0; i < numFrames; ++i)
    {
        const float x = samples[i];
        const float delay = delays[i];
        read = write;
        float out = x;

        if (delay != 0.0f)
        {
            const int d = (int) delay;
            const float f = delay - (float) d;
            read = (write - d) & mask;
            const float current = (delay < 1.0f && read == write) ? x : buffer[read];
            const float previous = buffer[(read - 1) & mask];
            out = (1.0f - f) * current + f * previous;
        }
        lastDelay = delay;

        // A non-finite input sample is stored as silence, so it cannot linger in the line.
        buffer[write] = (x - x == 0.0f) ? x : 0.0f;
        write = (write + 1) & mask;
        read = (read + 1) & mask;
        samples[i] = out;
    }

    line.writeIndex = write;
    line.readIndex = read;
    line.delay = lastDelay;
}

void VinolaWobbleStage::runLinePair (float* left, float* right, const float* delays, int numFrames) noexcept
{
    // Both lines at the same write position share every index and weight.
    float* const bufferL = lines[0].buffer;
    float* const bufferR = lines[1].buffer;
    int write = lines[0].writeIndex;
    int read = lines[0].readIndex;
    float lastDelay = lines[0].delay;

    int i = 0;
    if (const auto* kernels = VinolaKernels::avx2())
        i = kernels->linePairGroups (bufferL, bufferR, bufferSize, write, read, lastDelay, left, right, delays, numFrames);
    for (; i < numFrames; ++i)
    {
        const float xL = left[i], xR = right[i];
        const float delay = delays[i];
        read = write;
        float outL = xL, outR = xR;

        if (delay != 0.0f)
        {
            const int d = (int) delay;
            const float f = delay - (float) d;
            read = (write - d) & mask;
            const int before = (read - 1) & mask;
            const bool same = delay < 1.0f && read == write;
            outL = (1.0f - f) * (same ? xL : bufferL[read]) + f * bufferL[before];
            outR = (1.0f - f) * (same ? xR : bufferR[read]) + f * bufferR[before];
        }
        lastDelay = delay;

        // A non-finite input sample is stored as silence, so it cannot linger in the line.
        bufferL[write] = (xL - xL == 0.0f) ? xL : 0.0f;
        bufferR[write] = (xR - xR == 0.0f) ? xR : 0.0f;
        write = (write + 1) & mask;
        read = (read + 1) & mask;
        left[i] = outL;
        right[i] = outR;
    }

    for (auto& line : lines)
    {
        line.writeIndex = write;
        line.readIndex = read;
        line.delay = lastDelay;
    }
}

void VinolaWobbleStage::processBlock (float* const* channels, int numChannels, int numFrames, const float* wobble) noexcept
{
    constexpr int run = 128;
    alignas (32) float phases[run + 8], cosines[run + 8], delays[run];

    updatePhaseStep (sampleRate);

    for (int start = 0; start < numFrames; start += run)
    {
        const int n = numFrames - start < run ? numFrames - start : run;
        const float* w = wobble + start;

        bool anyWobble = false, steady = true;
        float p = phase;
        const float step = phaseStep;
        for (int i = 0; i < n; ++i)
        {
            p = p + step;
            if (p > 1.0f)
                p = p - 1.0f;
            phases[i] = p;
            anyWobble = anyWobble || w[i] != 0.0f;
            steady = steady && w[i] == w[0];
        }
        phase = p;

        if (numChannels <= 0)
            continue;

        // With no wobble the delay is exactly 0 whatever the cosine, so skip the cosine.
        if (! anyWobble)
        {
            for (int i = 0; i < n; ++i)
                delays[i] = 0.0f;
        }
        else
        {
            // The exponent of each lane is its own frame's, so four (or eight) frames share one pass.
            for (int i = n; i < ((n + 7) & ~7); ++i)
                phases[i] = phases[n - 1];
            const VinolaFloat4 steadyExponent = exponentFor (w[0]);
            if (const auto* kernels = VinolaKernels::avx2())
            {
                if (steady)
                {
                    kernels->steadyBentCosines (phases, steadyExponent.lane0(), cosines, n);
                }
                else
                {
                    alignas (32) float exponents[run + 8];
                    for (int i = 0; i < ((n + 7) & ~7); ++i)
                        exponents[i] = exponentFor (w[i < n ? i : n - 1]).lane0();
                    kernels->bentCosines (phases, exponents, cosines, n);
                }
            }
            else
            for (int i = 0; i < n; i += 4)
            {
                VinolaFloat4 exponent = steadyExponent;
                if (! steady)
                {
                    alignas (16) float exponents[4];
                    for (int k = 0; k < 4; ++k)
                        exponents[k] = exponentFor (w[i + k < n ? i + k : n - 1]).lane0();
                    exponent = VinolaFloat4::load (exponents);
                }
                bentCosine (VinolaFloat4::load (phases + i), exponent).store (cosines + i);
            }
            int i = 0;
            if (steady)
            {
                // delayFor four frames at a time: max (swing, 0) is 0 for a NaN or signed-zero
                // swing, as the comparison there.
                using F = VinolaFloat4;
                const F k = F::broadcast ((float) ((double) w[0] * 0.003));
                const F rate = F::broadcast (sampleRate), limit = F::broadcast ((float) (bufferSize - 2));
                for (; i + 4 <= n; i += 4)
                {
                    const F delay = rate * F::max (F::load (cosines + i) * k + k, F::zero());
                    F::bitAnd (F::lessThan (delay, limit), delay).store (delays + i);
                }
            }
            for (; i < n; ++i)
                delays[i] = w[i] != 0.0f ? delayFor (cosines[i], w[i], sampleRate) : 0.0f;
        }

        if (numChannels > 1 && lines[0].writeIndex == lines[1].writeIndex && lines[0].buffer != nullptr
            && lines[1].buffer != nullptr)
        {
            runLinePair (channels[0] + start, channels[1] + start, delays, n);
        }
        else
        {
            for (int ch = 0; ch < numChannels && ch < 2; ++ch)
                runLine (lines[ch], channels[ch] + start, delays, n);
        }
    }
}

void VinolaWobbleStage::process (float* frame, int numChannels, float wobble) noexcept
{
    stepPhase (sampleRate);

    if (numChannels <= 0)
        return;
    numChannels = std::min (numChannels, 2);

    // With no wobble the delay is exactly 0 whatever the cosine, so skip the cosine.
    float delay = 0.0f;
    if (wobble != 0.0f)
    {
        if (cacheNext >= cacheSize || wobble != cachedWobble || phase != cachedPhase[cacheNext])
            refillModulation (wobble);
        delay = delayFor (cachedCosine[cacheNext++], wobble, sampleRate);
    }

    for (int ch = 0; ch < numChannels; ++ch)
        runLine (lines[ch], frame + ch, &delay, 1);
}
