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
