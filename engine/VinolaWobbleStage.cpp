#include "VinolaWobbleStage.h"

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

    // With no wobble the delay is exactly 0 whatever the cosine, so skip powf and cosf.
    float delay = 0.0f;
    if (wobble != 0.0f)
    {
        float angle = 0.0f;
        if (phase > 0.0f)
        {
            const float bend = (float) (1.0 - 0.25 * (double) wobble);
            angle = (float) ((double) std::pow (phase, bend) * 3.141592653589793 * 2.0);
        }
        const float h = std::cos (angle);
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
