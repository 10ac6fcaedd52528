#include "GeneratorSelector.h"
#include "MvControlTestSupport.h"
#include "VinolaWidgetTestSupport.h"

#include <climits>

namespace
{
    // Stands in for the editor: the tooltip host, recording the modes the lever reports.
    struct Window : public juce::Component, public MvTooltipParent, public GeneratorSelector::Delegate
    {
        void generatorModeChanged (int mode) override { modes.push_back (mode); }
        std::vector<int> modes;
    };

    class GeneratorSelectorTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            lever.getHandle().setDelegate (&lever);
            lever.addAndMakeVisible (lever.getHandle());
            window.setSize (748, 350);
            window.addAndMakeVisible (lever);
            lever.setBounds (648, 246, 92, 104);
        }

        // An event on the handle at a fixed screen point, wherever the handle has moved to.
        juce::MouseEvent onScreen (juce::Point<int> screen)
        {
            const auto at = lever.getHandle().getLocalPoint (nullptr, screen).toFloat();
            return mvtest::mouseAt (lever.getHandle(), at.x, at.y, mvtest::leftButton());
        }

        Window window;
        GeneratorSelector lever;
    };
}

TEST_F (GeneratorSelectorTest, DragMovesAlongThePathAndReleaseSnapsToAStop)
{
    struct Case { const char* what; int start; std::vector<juce::Point<int>> moves; float travel; const char* tip; int stop; };
    // Moves are screen offsets from the press; one pixel up adds 0.02, one to the right 0.01.
    const Case cases[] = {
        { "10 up from off", 0, { { 0, -4 }, { 0, -10 } }, 0.2f, "Always off", 0 },
        { "exactly 0.25", 0, { { 25, 0 } }, 0.25f, "Follow Host", 1 },
        { "exactly 0.75", 2, { { -25, 0 } }, 0.75f, "Follow Host", 1 },
        { "diagonal adds both", 0, { { 10, -10 } }, 0.3f, "Follow Host", 1 },
        { "just above 0.75", 0, { { 0, -30 }, { 0, -38 } }, 0.76f, "Always on", 2 },
        { "pinned at 1, back at once", 0, { { 0, -300 }, { 0, -305 }, { 0, -300 } }, 0.9f, "Always on", 2 },
        { "pinned at 0, back at once", 2, { { 0, 300 }, { 0, 305 }, { 0, 300 } }, 0.1f, "Always off", 0 },
        { "press and release in place", 1, {}, 0.5f, "Follow Host", 1 },
    };

    lever.setDelegate (&window);

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        lever.setPosition (c.start);
        window.modes.clear();
        const auto press = lever.getHandle().localPointToGlobal (juce::Point<int> (29, 28));
        lever.getHandle().mouseDown (onScreen (press));
        for (auto m : c.moves)
            lever.getHandle().mouseDrag (onScreen (press + m));

        EXPECT_NEAR (lever.getTravelValue(), c.travel, 1.0e-6f);
        EXPECT_EQ (lever.getPosition(), c.start);
        EXPECT_EQ (lever.getTooltip().text, juce::String (c.tip));
        const auto p = GeneratorSelector::pathPoint (lever.getTravelValue());
        EXPECT_EQ (lever.getHandle().getPosition(), juce::Point<int> ((int) p.x, (int) p.y));

        lever.getHandle().mouseUp (onScreen (press));
        EXPECT_EQ (lever.getPosition(), c.stop);
        EXPECT_FLOAT_EQ (lever.getTravelValue(), 0.5f * (float) c.stop);
        EXPECT_EQ (window.modes, std::vector<int> { 2 - c.stop });
        EXPECT_FALSE (lever.getTooltip().showing);
    }

    // Hosted by the window, centred over the lever, its bottom 10 pixels above the lever's top.
    EXPECT_EQ (lever.getTooltip().getParentComponent(), &window);
    EXPECT_EQ (lever.getTooltip().getBounds(), juce::Rectangle<int> (661, 221, 65, 15));
}

TEST_F (GeneratorSelectorTest, PlacingTellsNobodyAndOddPositionsGoToTheNearestStop)
{
    const std::pair<int, juce::Point<int>> cases[] = {
        { 2, { 44, 8 } }, { 1, { 31, 28 } }, { 0, { 15, 48 } }, { 3, { 44, 8 } },
        { -1, { 15, 48 } }, { INT_MAX, { 44, 8 } }, { INT_MIN, { 15, 48 } },
    };
    lever.setDelegate (&window);

    for (auto [requested, handleAt] : cases)
    {
        lever.setPosition (requested);
        EXPECT_EQ (lever.getHandle().getBounds(), juce::Rectangle<int> (handleAt.x, handleAt.y, 58, 56)) << requested;
    }
    EXPECT_TRUE (window.modes.empty());

    // Released with no owner: it still snaps. A grab area with no delegate ignores a drag.
    lever.setDelegate (nullptr);
    lever.dragStarted (0, 0);
    lever.dragMoved (0, -40);
    lever.dragEnded();
    EXPECT_EQ (lever.getPosition(), 2);
    DraggableItem loose;
    mvtest::dragVertically (loose, 10.0f, 10.0f, { 5.0f, 0.0f });
}

TEST_F (GeneratorSelectorTest, HandlePictureSitsOnItsBoxAtEveryStop)
{
    lever.setBackgroundImage (widgettest::archiveImage ("vinola_generatoricons_and_track.png"));
    lever.setHandleImage (widgettest::archiveImage ("vinola_btn_generators_handle.png"));
    ASSERT_TRUE (lever.getHandleImage().isValid());
    GeneratorSelector bare;   // the same lever without a handle picture
    bare.setBackgroundImage (lever.getBackgroundImage());
    bare.setBounds (lever.getBounds());

    juce::Image sheet (juce::Image::ARGB, 3 * 92, 104, true);
    for (int stop = 0; stop < 3; ++stop)
    {
        lever.setPosition (stop);
        bare.setPosition (stop);
        const auto withHandle = mvtest::render (lever), without = mvtest::render (bare);
        juce::Graphics (sheet).drawImageAt (withHandle, 92 * stop, 0);

        const auto p = GeneratorSelector::pathPoint (0.5f * (float) stop);
        const auto drawn = widgettest::differenceBounds (withHandle, without).toFloat();
        EXPECT_NEAR (drawn.getCentreX(), p.x + 29.0f, 3.0f) << stop;
        EXPECT_NEAR (drawn.getCentreY(), p.y + 28.0f, 3.0f) << stop;
    }
    widgettest::writePng (sheet, "generator-lever-stops");

    GeneratorSelector empty;
    empty.setBounds (0, 0, 92, 104);
    EXPECT_TRUE (widgettest::differenceBounds (mvtest::render (empty)).isEmpty());
}
