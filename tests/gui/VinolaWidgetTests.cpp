#include "CableComponent.h"
#include "VinolaImageKnob.h"
#include "VinolaImageKnobDucker.h"
#include "VinolaSlider.h"
#include "VinolaSpinner.h"
#include "MvControlTestSupport.h"
#include "VinolaWidgetTestSupport.h"

#include <limits>

namespace
{
    constexpr float twoPi = juce::MathConstants<float>::twoPi;
    constexpr float notANumber = std::numeric_limits<float>::quiet_NaN();

    template <typename Widget>
    juce::Image renderAt (Widget& w, float value) { w.setValue (value); return mvtest::render (w); }

    bool blank (juce::Component& c) { return widgettest::differenceBounds (mvtest::render (c)).isEmpty(); }
}

TEST (VinolaSpinnerTest, AngleWrapsEveryTickStillTurnsAndThePegStaysUpright)
{
    VinolaSpinner spinner;
    for (auto [angle, expected] : { std::pair (6.32f, 6.32f - twoPi), std::pair (-0.05f, twoPi - 0.05f),
                                    std::pair (twoPi, 0.0f), std::pair (notANumber, 0.0f) })
    {
        spinner.setAngle (angle);
        EXPECT_NEAR (spinner.getAngle(), expected, 2.0e-6f) << angle;
    }

    // Weeks of 16 ms ticks: a growing single-precision angle would first round the step to a
    // coarse grid (a stutter), then lose it (a standstill).
    for (int tick = 0; tick < 2000000; ++tick)
    {
        const float before = spinner.getAngle();
        spinner.rotateBy();
        const float step = spinner.getAngle() - before;
        ASSERT_NEAR (step < 0.0f ? step + twoPi : step, 0.05f, 1.0e-5f) << "tick " << tick;
    }

    spinner.setSize (108, 108);
    EXPECT_TRUE (blank (spinner));
    spinner.setLabelImage (widgettest::archiveImage ("vinola_recordlabel_noversion.png"));
    spinner.setPegImage (widgettest::archiveImage ("vinola_record_center_peg.png"));
    spinner.setAngle (0.0f);
    const auto upright = mvtest::render (spinner);
    spinner.setAngle (twoPi);
    EXPECT_TRUE (widgettest::differenceBounds (upright, mvtest::render (spinner), 2).isEmpty());
    spinner.setAngle (juce::MathConstants<float>::halfPi);
    const auto quarter = mvtest::render (spinner);
    EXPECT_GT (widgettest::differenceBounds (upright, quarter).getWidth(), 80);
    const juce::Rectangle<int> peg (46, 46, 16, 16);
    EXPECT_TRUE (widgettest::differenceBounds (upright.getClippedImage (peg), quarter.getClippedImage (peg)).isEmpty());
    widgettest::writePng (quarter, "record-label-quarter-turn");
}

TEST (VinolaImageKnobDuckerTest, DotShrinksAtOnceAndRecoversSlowlyAtTheCentre)
{
    VinolaImageKnobDucker knob;
    knob.setSize (64, 64);
    const float levels[] = { 1.0f, 0, 0, 0, 0, 0, 0, 0, 0.5f, 2.0f, notANumber };
    const float radii[] = { 1.5f, 2.1f, 2.7f, 3.3f, 3.9f, 4.5f, 5.0f, 5.0f, 3.25f, 1.5f, 2.1f };
    for (size_t i = 0; i < std::size (levels); ++i)
    {
        knob.followDuckingLevel (levels[i]);
        EXPECT_NEAR (knob.getDotRadius(), radii[i], 1.0e-5f) << "tick " << i;
    }

    const juce::Colour dot (VinolaImageKnobDucker::dotColour);
    for (auto image : { juce::Image(), widgettest::archiveImage ("vinola_knob_ducking_no_dot.png") })
        for (float value : { 0.0f, 0.3f, 1.0f })
        {
            knob.setKnobImage (image);
            knob.setDotRadius (5.0f);
            const auto full = renderAt (knob, value);
            EXPECT_TRUE (mvtest::near (full.getPixelAt (28, 32), dot) && mvtest::near (full.getPixelAt (32, 35), dot));
            EXPECT_FALSE (mvtest::near (full.getPixelAt (38, 32), dot, 12));
            knob.setDotRadius (1.5f);
            EXPECT_FALSE (mvtest::near (mvtest::render (knob).getPixelAt (28, 32), dot, 12));
            if (image.isValid() && value == 0.3f)
                widgettest::writePng (full, "ducking-knob");
        }
}

