#include "VinolaXorShift128.h"

namespace
{
    // Constant-initialised (the constructor is constexpr): ready before any static constructor
    // runs, and no initialisation guard on the render path.
    VinolaXorShift128 sharedInstance;
}

VinolaXorShift128& VinolaXorShift128::shared() noexcept
{
    return sharedInstance;
}

void VinolaXorShift128::restart() noexcept
{
    x.store (123456789u, std::memory_order_relaxed);
    y.store (362436069u, std::memory_order_relaxed);
    z.store (521288629u, std::memory_order_relaxed);
    w.store (88675123u, std::memory_order_relaxed);
}
