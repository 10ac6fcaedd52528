// Tests of MvSlider.

#include "MvControlTestSupport.h"
#include "MvSlider.h"

using namespace mvtest;

namespace
{
    struct BoundSlider
    {
        BoundSlider (int w, int h, bool horizontal)
        {
            slider.setBounds (0, 0, w, h);
            slider.setHorizontal (horizontal);
            slider.setHandleSize (20.0f, 10.0f);
            slider.setTrackThickness (4.0f);
            slider.setParameterIndex (1);
            slider.setDelegate (&delegate);
        }

        RecordingDelegate delegate;
        MvSlider slider;
    };

    void dragHorizontally (juce::Component& c, float y, float x0, std::initializer_list<float> xs,
                           juce::ModifierKeys mods = leftButton())
    {
        std::vector<juce::Point<float>> points;
        for (auto x : xs)
            points.push_back ({ x, y });
        dragThrough (c, { x0, y }, points, mods);
    }
}

TEST (MvSlider, NewSliderShowsOneHalfUntilItsFirstRefresh)
{
    MvSlider slider;
    EXPECT_EQ (slider.getValue(), 0.5f);
    EXPECT_FALSE (slider.isHorizontal());
    EXPECT_FALSE (slider.getDrawTrack());
    EXPECT_EQ (slider.getBuiltInColour(), 0xFF333333u);

    RecordingDelegate d;
    slider.setDelegate (&d);
    slider.setParameterIndex (2);
    d.parameterValue = 0.1f;
    EXPECT_TRUE (slider.updateFromDelegate (false));
    EXPECT_EQ (slider.getValue(), 0.1f);
}

TEST (MvSlider, VerticalDragOfThirtyTwoPixelsOnA128PixelSlider)
{
    BoundSlider s (64, 128, false);
    s.slider.setValue (0.5f);
    dragVertically (s.slider, 32, 64, { 32.0f });
    EXPECT_FLOAT_EQ (s.slider.getValue(), 0.75f);
    EXPECT_EQ (s.delegate.calls, (std::vector<std::string> { "started 1", "changed 1", "ended 1" }));
    EXPECT_FLOAT_EQ (s.delegate.values[0], 0.75f);
}

TEST (MvSlider, VerticalDragWithAltIsTenTimesFiner)
{
    BoundSlider s (64, 128, false);
    s.slider.setValue (0.5f);
    dragVertically (s.slider, 32, 64, { 32.0f }, alt());
    EXPECT_FLOAT_EQ (s.slider.getValue(), 0.525f);
}

TEST (MvSlider, HorizontalDragOnA40PixelSliderDividesBySixty)
{
    BoundSlider s (40, 20, true);
    s.slider.setValue (0.5f);
    dragHorizontally (s.slider, 10, 10, { 16.0f });
    EXPECT_FLOAT_EQ (s.slider.getValue(), 0.6f);

    // Dragging left lowers it; vertical movement does nothing on a horizontal slider.
    s.slider.mouseDown (mouseAt (s.slider, 16, 10, leftButton()));
    s.slider.mouseDrag (mouseAt (s.slider, 10, 50, leftButton(), 16, 10));
    EXPECT_FLOAT_EQ (s.slider.getValue(), 0.5f);
}

TEST (MvSlider, DraggingBeyondEitherEndPinsAndSteppingBackMovesAtOnce)
{
    BoundSlider s (64, 128, false);
    s.slider.setValue (0.5f);
    s.slider.mouseDown (mouseAt (s.slider, 32, 64, leftButton()));
    s.slider.mouseDrag (mouseAt (s.slider, 32, -200, leftButton(), 32, 64));
    EXPECT_EQ (s.slider.getValue(), 1.0f);
    s.slider.mouseDrag (mouseAt (s.slider, 32, -168, leftButton(), 32, 64));
    EXPECT_FLOAT_EQ (s.slider.getValue(), 0.75f);
    s.slider.mouseDrag (mouseAt (s.slider, 32, 400, leftButton(), 32, 64));
    EXPECT_EQ (s.slider.getValue(), 0.0f);
    s.slider.mouseDrag (mouseAt (s.slider, 32, 368, leftButton(), 32, 64));
    EXPECT_FLOAT_EQ (s.slider.getValue(), 0.25f);
}

