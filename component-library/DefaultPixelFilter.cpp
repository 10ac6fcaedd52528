#include "DefaultPixelFilter.h"

DefaultPixelFilter::~DefaultPixelFilter() = default;

void DefaultPixelFilter::apply (juce::uint32* pixel, juce::uint32 value, juce::uint32)
{
    *pixel = value;
}
