// Tests of MvImageKnob and MvDrawRotatedImage.

#include "MvControlTestSupport.h"
#include "MvImageKnob.h"
#include "MvDrawRotatedImage.h"

using namespace mvtest;

namespace
{
    struct BoundKnob
    {
        explicit BoundKnob (int size = 64, float startValue = 0.5f)
        {
            knob.setBounds (0, 0, size, size);
            knob.setParameterIndex (4);
            knob.setDelegate (&delegate);
            knob.setValue (startValue);
        }

        RecordingDelegate delegate;
        MvImageKnob knob;
    };

    const std::vector<std::string> oneGesture { "started 4", "changed 4", "ended 4" };

    // A 20 x 20 picture, black with a red 4 x 4 marker at the top centre.
    juce::Image markedPicture()
    {
        auto image = solid (20, 20, juce::Colours::black);
        juce::Graphics g (image);
        g.setColour (juce::Colours::red);
        g.fillRect (8, 0, 4, 4);
        return image;
    }

    // Where the red marker ended up: the centre of the red pixels.
    juce::Point<float> redCentre (const juce::Image& image)
    {
        double sx = 0, sy = 0;
        int n = 0;

        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
            {
                const auto c = image.getPixelAt (x, y);

                if (c.getRed() > 200 && c.getGreen() < 60 && c.getBlue() < 60)
                {
                    sx += x + 0.5;
                    sy += y + 0.5;
                    ++n;
                }
            }

        return n == 0 ? juce::Point<float> (-1, -1) : juce::Point<float> ((float) (sx / n), (float) (sy / n));
    }
}

TEST (MvImageKnob, Defaults)
{
    MvImageKnob knob;
    EXPECT_EQ (knob.getValue(), 0.0f);
    EXPECT_EQ (knob.getParameterIndex(), -1);
    EXPECT_FLOAT_EQ (knob.getRotationRange(), 2.3561945f);
    EXPECT_FLOAT_EQ (knob.getDragSensitivity(), 0.45f);
    EXPECT_TRUE (knob.getKnobImage().isNull());
    EXPECT_EQ (knob.labelPosition, 2); // element side defaults
}

TEST (MvImageKnob, TenPixelDragUpOn64PixelKnob)
{
    BoundKnob k (64, 0.5f);
    k.knob.mouseDown (mouseAt (k.knob, 32, 40, leftButton()));
    k.knob.mouseDrag (mouseAt (k.knob, 32, 30, leftButton(), 32, 40));
    EXPECT_FLOAT_EQ (k.knob.getValue(), 0.5703125f);
    ASSERT_EQ (k.delegate.values.size(), 1u);
    EXPECT_FLOAT_EQ (k.delegate.values[0], 0.5703125f);
}

TEST (MvImageKnob, TenPixelDragUpWithAltIsTenTimesFiner)
{
    BoundKnob k (64, 0.5f);
    k.knob.mouseDown (mouseAt (k.knob, 32, 40, alt()));
    k.knob.mouseDrag (mouseAt (k.knob, 32, 30, alt(), 32, 40));
    EXPECT_FLOAT_EQ (k.knob.getValue(), 0.50703125f);
}

TEST (MvImageKnob, SmallKnobDividesBySixty)
{
    BoundKnob k (40, 0.5f);
    k.knob.mouseDown (mouseAt (k.knob, 20, 30, leftButton()));
    k.knob.mouseDrag (mouseAt (k.knob, 20, 20, leftButton(), 20, 30));
    EXPECT_FLOAT_EQ (k.knob.getValue(), 0.5f + 10.0f * 0.45f / 60.0f);
    EXPECT_NE (k.knob.getValue(), 0.5f + 10.0f * 0.45f / 40.0f);
}

TEST (MvImageKnob, DragDownLowersAndStepsAreRelativeToTheLastEvent)
{
    BoundKnob k (64, 0.5f);
    k.knob.mouseDown (mouseAt (k.knob, 32, 10, leftButton()));
    k.knob.mouseDrag (mouseAt (k.knob, 32, 20, leftButton(), 32, 10));
    EXPECT_FLOAT_EQ (k.knob.getValue(), 0.5f - 0.0703125f);
    k.knob.mouseDrag (mouseAt (k.knob, 32, 20, leftButton(), 32, 10)); // no movement
    EXPECT_FLOAT_EQ (k.knob.getValue(), 0.5f - 0.0703125f);
    k.knob.mouseDrag (mouseAt (k.knob, 32, 30, leftButton(), 32, 10));
    EXPECT_FLOAT_EQ (k.knob.getValue(), 0.5f - 2.0f * 0.0703125f);
}

