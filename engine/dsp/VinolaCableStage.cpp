#include "VinolaCableStage.h"

#include "VinolaFloat4.h"

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
    constexpr int tableSize = 65536;

    for (int n = 0; n < numFrames; ++n)
    {
        // Two stereo frames on the same side of the contact limit at once, when their table
        // entries do not wrap: the same products per sample as the frame formulas below.
        if (right != nullptr && n + 1 < numFrames)
        {
            const float c0 = cableQuality[n], c1 = cableQuality[n + 1];
            const bool contact0 = (double) c0 < 0.1, contact1 = (double) c1 < 0.1;
            const int used = contact0 ? 8 : 4;
            if (contact0 == contact1 && (int) i + used <= tableSize)
            {
                using F = VinolaFloat4;
                const F x = F::set (left[n], right[n], left[n + 1], right[n + 1]);
                const F depth = F::set (1.0f - c0, 1.0f - c0, 1.0f - c1, 1.0f - c1);
                const F one = F::broadcast (1.0f);
                F y;
                if (contact0)
                {
                    // Entries i, i + 2, i + 4, i + 6 for the contact, the odd ones for the dropout.
                    const F level = F::shuffle<0, 2, 0, 2> (F::load (contact + i), F::load (contact + i + 4));
                    const F drop = F::shuffle<1, 3, 1, 3> (F::load (dropout + i), F::load (dropout + i + 4));
                    // max with the floor first keeps a NaN product, as std::max does.
                    y = F::max (F::broadcast (0.01f), level * x) * (one - depth * drop);
                }
                else
                {
                    y = x * (one - depth * F::load (dropout + i));
                }
                // The first channel's half level below 0.2; a product with 1 changes nothing.
                y = y * F::set ((double) c0 < 0.2 ? 0.5f : 1.0f, 1.0f, (double) c1 < 0.2 ? 0.5f : 1.0f, 1.0f);

                alignas (16) float out[4];
                y.store (out);
                left[n] = out[0];
                right[n] = out[1];
                left[n + 1] = out[2];
                right[n + 1] = out[3];
                i = (std::uint16_t) (i + used);
                ++n;
                continue;
            }
        }

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
