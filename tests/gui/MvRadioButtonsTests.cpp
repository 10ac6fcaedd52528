// Tests of MvRadioButtons, MvRadioButtons::RadioButton, MvRadioButtonDelegate and
// MvRadioButtons::HoverListener.

#include "MvControlTestSupport.h"
#include "MvRadioButtons.h"

using namespace mvtest;

namespace
{
    using Group = MvRadioButtons;

    void fill (Group& g, int n, float w = 77.0f, float h = 17.0f, float gap = 5.0f)
    {
        for (int i = 0; i < n; ++i)
            g.addButton ({}, {}, w, h, i == n - 1 ? 0.0f : gap);
    }

    struct HoverRecorder : public MvRadioButtons::HoverListener
    {
        void radioButtonMouseEntered (MvRadioButtons* g, int i) override { calls.push_back ("entered " + std::to_string (i)); group = g; }
        void radioButtonMouseExited (MvRadioButtons* g, int i) override { calls.push_back ("exited " + std::to_string (i)); group = g; }

        std::vector<std::string> calls;
        MvRadioButtons* group = nullptr;
    };

    void click (juce::Component& c, float x, float y)
    {
        c.mouseDown (mouseAt (c, x, y, leftButton()));
        c.mouseUp (mouseAt (c, x, y, leftButton()));
    }
}

TEST (MvRadioButtons, Defaults)
{
    Group g;
    EXPECT_EQ (g.getNumButtons(), 0);
    EXPECT_EQ (g.getMappingMode(), 0);
    EXPECT_FALSE (g.isVertical());
    EXPECT_EQ (g.getHoverListener(), nullptr);
    EXPECT_EQ (g.getValue(), 0.0f);
    EXPECT_EQ (g.getParameterIndex(), -1);
    EXPECT_EQ (g.getContentSize(), juce::Rectangle<int>());
    EXPECT_EQ (g.getNumChildComponents(), 0);
}

TEST (MvRadioButtons, AddButtonFillsTheNextSlot)
{
    Group g;
    const auto off = solid (2, 2, juce::Colours::grey), on = solid (2, 2, juce::Colours::white);
    g.addButton (off, on, 77.0f, 17.0f, 5.0f);
    g.addButton (off, on, 77.0f, 17.0f, 0.0f);

    ASSERT_EQ (g.getNumButtons(), 2);
    ASSERT_EQ (g.getNumChildComponents(), 2);
    for (int i = 0; i < 2; ++i)
    {
        auto& b = g.getButton (i);
        EXPECT_EQ (b.getButtonIndex(), i);
        EXPECT_EQ (g.getChildComponent (i), &b); // added on top, in order
        EXPECT_TRUE (b.isVisible());
        EXPECT_FALSE (b.isSelected());
        EXPECT_FALSE (b.isHovered());
        EXPECT_FALSE (b.isPressed());
        EXPECT_TRUE (b.getPressedImage().isNull());
        EXPECT_EQ (b.getOffImage(), off);
        EXPECT_EQ (b.getOnImage(), on);
        EXPECT_EQ (b.getButtonWidth(), 77.0f);
        EXPECT_EQ (b.getButtonHeight(), 17.0f);
    }
    EXPECT_EQ (g.getButton (0).getGapAfter(), 5.0f);
    EXPECT_EQ (g.getButton (1).getGapAfter(), 0.0f);
}

TEST (MvRadioButtons, TheEditorsStackedPairNeeds77By39AndIsLaidOutDownwards)
{
    Group g;
    g.setVertical (true);
    fill (g, 2);
    EXPECT_EQ (g.getContentSize(), juce::Rectangle<int> (0, 0, 77, 39));

    g.setBounds (g.getContentSize().withPosition (311, 196));
    EXPECT_EQ (g.getButton (0).getBounds(), juce::Rectangle<int> (0, 0, 77, 17));
    EXPECT_EQ (g.getButton (1).getBounds(), juce::Rectangle<int> (0, 22, 77, 17));
}