TEST (MvImageKnob, MouseDownPositionIsRoundedToTheNearestInteger)
{
    BoundKnob k (64, 0.5f);
    k.knob.mouseDown (mouseAt (k.knob, 32, 39.6f, leftButton())); // rounds to 40
    k.knob.mouseDrag (mouseAt (k.knob, 32, 30, leftButton(), 32, 39.6f));
    EXPECT_FLOAT_EQ (k.knob.getValue(), 0.5703125f);
}

TEST (MvImageKnob, DraggingPastTheTopPinsAtOneAndTheFirstStepBackLowersAtOnce)
{
    BoundKnob k (64, 0.9f);
    k.knob.mouseDown (mouseAt (k.knob, 32, 200, leftButton()));
    k.knob.mouseDrag (mouseAt (k.knob, 32, 0, leftButton(), 32, 200));
    EXPECT_EQ (k.knob.getValue(), 1.0f);
    k.knob.mouseDrag (mouseAt (k.knob, 32, -100, leftButton(), 32, 200));
    EXPECT_EQ (k.knob.getValue(), 1.0f);
    k.knob.mouseDrag (mouseAt (k.knob, 32, -90, leftButton(), 32, 200));
    EXPECT_FLOAT_EQ (k.knob.getValue(), 1.0f - 0.0703125f);

    k.knob.mouseDrag (mouseAt (k.knob, 32, 1000, leftButton(), 32, 200));
    EXPECT_EQ (k.knob.getValue(), 0.0f);
}

TEST (MvImageKnob, GestureOrderIsStartedChangedEnded)
{
    BoundKnob k;
    dragVertically (k.knob, 32, 40, { 35.0f, 30.0f });
    EXPECT_EQ (k.delegate.calls, (std::vector<std::string> { "started 4", "changed 4", "changed 4", "ended 4" }));
}

TEST (MvImageKnob, MouseDownAloneDoesNotChangeTheValue)
{
    BoundKnob k (64, 0.3f);
    k.knob.mouseDown (mouseAt (k.knob, 10, 10, leftButton()));
    EXPECT_EQ (k.knob.getValue(), 0.3f);
    EXPECT_EQ (k.delegate.calls, (std::vector<std::string> { "started 4" }));
}

TEST (MvImageKnob, DoubleClickResetsToTheDefaultAsOneGesture)
{
    BoundKnob k (64, 0.9f);
    k.delegate.defaultValue = 0.25f;
    k.knob.mouseDoubleClick (mouseAt (k.knob, 32, 32, leftButton(), 32, 32, 2));
    EXPECT_EQ (k.knob.getValue(), 0.25f);
    EXPECT_EQ (k.delegate.calls, oneGesture);
    EXPECT_EQ (k.delegate.values, (std::vector<float> { 0.25f }));
}

TEST (MvImageKnob, DoubleClickWithoutDelegateDoesNothing)
{
    MvImageKnob knob;
    knob.setSize (64, 64);
    knob.setValue (0.9f);
    knob.mouseDoubleClick (mouseAt (knob, 32, 32, leftButton(), 32, 32, 2));
    EXPECT_EQ (knob.getValue(), 0.9f);
}

TEST (MvImageKnob, WheelStepsAreUnbracketedAndClamped)
{
    BoundKnob k (64, 0.5f);
    k.knob.mouseWheelMove (mouseAt (k.knob, 32, 32), wheel (0.1f));
    EXPECT_FLOAT_EQ (k.knob.getValue(), 0.52f);
    k.knob.mouseWheelMove (mouseAt (k.knob, 32, 32, juce::ModifierKeys (juce::ModifierKeys::altModifier)), wheel (0.1f));
    EXPECT_FLOAT_EQ (k.knob.getValue(), 0.522f);
    k.knob.mouseWheelMove (mouseAt (k.knob, 32, 32), wheel (-0.1f));
    EXPECT_FLOAT_EQ (k.knob.getValue(), 0.502f);
    EXPECT_EQ (k.delegate.calls, (std::vector<std::string> { "changed 4", "changed 4", "changed 4" }));

    k.knob.mouseWheelMove (mouseAt (k.knob, 32, 32), wheel (10.0f));
    EXPECT_EQ (k.knob.getValue(), 1.0f);
    k.knob.mouseWheelMove (mouseAt (k.knob, 32, 32), wheel (-10.0f));
    EXPECT_EQ (k.knob.getValue(), 0.0f);
}

