#include "VinolaImageKnobDucker.h"

#include <cmath>

VinolaImageKnobDucker::VinolaImageKnobDucker() = default;

VinolaImageKnobDucker::~VinolaImageKnobDucker() = default;

void VinolaImageKnobDucker::paint (juce::Graphics& g)
{
    MvImageKnob::paint (g);

    // The dot stays centred whatever the knob's angle: it shows the ducking, not the setting.
    const float w = (float) getWidth(), h = (float) getHeight();
    const float d = dotRadius;
    g.setColour (juce::Colour (dotColour));
    g.fillEllipse (w / 2.0f - d, h / 2.0f - d, 2.0f * d, 2.0f * d);
}

void VinolaImageKnobDucker::followDuckingLevel (float level)
{
    level = std::isfinite (level) ? juce::jlimit (0.0f, 1.0f, level) : 0.0f;

    const float full = fullDotRadius;
    const float unducked = (1.0f - level) * full;
    const float target = (float) ((double) full * 0.3 + (double) unducked * 0.7);
    const float grown = (float) ((double) dotRadius + 0.6);

    dotRadius = juce::jmin (grown, full, target);
    repaint();
}

void VinolaImageKnobDucker::setFullDotRadius (float newRadius)
{
    if (! std::isfinite (newRadius) || newRadius < 0.0f)
        return;

    fullDotRadius = newRadius;
    dotRadius = juce::jmin (dotRadius, fullDotRadius);
    repaint();
}

void VinolaImageKnobDucker::setDotRadius (float newRadius)
{
    if (! std::isfinite (newRadius))
        return;

    dotRadius = juce::jlimit (0.0f, fullDotRadius, newRadius);
    repaint();
}
