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
        delay = sampleRate * std::fmax (h * k + k, 0.0f);

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
        float out = x;

        if (delay == 0.0f)
        {
            line.readIndex = line.writeIndex;
            line.delay = 0.0f;
        }
        else
        {
            const int d = (int) delay;
            const float f = delay - (float) d;
            line.readIndex = (line.writeIndex - d) & mask;
            line.delay = delay;
            const float current = (delay < 1.0f && line.readIndex == line.writeIndex) ? x : line.buffer[line.readIndex];
            const float previous = line.buffer[(line.readIndex - 1) & mask];
            out = (1.0f - f) * current + f * previous;
        }

        // A non-finite input sample is stored as silence, so it cannot linger in the line.
        line.buffer[line.writeIndex] = (x - x == 0.0f) ? x : 0.0f;
        line.writeIndex = (line.writeIndex + 1) & mask;
        line.readIndex = (line.readIndex + 1) & mask;
        frame[ch] = out;
    }
}
