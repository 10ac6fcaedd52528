#include "VinolaSpinner.h"
#include "VinolaDrawStretchedImage.h"
#include "MvDrawRotatedImage.h"

#include <cmath>

VinolaSpinner::VinolaSpinner() = default;

VinolaSpinner::~VinolaSpinner() = default;

float VinolaSpinner::wrapAngle (float a) noexcept
{
    constexpr float twoPi = juce::MathConstants<float>::twoPi;

    if (! std::isfinite (a))
        return 0.0f;

    a = std::fmod (a, twoPi);

    if (a < 0.0f)
        a += twoPi;

    // A tiny negative remainder can round up to 2 pi itself.
    if (a >= twoPi)
        a -= twoPi;

    return a;
}

void VinolaSpinner::rotateBy (float delta)
{
    if (! std::isfinite (delta))
        return;

    angle = wrapAngle (angle + delta);
    repaint();
}

void VinolaSpinner::setAngle (float newAngle)
{
    if (! std::isfinite (newAngle))
        return;

    angle = wrapAngle (newAngle);
    repaint();
}

void VinolaSpinner::paint (juce::Graphics& g)
{
    const float w = (float) getWidth(), h = (float) getHeight();

    MvDrawRotatedImage (g, labelImage, 0.0f, 0.0f, w, h, angle);

    // The peg stays upright: it sits on the spindle, not on the label.
    VinolaDrawStretchedImage (g, pegImage, { w / 2.0f - 15.0f, h / 2.0f - 15.0f, 30.0f, 30.0f });
}

void VinolaSpinner::resized() {}
