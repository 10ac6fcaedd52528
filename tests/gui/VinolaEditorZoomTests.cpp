// The editor's zoom set-up: the stored size marked in the list and applied when the window opens,
// and the zoom's place in the window.
#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>

#include "MvControlTestSupport.h"
#include "MvReducedImageCache.h"
#include "VinolaWidgetTestSupport.h"
#include "FolderSandbox.h"
#include "VinolaAudioProcessor.h"
#include "VinolaAudioProcessorEditor.h"
#include "VinolaScaledEditorFrame.h"

#include <X11/Xlib.h>

namespace
{
    // Both application-support folders in a fresh folder, the built archive installed in the
    // machine-wide one; the global scale is put back to 1 afterwards.
    class EditorZoom : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            ASSERT_TRUE (sandbox.installArchive (juce::File (VINOLA_ASSET_ARCHIVE)));
        }

        void TearDown() override
        {
            MvWindowZoom::applyToEveryWindow (1.0f);
            juce::Desktop::getInstance().setGlobalScaleFactor (1.0f);
        }

        FolderSandbox sandbox { "editor-zoom" };
    };

    std::unique_ptr<VinolaAudioProcessorEditor> openEditor (VinolaAudioProcessor& processor)
    {
        return std::unique_ptr<VinolaAudioProcessorEditor> (dynamic_cast<VinolaAudioProcessorEditor*> (processor.createEditor()));
    }

    void closeEditor (VinolaAudioProcessor& processor, std::unique_ptr<VinolaAudioProcessorEditor>& editor)
    {
        processor.editorBeingDeleted (editor.get());
        editor.reset();
    }

    int selectedItem (MvList& list)
    {
        for (int i = 0; i < list.getNumItems(); ++i)
            if (list.getItem (i)->selected)
                return i;
        return -1;
    }

    // The user's way: the zoom button opens the list, a click on an item chooses it.
    void choose (VinolaAudioProcessorEditor& editor, int item)
    {
        auto& zoom = editor.getWindowZoom();
        zoom.button.mouseDown (mvtest::mouseAt (zoom.button, 9, 9, mvtest::leftButton()));
        zoom.button.mouseUp (mvtest::mouseAt (zoom.button, 9, 9, mvtest::leftButton()));
        ASSERT_TRUE (zoom.list.isShowing() || zoom.list.getParentComponent() == &editor);
        auto& row = *zoom.list.getItem (item);
        row.mouseDown (mvtest::mouseAt (row, 10, 10, mvtest::leftButton()));
        row.mouseUp (mvtest::mouseAt (row, 10, 10, mvtest::leftButton()));
    }

    // Each zoom step's window size, worked out from 748 x 350 and the factor alone (halves to
    // the even neighbour, as JUCE rounds what it reports to a host).
    struct ZoomStep { int percent, width, height; };
    constexpr ZoomStep zoomSteps[] = {
        { 75, 561, 262 }, { 100, 748, 350 }, { 125, 935, 438 }, { 150, 1122, 525 }, { 175, 1309, 612 }, { 200, 1496, 700 },
    };

    /** A window's size on the X server, once it has settled there (a few seconds at most). */
    juce::Point<int> settledPhysicalSize (juce::Component& window, juce::Point<int> expected)
    {
        juce::Point<int> size;
        for (int i = 0; i < 100; ++i)
        {
            juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
            XWindowAttributes a {};
            if (auto* display = XOpenDisplay (nullptr))
            {
                XGetWindowAttributes (display, (::Window) (juce::pointer_sized_uint) window.getPeer()->getNativeHandle(), &a);
                XCloseDisplay (display);
            }
            size = { a.width, a.height };
            if (size == expected)
                break;
        }
        return size;
    }
}