TEST (MvRadioButtons, SideBySideLayoutAndSize)
{
    Group g;
    g.addButton ({}, {}, 30.5f, 10.0f, 4.7f);
    g.addButton ({}, {}, 20.0f, 12.9f, 1.0f);
    g.addButton ({}, {}, 10.0f, 8.0f, 0.0f);
    // Width: 30.5 + 4.7 + 20 + 1 + 10 = 66.2 -> 66; height: the largest button height plus
    // gap, 10 + 4.7 = 14.7 -> 14.
    EXPECT_EQ (g.getContentSize(), juce::Rectangle<int> (0, 0, 66, 14));
    g.setSize (66, 13);
    EXPECT_EQ (g.getButton (0).getBounds(), juce::Rectangle<int> (0, 0, 30, 10));
    EXPECT_EQ (g.getButton (1).getBounds(), juce::Rectangle<int> (35, 0, 20, 12));
    EXPECT_EQ (g.getButton (2).getBounds(), juce::Rectangle<int> (56, 0, 10, 8));
}

TEST (MvRadioButtons, AtMostTenButtons)
{
    Group g;
    fill (g, 10);
    EXPECT_EQ (g.getNumButtons(), 10);
    EXPECT_EQ (g.getButton (9).getDisplayText(), "J");
}

TEST (MvRadioButtons, Mode0WithTwoButtonsSelectsAtOneHalfAndNeverReports)
{
    RecordingDelegate d;
    Group g;
    g.setDelegate (&d);
    g.setParameterIndex (6);
    fill (g, 2);

    g.setValue (0.49f);
    EXPECT_EQ (g.getSelectedIndex(), 0);
    EXPECT_EQ (g.getValue(), 0.49f);
    g.setValue (0.5f);
    EXPECT_EQ (g.getSelectedIndex(), 1);
    EXPECT_TRUE (g.getButton (1).isSelected());
    EXPECT_FALSE (g.getButton (0).isSelected());
    g.setValue (0.0f);
    EXPECT_EQ (g.getSelectedIndex(), 0);
    g.setValue (1.0f);
    EXPECT_EQ (g.getSelectedIndex(), 1);
    EXPECT_TRUE (d.calls.empty());
}

TEST (MvRadioButtons, Mode0RoundsHalvesAwayFromZero)
{
    Group g;
    fill (g, 5); // v * 4
    g.setValue (0.375f); // 1.5 -> 2
    EXPECT_EQ (g.getSelectedIndex(), 2);
    g.setValue (0.625f); // 2.5 -> 3 (half to even would give 2)
    EXPECT_EQ (g.getSelectedIndex(), 3);
    g.setValue (0.1f); // 0.4 -> 0
    EXPECT_EQ (g.getSelectedIndex(), 0);
    g.setValue (0.125f); // 0.5 -> 1 (half to even would give 0)
    EXPECT_EQ (g.getSelectedIndex(), 1);
}

TEST (MvRadioButtons, Mode1WithFourButtons)
{
    Group g;
    g.setMappingMode (1);
    fill (g, 4);
    g.setValue (1.0f); // 4 capped to 3
    EXPECT_EQ (g.getSelectedIndex(), 3);
    g.setValue (0.125f); // 0.5 rounds away from zero
    EXPECT_EQ (g.getSelectedIndex(), 1);
    g.setValue (0.124f);
    EXPECT_EQ (g.getSelectedIndex(), 0);
    g.setValue (0.0f);
    EXPECT_EQ (g.getSelectedIndex(), 0);
    g.setValue (0.625f); // 2.5 -> 3
    EXPECT_EQ (g.getSelectedIndex(), 3);
}

TEST (MvRadioButtons, Mode2Truncates)
{
    Group g;
    g.setMappingMode (2);
    fill (g, 3);
    g.setValue (0.99f); // 1.98 -> 1
    EXPECT_EQ (g.getSelectedIndex(), 1);
    g.setValue (1.0f);
    EXPECT_EQ (g.getSelectedIndex(), 2);
    g.setValue (0.49f);
    EXPECT_EQ (g.getSelectedIndex(), 0);
    g.setValue (0.5f);
    EXPECT_EQ (g.getSelectedIndex(), 1);
}

