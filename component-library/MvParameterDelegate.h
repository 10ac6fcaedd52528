#pragma once

#include <juce_core/juce_core.h>

class MvParameterComponent;

/** The interface through which a parameter-bound control (MvParameterComponent) reads, writes
    and describes its parameter. The owner of the controls implements it and outlives them; every
    notification names the control and its parameter index, so one delegate serves all controls.

    A user gesture is bracketed: parameterDragStarted, any number of parameterValueChanged,
    parameterDragEnded. Wheel steps and updateFromDelegate (notify true) send
    parameterValueChanged alone. */
class MvParameterDelegate
{
public:
    virtual ~MvParameterDelegate();

    virtual void parameterValueChanged (MvParameterComponent* component, int parameterIndex, float value) = 0;
    virtual void parameterMouseEntered (MvParameterComponent* component, int parameterIndex);
    virtual void parameterMouseExited (MvParameterComponent* component, int parameterIndex);
    virtual void parameterDragStarted (MvParameterComponent* component, int parameterIndex) = 0;
    virtual void parameterDragEnded (MvParameterComponent* component, int parameterIndex) = 0;
    virtual juce::String getParameterValueText (int parameterIndex) = 0;
    /** "PAR" followed by the index in decimal ("PAR3", "PAR-1"). */
    virtual juce::String getParameterID (int parameterIndex);
    virtual float getParameterDefaultValue (int parameterIndex) = 0;
    virtual float getParameterValue (int parameterIndex) = 0;
};
