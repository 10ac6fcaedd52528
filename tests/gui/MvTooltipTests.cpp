// Tests of MvTooltip and MvTooltipParent.

#include "MvControlTestSupport.h"
#include "MvTooltip.h"
#include "MvTooltipParent.h"

using namespace mvtest;

namespace
{
    struct Host : public juce::Component, public MvTooltipParent {};

    // A host 400 x 300 with a 64 x 64 target at (100, 80).
    struct Scene
    {
        Scene()
        {
            host.setBounds (0, 0, 400, 300);
            target.setBounds (100, 80, 64, 64);
            host.addAndMakeVisible (target);
        }

        ~Scene()
        {
            if (auto* p = tooltip.getParentComponent())
                p->removeChildComponent (&tooltip);
        }

        void tick (int n)
        {
            for (int i = 0; i < n; ++i)
                tooltip.timerCallback();
        }

        Host host;
        juce::Component target;
        MvTooltip tooltip;
    };

    // Bounding box of the pixels darker than the threshold.
    juce::Rectangle<int> darkArea (const juce::Image& image, float threshold = 0.4f)
    {
        int x0 = image.getWidth(), y0 = image.getHeight(), x1 = -1, y1 = -1;

        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
                if (image.getPixelAt (x, y).getBrightness() < threshold)
                {
                    x0 = std::min (x0, x); y0 = std::min (y0, y);
                    x1 = std::max (x1, x); y1 = std::max (y1, y);
                }

        return x1 < 0 ? juce::Rectangle<int>() : juce::Rectangle<int> (x0, y0, x1 - x0 + 1, y1 - y0 + 1);
    }

    juce::Image paintDirectly (MvTooltip& t, juce::Colour background)
    {
        auto image = solid (t.getWidth(), t.getHeight(), background);
        juce::Graphics g (image);
        t.paint (g);
        return image;
    }
}

TEST (MvTooltip, NeverShownItIsInvisibleWithoutTimerAndTakesNoClicks)
{
    MvTooltip t;
    EXPECT_FALSE (t.isVisible());
    EXPECT_EQ (t.getAlpha(), 0.0f);
    EXPECT_FALSE (t.isTimerRunning());
    EXPECT_FALSE (t.showing);
    EXPECT_EQ (t.opacity, 0.0f);
    EXPECT_EQ (t.fadeStep, 0.1f);
    EXPECT_EQ (t.borderWidth, 0.5f);
    EXPECT_EQ (t.cornerRadius, 2.0f);
    EXPECT_EQ (t.justification, 36);
    EXPECT_EQ (t.textColour, juce::Colour (0xa0000000));
    EXPECT_EQ (t.fillColour, juce::Colour (0xd0ffffe0));
    EXPECT_EQ (t.borderColour, juce::Colour (0xa0000000));
    EXPECT_TRUE (t.text.isEmpty());

    bool clicks = true, childClicks = true;
    t.getInterceptsMouseClicks (clicks, childClicks);
    EXPECT_FALSE (clicks);
    EXPECT_FALSE (childClicks);
}

TEST (MvTooltip, ShowingAttachesItOnTopOfTheHostAndClearsTheText)
{
    Scene s;
    juce::Component other;
    s.host.addAndMakeVisible (other);
    s.tooltip.text = "old";
    s.tooltip.showForComponent (&s.target, 40, 14, 0, 36, 6.0f, 0.0f, 0.0f);

    EXPECT_EQ (s.tooltip.getParentComponent(), &s.host);
    EXPECT_EQ (s.host.getChildComponent (s.host.getNumChildComponents() - 1), &s.tooltip);
    EXPECT_TRUE (s.tooltip.isVisible());
    EXPECT_TRUE (s.tooltip.showing);
    EXPECT_TRUE (s.tooltip.text.isEmpty());
    EXPECT_TRUE (s.tooltip.isTimerRunning());
    EXPECT_EQ (s.tooltip.getTimerInterval(), 16);
    EXPECT_EQ (s.tooltip.getAlpha(), 0.0f); // fades in on the ticks
    s.host.removeChildComponent (&other);
}

