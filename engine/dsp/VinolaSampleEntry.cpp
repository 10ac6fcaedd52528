#include "VinolaSampleEntry.h"

VinolaSampleEntry VinolaSampleEntry::fromStereoBytes (const float* data, int sizeInBytes, bool looping) noexcept
{
    VinolaSampleEntry e;
    e.data = data;
    e.channels = 2;
    e.frames = sizeInBytes > 0 ? (sizeInBytes >> 3) : 0;
    e.sampleRate = 44100.0;
    e.looping = looping;
    return e;
}
