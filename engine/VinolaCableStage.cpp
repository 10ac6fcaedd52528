#include "VinolaCableStage.h"

#include <algorithm>

void VinolaCableStage::setTables (const float* contactTable, const float* dropoutTable) noexcept
{
    contact = contactTable;
    dropout = dropoutTable;
}

void VinolaCableStage::process (float* frame, int numChannels, float cableQuality) noexcept
{
    float* channels[2] = { frame, frame + 1 };
    processBlock (channels, numChannels, 1, &cableQuality);
}

void VinolaCableStage::processBlock (float* const* channels, int numChannels, int numFrames,
                                     const float* cableQuality) noexcept
{
    if (contact == nullptr || dropout == nullptr)
        return;

    numChannels = numChannels < 0 ? 0 : (numChannels > 2 ? 2 : numChannels);
    float* const left = channels[0];
    float* const right = numChannels > 1 ? channels[1] : nullptr;
    std::uint16_t i = tableIndex;

    for (int n = 0; n < numFrames; ++n)
    {
        const float c = cableQuality[n];
        const float depth = 1.0f - c;

        if ((double) c < 0.1)
        {
            // A rectifying contact: the level wanders with the contact table and everything under
            // 0.01, negative half-waves included, sticks at 0.01. Below 0.01 (in double) means at
            // most 0.01f in float; max keeps it branch-free.
            if (numChannels > 0)
            {
                left[n] = std::max (contact[i] * left[n], 0.01f) * (1.0f - depth * dropout[(std::uint16_t) (i + 1)]);
                i = (std::uint16_t) (i + 2);
            }
            if (right != nullptr)
            {
                right[n] = std::max (contact[i] * right[n], 0.01f) * (1.0f - depth * dropout[(std::uint16_t) (i + 1)]);
                i = (std::uint16_t) (i + 2);
            }
        }
        else
        {
            if (numChannels > 0)
            {
                left[n] = left[n] * (1.0f - depth * dropout[i]);
                i = (std::uint16_t) (i + 1);
            }
            if (right != nullptr)
            {
                right[n] = right[n] * (1.0f - depth * dropout[i]);
                i = (std::uint16_t) (i + 1);
            }
        }

        if ((double) c < 0.2 && numChannels > 0)
            left[n] = left[n] * 0.5f;
    }

    tableIndex = i;
}