TEST (VinolaImageKnobTest, ArcRunsClockwiseFromTheMinimumToTheValue)
{
    struct Case { float value; bool left, top, right; };   // 9, 12 and 3 o'clock on the ring
    const Case cases[] = { { 0.0f, false, false, false }, { 0.4f, true, false, false },
                           { 0.5f, true, true, false }, { 1.0f, true, true, true } };
    VinolaImageKnob knob;
    knob.setSize (64, 64);

    for (const auto& c : cases)
    {
        const auto arc = widgettest::differenceBounds (renderAt (knob, c.value), {}, 60);   // all there is
        EXPECT_EQ (arc.contains (1, 32), c.left) << c.value;
        EXPECT_EQ (arc.contains (30, 1), c.top) << c.value;
        EXPECT_EQ (arc.contains (62, 32), c.right) << c.value;
        EXPECT_LT (arc.getBottom(), 60) << c.value;   // the gap at the bottom
    }

    knob.setKnobImage (widgettest::archiveImage ("vinola_knob_bottomrow.png"));
    const auto image = renderAt (knob, 0.75f);
    EXPECT_GT (image.getPixelAt (32, 32).getAlpha(), 200);   // the picture fills the inner 44 x 44
    EXPECT_EQ (image.getPixelAt (5, 32).getAlpha(), 0);
    widgettest::writePng (image, "bottom-knob-at-0.75");
}

TEST (VinolaSliderTest, HandleTopFollowsTheValueOverTheTravel)
{
    const juce::Colour handle (0xff3050e0), track (0xffe03020);
    VinolaSlider slider;
    slider.setSize (64, 128);
    slider.setHandleSize (99.0f, 50.0f);
    slider.setTrackThickness (2.0f);
    EXPECT_TRUE (blank (slider));
    slider.setTrackImage (mvtest::solid (4, 188, track));   // drawn although drawTrack is off
    slider.setHandleImage (mvtest::solid (20, 10, handle));

    // Top edge at (1 - (0.98 v + 0.02)) x 94: 0, 46.06, 92.12; the first whole row of the handle.
    for (auto [value, row] : { std::pair (1.0f, 0), std::pair (0.5f, 47), std::pair (0.0f, 93) })
    {
        const auto image = renderAt (slider, value);
        EXPECT_TRUE (mvtest::near (image.getPixelAt (5, row), handle)) << value;
        EXPECT_TRUE (row == 0 || image.getPixelAt (5, row - 2).getAlpha() == 0) << value;
    }
    EXPECT_EQ (widgettest::differenceBounds (renderAt (slider, 1.0f).getClippedImage ({ 0, 50, 64, 78 })),
               juce::Rectangle<int> (31, 0, 2, 53));   // the track (31, 9, 2, 94) below the handle

    slider.setTrackImage (widgettest::archiveImage ("vinola_slider_track.png"));
    slider.setHandleImage (widgettest::archiveImage ("vinola_slider_handle.png"));
    widgettest::writePng (renderAt (slider, 0.25f), "noise-slider-at-0.25");
}

TEST (CableComponentTest, DrumShowsTheNumberOfTheValueOnItsCentreLine)
{
    // A stand-in strip of eleven bands: band k from the top in grey level 20 k, as the real
    // strip shows the number 10 - k.
    juce::Image strip (juce::Image::ARGB, 27, 220, true);
    for (int k = 0; k < 11; ++k)
        strip.clear ({ 0, 20 * k, 27, 20 }, juce::Colour ((juce::uint8) (20 * k), (juce::uint8) (20 * k), (juce::uint8) (20 * k)));

    CableComponent drum;
    drum.setSize (25, 53);
    EXPECT_TRUE (blank (drum));
    drum.setHandleImage (strip);

    for (auto [value, band] : { std::pair (0.0f, 10), std::pair (0.3f, 7), std::pair (0.5f, 5), std::pair (0.7f, 3), std::pair (1.0f, 0) })
        EXPECT_NEAR (renderAt (drum, value).getPixelAt (14, 26).getRed(), 20 * band, 3) << value;

    drum.setWhiteBackground (widgettest::archiveImage ("vinola_cablequality_white_bg.png"));
    drum.setTrackImage (widgettest::archiveImage ("vinola_cablequality_window.png"));
    drum.setHandleImage (widgettest::archiveImage ("vinola_cablequality_numbers.png"));
    juce::Image sheet (juce::Image::ARGB, 75, 53, true);
    for (int i = 0; i < 3; ++i)
        juce::Graphics (sheet).drawImageAt (renderAt (drum, 0.5f * (float) i), 25 * i, 0);
    widgettest::writePng (sheet, "cable-drum-0-5-10");
}
