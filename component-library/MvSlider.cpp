#include "MvSlider.h"
#include "MvParameterDelegate.h"

namespace
{
    // The picture scaled to fill the target rectangle; one with a side below 1 pixel is drawn
    // unscaled at the origin.
    void drawStretched (juce::Graphics& g, const juce::Image& image, float x, float y, float w, float h)
    {
        if (g.isClipEmpty())
            return;

        juce::AffineTransform t;

        if (image.getWidth() >= 1 && image.getHeight() >= 1)
            t = juce::AffineTransform::scale (w / (float) image.getWidth(), h / (float) image.getHeight()).translated (x, y);

        g.drawImageTransformed (image, t, false);
    }
}

MvSlider::MvSlider()
{
    value = 0.5f;
}

MvSlider::~MvSlider()
{
    trackImage = {};
    handleImage = {};
}

void MvSlider::mouseEnter (const juce::MouseEvent&)
{
    reportMouseEntered();
}

void MvSlider::mouseExit (const juce::MouseEvent&)
{
    reportMouseExited();
}

void MvSlider::mouseDown (const juce::MouseEvent& e)
{
    beginDragGesture (e);
}

void MvSlider::mouseDrag (const juce::MouseEvent& e)
{
    if (! isEnabled())
        return;

    const float fine = e.mods.isAltDown() ? 0.1f : 1.0f;

    if (horizontal)
    {
        float delta = (float) (e.x - lastMouseX) * fine;
        lastMouseX = e.x;
        lastMouseY = e.y;
        delta /= (float) juce::jmax (getWidth(), 60);
        value += delta;
    }
    else
    {
        float delta = (float) (e.y - lastMouseY) * fine;
        lastMouseX = e.x;
        lastMouseY = e.y;
        delta /= (float) juce::jmax (getHeight(), 60);
        value -= delta;
    }

    if (value < 0.0f)
        value = 0.0f;
    else if (value > 1.0f)
        value = 1.0f;

    reportValueChanged();
}

void MvSlider::mouseUp (const juce::MouseEvent&)
{
    endDragGesture();
}

void MvSlider::mouseDoubleClick (const juce::MouseEvent&)
{
    resetToDefaultGesture();
}

void MvSlider::mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel)
{
    stepFromWheel (e, wheel);
}

float MvSlider::getTravel() const
{
    return horizontal ? (float) getWidth() - handleWidth
                      : (float) getHeight() - handleHeight;
}

void MvSlider::paint (juce::Graphics& g)
{
    if (handleImage.isNull())
    {
        paintDefault (g);
        return;
    }

    const float w = (float) getWidth(), h = (float) getHeight();
    const float travel = getTravel();

    if (drawTrack && trackImage.isValid())
    {
        if (horizontal)
            drawStretched (g, trackImage, handleWidth / 2.0f, (h - trackThickness) / 2.0f, travel, trackThickness);
        else
            drawStretched (g, trackImage, (w - trackThickness) / 2.0f, handleHeight / 2.0f, trackThickness, travel);
    }

    if (horizontal)
        drawStretched (g, handleImage, travel * value, (h - handleHeight) / 2.0f, handleWidth, handleHeight);
    else
        drawStretched (g, handleImage, (w - handleWidth) / 2.0f, travel * (1.0f - value), handleWidth, handleHeight);
}

void MvSlider::paintDefault (juce::Graphics& g)
{
    const float w = (float) getWidth(), h = (float) getHeight();
    const float travel = getTravel();
    g.setColour (juce::Colour (colour));

    if (horizontal)
    {
        g.fillRect (handleWidth / 2.0f, h / 2.0f - 1.0f, travel, 2.0f);
        g.fillRoundedRectangle (travel * value, h / 2.0f - handleHeight / 2.0f, handleWidth, handleHeight, 3.0f);
    }
    else
    {
        g.fillRect (w / 2.0f - 1.0f, handleHeight / 2.0f, 2.0f, travel);
        g.fillRoundedRectangle (w / 2.0f - handleWidth / 2.0f, travel * (1.0f - value), handleWidth, handleHeight, 3.0f);
    }
}

void MvSlider::setValue (float newValue) { setValueAndRepaint (newValue, true); }

void MvSlider::setValueAndRepaint (float newValue, bool shouldRepaint)
{
    value = newValue;

    if (shouldRepaint)
        repaint();
}

void MvSlider::setCurrentValue (float newValue) { setValueAndRepaint (newValue, true); }
