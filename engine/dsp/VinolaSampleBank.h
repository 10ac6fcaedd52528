#pragma once

#include "VinolaFloat4.h"
#include "VinolaSampleEntry.h"

#include <cmath>

/** Up to 64 sample entries with an interpolating stereo read. Holds copies of the entries and
    never owns the sample data. */
struct VinolaSampleBank
{
    static constexpr int capacity = 64;

    struct Pair
    {
        float left = 0.0f, right = 0.0f;
    };

    int count = 0;
    VinolaSampleEntry entries[capacity];

    /** Appends a copy of the entry; a full bank ignores it. */
    void addEntry (const VinolaSampleEntry& entry) noexcept;

    /** One linearly interpolated frame of entry `index` at `position` seconds. A looping entry
        wraps any position into its duration; a one-shot entry is silent outside it. The frame
        after the last is frame 0, for one-shot entries too. */
    Pair readFrame (int index, double position) const noexcept
    {
        if ((unsigned) index >= (unsigned) count)
            return {};

        const auto& e = entries[index];
        if (e.data == nullptr || e.frames <= 0)
            return {};

        if (e.looping)
        {
            if (! (position >= 0.0 && position < e.duration))
            {
                if (! std::isfinite (position))   // NaN or infinity: nothing sensible to read
                    return {};
                // One remainder instead of stepping by whole durations: the same value for the
                // usual single wrap (both are exact there) and no endless loop for a wild one.
                position = std::fmod (position, e.duration);
                if (position < 0.0)
                    position += e.duration;
                if (position >= e.duration)
                    position = 0.0;
            }
        }
        else if (! (position >= 0.0 && position < e.duration))
        {
            return {};
        }

        return interpolate (e, position);
    }

    /** readFrame (index, positions[i]) for each of numFrames positions. */
    void readFrames (int index, const double* positions, float* left, float* right, int numFrames) const noexcept
    {
        const bool playable = (unsigned) index < (unsigned) count && entries[index].data != nullptr
                              && entries[index].frames > 0;
        int i = 0;
#if VINOLA_FLOAT4_SSE
        // Stereo frames inside the entry and before its last frame: both frames in one load.
        if (playable && entries[index].channels == 2)
        {
            const auto& e = entries[index];
            for (; i < numFrames; ++i)
            {
                const double position = positions[i];
                if (! (position >= 0.0 && position < e.duration))
                    break;
                const double x = position * e.sampleRate;
                const int i0 = (int) x;
                if (i0 + 1 >= e.frames)
                    break;
                const float frac = (float) (x - (double) i0);
                const __m128 ab = _mm_loadu_ps (e.data + 2 * i0);   // a0 a1 b0 b1
                const __m128 mixed = _mm_add_ps (_mm_mul_ps (_mm_set1_ps (1.0f - frac), ab),
                                                 _mm_mul_ps (_mm_set1_ps (frac), _mm_movehl_ps (ab, ab)));
                left[i] = _mm_cvtss_f32 (mixed);
                right[i] = _mm_cvtss_f32 (_mm_shuffle_ps (mixed, mixed, _MM_SHUFFLE (1, 1, 1, 1)));
            }
        }
#endif
        for (; i < numFrames; ++i)
        {
            // Inside the entry both kinds read alike; the rest is rare.
            const Pair pair = playable && positions[i] >= 0.0 && positions[i] < entries[index].duration
                                ? interpolate (entries[index], positions[i])
                                : readFrame (index, positions[i]);
            left[i] = pair.left;
            right[i] = pair.right;
        }
    }

private:
    /** The read itself, at a position inside a playable entry. */
    static Pair interpolate (const VinolaSampleEntry& e, double position) noexcept
    {
        const double x = position * e.sampleRate;
        int i0 = (int) x;
        if (i0 >= e.frames)   // x may round up onto the frame count just below the duration
            i0 = e.frames - 1;
        const float frac = (float) (x - (double) i0);
        // (i0 + 1) mod frames and 1 mod channels, without the two integer divisions.
        const int i1 = i0 + 1 < e.frames ? i0 + 1 : 0;
        const int c = e.channels;
        const int r = c > 1 ? 1 : 0;
        const float* a = e.data + c * i0;
        const float* b = e.data + c * i1;
        return { (1.0f - frac) * a[0] + frac * b[0], (1.0f - frac) * a[r] + frac * b[r] };
    }
};
