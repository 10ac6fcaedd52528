#include "VinolaWobbleStage.h"

VinolaWobbleStage::VinolaWobbleStage() = default;
VinolaWobbleStage::~VinolaWobbleStage() = default;
void VinolaWobbleStage::reset() noexcept {}
void VinolaWobbleStage::process (float*, int, float, float) noexcept {}