TEST (MvRadioButtons, ValuesOutsideTheRangeMaySelectNothing)
{
    Group g;
    fill (g, 2);
    g.setValue (2.0f);
    EXPECT_EQ (g.getSelectedIndex(), -1);
    g.setValue (-1.0f);
    EXPECT_EQ (g.getSelectedIndex(), -1);

    Group empty;
    empty.setValue (0.5f);
    EXPECT_EQ (empty.getSelectedIndex(), -1);
    EXPECT_EQ (empty.getValue(), 0.5f);
}

TEST (MvRadioButtons, UnknownModeSelectsNoneAndWritesZero)
{
    RecordingDelegate d;
    Group g;
    g.setDelegate (&d);
    g.setMappingMode (7);
    fill (g, 3);
    g.setValue (0.0f);
    EXPECT_EQ (g.getSelectedIndex(), -1);
    g.setSelectedIndex (2);
    EXPECT_EQ (g.getSelectedIndex(), 2);
    EXPECT_EQ (g.getValue(), 0.0f);
    EXPECT_EQ (d.values, (std::vector<float> { 0.0f }));
}

TEST (MvRadioButtons, SetValueRepaintsTheButtonsButNotTheGroup)
{
    Group g;
    g.setBounds (0, 0, 77, 39);
    g.setVertical (true);
    fill (g, 2);
    auto* groupCounter = countRepaints (g);
    auto* b0 = countRepaints (g.getButton (0));
    auto* b1 = countRepaints (g.getButton (1));

    g.setValue (1.0f);
    EXPECT_EQ (groupCounter->count, 0);
    EXPECT_EQ (b0->count, 1);
    EXPECT_EQ (b1->count, 1);
}

TEST (MvRadioButtons, SelectedIndexWritesTheMappedValueAsOneGesture)
{
    RecordingDelegate d;
    Group g;
    g.setDelegate (&d);
    g.setParameterIndex (6);
    fill (g, 2);

    g.setSelectedIndex (1);
    EXPECT_EQ (g.getValue(), 1.0f);
    EXPECT_EQ (d.calls, (std::vector<std::string> { "started 6", "changed 6", "ended 6" }));
    EXPECT_EQ (d.values, (std::vector<float> { 1.0f }));
    g.setSelectedIndex (0);
    EXPECT_EQ (g.getValue(), 0.0f);
    EXPECT_EQ (d.values.back(), 0.0f);

    Group four;
    four.setMappingMode (1);
    fill (four, 4);
    four.setSelectedIndex (3);
    EXPECT_EQ (four.getValue(), 0.75f);
    four.setMappingMode (2);
    four.setSelectedIndex (2);
    EXPECT_FLOAT_EQ (four.getValue(), 2.0f / 3.0f);
    four.setSelectedIndex (9); // clamped
    EXPECT_EQ (four.getValue(), 1.0f);
    four.setSelectedIndex (-3);
    EXPECT_EQ (four.getValue(), 0.0f);
}

TEST (MvRadioButtons, ClickingTheUnselectedButtonSendsOneGestureAndSelectsAtOnce)
{
    RecordingDelegate d;
    Group g;
    g.setVertical (true);
    g.setDelegate (&d);
    g.setParameterIndex (6);
    fill (g, 2);
    g.setBounds (g.getContentSize());
    g.setValue (0.0f);

    auto& b1 = g.getButton (1);
    b1.mouseDown (mouseAt (b1, 10, 5, leftButton()));
    EXPECT_TRUE (b1.isPressed());
    EXPECT_TRUE (d.calls.empty());
    b1.mouseUp (mouseAt (b1, 10, 5, leftButton()));
    EXPECT_FALSE (b1.isPressed());
    EXPECT_TRUE (b1.isSelected());
    EXPECT_FALSE (g.getButton (0).isSelected());
    EXPECT_EQ (d.calls, (std::vector<std::string> { "started 6", "changed 6", "ended 6" }));
    EXPECT_EQ (d.values, (std::vector<float> { 1.0f }));

    // Clicking it again does nothing.
    click (b1, 10, 5);
    EXPECT_EQ (d.calls.size(), 3u);
}