TEST (MvTooltip, PositionZeroIsCentredAboveTheTarget)
{
    Scene s;
    s.tooltip.showForComponent (&s.target, 40, 14, 0, 36, 6.0f, 0.0f, 0.0f);
    // Centre (132, 112): x = 132 - 20, y = 112 - 32 - 6 - 14.
    EXPECT_EQ (s.tooltip.getBounds(), juce::Rectangle<int> (112, 60, 40, 14));
}

TEST (MvTooltip, AllNinePositionsWithGapAndOffsets)
{
    Scene s;
    // Target (100, 80, 64, 64), offsets (2, -4): centre (134, 108); hw = hh = 32; W 30, H 10, gap 5.
    const juce::Point<int> expected[] = {
        { 119, 61 },   // 0 above
        { 171, 103 },  // 1 right
        { 119, 145 },  // 2 below
        { 67, 103 },   // 3 left
        { 67, 61 },    // 4 above left
        { 171, 61 },   // 5 above right
        { 67, 145 },   // 6 below left
        { 171, 145 },  // 7 below right
        { 119, 103 },  // 8: any other position is centred on the target
        { 119, 103 },  // 9
    };

    for (int p = 0; p <= 9; ++p)
    {
        s.tooltip.showForComponent (&s.target, 30, 10, p, 36, 5.0f, 2.0f, -4.0f);
        EXPECT_EQ (s.tooltip.getPosition(), expected[p]) << "position " << p;
        EXPECT_EQ (s.tooltip.getWidth(), 30);
        EXPECT_EQ (s.tooltip.getHeight(), 10);
    }
}

TEST (MvTooltip, PlacementIsTruncatedTowardZero)
{
    Host host;
    host.setSize (100, 100);
    juce::Component target;
    target.setBounds (0, 1, 5, 5); // centre (2.5, 3.5)
    host.addAndMakeVisible (target);
    MvTooltip t;
    t.showForComponent (&target, 10, 9, 0, 36, 0.0f, 0.0f, 0.0f);
    // x = 2.5 - 5 = -2.5 -> -2; y = 3.5 - 2.5 - 0 - 9 = -8.
    EXPECT_EQ (t.getPosition(), juce::Point<int> (-2, -8));
    host.removeChildComponent (&t);
}