TEST_F (EditorZoom, StoredSizeIsMarkedAndAppliedOnlyWhenItDiffers)
{
    // The scale before the window opens stays untouched when nothing different is stored.
    constexpr float untouched = 1.3f;

    struct Case { const char* stored; int item; float scale; };
    const Case cases[] = {
        { "150", 3, 1.5f }, { "110", 1, 1.1f }, { "74.6", 0, 0.746f }, { "200", 5, 2.0f },
        { "300", 1, 3.0f }, { "20", 1, 0.2f }, { "100", 1, untouched }, { nullptr, 1, untouched },
        { "301", 1, untouched }, { "19.9", 1, untouched }, { "zoom", 1, untouched }, { "", 1, untouched },
    };

    for (const auto& c : cases)
    {
        const std::string name = c.stored != nullptr ? c.stored : "none";
        MvWindowZoom::applyToEveryWindow (1.0f);   // a fresh binary's factor, whatever the scale
        juce::Desktop::getInstance().setGlobalScaleFactor (untouched);
        VinolaAudioProcessor processor;
        if (c.stored != nullptr)
            processor.getGlobalSettings().settingsFile->setValue ("Zoom", c.stored);

        auto editor = openEditor (processor);
        ASSERT_NE (editor, nullptr);
        EXPECT_EQ (selectedItem (editor->getWindowZoom().list), c.item) << name;
        EXPECT_FLOAT_EQ (juce::Desktop::getInstance().getGlobalScaleFactor(), c.scale) << name;
        EXPECT_EQ (editor->getWidth(), 748) << name;
        EXPECT_EQ (editor->getHeight(), 350) << name;
        closeEditor (processor, editor);
        processor.getGlobalSettings().settingsFile->removeValue ("Zoom");
    }
}

TEST_F (EditorZoom, ButtonOnTopInTheCornerAndAChoiceReachesTheNextWindow)
{
    VinolaAudioProcessor processor;
    auto editor = openEditor (processor);
    ASSERT_NE (editor, nullptr);
    auto& zoom = editor->getWindowZoom();

    EXPECT_EQ (editor->getChildComponent (editor->getNumChildComponents() - 1), &zoom.button);
    EXPECT_EQ (zoom.button.getBounds(), juce::Rectangle<int> (5, 5, 18, 18));
    EXPECT_EQ (zoom.list.getBounds(), juce::Rectangle<int> (-10, 5, 130, 2 * 10 + 6 * 26));
    EXPECT_EQ (zoom.list.getParentComponent(), nullptr);

    // The button opens the list over the whole window; "175%" is stored and applied.
    zoom.button.mouseDown (mvtest::mouseAt (zoom.button, 9, 9, mvtest::leftButton()));
    zoom.button.mouseUp (mvtest::mouseAt (zoom.button, 9, 9, mvtest::leftButton()));
    ASSERT_EQ (zoom.list.getParentComponent(), editor.get());
    EXPECT_EQ (zoom.list.plate.getBounds(), editor->getLocalBounds());
    auto& item = *zoom.list.getItem (4);
    item.mouseDown (mvtest::mouseAt (item, 10, 10, mvtest::leftButton()));
    item.mouseUp (mvtest::mouseAt (item, 10, 10, mvtest::leftButton()));
    EXPECT_FLOAT_EQ (juce::Desktop::getInstance().getGlobalScaleFactor(), 1.75f);
    closeEditor (processor, editor);

    // A window of another instance reads the saved file and marks the same size.
    VinolaAudioProcessor other;
    auto next = openEditor (other);
    EXPECT_EQ (selectedItem (next->getWindowZoom().list), 4);

    // Closed with its list open: the list and its plate leave the window with it.
    next->getWindowZoom().list.show();
    ASSERT_EQ (next->getWindowZoom().list.getParentComponent(), next.get());
    closeEditor (other, next);
}

// An instance that read the settings file before another stored a choice: its window opens at
// the size stored now, and leaves the other window where the user put it.
TEST_F (EditorZoom, AWindowOpensAtTheSizeStoredSinceItsInstanceWasMade)
{
    {
        VinolaAudioProcessor earlier;
        earlier.getGlobalSettings().settingsFile->setValue ("Zoom", "125");
        earlier.getGlobalSettings().settingsFile->save();
    }
    VinolaAudioProcessor idle;   // reads "125"
    VinolaAudioProcessor chooser;
    auto chosen = openEditor (chooser);
    choose (*chosen, 3);
    ASSERT_FLOAT_EQ (juce::Desktop::getInstance().getGlobalScaleFactor(), 1.5f);

    auto opened = openEditor (idle);
    EXPECT_EQ (selectedItem (opened->getWindowZoom().list), 3);
    EXPECT_FLOAT_EQ (juce::Desktop::getInstance().getGlobalScaleFactor(), 1.5f);
    EXPECT_EQ (selectedItem (chosen->getWindowZoom().list), 3);
    closeEditor (idle, opened);
    closeEditor (chooser, chosen);
}

