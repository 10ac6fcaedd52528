#include "MvImageKnob.h"
#include "MvParameterDelegate.h"
#include "MvDrawRotatedImage.h"

#include <cmath>

MvImageKnob::MvImageKnob() = default;

MvImageKnob::~MvImageKnob()
{
    knobImage = {};
}

void MvImageKnob::mouseEnter (const juce::MouseEvent&)
{
    reportMouseEntered();
}

void MvImageKnob::mouseExit (const juce::MouseEvent&)
{
    reportMouseExited();
}

void MvImageKnob::mouseDown (const juce::MouseEvent& e)
{
    beginDragGesture (e);
}

void MvImageKnob::mouseDrag (const juce::MouseEvent& e)
{
    if (! isEnabled())
        return;

    float delta = (float) (e.y - lastMouseY) * dragSensitivity;

    if (e.mods.isAltDown())
        delta *= 0.1f;

    lastMouseX = e.x;
    lastMouseY = e.y;
    delta /= (float) juce::jmax (getHeight(), 60);
    value = juce::jmin (juce::jmax (value - delta, 0.0f), 1.0f);

    reportValueChanged();
}

void MvImageKnob::mouseUp (const juce::MouseEvent&)
{
    endDragGesture();
}

void MvImageKnob::mouseDoubleClick (const juce::MouseEvent&)
{
    resetToDefaultGesture();
}

void MvImageKnob::mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel)
{
    stepFromWheel (e, wheel);
}

void MvImageKnob::paint (juce::Graphics& g)
{
    const float angle = valueToAngle (getValue());

    if (knobImage.isValid())
        MvDrawRotatedImage (g, knobImage, 0.0f, 0.0f, (float) getWidth(), (float) getHeight(), angle);
    else
        paintDefault (g, juce::MathConstants<float>::pi - angle);
}

void MvImageKnob::resized() {}

void MvImageKnob::setValue (float newValue) { setValueAndRepaint (newValue, true); }

void MvImageKnob::setValueAndRepaint (float newValue, bool shouldRepaint)
{
    if (newValue == value)
        return;

    value = newValue;

    if (shouldRepaint)
        repaint();
}

void MvImageKnob::setCurrentValue (float newValue) { setValueAndRepaint (newValue, true); }

float MvImageKnob::valueToAngle (float v) { return getRotationRange() * (2.0f * v - 1.0f); }

void MvImageKnob::paintDefault (juce::Graphics& g, float a)
{
    const float w = (float) getWidth(), h = (float) getHeight();
    g.setColour (juce::Colour (0xA0222222));
    g.fillEllipse (0.0f, 0.0f, w, h);

    const float rx = w / 2.0f - 5.0f, ry = h / 2.0f - 5.0f;
    g.setColour (juce::Colour (0xFFF0F0F0));
    g.fillEllipse (rx + rx * std::sin (a) + 2.5f, ry + ry * std::cos (a) + 2.5f, 5.0f, 5.0f);
}

float MvImageKnob::getRotationRange() { return rotationRange; }
void MvImageKnob::setRotationRange (float newRange) { rotationRange = newRange; }
