#include "MvParameterComponent.h"
#include "MvParameterDelegate.h"

MvParameterComponent::MvParameterComponent() = default;
MvParameterComponent::~MvParameterComponent() = default;

void MvParameterComponent::setDelegate (MvParameterDelegate* newDelegate) { delegate = newDelegate; }

void MvParameterComponent::setValue (float newValue) { setValueAndRepaint (newValue, true); }

void MvParameterComponent::setValueAndRepaint (float newValue, bool shouldRepaint)
{
    value = newValue;

    if (shouldRepaint)
        repaint();
}

float MvParameterComponent::floatHookA() { return 0.0f; }
float MvParameterComponent::floatHookB() { return 0.0f; }
float MvParameterComponent::getValue() const { return value; }
void MvParameterComponent::setParameterIndex (int index) { parameterIndex = index; }
int MvParameterComponent::getParameterIndex() const { return parameterIndex; }
float MvParameterComponent::getCurrentValue() { return getValue(); }
void MvParameterComponent::setCurrentValue (float newValue) { setValue (newValue); }
float MvParameterComponent::mapValueIn (float v) { return v; }
float MvParameterComponent::mapValueOut (float v) { return v; }

bool MvParameterComponent::updateFromDelegate (bool notify)
{
    if (delegate == nullptr)
        return false;

    const float v = delegate->getParameterValue (parameterIndex);

    if (v == value)
        return false;

    setValue (v);

    if (notify)
        delegate->parameterValueChanged (this, parameterIndex, value);

    return true;
}

void MvParameterComponent::reportMouseEntered()
{
    if (delegate != nullptr)
        delegate->parameterMouseEntered (this, parameterIndex);

    repaint();
}

void MvParameterComponent::reportMouseExited()
{
    if (delegate != nullptr)
        delegate->parameterMouseExited (this, parameterIndex);

    repaint();
}

void MvParameterComponent::beginDragGesture (const juce::MouseEvent& e)
{
    if (! isEnabled())
        return;

    lastMouseX = juce::roundToInt (e.mouseDownPosition.x);
    lastMouseY = juce::roundToInt (e.mouseDownPosition.y);

    if (delegate != nullptr)
        delegate->parameterDragStarted (this, parameterIndex);
}

void MvParameterComponent::endDragGesture()
{
    if (! isEnabled())
        return;

    if (delegate != nullptr)
        delegate->parameterDragEnded (this, parameterIndex);
}

void MvParameterComponent::resetToDefaultGesture()
{
    if (! isEnabled() || delegate == nullptr)
        return;

    value = delegate->getParameterDefaultValue (parameterIndex);
    delegate->parameterDragStarted (this, parameterIndex);
    delegate->parameterValueChanged (this, parameterIndex, value);
    delegate->parameterDragEnded (this, parameterIndex);
    repaint();
}

void MvParameterComponent::stepFromWheel (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel)
{
    if (! isEnabled())
        return;

    const double step = e.mods.isAltDown() ? 0.02 : 0.2;
    value = (float) juce::jmin (juce::jmax ((double) value + (double) wheel.deltaY * step, 0.0), 1.0);
    reportValueChanged();
}

void MvParameterComponent::reportValueChanged()
{
    if (delegate != nullptr)
        delegate->parameterValueChanged (this, parameterIndex, value);

    repaint();
}