// Two plug-in instances with their windows open at once: a choice in either resizes both, on
// the screen, with the editors keeping their design size in their own coordinates.
TEST_F (EditorZoom, AChoiceResizesEveryOpenWindow)
{
    if (juce::Desktop::getInstance().getDisplays().displays.isEmpty())
        GTEST_SKIP() << "needs a display";

    VinolaAudioProcessor first, second;
    auto a = openEditor (first);
    auto b = openEditor (second);
    int x = 0;
    for (auto* editor : { a.get(), b.get() })
    {
        editor->setTopLeftPosition (x, 0);
        editor->addToDesktop (0);
        editor->setVisible (true);
        x += 600;
    }

    // From each window in turn, through a size with half pixels.
    struct Step { VinolaAudioProcessorEditor* from; int item; juce::Point<int> size; };
    for (const auto& step : { Step { a.get(), 3, { 1122, 525 } }, Step { b.get(), 4, { 1309, 612 } },
                              Step { a.get(), 3, { 1122, 525 } }, Step { b.get(), 1, { 748, 350 } } })
    {
        choose (*step.from, step.item);
        for (auto* editor : { a.get(), b.get() })
        {
            const auto size = settledPhysicalSize (*editor, step.size);
            // Where the window ends in half a pixel, the display may round either way.
            EXPECT_NEAR (size.x, step.size.x, step.item == 4 ? 1 : 0) << "item " << step.item;
            EXPECT_NEAR (size.y, step.size.y, step.item == 4 ? 1 : 0) << "item " << step.item;
            EXPECT_EQ (editor->getLocalBounds(), juce::Rectangle<int> (748, 350)) << "item " << step.item;
            EXPECT_EQ (selectedItem (editor->getWindowZoom().list), step.item);
        }
    }

    closeEditor (first, a);
    closeEditor (second, b);
}

// 150 % chosen while another instance's window is open, then 100 % stored by another writer: no
// instance's delayed save brings 150 % back, and the next window opens at 100 % over the 150 % in
// force, with the chooser's window, if open, following; shown the VST3's and the LV2's way.
TEST_F (EditorZoom, ASizeStoredByAnotherWriterHoldsInTheFileAndEveryWindow)
{
    using Window = std::unique_ptr<juce::AudioProcessorEditor>;
    const auto close = [] (Window& w) { if (w != nullptr) w->processor.editorBeingDeleted (w.get()); w.reset(); };
    for (const bool lv2 : { false, true })
        for (const bool chooserStaysOpen : { true, false })
        {
            SCOPED_TRACE (juce::String (lv2 ? "LV2" : "VST3") + (chooserStaysOpen ? ", chooser open" : ", chooser closed"));
            const auto open = [lv2] (VinolaAudioProcessor& p) { return lv2 ? Window (new VinolaScaledEditorFrame (p)) : Window (p.createEditor()); };
            const auto content = [lv2] (juce::AudioProcessorEditor* w) -> VinolaAudioProcessorEditor&
                { return lv2 ? static_cast<VinolaScaledEditorFrame*> (w)->getContent() : *static_cast<VinolaAudioProcessorEditor*> (w); };
            VinolaAudioProcessor chooser, other;
            auto chosen = open (chooser), bystander = open (other);
            choose (content (chosen.get()), 3);
            close (bystander);
            if (! chooserStaysOpen)
                close (chosen);

            juce::PropertiesFile writer (chooser.getGlobalSettings().settingsFile->getFile(), vinolaSettingsFileOptions());
            writer.setValue ("Zoom", "100");
            ASSERT_TRUE (writer.save());
            for (auto* p : { &chooser, &other })   // each one's delayed save comes due
                p->getGlobalSettings().settingsFile->saveIfNeeded();
            EXPECT_TRUE (writer.reload() && writer.getValue ("Zoom") == "100") << writer.getValue ("Zoom");

            auto next = open (other);
            for (auto* w : { next.get(), chosen.get() })
                if (w != nullptr)
                {
                    EXPECT_EQ (selectedItem (content (w).getWindowZoom().list), 1);
                    const auto global = juce::Desktop::getInstance().getGlobalScaleFactor();
                    const auto shown = lv2 ? w->getBounds().getBottomRight() : MvWindowZoom::scaledSize ({ 748, 350 }, global);
                    EXPECT_EQ (shown, juce::Point<int> (748, 350)) << shown.toString();
                }
            close (next);
            close (chosen);
            MvWindowZoom::applyToEveryWindow (1.0f);
        }
}

