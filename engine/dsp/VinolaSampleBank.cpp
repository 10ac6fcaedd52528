#include "VinolaSampleBank.h"

void VinolaSampleBank::addEntry (const VinolaSampleEntry& entry) noexcept
{
    if (count >= capacity)
        return;

    auto& slot = entries[count];
    slot.sampleRate = entry.sampleRate;
    slot.data = entry.data;

    if (entry.data != nullptr && entry.frames > 0 && entry.sampleRate > 0.0)
    {
        slot.channels = entry.channels == 1 ? 1 : 2;
        slot.frames = entry.frames;
        slot.looping = entry.looping;
        slot.duration = (double) entry.frames / entry.sampleRate;
    }
    else
    {
        // Nothing playable: reads of this slot give silence.
        slot.channels = entry.channels == 1 ? 1 : 2;
        slot.frames = 0;
        slot.looping = false;
        slot.duration = 0.0;
    }

    ++count;
}
