#include "CableComponent.h"
#include "VinolaDrawStretchedImage.h"

namespace
{
    constexpr float stripX = 8.0f;
    constexpr float stripWidth = 13.5f;
    constexpr float stripHeight = 106.5f;
}

CableComponent::CableComponent() = default;

CableComponent::~CableComponent()
{
    whiteBackground = {};
}

juce::Rectangle<float> CableComponent::stripBounds (float v, float h)
{
    // The strip's ends (4 % at each) stay out of the window; the rest passes the centre line.
    const float fraction = 1.0f - (0.92f * v + 0.04f);
    return { stripX, h / 2.0f - stripHeight * fraction, stripWidth, stripHeight };
}

void CableComponent::paint (juce::Graphics& g)
{
    const float w = (float) getWidth(), h = (float) getHeight();

    VinolaDrawStretchedImage (g, whiteBackground, { 0.0f, 0.0f, w, h });
    VinolaDrawStretchedImage (g, handleImage, stripBounds (getValue(), h));
    VinolaDrawStretchedImage (g, trackImage, { 0.0f, 0.0f, w, h });
}