TEST (MvSlider, WheelUsesDeltaYForBothOrientations)
{
    BoundSlider s (200, 20, true);
    s.slider.setValue (0.5f);
    s.slider.mouseWheelMove (mouseAt (s.slider, 5, 5), wheel (0.1f, 0.9f));
    EXPECT_FLOAT_EQ (s.slider.getValue(), 0.52f);
    s.slider.mouseWheelMove (mouseAt (s.slider, 5, 5, juce::ModifierKeys (juce::ModifierKeys::altModifier)), wheel (-0.1f));
    EXPECT_FLOAT_EQ (s.slider.getValue(), 0.518f);
    s.slider.mouseWheelMove (mouseAt (s.slider, 5, 5), wheel (-9.0f));
    EXPECT_EQ (s.slider.getValue(), 0.0f);
    EXPECT_EQ (s.delegate.calls, (std::vector<std::string> { "changed 1", "changed 1", "changed 1" }));
}

TEST (MvSlider, DoubleClickResetsAsOneGesture)
{
    BoundSlider s (64, 128, false);
    s.delegate.defaultValue = 0.8f;
    s.slider.mouseDoubleClick (mouseAt (s.slider, 32, 32, leftButton(), 32, 32, 2));
    EXPECT_EQ (s.slider.getValue(), 0.8f);
    EXPECT_EQ (s.delegate.calls, (std::vector<std::string> { "started 1", "changed 1", "ended 1" }));
}

TEST (MvSlider, DisabledSliderIgnoresInputButReportsEnterAndExit)
{
    juce::Component parent;
    BoundSlider s (64, 128, false);
    parent.addAndMakeVisible (s.slider);
    parent.setEnabled (false);

    s.slider.mouseEnter (mouseAt (s.slider, 32, 32));
    dragVertically (s.slider, 32, 64, { 0.0f });
    s.slider.mouseDoubleClick (mouseAt (s.slider, 32, 32, leftButton(), 32, 32, 2));
    s.slider.mouseWheelMove (mouseAt (s.slider, 32, 32), wheel (1.0f));
    s.slider.mouseExit (mouseAt (s.slider, 300, 300));

    EXPECT_EQ (s.slider.getValue(), 0.5f);
    EXPECT_EQ (s.delegate.calls, (std::vector<std::string> { "entered 1", "exited 1" }));
    parent.removeChildComponent (&s.slider);
}

TEST (MvSlider, WithoutDelegateTheSliderStillMoves)
{
    MvSlider slider;
    slider.setSize (64, 128);
    dragVertically (slider, 32, 64, { 32.0f });
    EXPECT_FLOAT_EQ (slider.getValue(), 0.75f);
    slider.mouseDoubleClick (mouseAt (slider, 32, 32, leftButton(), 32, 32, 2));
    EXPECT_FLOAT_EQ (slider.getValue(), 0.75f);
}

TEST (MvSlider, TravelShortensByTheHandle)
{
    BoundSlider v (64, 128, false);
    EXPECT_EQ (v.slider.getTravel(), 118.0f);
    BoundSlider h (200, 30, true);
    EXPECT_EQ (h.slider.getTravel(), 180.0f);
}

TEST (MvSlider, VerticalHandleTopIsZeroAtOneAndTravelAtZero)
{
    MvSlider slider;
    slider.setSize (40, 100);
    slider.setHandleSize (20.0f, 10.0f); // travel 90
    slider.setHandleImage (solid (4, 2, juce::Colours::red)); // stretched to 20 x 10

    slider.setValue (1.0f);
    auto image = render (slider);
    EXPECT_EQ (countPixels (image, { 10, 0, 20, 10 }, juce::Colours::red), 200);
    EXPECT_EQ (countPixels (image, image.getBounds(), juce::Colours::red), 200);

    slider.setValue (0.0f);
    image = render (slider);
    EXPECT_EQ (countPixels (image, { 10, 90, 20, 10 }, juce::Colours::red), 200);
    EXPECT_EQ (countPixels (image, image.getBounds(), juce::Colours::red), 200);

    slider.setValue (0.5f);
    image = render (slider);
    EXPECT_EQ (countPixels (image, { 10, 45, 20, 10 }, juce::Colours::red), 200);
}

TEST (MvSlider, HorizontalHandleStartsAtTheLeft)
{
    MvSlider slider;
    slider.setSize (100, 30);
    slider.setHorizontal (true);
    slider.setHandleSize (10.0f, 20.0f); // travel 90
    slider.setHandleImage (solid (1, 1, juce::Colours::red));

    slider.setValue (0.0f);
    auto image = render (slider);
    EXPECT_EQ (countPixels (image, { 0, 5, 10, 20 }, juce::Colours::red), 200);

    slider.setValue (1.0f);
    image = render (slider);
    EXPECT_EQ (countPixels (image, { 90, 5, 10, 20 }, juce::Colours::red), 200);
    EXPECT_EQ (countPixels (image, image.getBounds(), juce::Colours::red), 200);
}

