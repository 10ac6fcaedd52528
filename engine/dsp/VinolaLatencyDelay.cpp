#include "VinolaLatencyDelay.h"

#include <algorithm>
#include <cstring>

namespace
{
    int channelsWithin (int numChannels) noexcept
    {
        return std::clamp (numChannels, 0, VinolaLatencyDelay::maxChannels);
    }
}

void VinolaLatencyDelay::forgetChannelsFrom (int numChannels) noexcept
{
    for (int ch = channelsWithin (numChannels); ch < maxChannels; ++ch)
        std::memset (history[ch], 0, sizeof (history[ch]));
}

void VinolaLatencyDelay::remember (const float* const* channels, int numChannels, int numFrames) noexcept
{
    if (numFrames <= 0)
        return;

    forgetChannelsFrom (numChannels);

    for (int ch = 0; ch < channelsWithin (numChannels); ++ch)
    {
        float* h = history[ch];
        const float* in = channels[ch];
        if (numFrames >= length)
        {
            std::memcpy (h, in + numFrames - length, sizeof (float) * length);
        }
        else
        {
            std::memmove (h, h + numFrames, sizeof (float) * (size_t) (length - numFrames));
            std::memcpy (h + length - numFrames, in, sizeof (float) * (size_t) numFrames);
        }
    }
}

void VinolaLatencyDelay::process (float* const* channels, int numChannels, int numFrames) noexcept
{
    if (numFrames <= 0)
        return;

    forgetChannelsFrom (numChannels);

    for (int ch = 0; ch < channelsWithin (numChannels); ++ch)
    {
        float* h = history[ch];
        float* x = channels[ch];
        if (numFrames >= length)
        {
            float tail[length];
            std::memcpy (tail, x + numFrames - length, sizeof (tail));
            std::memmove (x + length, x, sizeof (float) * (size_t) (numFrames - length));
            std::memcpy (x, h, sizeof (tail));
            std::memcpy (h, tail, sizeof (tail));
        }
        else
        {
            // The history followed by the block: the first numFrames go out, the rest stay.
            float joined[2 * length];
            std::memcpy (joined, h, sizeof (float) * length);
            std::memcpy (joined + length, x, sizeof (float) * (size_t) numFrames);
            std::memcpy (x, joined, sizeof (float) * (size_t) numFrames);
            std::memcpy (h, joined + numFrames, sizeof (float) * length);
        }
    }
}
