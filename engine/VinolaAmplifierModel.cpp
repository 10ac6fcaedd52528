#include "VinolaAmplifierModel.h"

VinolaAmplifierModel::VinolaAmplifierModel() = default;
VinolaAmplifierModel::~VinolaAmplifierModel() = default;

void VinolaAmplifierModel::setSampleRate (double) noexcept {}
void VinolaAmplifierModel::reset() noexcept {}
void VinolaAmplifierModel::prepareFrame (float, float, float, float) noexcept {}

void VinolaAmplifierModel::processFrame (const float* input, int numChannels, const float*, const float*,
                                         const float*, float* wet, float* dry) noexcept
{
    for (int ch = 0; ch < numChannels; ++ch)
        wet[ch] = dry[ch] = input[ch];
}