TEST (MvImageKnob, WheelIsComputedInDoublePrecision)
{
    BoundKnob k (64, 0.3f);
    k.knob.mouseWheelMove (mouseAt (k.knob, 32, 32), wheel (0.1f));
    EXPECT_EQ (k.knob.getValue(), (float) ((double) 0.3f + (double) 0.1f * 0.2));
}

TEST (MvImageKnob, WithoutDelegateTheKnobStillTurns)
{
    MvImageKnob knob;
    knob.setSize (64, 64);
    knob.setValue (0.5f);
    dragVertically (knob, 32, 40, { 30.0f });
    EXPECT_FLOAT_EQ (knob.getValue(), 0.5703125f);
    knob.mouseWheelMove (mouseAt (knob, 32, 32), wheel (0.1f));
    EXPECT_FLOAT_EQ (knob.getValue(), 0.5903125f);
}

TEST (MvImageKnob, DisabledKnobIgnoresInputButReportsEnterAndExit)
{
    BoundKnob k (64, 0.5f);
    k.knob.setEnabled (false);
    auto* counter = countRepaints (k.knob);
    const int before = counter->count;

    k.knob.mouseEnter (mouseAt (k.knob, 32, 32));
    dragVertically (k.knob, 32, 40, { 10.0f });
    k.knob.mouseDoubleClick (mouseAt (k.knob, 32, 32, leftButton(), 32, 32, 2));
    k.knob.mouseWheelMove (mouseAt (k.knob, 32, 32), wheel (0.5f));
    k.knob.mouseExit (mouseAt (k.knob, 100, 100));

    EXPECT_EQ (k.knob.getValue(), 0.5f);
    EXPECT_EQ (k.delegate.calls, (std::vector<std::string> { "entered 4", "exited 4" }));
    EXPECT_EQ (counter->count - before, 2); // enter and exit repaint
}

TEST (MvImageKnob, KnobInsideADisabledParentIsDisabled)
{
    juce::Component parent;
    BoundKnob k (64, 0.5f);
    parent.addAndMakeVisible (k.knob);
    parent.setEnabled (false);

    dragVertically (k.knob, 32, 40, { 10.0f });
    k.knob.mouseWheelMove (mouseAt (k.knob, 32, 32), wheel (0.5f));
    EXPECT_EQ (k.knob.getValue(), 0.5f);
    EXPECT_TRUE (k.delegate.calls.empty());

    parent.setEnabled (true);
    dragVertically (k.knob, 32, 40, { 30.0f });
    EXPECT_FLOAT_EQ (k.knob.getValue(), 0.5703125f);
    parent.removeChildComponent (&k.knob);
}

TEST (MvImageKnob, ValueToAngle)
{
    MvImageKnob knob;
    const float range = 3.0f * juce::MathConstants<float>::pi / 4.0f;
    EXPECT_FLOAT_EQ (knob.valueToAngle (0.0f), -range);
    EXPECT_FLOAT_EQ (knob.valueToAngle (0.5f), 0.0f);
    EXPECT_FLOAT_EQ (knob.valueToAngle (1.0f), range);
    knob.setRotationRange (1.0f);
    EXPECT_FLOAT_EQ (knob.valueToAngle (1.0f), 1.0f);
}