TEST (MvRadioButtons, ReleasingOutsideTheButtonOnlyClearsPressed)
{
    RecordingDelegate d;
    Group g;
    g.setVertical (true);
    g.setDelegate (&d);
    fill (g, 2);
    g.setBounds (g.getContentSize());
    g.setValue (0.0f);

    auto& b1 = g.getButton (1);
    for (auto p : { juce::Point<float> (77, 5), juce::Point<float> (10, 17), juce::Point<float> (-1, 5), juce::Point<float> (10, -1) })
    {
        b1.mouseDown (mouseAt (b1, 10, 5, leftButton()));
        b1.mouseUp (mouseAt (b1, p.x, p.y, leftButton(), 10, 5));
        EXPECT_FALSE (b1.isPressed());
        EXPECT_FALSE (b1.isSelected());
    }
    EXPECT_TRUE (d.calls.empty());

    // The last pixel inside still counts.
    click (b1, 76, 16);
    EXPECT_TRUE (b1.isSelected());
}

TEST (MvRadioButtons, HoverGoesToTheListenerWhenThereIsOne)
{
    RecordingDelegate d;
    Group g;
    g.setDelegate (&d);
    fill (g, 3);

    auto& b2 = g.getButton (2);
    b2.mouseEnter (mouseAt (b2, 1, 1));
    EXPECT_TRUE (b2.isHovered());
    b2.mouseExit (mouseAt (b2, 100, 1));
    EXPECT_FALSE (b2.isHovered());
    EXPECT_TRUE (d.calls.empty()); // the parameter delegate hears nothing of button hover

    HoverRecorder listener;
    g.setHoverListener (&listener);
    b2.mouseEnter (mouseAt (b2, 1, 1));
    b2.mouseExit (mouseAt (b2, 100, 1));
    EXPECT_EQ (listener.calls, (std::vector<std::string> { "entered 2", "exited 2" }));
    EXPECT_EQ (listener.group, &g);
}

TEST (MvRadioButtons, GroupEnterAndExitGoToTheParameterDelegate)
{
    RecordingDelegate d;
    Group g;
    g.setDelegate (&d);
    g.setParameterIndex (6);
    g.mouseEnter (mouseAt (g, 1, 1));
    g.mouseExit (mouseAt (g, 100, 1));
    EXPECT_EQ (d.calls, (std::vector<std::string> { "entered 6", "exited 6" }));
}

TEST (MvRadioButtons, UpdateFromDelegateReselects)
{
    RecordingDelegate d;
    Group g;
    g.setDelegate (&d);
    g.setParameterIndex (6);
    fill (g, 2);
    d.parameterValue = 1.0f;
    EXPECT_TRUE (g.updateFromDelegate (false));
    EXPECT_EQ (g.getSelectedIndex(), 1);
    EXPECT_TRUE (d.calls.empty());
}

TEST (MvRadioButtons, PicturesFollowSelectedAndPressed)
{
    Group g;
    g.setVertical (true);
    g.addButton (solid (1, 1, juce::Colours::red), solid (1, 1, juce::Colours::green), 20.0f, 10.0f, 0.0f);
    g.addButton (solid (1, 1, juce::Colours::red), solid (1, 1, juce::Colours::green), 20.0f, 10.0f, 0.0f);
    g.setBounds (g.getContentSize());
    g.setValue (0.0f);

    auto image = render (g);
    EXPECT_EQ (countPixels (image, { 0, 0, 20, 10 }, juce::Colours::green), 200); // selected: on picture, stretched
    EXPECT_EQ (countPixels (image, { 0, 10, 20, 10 }, juce::Colours::red), 200);  // off picture

    auto& b1 = g.getButton (1);
    b1.mouseDown (mouseAt (b1, 5, 5, leftButton()));
    image = render (g);
    EXPECT_EQ (countPixels (image, { 0, 10, 20, 10 }, juce::Colours::green), 200); // pressed without a pressed picture: on

    b1.setImages (b1.getOffImage(), b1.getOnImage(), solid (2, 2, juce::Colours::blue));
    image = render (g);
    EXPECT_EQ (countPixels (image, { 0, 10, 20, 10 }, juce::Colours::blue), 200);

    // Hover changes nothing with pictures.
    b1.mouseUp (mouseAt (b1, 500, 500, leftButton(), 5, 5));
    b1.mouseEnter (mouseAt (b1, 5, 5));
    image = render (g);
    EXPECT_EQ (countPixels (image, { 0, 10, 20, 10 }, juce::Colours::red), 200);

    // A missing on picture leaves a selected button blank.
    auto& b0 = g.getButton (0);
    b0.setImages (b0.getOffImage(), {}, {});
    image = render (g);
    EXPECT_EQ (countPixelsNot (image, { 0, 0, 20, 10 }, juce::Colours::transparentBlack, 0), 0);
}

