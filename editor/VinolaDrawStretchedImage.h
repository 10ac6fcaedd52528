#pragma once

#include <juce_graphics/juce_graphics.h>

/** Draws the whole image scaled independently in x and y to fill the target rectangle. A null
    image, an empty (or inverted) target or an empty clip draws nothing. */
void VinolaDrawStretchedImage (juce::Graphics& g, const juce::Image& image, juce::Rectangle<float> target);
