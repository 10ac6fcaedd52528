// The editor's zoom set-up: the stored size marked in the list and applied when the window opens,
// and the zoom's place in the window.
#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>

#include "MvControlTestSupport.h"
#include "FolderSandbox.h"
#include "VinolaAudioProcessor.h"
#include "VinolaAudioProcessorEditor.h"

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