// The window as the LV2 wrapper gets it: held in a frame that takes the zoomed size itself.
TEST_F (EditorZoom, UnderTheLv2WrapperAFrameTakesTheZoomedSizeAndDrawsTheZoomedWindow)
{
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_LV2);
    VinolaAudioProcessor processor;
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Undefined);
    processor.getGlobalSettings().settingsFile->setValue ("Zoom", "150");

    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditor());
    auto* frame = dynamic_cast<VinolaScaledEditorFrame*> (editor.get());
    ASSERT_NE (frame, nullptr);
    EXPECT_EQ (frame->getBounds(), juce::Rectangle<int> (1122, 525));
    EXPECT_EQ (frame->getContent().getLocalBounds(), juce::Rectangle<int> (748, 350));
    // The wrapper would not pass the global scale on: it is left alone.
    EXPECT_FLOAT_EQ (juce::Desktop::getInstance().getGlobalScaleFactor(), 1.0f);

    // The user sees what the globally scaled window shows.
    const auto framed = frame->createComponentSnapshot (frame->getLocalBounds());
    const auto scaled = frame->getContent().createComponentSnapshot (frame->getContent().getLocalBounds(), true, 1.5f);
    ASSERT_EQ (scaled.getBounds(), framed.getBounds());
    int differing = 0;
    for (int y = 0; y < framed.getHeight(); ++y)
        for (int x = 0; x < framed.getWidth(); ++x)
            differing += mvtest::near (framed.getPixelAt (x, y), scaled.getPixelAt (x, y), 8) ? 0 : 1;
    EXPECT_LT (differing, framed.getWidth() * framed.getHeight() / 200);

    processor.editorBeingDeleted (editor.get());
    editor.reset();
}

// Every size comes from the design and the factor, whichever size came before, in every open
// frame; a frame opened later shows the factor in force.
TEST_F (EditorZoom, FramesTakeTheExactSizeOfEveryStepTogether)
{
    VinolaAudioProcessor first, second, later;
    VinolaScaledEditorFrame a (first), b (second);

    int n = 0;
    for (const int item : { 0, 3, 2, 5, 4, 1, 4, 3, 0, 2, 3 })
    {
        const auto& step = zoomSteps[item];
        choose ((n++ % 2 == 0 ? a : b).getContent(), item);
        for (auto* frame : { &a, &b })
        {
            EXPECT_EQ (frame->getBounds(), juce::Rectangle<int> (step.width, step.height)) << step.percent << " %, choice " << n;
            EXPECT_EQ (frame->getContent().getLocalBounds(), juce::Rectangle<int> (748, 350));
            EXPECT_FLOAT_EQ (frame->getContent().getTransform().mat00, (float) step.percent * 0.01f);
            EXPECT_EQ (selectedItem (frame->getContent().getWindowZoom().list), item);
        }
        EXPECT_FLOAT_EQ (juce::Desktop::getInstance().getGlobalScaleFactor(), 1.0f);
    }

    VinolaScaledEditorFrame c (later);
    EXPECT_EQ (c.getBounds(), juce::Rectangle<int> (1122, 525));
}

// At 75 % a screen pixel covers 8/3 pixels of the twice-size art each way: drawn straight,
// bilinear sampling skips some and thin strokes (the I of AMP QUALITY) vanish. The caption rows
// under the top knobs must show the twice-size window averaged over each screen pixel.
TEST_F (EditorZoom, AtThreeQuartersThinStrokesShowAsInTheTwiceSizeWindow)
{
    VinolaAudioProcessor processor;
    auto editor = openEditor (processor);
    choose (*editor, 0);
    const auto twice = editor->createComponentSnapshot (editor->getLocalBounds(), true, 2.0f);
    juce::Image shown (juce::Image::RGB, 561, 263, true);
    for (int paint = 0; paint < 2; ++paint, MvReducedImageCache::makePendingCopies())   // the first asks for copies
    {
        juce::Graphics g (shown);
        g.addTransform (juce::AffineTransform::scale (0.75f));
        editor->paintEntireComponent (g, true);
    }
    widgettest::writePng (shown, "editor-at-75");

    double difference = 0.0;   // each channel of each pixel from the mean of the 8 x 8 pixels of the twice-size window tripled
    for (int i = 0; i < 11 * 235 * 3; ++i)
    {
        const int x = 15 + i / 3 % 235, y = 61 + i / (3 * 235), c = i % 3;
        const auto channel = [c] (juce::Colour p) { return (float) (c == 0 ? p.getRed() : c == 1 ? p.getGreen() : p.getBlue()); };
        float mean = 0.0f;
        for (int d = 0; d < 64; ++d)
            mean += channel (twice.getPixelAt ((8 * x + d % 8) / 3, (8 * y + d / 8) / 3)) / 64.0f;
        difference += std::abs (channel (shown.getPixelAt (x, y)) - mean) / (255.0 * 11 * 235 * 3);
    }
    EXPECT_LT (difference, 0.005);   // 0.02 where the art is sampled straight
    closeEditor (processor, editor);
}
