// Tests of MvParameterComponent and MvParameterDelegate.

#include "MvControlTestSupport.h"
#include "MvImageKnob.h"
#include "MvSlider.h"

using namespace mvtest;

namespace
{
    // A delegate that overrides only what it must, to see the interface's own defaults.
    struct MinimalDelegate : public MvParameterDelegate
    {
        void parameterValueChanged (MvParameterComponent*, int, float) override {}
        void parameterDragStarted (MvParameterComponent*, int) override {}
        void parameterDragEnded (MvParameterComponent*, int) override {}
        juce::String getParameterValueText (int) override { return {}; }
        float getParameterDefaultValue (int) override { return 0.0f; }
        float getParameterValue (int) override { return 0.0f; }
    };
}

TEST (MvParameterDelegate, DefaultParameterIdIsParFollowedByTheIndex)
{
    MinimalDelegate d;
    EXPECT_EQ (d.getParameterID (3), "PAR3");
    EXPECT_EQ (d.getParameterID (13), "PAR13");
    EXPECT_EQ (d.getParameterID (-1), "PAR-1");
}

TEST (MvParameterDelegate, MouseEnterAndExitDefaultsDoNothing)
{
    MinimalDelegate d;
    MvParameterComponent c;
    d.parameterMouseEntered (&c, 1);
    d.parameterMouseExited (&c, 1);
    SUCCEED();
}

TEST (MvParameterComponent, FreshComponentIsUnbound)
{
    MvParameterComponent c;
    EXPECT_EQ (c.getParameterIndex(), -1);
    EXPECT_EQ (c.getDelegate(), nullptr);
    EXPECT_EQ (c.getValue(), 0.0f);
    EXPECT_EQ (c.getCurrentValue(), 0.0f);

    MvImageKnob knob;
    EXPECT_EQ (knob.getParameterIndex(), -1);
    EXPECT_EQ (knob.getValue(), 0.0f);

    MvSlider slider;
    EXPECT_EQ (slider.getParameterIndex(), -1);
    EXPECT_EQ (slider.getValue(), 0.5f);
}

TEST (MvParameterComponent, BindingStoresIndexAndDelegate)
{
    RecordingDelegate d;
    MvParameterComponent c;
    c.setParameterIndex (7);
    c.setDelegate (&d);
    EXPECT_EQ (c.getParameterIndex(), 7);
    EXPECT_EQ (c.getDelegate(), &d);
}

TEST (MvParameterComponent, ReservedHooksAndIdentityMappings)
{
    MvParameterComponent c;
    EXPECT_EQ (c.floatHookA(), 0.0f);
    EXPECT_EQ (c.floatHookB(), 0.0f);
    EXPECT_EQ (c.mapValueIn (0.3f), 0.3f);
    EXPECT_EQ (c.mapValueOut (0.7f), 0.7f);
}

TEST (MvParameterComponent, CurrentValueGoesThroughSetValue)
{
    MvParameterComponent c;
    c.setCurrentValue (0.75f);
    EXPECT_EQ (c.getValue(), 0.75f);
    EXPECT_EQ (c.getCurrentValue(), 0.75f);
}

TEST (MvParameterComponent, UpdateFromDelegateWithEqualValueDoesNothing)
{
    RecordingDelegate d;
    MvParameterComponent c;
    c.setParameterIndex (2);
    c.setDelegate (&d);
    c.setValue (0.4f);
    d.parameterValue = 0.4f;

    EXPECT_FALSE (c.updateFromDelegate (true));
    EXPECT_EQ (d.valueReads, 1);
    EXPECT_TRUE (d.calls.empty());
    EXPECT_EQ (c.getValue(), 0.4f);
}

TEST (MvParameterComponent, UpdateFromDelegateWithNotifyReportsTheNewValueOnce)
{
    RecordingDelegate d;
    MvParameterComponent c;
    c.setParameterIndex (2);
    c.setDelegate (&d);
    d.parameterValue = 0.8f;

    EXPECT_TRUE (c.updateFromDelegate (true));
    EXPECT_EQ (c.getValue(), 0.8f);
    ASSERT_EQ (d.calls, (std::vector<std::string> { "changed 2" }));
    EXPECT_EQ (d.values[0], 0.8f);

    // Now equal: nothing more.
    EXPECT_FALSE (c.updateFromDelegate (true));
    EXPECT_EQ (d.calls.size(), 1u);
}

