#include "VinolaDuckingStage.h"

VinolaDuckingStage::VinolaDuckingStage() = default;

void VinolaDuckingStage::process (int, float, float, float, std::atomic<float>&) noexcept {}
