#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class MvParameterDelegate;

/** Base of every control bound to one parameter: a juce::Component with a normalised value
    (0..1) and the index of the parameter it edits (-1 while unbound). The control talks to its
    owner only through an MvParameterDelegate (not owned). */
class MvParameterComponent : public juce::Component
{
public:
    MvParameterComponent();
    ~MvParameterComponent() override;

    virtual void setDelegate (MvParameterDelegate* newDelegate);
    /** Base: setValueAndRepaint (value, true). */
    virtual void setValue (float newValue);
    /** Base: stores the value; repaints the whole component when asked. */
    virtual void setValueAndRepaint (float newValue, bool shouldRepaint);
    /** Reserved hooks with no caller; they return 0. */
    virtual float floatHookA();
    virtual float floatHookB();
    virtual float getValue() const;
    virtual void setParameterIndex (int index);
    virtual int getParameterIndex() const;
    virtual float getCurrentValue();
    virtual void setCurrentValue (float newValue);
    /** Identity mappings with no caller in this library. */
    virtual float mapValueIn (float v);
    /** Re-reads the value from the delegate. Returns false (and does nothing) when there is no
        delegate or the value is unchanged (exact comparison); else calls setValue and, when
        notify is true, reports the new value with parameterValueChanged. */
    virtual bool updateFromDelegate (bool notify);
    virtual float mapValueOut (float v);

    MvParameterDelegate* getDelegate() const noexcept { return delegate; }

protected:
    /** Mouse handling that the knob and the slider share. Enter and exit are always reported;
        the others do nothing while the control or an ancestor is disabled. */
    void reportMouseEntered();
    void reportMouseExited();
    void beginDragGesture (const juce::MouseEvent& e);
    void endDragGesture();
    /** A double-click: the parameter's default, as one whole gesture. */
    void resetToDefaultGesture();
    /** Steps of 0.2 per wheel unit (0.02 with Alt/Option), kept within 0..1. */
    void stepFromWheel (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel);
    /** Reports the present value to the delegate and repaints. */
    void reportValueChanged();

    MvParameterDelegate* delegate = nullptr;
    float value = 0.0f;
    int parameterIndex = -1;
    int lastMouseX = 0, lastMouseY = 0;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MvParameterComponent)
};
