// VINOLA_BASELINE_KERNELS=1 in the environment runs the whole test program on the baseline
// kernels, so that both builds of every kernel are tested on a CPU that has AVX2.
#include <gtest/gtest.h>

#include "VinolaKernels.h"

#include <cstdlib>

namespace
{
    struct BaselineFromEnvironment : ::testing::Environment
    {
        void SetUp() override
        {
            const char* value = std::getenv ("VINOLA_BASELINE_KERNELS");
            VinolaKernels::forceBaseline (value != nullptr && value[0] == '1');
        }
    };

    const auto* const baselineFromEnvironment = ::testing::AddGlobalTestEnvironment (new BaselineFromEnvironment);
}

// A run registered for a kernel set names it in VINOLA_EXPECTED_KERNELS, any other expects the
// CPU's own choice: a misspelt or ignored switch fails here instead of testing one set twice.
TEST (KernelChoice, TheRunUsesTheKernelsItIsRegisteredFor)
{
    const char* expected = std::getenv ("VINOLA_EXPECTED_KERNELS");
    EXPECT_STREQ (VinolaKernels::name (VinolaKernels::active()), expected != nullptr ? expected
                  : VinolaKernels::name (VinolaKernels::cpuHasAvx2() ? VinolaKernels::Path::avx2 : VinolaKernels::Path::baseline));
}
