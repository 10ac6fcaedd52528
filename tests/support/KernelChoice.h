#pragma once

// The test programs' hold on which signal kernels run.
#include <gtest/gtest.h>

#include "VinolaKernels.h"

/** Restores, when it goes, the kernel choice the test program runs with. */
struct KernelChoiceGuard
{
    const bool wasForced = VinolaKernels::cpuHasAvx2() && ! VinolaKernels::useAvx2();
    ~KernelChoiceGuard() { VinolaKernels::forceBaseline (wasForced); }
};

/** body() on the baseline kernels and then, where the CPU has them, on the AVX2 ones, each
    named in the failure messages; the choice the program runs with is restored after. */
template <typename Body>
void onEveryKernel (Body&& body)
{
    KernelChoiceGuard guard;
    for (bool baseline : { true, false })
    {
        if (! baseline && ! VinolaKernels::cpuHasAvx2())
            continue;
        VinolaKernels::forceBaseline (baseline);
        SCOPED_TRACE (baseline ? "baseline" : "AVX2");
        body();
    }
}
