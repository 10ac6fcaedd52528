#include "GeneratorSelector.h"
#include "MvDrawRotatedImage.h"
#include "VinolaDrawStretchedImage.h"

#include <cmath>

GeneratorSelector::GeneratorSelector() = default;

GeneratorSelector::~GeneratorSelector() = default;

juce::Point<float> GeneratorSelector::pathPoint (float v)
{
    const float x = 29.0f * v + 15.0f + 2.0f * std::sin ((float) ((double) v * juce::MathConstants<double>::pi));
    const float y = 48.0f - 40.0f * v;
    return { x, y };
}

float GeneratorSelector::handleAngle (float v)
{
    return 0.1f * (1.0f - v) - 0.05f;
}

juce::String GeneratorSelector::stopName (float v)
{
    if (v < 0.25f)
        return "Always off";

    if (v > 0.75f)
        return "Always on";

    return "Follow Host";
}

void GeneratorSelector::placeHandle()
{
    const auto p = pathPoint (travelValue);
    handle.setBounds ((int) p.x, (int) p.y, handleWidth, handleHeight);
}

void GeneratorSelector::paint (juce::Graphics& g)
{
    VinolaDrawStretchedImage (g, background, { 0.0f, 0.0f, backgroundSize, backgroundSize });

    const auto p = pathPoint (travelValue);
    MvDrawRotatedImage (g, handleImage, p.x, p.y, (float) handleWidth, (float) handleHeight,
                        handleAngle (travelValue));
}

void GeneratorSelector::resized()
{
    placeHandle();
}

void GeneratorSelector::dragStarted (float, float)
{
    dragging = true;
    tooltip.showForComponent (this, 65, 15, 0, juce::Justification::centred, 10.0f, 0.0f, 0.0f);
    setModeTooltip();
}

void GeneratorSelector::dragMoved (float dx, float dy)
{
    const float moved = travelValue + (0.5f * dx - dy) * 0.02f;

    // A non-finite step (a broken event) leaves the handle where it is.
    if (std::isfinite (moved))
        travelValue = juce::jmax (juce::jmin (moved, 1.0f), 0.0f);

    placeHandle();
    setModeTooltip();
}

void GeneratorSelector::dragEnded()
{
    dragging = false;
    tooltip.showing = false;

    position = travelValue < 0.25f ? 0 : (travelValue > 0.75f ? 2 : 1);
    travelValue = (float) position * 0.5f;
    placeHandle();

    // Without an owner the lever still snaps; there is just nobody to tell.
    if (delegate != nullptr)
        delegate->generatorModeChanged (2 - position);
}

void GeneratorSelector::setPosition (int newPosition)
{
    newPosition = juce::jlimit (0, 2, newPosition);

    if (newPosition == position)
        return;

    position = newPosition;
    travelValue = (float) position * 0.5f;
    placeHandle();
}

void GeneratorSelector::setModeTooltip()
{
    tooltip.text = stopName (travelValue);
    tooltip.repaint();
}
