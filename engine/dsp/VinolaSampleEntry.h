#pragma once

/** One loaded sample: interleaved float frames that somebody else owns, and how to read them. */
struct VinolaSampleEntry
{
    const float* data = nullptr;   // null marks an empty entry
    int channels = 2;              // 1 or 2
    int frames = 0;
    double duration = 0.0;         // seconds; filled in when the entry is added to a bank
    double sampleRate = 44100.0;
    bool looping = false;

    /** An entry over raw stereo float bytes as embedded (frames = bytes / 8). */
    static VinolaSampleEntry fromStereoBytes (const float* data, int sizeInBytes, bool looping) noexcept;
};
