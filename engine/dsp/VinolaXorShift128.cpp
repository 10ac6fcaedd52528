#include "VinolaXorShift128.h"

VinolaXorShift128 sharedXorShift128;

void VinolaXorShift128::restart() noexcept
{
    x.store (123456789u, std::memory_order_relaxed);
    y.store (362436069u, std::memory_order_relaxed);
    z.store (521288629u, std::memory_order_relaxed);
    w.store (88675123u, std::memory_order_relaxed);
}
