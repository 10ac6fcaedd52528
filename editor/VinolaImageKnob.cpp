#include "VinolaImageKnob.h"
#include "MvDrawRotatedImage.h"

VinolaImageKnob::VinolaImageKnob() = default;

VinolaImageKnob::~VinolaImageKnob() = default;

void VinolaImageKnob::paint (juce::Graphics& g)
{
    const float w = (float) getWidth(), h = (float) getHeight();
    const float range = getRotationRange();
    const float angle = valueToAngle (getValue());

    // The picture sits inside the arc's ring.
    MvDrawRotatedImage (g, knobImage, 10.0f, 10.0f, juce::jmax (w - 20.0f, 0.0f), juce::jmax (h - 20.0f, 0.0f), angle);

    const float rx = w / 2.0f - 1.0f, ry = h / 2.0f - 1.0f;

    if (rx <= 0.0f || ry <= 0.0f)
        return;   // no room for a ring

    g.setColour (juce::Colour (arcColour));

    juce::Path arc;
    arc.addCentredArc (w / 2.0f, h / 2.0f, rx, ry, 0.0f, -range, angle, true);
    g.strokePath (arc, juce::PathStrokeType (1.0f, juce::PathStrokeType::mitered, juce::PathStrokeType::butt));
}