TEST (MvParameterComponent, UpdateFromDelegateWithoutNotifyNeverReports)
{
    RecordingDelegate d;
    MvParameterComponent c;
    c.setParameterIndex (5);
    c.setDelegate (&d);
    d.parameterValue = 0.3f;

    EXPECT_TRUE (c.updateFromDelegate (false));
    EXPECT_EQ (c.getValue(), 0.3f);
    EXPECT_TRUE (d.calls.empty());
}

TEST (MvParameterComponent, UpdateFromDelegateUsesTheExactFloat)
{
    RecordingDelegate d;
    MvParameterComponent c;
    c.setDelegate (&d);
    c.setValue (0.5f);
    d.parameterValue = std::nextafter (0.5f, 1.0f);
    EXPECT_TRUE (c.updateFromDelegate (false));
    EXPECT_EQ (c.getValue(), d.parameterValue);
}

TEST (MvParameterComponent, UpdateFromDelegateWithoutDelegateChangesNothing)
{
    MvParameterComponent c;
    c.setValue (0.2f);
    EXPECT_FALSE (c.updateFromDelegate (true));
    EXPECT_EQ (c.getValue(), 0.2f);
}

TEST (MvParameterComponent, UpdateFromDelegateGoesThroughTheVirtualSetValue)
{
    struct Spy : public MvParameterComponent
    {
        void setValue (float v) override { ++setValueCalls; MvParameterComponent::setValue (v); }
        int setValueCalls = 0;
    };

    RecordingDelegate d;
    Spy c;
    c.setDelegate (&d);
    d.parameterValue = 0.6f;
    c.updateFromDelegate (false);
    EXPECT_EQ (c.setValueCalls, 1);
}

TEST (MvParameterComponent, SetValueRepaintsEvenWhenEqual)
{
    MvParameterComponent c;
    c.setSize (20, 20);
    auto* counter = countRepaints (c);

    c.setValue (0.5f);
    EXPECT_EQ (counter->count, 1);
    c.setValue (0.5f);
    EXPECT_EQ (counter->count, 2);
    c.setValueAndRepaint (0.1f, false);
    EXPECT_EQ (counter->count, 2);
    EXPECT_EQ (c.getValue(), 0.1f);
}

TEST (MvParameterComponent, KnobSetValueWithItsOwnValueNeitherStoresNorRepaints)
{
    MvImageKnob knob;
    knob.setSize (64, 64);
    auto* counter = countRepaints (knob);

    knob.setValue (0.5f);
    EXPECT_EQ (counter->count, 1);
    knob.setValue (0.5f);
    EXPECT_EQ (counter->count, 1);
    knob.setCurrentValue (0.5f);
    EXPECT_EQ (counter->count, 1);
    knob.setCurrentValue (0.6f);
    EXPECT_EQ (counter->count, 2);
    EXPECT_EQ (knob.getValue(), 0.6f);
}

TEST (MvParameterComponent, SliderSetValueWithItsOwnValueStillRepaints)
{
    MvSlider slider;
    slider.setSize (64, 128);
    auto* counter = countRepaints (slider);

    slider.setValue (0.5f); // its initial value
    EXPECT_EQ (counter->count, 1);
    slider.setValue (0.5f);
    EXPECT_EQ (counter->count, 2);
    slider.setCurrentValue (0.5f);
    EXPECT_EQ (counter->count, 3);
}

TEST (MvParameterComponent, KnobRepaintsOnlyWhenUpdateFromDelegateChangesIt)
{
    RecordingDelegate d;
    MvImageKnob knob;
    knob.setSize (64, 64);
    knob.setDelegate (&d);
    knob.setParameterIndex (0);
    auto* counter = countRepaints (knob);

    d.parameterValue = 0.0f;
    EXPECT_FALSE (knob.updateFromDelegate (false));
    EXPECT_EQ (counter->count, 0);
    d.parameterValue = 0.9f;
    EXPECT_TRUE (knob.updateFromDelegate (false));
    EXPECT_EQ (counter->count, 1);
    EXPECT_EQ (knob.getValue(), 0.9f);
}