TEST (MvSlider, TrackIsDrawnOnlyWhenAskedAndWhenThereIsAPicture)
{
    MvSlider slider;
    slider.setSize (40, 100);
    slider.setHandleSize (20.0f, 10.0f);
    slider.setTrackThickness (4.0f);
    slider.setHandleImage (solid (1, 1, juce::Colours::red));
    slider.setTrackImage (solid (1, 1, juce::Colours::blue));
    slider.setValue (1.0f);

    // drawTrack false: only the handle.
    auto image = render (slider);
    EXPECT_EQ (countPixels (image, image.getBounds(), juce::Colours::blue), 0);

    // drawTrack true: the track (18, 5, 4, 90) under the handle (10, 0, 20, 10).
    slider.setDrawTrack (true);
    image = render (slider);
    EXPECT_EQ (countPixels (image, { 18, 10, 4, 85 }, juce::Colours::blue), 4 * 85);
    EXPECT_EQ (countPixels (image, image.getBounds(), juce::Colours::blue), 4 * 85);
    EXPECT_EQ (countPixels (image, { 18, 5, 4, 5 }, juce::Colours::red), 20); // the handle covers the track's top

    // No track picture: only the handle.
    slider.setTrackImage ({});
    image = render (slider);
    EXPECT_EQ (countPixels (image, image.getBounds(), juce::Colours::blue), 0);
    EXPECT_EQ (countPixels (image, image.getBounds(), juce::Colours::red), 200);
}

TEST (MvSlider, HorizontalTrackIsCentredAcross)
{
    MvSlider slider;
    slider.setSize (100, 30);
    slider.setHorizontal (true);
    slider.setHandleSize (10.0f, 20.0f);
    slider.setTrackThickness (2.0f);
    slider.setDrawTrack (true);
    slider.setHandleImage (solid (1, 1, juce::Colours::red));
    slider.setTrackImage (solid (1, 1, juce::Colours::blue));
    slider.setValue (0.0f);
    const auto image = render (slider);
    // Track (5, 14, 90, 2); the handle covers x 0..10.
    EXPECT_EQ (countPixels (image, { 10, 14, 85, 2 }, juce::Colours::blue), 170);
    EXPECT_EQ (countPixels (image, image.getBounds(), juce::Colours::blue), 170);
}

TEST (MvSlider, WithoutAHandlePictureOnlyTheBuiltInLookIsDrawn)
{
    MvSlider slider;
    slider.setSize (40, 100);
    slider.setHandleSize (20.0f, 10.0f);
    slider.setTrackThickness (4.0f);
    slider.setDrawTrack (true);
    slider.setTrackImage (solid (1, 1, juce::Colours::blue)); // ignored
    slider.setValue (1.0f);

    const auto image = render (slider);
    const auto grey = juce::Colour (0xFF333333);
    EXPECT_EQ (countPixels (image, image.getBounds(), juce::Colours::blue), 0);
    // The 2-pixel line (19, 5, 2, 90) and the rounded handle (10, 0, 20, 10).
    EXPECT_TRUE (near (image.getPixelAt (19, 60), grey));
    EXPECT_TRUE (near (image.getPixelAt (20, 60), grey));
    EXPECT_EQ (image.getPixelAt (18, 60).getAlpha(), 0);
    EXPECT_EQ (image.getPixelAt (21, 60).getAlpha(), 0);
    EXPECT_TRUE (near (image.getPixelAt (15, 5), grey));
    EXPECT_TRUE (near (image.getPixelAt (28, 5), grey));
    EXPECT_LT (image.getPixelAt (10, 0).getAlpha(), 255); // rounded corner
    EXPECT_EQ (image.getPixelAt (15, 12).getAlpha(), 0);
}

TEST (MvSlider, HorizontalBuiltInLook)
{
    MvSlider slider;
    slider.setSize (100, 30);
    slider.setHorizontal (true);
    slider.setHandleSize (10.0f, 20.0f);
    slider.setBuiltInColour (0xFF00FF00);
    slider.setValue (0.0f);
    const auto image = render (slider);
    EXPECT_TRUE (near (image.getPixelAt (50, 14), juce::Colours::lime));
    EXPECT_TRUE (near (image.getPixelAt (50, 15), juce::Colours::lime));
    EXPECT_EQ (image.getPixelAt (50, 13).getAlpha(), 0);
    EXPECT_TRUE (near (image.getPixelAt (5, 8), juce::Colours::lime));
}
