// Tests of MvButton, MvPopupView and MvPlateView.

#include "MvControlTestSupport.h"
#include "MvButton.h"
#include "MvPopupView.h"

using namespace mvtest;

namespace
{
    struct ButtonLog : public MvButton::Delegate
    {
        void buttonClicked (MvButton*) override { calls.push_back ("delegate"); }
        std::vector<std::string> calls;
    };

    struct PopupLog : public MvPopupView::Delegate
    {
        void popupViewDismissed (MvPopupView*) override { ++dismissals; }
        int dismissals = 0;
    };

    // A 40 x 40 plate: four quarters in their own colours, a grey centre pixel at (20, 20).
    juce::Image quarteredPlate (int w = 40, int h = 40)
    {
        auto image = solid (w, h, juce::Colours::black);
        juce::Graphics g (image);
        g.setColour (juce::Colours::red);    g.fillRect (0, 0, w / 2, h / 2);
        g.setColour (juce::Colours::green);  g.fillRect (w / 2, 0, w - w / 2, h / 2);
        g.setColour (juce::Colours::blue);   g.fillRect (0, h / 2, w / 2, h - h / 2);
        g.setColour (juce::Colours::yellow); g.fillRect (w / 2, h / 2, w - w / 2, h - h / 2);
        image.setPixelAt (w / 2, h / 2, juce::Colour (0xff808080));
        return image;
    }
}

TEST (MvButton, ReleaseInsideIncludingTheFarEdgesClicks)
{
    struct Case { float x, y; bool clicks; };
    const Case cases[] = {
        { 10, 5, true }, { 0, 0, true }, { 20, 10, true }, { 20, 0, true }, { 0, 10, true },
        { 21, 5, false }, { 10, 11, false }, { -1, 5, false }, { 10, -1, false }, { 60, 40, false },
    };

    for (const auto& c : cases)
    {
        MvButton button;
        button.setBounds (0, 0, 20, 10);
        int clicks = 0;
        button.onClick = [&] (juce::Component* which) { EXPECT_EQ (which, &button); ++clicks; };

        clickAt (button, c.x, c.y);
        EXPECT_EQ (clicks, c.clicks ? 1 : 0) << c.x << ", " << c.y;
        EXPECT_FALSE (button.isPressed());   // back to the normal look either way
    }
}

TEST (MvButton, DelegateHearsOfTheClickBeforeTheCallback)
{
    MvButton button;
    button.setBounds (0, 0, 20, 20);
    ButtonLog log;
    button.delegate = &log;
    button.onClick = [&] (juce::Component*) { log.calls.push_back ("callback"); };

    clickAt (button, 5, 5);
    EXPECT_EQ (log.calls, (std::vector<std::string> { "delegate", "callback" }));
}

TEST (MvButton, IgnoresTheMouseWhenNotClickableOrDisabled)
{
    juce::Component parent;
    MvButton button;
    parent.addAndMakeVisible (button);
    button.setBounds (0, 0, 20, 20);
    int clicks = 0;
    button.onClick = [&] (juce::Component*) { ++clicks; };

    button.clickable = false;
    clickAt (button, 5, 5);
    EXPECT_EQ (clicks, 0);

    button.clickable = true;
    parent.setEnabled (false);
    clickAt (button, 5, 5);
    EXPECT_EQ (clicks, 0);

    // Disabled while pressed: the release is ignored and the button stays pressed.
    parent.setEnabled (true);
    button.mouseDown (mouseAt (button, 5, 5, leftButton()));
    parent.setEnabled (false);
    button.mouseUp (mouseAt (button, 5, 5, leftButton()));
    EXPECT_TRUE (button.isPressed());
    EXPECT_EQ (clicks, 0);
}

TEST (MvButton, LookFollowsStateAndImages)
{
    const auto white = juce::Colours::white, blue = juce::Colours::blue, red = juce::Colours::red;

    struct Case { const char* name; bool clickable, pressed, pressedImage, disabledImage; juce::Colour colour; int alpha; };
    const Case cases[] = {
        { "normal",                       true,  false, false, false, white, 255 },
        { "pressed without its image",    true,  true,  false, false, white, 204 },
        { "pressed with its image",       true,  true,  true,  false, blue,  255 },
        { "not clickable, no image",      false, false, false, false, white, 77 },
        { "not clickable with its image", false, false, false, true,  red,   255 },
    };

    for (const auto& c : cases)
    {
        MvButton button;
        button.setBounds (0, 0, 20, 20);
        button.setNormalImage (solid (4, 4, white), 10.0f, 10.0f);
        if (c.pressedImage)  button.setPressedImage (solid (4, 4, blue));
        if (c.disabledImage) button.setDisabledImage (solid (4, 4, red));
        if (c.pressed)       button.mouseDown (mouseAt (button, 5, 5, leftButton()));
        button.clickable = c.clickable;

        const auto image = render (button);
        const auto centre = image.getPixelAt (10, 10);
        EXPECT_TRUE (near (centre.withAlpha ((juce::uint8) 255), c.colour)) << c.name;
        EXPECT_NEAR (centre.getAlpha(), c.alpha, 3) << c.name;
        EXPECT_EQ (image.getPixelAt (2, 2).getAlpha(), 0) << c.name;   // drawn 10 x 10, centred
    }
}

