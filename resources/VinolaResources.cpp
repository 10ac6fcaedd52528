#include "VinolaResources.h"

#include <cstdint>

// The blob and the sorted table are written at build time by the sample generator.
extern "C" const unsigned char vinola_sample_blob[];

namespace
{
    struct Resource
    {
        std::int32_t hash;
        std::int32_t offset;
        std::int32_t size;
    };

    constexpr Resource resources[] = {
#include "VinolaSampleTable.inc"
    };

    constexpr int numResources = (int) (sizeof (resources) / sizeof (resources[0]));
}

int VinolaResources::hashName (const char* name) noexcept
{
    std::uint32_t h = 0;
    for (auto* p = name; *p != 0; ++p)
        h = h * 31u + (std::uint32_t) (std::int32_t) (signed char) *p;
    return (int) (std::int32_t) h;
}

const void* VinolaResources::find (const char* name, int& sizeInBytes) noexcept
{
    sizeInBytes = 0;
    if (name == nullptr || *name == 0)
        return nullptr;

    // The table is sorted by hash: a binary decision over the key.
    const auto h = (std::int32_t) hashName (name);
    int lo = 0, hi = numResources - 1;
    while (lo <= hi)
    {
        const int mid = lo + (hi - lo) / 2;
        if (resources[mid].hash == h)
        {
            sizeInBytes = resources[mid].size;
            return vinola_sample_blob + resources[mid].offset;
        }
        if (resources[mid].hash < h)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return nullptr;
}