TEST (MvImageKnob, BuiltInLookIsADarkDiscWithALightDotOnItsRim)
{
    MvImageKnob knob;
    knob.setSize (64, 64);

    knob.setValue (0.5f); // angle 0: the dot at the top
    auto image = render (knob);
    const auto disc = juce::Colour (0xA0222222);
    const auto dot = juce::Colour (0xFFF0F0F0);
    EXPECT_TRUE (near (image.getPixelAt (32, 32), disc, 4)) << image.getPixelAt (32, 32).toDisplayString (true);
    EXPECT_TRUE (near (image.getPixelAt (32, 5), dot, 10)) << image.getPixelAt (32, 5).toDisplayString (true);
    EXPECT_EQ (image.getPixelAt (1, 1).getAlpha(), 0); // outside the disc
    EXPECT_EQ (countPixels (image, image.getBounds(), dot, 10), countPixels (image, { 27, 0, 10, 10 }, dot, 10));

    knob.setValue (1.0f); // +135 degrees: the dot lower right
    image = render (knob);
    const float a = juce::MathConstants<float>::pi - 2.3561945f;
    const float rx = 27.0f;
    const int cx = (int) (rx + rx * std::sin (a) + 5.0f), cy = (int) (rx + rx * std::cos (a) + 5.0f);
    EXPECT_GT (cx, 40);
    EXPECT_GT (cy, 40);
    EXPECT_TRUE (near (image.getPixelAt (cx, cy), dot, 10)) << image.getPixelAt (cx, cy).toDisplayString (true);
    EXPECT_TRUE (near (image.getPixelAt (32, 5), disc, 4));

    knob.setValue (0.0f); // -135 degrees: lower left
    image = render (knob);
    EXPECT_TRUE (near (image.getPixelAt (64 - cx, cy), dot, 10)) << image.getPixelAt (64 - cx, cy).toDisplayString (true);
}

TEST (MvImageKnob, PictureTurnsWithTheValue)
{
    MvImageKnob knob;
    knob.setSize (40, 40);
    knob.setKnobImage (markedPicture()); // scaled by 2: the marker at (20, 4) when upright

    knob.setValue (0.5f);
    auto c = redCentre (render (knob));
    EXPECT_NEAR (c.x, 20.0f, 1.0f);
    EXPECT_NEAR (c.y, 4.0f, 1.0f);

    // Value 1 turns the picture by +135 degrees (clockwise): the marker goes to the lower right.
    knob.setValue (1.0f);
    c = redCentre (render (knob));
    const float r = 16.0f, s = std::sqrt (0.5f);
    EXPECT_NEAR (c.x, 20.0f + r * s, 1.5f);
    EXPECT_NEAR (c.y, 20.0f + r * s, 1.5f);

    // Value 0 turns it by -135 degrees: lower left.
    knob.setValue (0.0f);
    c = redCentre (render (knob));
    EXPECT_NEAR (c.x, 20.0f - r * s, 1.5f);
    EXPECT_NEAR (c.y, 20.0f + r * s, 1.5f);
}

TEST (MvDrawRotatedImage, ScalesByWidthOnlyAndTurnsClockwiseAboutTheCentre)
{
    juce::Image target (juce::Image::ARGB, 60, 60, true, juce::SoftwareImageType());
    {
        juce::Graphics g (target);
        // Width 40 gives k = 2 whatever the height says; a quarter turn clockwise puts the top
        // marker on the right, at (10 + 36, 10 + 20).
        MvDrawRotatedImage (g, markedPicture(), 10.0f, 10.0f, 40.0f, 5.0f, juce::MathConstants<float>::halfPi);
    }
    const auto c = redCentre (target);
    EXPECT_NEAR (c.x, 46.0f, 1.0f);
    EXPECT_NEAR (c.y, 30.0f, 1.0f);
    // The picture covers 40 x 40 from (10, 10), not 40 x 5.
    EXPECT_EQ (target.getPixelAt (30, 45).getAlpha(), 255);
    EXPECT_EQ (target.getPixelAt (5, 5).getAlpha(), 0);
    EXPECT_EQ (target.getPixelAt (52, 52).getAlpha(), 0);
}

TEST (MvDrawRotatedImage, DrawsAtFullOpacityAndNothingForANullImage)
{
    juce::Image target (juce::Image::ARGB, 20, 20, true, juce::SoftwareImageType());
    {
        juce::Graphics g (target);
        g.setOpacity (0.2f);
        MvDrawRotatedImage (g, solid (10, 10, juce::Colours::white), 0.0f, 0.0f, 20.0f, 20.0f, 0.0f);
    }
    EXPECT_EQ (target.getPixelAt (10, 10), juce::Colours::white);

    juce::Image empty (juce::Image::ARGB, 20, 20, true, juce::SoftwareImageType());
    {
        juce::Graphics g (empty);
        MvDrawRotatedImage (g, juce::Image(), 0.0f, 0.0f, 20.0f, 20.0f, 1.0f);
    }
    EXPECT_EQ (countPixelsNot (empty, empty.getBounds(), juce::Colours::transparentBlack, 0), 0);
}
