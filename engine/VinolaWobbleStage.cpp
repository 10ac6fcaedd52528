#include "VinolaWobbleStage.h"
#include "VinolaFloat4.h"

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

namespace
{
    /** cos (2 pi phase^(1 - W / 4)) for four phases; a phase of 0 or below gives cos 0. */
    VinolaFloat4 bentCosine (VinolaFloat4 phases, float wobble) noexcept
    {
        using F = VinolaFloat4;
        const F exponent = F::broadcast ((float) (1.0 - 0.25 * (double) wobble));
        const F power = F::exp (exponent * F::log (phases));
        const F angle = F::bitAnd (F::greaterThan (phases, F::zero()), power * F::broadcast (6.28318531f));
        F sine, cosine;
        F::sinCos (angle, sine, cosine);
        return cosine;
    }
}

float VinolaWobbleStage::modulation (float phaseValue, float wobble) noexcept
{
    return bentCosine (VinolaFloat4::broadcast (phaseValue), wobble).lane0();
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
    bentCosine (VinolaFloat4::load (cachedPhase), wobble).store (cachedCosine);
    bentCosine (VinolaFloat4::load (cachedPhase + 4), wobble).store (cachedCosine + 4);
    cachedWobble = wobble;
    cacheNext = 0;
}

void VinolaWobbleStage::process (float* frame, int numChannels, float wobble, float sampleRate) noexcept
{
    if (sampleRate != phaseRate)
    {
        phaseRate = sampleRate;
        phaseStep = 1.0f / sampleRate;
    }

    phase = phase + phaseStep;
    if (phase > 1.0f)
        phase = phase - 1.0f;

    if (numChannels <= 0)
        return;
    numChannels = std::min (numChannels, 2);

    // With no wobble the delay is exactly 0 whatever the cosine, so skip the cosine.
    float delay = 0.0f;
    if (wobble != 0.0f)
    {
        if (cacheNext >= cacheSize || wobble != cachedWobble || phase != cachedPhase[cacheNext])
            refillModulation (wobble);
        const float h = cachedCosine[cacheNext++];
        const float k = (float) ((double) wobble * 0.003);
        const float swing = h * k + k;
        delay = sampleRate * (swing > 0.0f ? swing : 0.0f);   // a NaN swing counts as 0

        // Only an absurd sample rate gets here; the line cannot hold a longer delay.
        if (! (delay < (float) (bufferSize - 2)))
            delay = 0.0f;
    }

    for (int ch = 0; ch < numChannels; ++ch)
    {
        auto& line = lines[ch];
        if (line.buffer == nullptr)
            continue;

        const float x = frame[ch];
        const int write = line.writeIndex;
        int read = write;
        float out = x;

        if (delay == 0.0f)
        {
            line.delay = 0.0f;
        }
        else
        {
            const int d = (int) delay;
            const float f = delay - (float) d;
            read = (write - d) & mask;
            line.delay = delay;
            const float current = (delay < 1.0f && read == write) ? x : line.buffer[read];
            const float previous = line.buffer[(read - 1) & mask];
            out = (1.0f - f) * current + f * previous;
        }

        // A non-finite input sample is stored as silence, so it cannot linger in the line.
        line.buffer[write] = (x - x == 0.0f) ? x : 0.0f;
        line.writeIndex = (write + 1) & mask;
        line.readIndex = (read + 1) & mask;
        frame[ch] = out;
    }
}