TEST (MvTooltip, HostIsTheNearestTooltipParentAboveTheTarget)
{
    Host editor;
    editor.setSize (748, 350);
    juce::Component panel;
    panel.setBounds (200, 100, 300, 200);
    editor.addAndMakeVisible (panel);
    Host lever; // a tooltip host itself, like the generator lever
    lever.setBounds (10, 20, 60, 80);
    panel.addAndMakeVisible (lever);

    MvTooltip t;
    t.showForComponent (&lever, 65, 15, 0, 36, 10.0f, 0.0f, 0.0f);
    // The search starts at the lever's parent: the host is the editor, the lever at (210, 120).
    EXPECT_EQ (t.getParentComponent(), &editor);
    EXPECT_EQ (t.getBounds(), juce::Rectangle<int> (207, 95, 65, 15)); // x = 240 - 32.5 truncated
    EXPECT_EQ (t.getWidth(), 65);

    // A control inside the lever is hosted by the lever.
    juce::Component knob;
    knob.setBounds (5, 5, 20, 20);
    lever.addAndMakeVisible (knob);
    t.showForComponent (&knob, 10, 10, 9, 36, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ (t.getParentComponent(), &lever);
    EXPECT_EQ (t.getBounds(), juce::Rectangle<int> (10, 10, 10, 10));
    EXPECT_EQ (editor.getIndexOfChildComponent (&t), -1); // removed from the old host

    lever.removeChildComponent (&t);
    lever.removeChildComponent (&knob);
}

TEST (MvTooltip, WithoutATooltipParentTheTopLevelComponentHosts)
{
    juce::Component top;
    top.setSize (300, 300);
    juce::Component middle;
    middle.setBounds (50, 60, 200, 200);
    top.addAndMakeVisible (middle);
    juce::Component target;
    target.setBounds (10, 10, 20, 20);
    middle.addAndMakeVisible (target);

    MvTooltip t;
    t.showForComponent (&target, 10, 10, 9, 36, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ (t.getParentComponent(), &top);
    EXPECT_EQ (t.getBounds(), juce::Rectangle<int> (65, 75, 10, 10));
    top.removeChildComponent (&t);
}

TEST (MvTooltip, NullTargetOnlyRestartsTheFadeInWhereItWas)
{
    Scene s;
    s.tooltip.showForComponent (&s.target, 40, 14, 0, 36, 6.0f, 0.0f, 0.0f);
    const auto bounds = s.tooltip.getBounds();
    s.tick (3);
    s.tooltip.hide();
    s.tooltip.text = "x";
    s.tooltip.showForComponent (nullptr, 10, 10, 2, 33, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ (s.tooltip.getBounds(), bounds);
    EXPECT_EQ (s.tooltip.getParentComponent(), &s.host);
    EXPECT_TRUE (s.tooltip.showing);
    EXPECT_TRUE (s.tooltip.text.isEmpty());
    EXPECT_EQ (s.tooltip.justification, 33);
    EXPECT_TRUE (s.tooltip.isTimerRunning());
}

TEST (MvTooltip, FullAtTenTicksStaysAtOneAndAHalfAndFadesOutAfterAHide)
{
    Scene s;
    s.tooltip.showForComponent (&s.target, 40, 14, 0, 36, 6.0f, 0.0f, 0.0f);

    s.tick (9);
    EXPECT_LT (s.tooltip.getAlpha(), 1.0f);
    EXPECT_GT (s.tooltip.getAlpha(), 0.85f);
    s.tick (1);
    EXPECT_EQ (s.tooltip.getAlpha(), 1.0f); // 10 ticks: 160 ms
    s.tick (5);
    EXPECT_FLOAT_EQ (s.tooltip.opacity, 1.5f);
    s.tick (20);
    EXPECT_EQ (s.tooltip.opacity, 1.5f); // capped, and the timer keeps running while shown
    EXPECT_TRUE (s.tooltip.isTimerRunning());
    EXPECT_EQ (s.tooltip.getAlpha(), 1.0f);

    s.tooltip.hide();
    s.tick (5);
    EXPECT_EQ (s.tooltip.getAlpha(), 1.0f); // fully opaque for 5 more ticks (80 ms)
    s.tick (1);
    EXPECT_LT (s.tooltip.getAlpha(), 1.0f);

    int ticks = 6;
    while (s.tooltip.isTimerRunning() && ticks < 40)
    {
        s.tick (1);
        ++ticks;
    }
    EXPECT_EQ (s.tooltip.opacity, 0.0f);
    EXPECT_EQ (s.tooltip.getAlpha(), 0.0f);
    EXPECT_FALSE (s.tooltip.isTimerRunning());
    EXPECT_GE (ticks, 15); // 5 opaque ticks, then 10 of fading out (one more if rounding leaves a crumb)
    EXPECT_LE (ticks, 16);
    EXPECT_EQ (s.tooltip.getParentComponent(), &s.host); // stays with its last host, transparent
}

TEST (MvTooltip, ShowingAndHidingBeforeTheFirstTickNeverShowsIt)
{
    Scene s;
    s.tooltip.showForComponent (&s.target, 40, 14, 0, 36, 6.0f, 0.0f, 0.0f);
    s.tooltip.hide();
    s.tick (1);
    EXPECT_EQ (s.tooltip.opacity, 0.0f);
    EXPECT_EQ (s.tooltip.getAlpha(), 0.0f);
    EXPECT_FALSE (s.tooltip.isTimerRunning());
}

TEST (MvTooltip, ShowingAgainWhileFadingOutClimbsFromWhereItIs)
{
    Scene s;
    s.tooltip.showForComponent (&s.target, 40, 14, 0, 36, 6.0f, 0.0f, 0.0f);
    s.tick (8);  // 0.8
    s.tooltip.hide();
    s.tick (3);  // 0.5
    EXPECT_NEAR (s.tooltip.opacity, 0.5f, 1e-5f);
    s.tooltip.showForComponent (&s.target, 40, 14, 0, 36, 6.0f, 0.0f, 0.0f);
    EXPECT_NEAR (s.tooltip.opacity, 0.5f, 1e-5f); // no jump
    s.tick (1);
    EXPECT_NEAR (s.tooltip.opacity, 0.6f, 1e-5f);
    EXPECT_NEAR (s.tooltip.getAlpha(), 0.6f, 1.0f / 255.0f);
}

TEST (MvTooltip, AlphaChangesOnlyWhenTheByteChanges)
{
    struct Counting : public MvTooltip
    {
        void alphaChanged() override { ++changes; MvTooltip::alphaChanged(); }
        int changes = 0;
    };

    Host host;
    host.setSize (100, 100);
    juce::Component target;
    target.setBounds (40, 40, 10, 10);
    host.addAndMakeVisible (target);
    Counting t;
    t.showForComponent (&target, 10, 10, 0, 36, 0.0f, 0.0f, 0.0f);
    for (int i = 0; i < 15; ++i)
        t.timerCallback();
    EXPECT_EQ (t.changes, 10); // alpha stops changing at 1.0
    host.removeChildComponent (&t);
}

TEST (MvTooltip, MouseClicksReachTheComponentsBelow)
{
    Scene s;
    s.host.setVisible (true);
    s.tooltip.showForComponent (&s.target, 40, 40, 9, 36, 0.0f, 0.0f, 0.0f);
    s.tick (12);
    const auto centre = s.tooltip.getBounds().getCentre();
    EXPECT_TRUE (s.tooltip.getBounds().contains (centre));
    EXPECT_EQ (s.host.getComponentAt (centre), &s.target);
    EXPECT_FALSE (s.tooltip.hitTest (5, 5));
}

TEST (MvTooltip, SquareBubbleHasAOnePixelOutline)
{
    MvTooltip t;
    t.setSize (40, 14);
    t.cornerRadius = 0.0f;
    t.borderWidth = 1.0f;
    t.fillColour = juce::Colour (0xFFD9D9C6);
    t.borderColour = juce::Colour (0xFF000000);
    const auto image = paintDirectly (t, juce::Colours::white);
    EXPECT_EQ (image.getPixelAt (0, 0), juce::Colours::black);
    EXPECT_EQ (image.getPixelAt (39, 13), juce::Colours::black);
    EXPECT_EQ (image.getPixelAt (20, 0), juce::Colours::black);
    EXPECT_EQ (image.getPixelAt (0, 7), juce::Colours::black);
    EXPECT_EQ (image.getPixelAt (1, 1), juce::Colour (0xFFD9D9C6));
    EXPECT_EQ (image.getPixelAt (20, 7), juce::Colour (0xFFD9D9C6));
    EXPECT_EQ (image.getPixelAt (38, 12), juce::Colour (0xFFD9D9C6));

    t.borderWidth = 4.0f; // not used by the square bubble
    EXPECT_EQ (paintDirectly (t, juce::Colours::white).getPixelAt (2, 7), juce::Colour (0xFFD9D9C6));
}

TEST (MvTooltip, RoundedBubbleHasABorderOfItsWidth)
{
    MvTooltip t;
    t.setSize (60, 30);
    t.cornerRadius = 6.0f;
    t.borderWidth = 3.0f;
    t.fillColour = juce::Colours::yellow;
    t.borderColour = juce::Colours::blue;
    const auto image = paintDirectly (t, juce::Colours::white);
    EXPECT_EQ (image.getPixelAt (0, 0), juce::Colours::white); // rounded corner
    EXPECT_EQ (image.getPixelAt (1, 15), juce::Colours::blue);
    EXPECT_EQ (image.getPixelAt (30, 1), juce::Colours::blue);
    EXPECT_EQ (image.getPixelAt (58, 15), juce::Colours::blue);
    EXPECT_EQ (image.getPixelAt (30, 28), juce::Colours::blue);
    EXPECT_EQ (image.getPixelAt (4, 15), juce::Colours::yellow);
    EXPECT_EQ (image.getPixelAt (30, 15), juce::Colours::yellow);
    EXPECT_EQ (image.getPixelAt (30, 3), juce::Colours::yellow);

    // The default bubble: translucent, thin border, corners 2.
    MvTooltip d;
    d.setSize (40, 14);
    const auto def = paintDirectly (d, juce::Colours::white);
    // The fill lies over the border colour, which shows through it.
    EXPECT_TRUE (near (def.getPixelAt (20, 7), juce::Colours::white.overlaidWith (juce::Colour (0xa0000000)).overlaidWith (juce::Colour (0xd0ffffe0)), 2));
}

TEST (MvTooltip, TextIsDrawnWithTheJustification)
{
    MvTooltip t;
    t.setSize (80, 16);
    t.cornerRadius = 0.0f;
    t.fillColour = juce::Colours::white;
    t.borderColour = juce::Colours::white;
    t.textColour = juce::Colours::black;
    t.font = juce::Font (12.0f);
    t.text = "-12.5 dB";

    const auto centred = darkArea (paintDirectly (t, juce::Colours::white));
    ASSERT_FALSE (centred.isEmpty());
    EXPECT_NEAR (centred.getCentreX(), 40, 3);
    EXPECT_NEAR (centred.getCentreY(), 8, 3);

    t.justification = juce::Justification::centredLeft;
    const auto left = darkArea (paintDirectly (t, juce::Colours::white));
    ASSERT_FALSE (left.isEmpty());
    EXPECT_LT (left.getX(), 8);
    EXPECT_GT (centred.getX(), 12);
    EXPECT_NEAR (left.getWidth(), centred.getWidth(), 1);

    // Too long: one line, cut with an ellipsis, inside the bubble.
    t.justification = 36;
    t.text = "a very long value text that cannot fit";
    const auto cut = darkArea (paintDirectly (t, juce::Colours::white));
    EXPECT_LE (cut.getRight(), 80);
    EXPECT_GE (cut.getY(), 0);
    EXPECT_LE (cut.getHeight(), 16);
}

TEST (MvTooltip, RealTimerFadesInAndOut)
{
    Scene s;
    s.tooltip.showForComponent (&s.target, 40, 14, 0, 36, 6.0f, 0.0f, 0.0f);
    const auto start = juce::Time::getMillisecondCounter();
    while (s.tooltip.getAlpha() < 1.0f && juce::Time::getMillisecondCounter() - start < 5000)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    EXPECT_EQ (s.tooltip.getAlpha(), 1.0f);
    EXPECT_GE (juce::Time::getMillisecondCounter() - start, 140u); // at least about 10 ticks

    s.tooltip.hide();
    const auto hiddenAt = juce::Time::getMillisecondCounter();
    while (s.tooltip.isTimerRunning() && juce::Time::getMillisecondCounter() - hiddenAt < 5000)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    EXPECT_FALSE (s.tooltip.isTimerRunning());
    EXPECT_EQ (s.tooltip.getAlpha(), 0.0f);
}