TEST (MvRadioButtons, BuiltInLookShowsTheButtonsLetter)
{
    Group g;
    fill (g, 2, 30.0f, 20.0f, 0.0f);
    g.setBounds (g.getContentSize());
    EXPECT_EQ (g.getButton (0).getDisplayText(), "A");
    EXPECT_EQ (g.getButton (1).getDisplayText(), "B");

    const juce::Font font (16.0f);
    for (int i = 0; i < 2; ++i)
    {
        auto& b = g.getButton (i);
        b.setFont (font);
        b.setButtonColour (Group::RadioButton::textNormal, 0xFF000000);
        b.setButtonColour (Group::RadioButton::fillNormal, 0xFFFFFFFF);
    }

    // Each button looks exactly like its letter drawn centred on white.
    for (int i = 0; i < 2; ++i)
    {
        auto expected = solid (30, 20, juce::Colours::white);
        {
            juce::Graphics eg (expected);
            eg.setColour (juce::Colours::black);
            eg.setFont (font);
            eg.drawText (i == 0 ? "A" : "B", 0, 0, 30, 20, juce::Justification::centred, true);
        }
        const auto actual = render (g.getButton (i));
        int different = 0, dark = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x)
            {
                different += actual.getPixelAt (x, y) != expected.getPixelAt (x, y) ? 1 : 0;
                dark += actual.getPixelAt (x, y).getBrightness() < 0.5f ? 1 : 0;
            }
        EXPECT_EQ (different, 0) << "button " << i;
        EXPECT_GT (dark, 10) << "button " << i; // some text was drawn
    }

    // A and B really differ.
    const auto a = render (g.getButton (0)), b = render (g.getButton (1));
    int differ = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            differ += a.getPixelAt (x, y) != b.getPixelAt (x, y) ? 1 : 0;
    EXPECT_GT (differ, 5);

    // Its own text replaces the letter.
    g.getButton (0).setText ("50");
    EXPECT_EQ (g.getButton (0).getDisplayText(), "50");
}

TEST (MvRadioButtons, BuiltInColoursBySelectedThenHovered)
{
    Group g;
    fill (g, 2, 30.0f, 20.0f, 0.0f);
    g.setBounds (g.getContentSize());
    auto& b = g.getButton (1);
    b.setButtonColour (Group::RadioButton::fillNormal, 0xFF101010);
    b.setButtonColour (Group::RadioButton::fillSelected, 0xFF00FF00);
    b.setButtonColour (Group::RadioButton::fillHovered, 0xFF0000FF);
    b.setText (" ");

    g.setValue (0.0f);
    EXPECT_EQ (render (b).getPixelAt (2, 2), juce::Colour (0xFF101010));
    b.mouseEnter (mouseAt (b, 2, 2));
    EXPECT_EQ (render (b).getPixelAt (2, 2), juce::Colour (0xFF0000FF));
    g.setValue (1.0f);
    EXPECT_EQ (render (b).getPixelAt (2, 2), juce::Colour (0xFF00FF00)); // selected wins over hovered
    b.mouseExit (mouseAt (b, 200, 2));
    EXPECT_EQ (render (b).getPixelAt (2, 2), juce::Colour (0xFF00FF00));

    // Default colours are transparent.
    auto& a = g.getButton (0);
    EXPECT_EQ (countPixelsNot (render (a), a.getLocalBounds(), juce::Colours::transparentBlack, 0), 0);
}
