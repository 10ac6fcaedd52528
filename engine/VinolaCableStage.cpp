#include "VinolaCableStage.h"

#include <algorithm>

void VinolaCableStage::setTables (const float* contactTable, const float* dropoutTable) noexcept
{
    contact = contactTable;
    dropout = dropoutTable;
}

void VinolaCableStage::process (float* frame, int numChannels, float cableQuality) noexcept
{
    if (contact == nullptr || dropout == nullptr)
        return;

    const float c = cableQuality;
    const float depth = 1.0f - c;
    std::uint16_t i = tableIndex;

    if ((double) c < 0.1)
    {
        // A rectifying contact: the level wanders with the contact table and everything under
        // 0.01, negative half-waves included, sticks at 0.01.
        for (int ch = 0; ch < numChannels; ++ch)
        {
            // Below 0.01 (in double) means at most 0.01f in float; max keeps it branch-free.
            const float y = std::max (contact[i] * frame[ch], 0.01f);
            frame[ch] = y * (1.0f - depth * dropout[(std::uint16_t) (i + 1)]);
            i = (std::uint16_t) (i + 2);
        }
    }
    else
    {
        for (int ch = 0; ch < numChannels; ++ch)
        {
            frame[ch] = frame[ch] * (1.0f - depth * dropout[i]);
            i = (std::uint16_t) (i + 1);
        }
    }

    tableIndex = i;

    if ((double) c < 0.2 && numChannels > 0)
        frame[0] = frame[0] * 0.5f;
}