TEST (MvPopupView, PlateClickOutsideDismissesClickInsideDoesNot)
{
    juce::Component host;
    host.setBounds (0, 0, 200, 100);
    host.setVisible (true);
    MvPopupView popup;
    PopupLog log;
    popup.delegate = &log;
    popup.showPlate = true;
    popup.plate.delegate = &popup;
    popup.setBounds (20, 20, 50, 30);

    popup.show();   // no host yet: nothing happens
    EXPECT_EQ (popup.getParentComponent(), nullptr);
    popup.host = &host;
    popup.show();
    popup.show();   // again: stays where it is, on top of its plate
    ASSERT_EQ (host.getNumChildComponents(), 2);
    EXPECT_EQ (host.getChildComponent (0), &popup.plate);
    EXPECT_EQ (host.getChildComponent (1), &popup);
    EXPECT_EQ (popup.plate.getBounds(), host.getLocalBounds());

    // Inside the popup the mouse finds the popup, which does nothing with a press.
    auto* inside = host.getComponentAt (30, 30);
    ASSERT_EQ (inside, &popup);
    clickAt (*inside, 10, 10, 10, 10);
    EXPECT_EQ (popup.getParentComponent(), &host);
    EXPECT_EQ (log.dismissals, 0);

    auto* outside = host.getComponentAt (150, 80);
    ASSERT_EQ (outside, &popup.plate);
    clickAt (*outside, 130, 60, 130, 60);
    EXPECT_EQ (popup.getParentComponent(), nullptr);
    EXPECT_EQ (popup.plate.getParentComponent(), nullptr);
    EXPECT_EQ (log.dismissals, 1);

    // Dismissing a closed popup tells nobody.
    popup.dismiss();
    EXPECT_EQ (log.dismissals, 1);
}

TEST (MvPopupView, NineSliceCutOfEvenAndOddPlates)
{
    MvPopupView popup;
    popup.setPlateImage (quarteredPlate());
    EXPECT_TRUE (popup.usePlateImage);
    EXPECT_EQ (popup.cornerSize, juce::Point<float> (10.0f, 10.0f));
    EXPECT_EQ (popup.backgroundColour, juce::Colour (0xff808080));

    // Each piece's first pixel, in source coordinates: corners are the quarters; the top and
    // bottom edges are columns 19 and 20; the left edge is rows 18 and 19, the right 19 and 20.
    struct Piece { MvPopupView::Slice slice; int w, h; juce::Colour firstPixel; };
    const Piece pieces[] = {
        { MvPopupView::topLeft, 20, 20, juce::Colours::red },     { MvPopupView::topRight, 20, 20, juce::Colours::green },
        { MvPopupView::bottomLeft, 20, 20, juce::Colours::blue }, { MvPopupView::bottomRight, 20, 20, juce::Colour (0xff808080) },
        { MvPopupView::topEdge, 2, 20, juce::Colours::red },      { MvPopupView::bottomEdge, 2, 20, juce::Colours::blue },
        { MvPopupView::leftEdge, 20, 2, juce::Colours::red },     { MvPopupView::rightEdge, 20, 2, juce::Colours::green },
    };
    for (const auto& p : pieces)
    {
        const auto& image = popup.sliceImages[(size_t) p.slice];
        EXPECT_EQ (image.getWidth(), p.w) << p.slice;
        EXPECT_EQ (image.getHeight(), p.h) << p.slice;
        EXPECT_EQ (image.getPixelAt (0, 0), p.firstPixel) << p.slice;
    }
    EXPECT_EQ (popup.sliceImages[MvPopupView::topEdge].getPixelAt (1, 0), juce::Colours::green);
    EXPECT_EQ (popup.sliceImages[MvPopupView::leftEdge].getPixelAt (0, 1), juce::Colours::red);
    // The right edge takes rows 19 and 20: its second row is the centre row.
    EXPECT_EQ (popup.sliceImages[MvPopupView::rightEdge].getPixelAt (0, 1), juce::Colour (0xff808080));

    // 41 pixels wide: the right pieces start at column 20 and the last column is never used.
    auto odd = quarteredPlate (41, 40);
    for (int y = 0; y < 40; ++y)
        odd.setPixelAt (40, y, juce::Colours::white);
    popup.setPlateImage (odd);
    EXPECT_EQ (popup.cornerSize.x, 10.0f);
    const auto& topRight = popup.sliceImages[MvPopupView::topRight];
    EXPECT_EQ (topRight.getWidth(), 20);
    EXPECT_EQ (countPixels (topRight, topRight.getBounds(), juce::Colours::white), 0);
}

TEST (MvPopupView, FaceIsTheFramedPlateOrOneFlatColour)
{
    MvPopupView popup;
    popup.setBounds (0, 0, 60, 50);
    popup.background.fillColour = 0;
    popup.background.delegate = &popup;
    popup.setPlateImage (quarteredPlate());
    popup.resized();

    auto face = render (popup);
    EXPECT_TRUE (near (face.getPixelAt (2, 2), juce::Colours::red));
    EXPECT_TRUE (near (face.getPixelAt (57, 2), juce::Colours::green));
    EXPECT_TRUE (near (face.getPixelAt (2, 47), juce::Colours::blue));
    EXPECT_TRUE (near (face.getPixelAt (57, 47), juce::Colours::yellow));
    EXPECT_TRUE (near (face.getPixelAt (30, 25), juce::Colour (0xff808080))) << face.getPixelAt (30, 25).toString();
    // The top edge's two columns stretched along the side: red half, green half.
    EXPECT_TRUE (near (face.getPixelAt (13, 2), juce::Colours::red, 20));
    EXPECT_TRUE (near (face.getPixelAt (47, 2), juce::Colours::green, 20));

    // Without the plate-image flag the slices are ignored.
    popup.usePlateImage = false;
    popup.backgroundColour = juce::Colour (0xff202020);
    popup.resized();
    face = render (popup);
    EXPECT_EQ (countPixelsNot (face, face.getBounds(), juce::Colour (0xff202020)), 0);
}
