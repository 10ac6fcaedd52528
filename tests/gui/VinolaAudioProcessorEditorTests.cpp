// The plug-in window on a real processor, headless: layout and binding, value texts, host
// gestures, the timer's refresh, ducking dot and record, the generator lever, teardown, and the
// window with and without the asset archive.
#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>

#include "MvControlTestSupport.h"
#include "FolderSandbox.h"
#include "VinolaAudioProcessor.h"
#include "VinolaAudioProcessorEditor.h"
#include "VinolaParameterTable.h"

#include <climits>
#include <memory>
#include <string>
#include <vector>

namespace
{
    /** Everything a host hears from the processor, in order. */
    struct HostLog : public juce::AudioProcessorListener
    {
        void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float v) override
        {
            calls.push_back ("value " + std::to_string (index));
            lastValue = v;
        }
        void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
        void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index) override
        {
            calls.push_back ("begin " + std::to_string (index));
        }
        void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index) override
        {
            calls.push_back ("end " + std::to_string (index));
        }

        int count (const std::string& call) const { return (int) std::count (calls.begin(), calls.end(), call); }

        std::vector<std::string> calls;
        float lastValue = -1.0f;
    };

    /** A processor and its window. The archive is whatever the common folder holds: none in
        the test run's sandbox, unless a test installs one in a FolderSandbox. */
    struct Window
    {
        Window() : editor (dynamic_cast<VinolaAudioProcessorEditor*> (processor.createEditor()))
        {
            processor.addListener (&log);
        }

        ~Window()
        {
            processor.removeListener (&log);
            close();
        }

        void close()
        {
            if (editor != nullptr)
            {
                processor.editorBeingDeleted (editor.get());
                editor.reset();
            }
        }

        float value (int index) { return processor.getParameters()[index]->getValue(); }

        VinolaAudioProcessor processor;
        HostLog log;
        std::unique_ptr<VinolaAudioProcessorEditor> editor;
    };
}

TEST (EditorValueText, ParameterTextsAndDecibelEdges)
{
    Window w;
    ASSERT_NE (w.editor, nullptr);

    struct Row { int index; float value; const char* text; };
    const int decibels = -1; // the row's value goes straight to formatDecibelText
    const Row rows[] = {
        { VinolaParameterTable::ampNoise, 0.05f, "-26.0 dB" },
        { VinolaParameterTable::ampNoise, 0.5f, "-6.02 dB" },
        { VinolaParameterTable::ampNoise, 0.8f, "-1.94 dB" },
        { VinolaParameterTable::ampNoise, 1.0f, "0.00 dB" },
        { VinolaParameterTable::ampNoise, 0.000012f, "-98.4 dB" },
        { VinolaParameterTable::ampNoise, 0.00001f, "-inf dB" },
        { VinolaParameterTable::ampNoise, 0.0f, "-inf dB" },
        { VinolaParameterTable::hum, 0.5f, "-6.02 dB" },
        { VinolaParameterTable::inputGain, 0.0f, "-48.0 dB" },
        { VinolaParameterTable::inputGain, 0.5f, "-12.0 dB" },
        { VinolaParameterTable::inputGain, 0.75f, "6.00 dB" },
        { VinolaParameterTable::inputGain, 0.76f, "7 dB" },
        { VinolaParameterTable::inputGain, 1.0f, "24 dB" },
        { VinolaParameterTable::outputGain, 0.0f, "-48.0 dB" },
        { VinolaParameterTable::mix, 1.0f, "100%" },
        { VinolaParameterTable::mix, 0.999f, "99%" },
        { VinolaParameterTable::mix, 0.5f, "50%" },
        { VinolaParameterTable::mix, 0.0999f, "10.0%" },
        { VinolaParameterTable::mix, 0.05f, "5.0%" },
        { VinolaParameterTable::mix, 0.005f, "0.50%" },
        { VinolaParameterTable::mix, 0.0f, "0.00%" },
        { VinolaParameterTable::humFreqSw, 1.0f, "100%" },
        { decibels, -99.99f, "-100.0 dB" },
        { decibels, -100.0f, "-inf dB" },
        { decibels, -10.0f, "-10.0 dB" },
        { decibels, -9.999f, "-10.00 dB" },
        { decibels, 6.0f, "6.00 dB" },
        { decibels, 6.4f, "6 dB" },
        { decibels, 6.5f, "7 dB" },
        { decibels, 1.0e30f, "1000000015047466219876688855040 dB" }, // far beyond int: still text
    };

    for (const auto& row : rows)
    {
        juce::String text;
        if (row.index == decibels)
            text = formatDecibelText (row.value);
        else
        {
            w.processor.getParameters()[row.index]->setValueNotifyingHost (row.value);
            text = w.editor->getParameterValueText (row.index);
        }
        EXPECT_EQ (text, row.text) << "index " << row.index << " value " << row.value;
    }

    // No other index reaches outside the parameter list.
    for (int index : { -1, 14, 1000, INT_MIN })
    {
        EXPECT_EQ (w.editor->getParameterValueText (index), "");
        EXPECT_EQ (w.editor->getParameterValue (index), 0.0f);
        EXPECT_EQ (w.editor->getParameterDefaultValue (index), 0.0f);
        w.editor->parameterValueChanged (nullptr, index, 0.5f);
        w.editor->parameterDragStarted (nullptr, index);
        w.editor->parameterDragEnded (nullptr, index);
    }
    const auto writes = std::count_if (std::begin (rows), std::end (rows), [] (const Row& r) { return r.index >= 0; });
    EXPECT_EQ ((long) w.log.calls.size(), (long) writes) << "only the table's own writes reached the host";
}

TEST (EditorLayout, SixteenControlsAtTheirPlacesBoundToTheirParameters)
{
    Window w;
    auto& e = *w.editor;
    EXPECT_EQ (e.getWidth(), 748);
    EXPECT_EQ (e.getHeight(), 350);

    struct Row { juce::Rectangle<int> bounds; int index; };
    // In construction order: top knobs, sliders, cable, bottom knobs (y 250), 50/60 Hz switch.
    const Row rows[] = {
        { { 27, 17, 64, 64 }, 8 }, { { 104, 17, 64, 64 }, 7 }, { { 181, 17, 64, 64 }, 5 }, { { 258, 17, 64, 64 }, 12 },
        { { 27, 104, 64, 128 }, 1 }, { { 104, 104, 64, 128 }, 2 }, { { 181, 104, 64, 128 }, 4 }, { { 258, 104, 64, 128 }, 3 },
        { { 341, 250, 25, 53 }, 9 },
        { { 27, 250, 64, 64 }, 13 }, { { 104, 250, 64, 64 }, 0 }, { { 181, 250, 64, 64 }, 10 }, { { 258, 250, 64, 64 }, 11 },
        { { 311, 196, 77, 39 }, 6 },
    };

    const auto controls = e.getParameterControls();
    ASSERT_EQ (controls.size(), (int) std::size (rows));

    for (int i = 0; i < controls.size(); ++i)
    {
        auto* c = controls[i];
        EXPECT_EQ (c->getParentComponent(), &e) << "control " << i;
        EXPECT_TRUE (c->isVisible()) << "control " << i;
        EXPECT_EQ (c->getBounds(), rows[i].bounds) << "control " << i;
        EXPECT_EQ (c->getParameterIndex(), rows[i].index) << "control " << i;
        EXPECT_EQ (c->getDelegate(), static_cast<MvParameterDelegate*> (&e)) << "control " << i;
        EXPECT_EQ (c->getValue(), w.value (rows[i].index)) << "control " << i << " shows its parameter";
    }

    EXPECT_EQ (e.getRecordSpinner().getBounds(), juce::Rectangle<int> (482, 119, 108, 108));
    EXPECT_EQ (e.getGeneratorSelector().getBounds(), juce::Rectangle<int> (648, 246, 92, 104));
    EXPECT_EQ (e.getGeneratorSelector().getDelegate(), static_cast<GeneratorSelector::Delegate*> (&e));
    EXPECT_EQ (e.getHumFrequencySwitch().getNumButtons(), 2);

    // The cached background was rendered at twice the window's size by the first layout.
    EXPECT_EQ (e.getBackground().renderedImage.getWidth(), 1496);
    EXPECT_EQ (e.getBackground().renderedImage.getHeight(), 700);
}

TEST (EditorLayout, HumSwitchShowsTheStoredFrequencyWhenTheWindowOpens)
{
    // 50 Hz is the parameter's value 0, which is also the switch's own starting value: the
    // window must still light button 0.
    for (float stored : { 0.0f, 1.0f })
    {
        VinolaAudioProcessor processor;
        processor.getParameters()[VinolaParameterTable::humFreqSw]->setValueNotifyingHost (stored);
        std::unique_ptr<VinolaAudioProcessorEditor> editor (dynamic_cast<VinolaAudioProcessorEditor*> (processor.createEditor()));
        EXPECT_EQ (editor->getHumFrequencySwitch().getSelectedIndex(), stored == 0.0f ? 0 : 1) << stored;
        processor.editorBeingDeleted (editor.get());
    }
}

TEST (EditorGestures, EveryUserEditIsOneHostGesture)
{
    Window w;
    auto& knob = w.editor->getInputGainKnob();
    const float before = w.value (0);

    mvtest::dragVertically (knob, 32.0f, 32.0f, { 28.0f, 20.0f, 12.0f });
    EXPECT_GT (w.value (0), before);
    EXPECT_EQ (knob.getValue(), w.value (0));
    ASSERT_GE (w.log.calls.size(), 3u);
    EXPECT_EQ (w.log.calls.front(), "begin 0");
    EXPECT_EQ (w.log.calls.back(), "end 0");
    EXPECT_EQ (w.log.count ("begin 0"), 1);
    EXPECT_EQ (w.log.count ("end 0"), 1);
    EXPECT_EQ (w.log.count ("value 0"), 3);

    // While dragging, the value tooltip sits above the knob and names the value.
    EXPECT_EQ (w.editor->getValueTooltip().text, w.editor->getParameterValueText (0));
    EXPECT_FALSE (w.editor->getValueTooltip().showing);

    // A double-click reset: begin, the default, end.
    w.log.calls.clear();
    knob.mouseDoubleClick (mvtest::mouseAt (knob, 32.0f, 32.0f));
    EXPECT_EQ (w.log.calls, (std::vector<std::string> { "begin 0", "value 0", "end 0" }));
    EXPECT_EQ (w.value (0), w.processor.getParameters()[0]->getDefaultValue());

    // Selecting 60 Hz: begin, the value, end.
    w.log.calls.clear();
    w.editor->getHumFrequencySwitch().setSelectedIndex (1);
    EXPECT_EQ (w.log.calls, (std::vector<std::string> { "begin 6", "value 6", "end 6" }));
    EXPECT_EQ (w.value (6), 1.0f);

    // A wheel step changes the parameter and the tooltip's text, but leaves it hidden.
    w.log.calls.clear();
    auto& tooltip = w.editor->getValueTooltip();
    tooltip.text = "stale";
    knob.mouseWheelMove (mvtest::mouseAt (knob, 32.0f, 32.0f), mvtest::wheel (1.0f));
    EXPECT_EQ (w.log.calls, (std::vector<std::string> { "value 0" }));
    EXPECT_EQ (tooltip.text, w.editor->getParameterValueText (0));
    EXPECT_FALSE (tooltip.showing);

    // An end with no begin (a control disabled mid-drag) is not passed on to the host, and
    // a stray second start joins the open gesture.
    w.log.calls.clear();
    w.editor->parameterDragEnded (&knob, 0);
    EXPECT_TRUE (w.log.calls.empty());
    for (auto call : { 1, 1, 0, 0, 0 })
        call == 1 ? w.editor->parameterDragStarted (&knob, 0) : w.editor->parameterDragEnded (&knob, 0);
    EXPECT_EQ (w.log.calls, (std::vector<std::string> { "begin 0", "end 0" }));
}

TEST (EditorGestures, ClosingTheWindowMidDragEndsTheGesture)
{
    Window w;
    auto& knob = w.editor->getInputGainKnob();
    knob.mouseDown (mvtest::mouseAt (knob, 32.0f, 32.0f, mvtest::leftButton()));
    knob.mouseDrag (mvtest::mouseAt (knob, 32.0f, 20.0f, mvtest::leftButton(), 32.0f, 32.0f));
    w.close();
    EXPECT_EQ (w.log.count ("begin 0"), 1);
    EXPECT_EQ (w.log.count ("end 0"), 1);
}

TEST (EditorGestures, TooltipSizeAndPlaceForEveryControl)
{
    Window w;
    auto& tooltip = w.editor->getValueTooltip();

    for (auto* c : w.editor->getParameterControls())
    {
        const int index = c->getParameterIndex();
        const bool decibels = index <= 4 || index == 10;
        const bool topRow = index == 5 || index == 7 || index == 8 || index == 12;

        w.editor->parameterDragStarted (c, index);
        EXPECT_TRUE (tooltip.showing);
        EXPECT_EQ (tooltip.getParentComponent(), w.editor.get());
        EXPECT_EQ (tooltip.getWidth(), decibels ? 40 : 30) << index;
        EXPECT_EQ (tooltip.getHeight(), 14) << index;
        EXPECT_EQ (tooltip.getBottom(), c->getY() - (topRow ? -2 : 5)) << index;
        EXPECT_NEAR ((float) tooltip.getBounds().getCentreX(), (float) c->getBounds().getCentreX(), 1.0f) << index;
        EXPECT_EQ (tooltip.text, w.editor->getParameterValueText (index));
        w.editor->parameterDragEnded (c, index);
        EXPECT_FALSE (tooltip.showing);
    }
}

TEST (EditorTimer, ControlsFollowTheHostAfterOneTick)
{
    Window w;
    auto& knob = w.editor->getInputGainKnob();
    w.processor.getParameters()[0]->setValueNotifyingHost (0.125f);
    w.processor.getParameters()[6]->setValueNotifyingHost (1.0f);
    EXPECT_NE (knob.getValue(), 0.125f);

    w.log.calls.clear();
    w.editor->timerCallback();
    EXPECT_EQ (knob.getValue(), 0.125f);
    EXPECT_EQ (w.editor->getHumFrequencySwitch().getSelectedIndex(), 1);
    EXPECT_TRUE (w.log.calls.empty()) << "the refresh never echoes back to the host";

    // A control without a parameter is never refreshed.
    MvImageKnob unbound;
    unbound.setDelegate (w.editor.get());
    unbound.setValue (0.3f);
    w.editor->addChildComponent (unbound);
    w.editor->timerCallback();
    EXPECT_EQ (unbound.getValue(), 0.3f);
    w.editor->removeChildComponent (&unbound);
}

TEST (EditorTimer, DuckingDotFollowsTheMeterAndClearsIt)
{
    Window w;
    auto& dot = w.editor->getDuckingKnob();
    EXPECT_FLOAT_EQ (dot.getDotRadius(), 5.0f);

    const float expected[] = { 1.5f, 2.1f, 2.7f, 3.3f, 3.9f, 4.5f, 5.0f, 5.0f };
    for (size_t tick = 0; tick < std::size (expected); ++tick)
    {
        w.processor.dsp.duckingMeterLevel.store (tick == 0 ? 1.0f : 0.0f);
        w.editor->timerCallback();
        EXPECT_NEAR (dot.getDotRadius(), expected[tick], 1.0e-5f) << "tick " << tick;
        EXPECT_EQ (w.processor.dsp.duckingMeterLevel.load(), 0.0f) << "tick " << tick;
    }
}

TEST (EditorTimer, RecordTurnsWhileTheGeneratorsRun)
{
    struct Row { int mode; bool running; bool turns; };
    const Row rows[] = {
        { 0, false, true }, { 0, true, true },
        { 1, false, false }, { 1, true, true },
        { 2, false, false }, { 2, true, true },   // the engine's own flag decides
        { 7, false, false }, { 7, true, true },
    };

    for (const auto& row : rows)
    {
        Window w;
        w.processor.generatorMode.store (row.mode);
        w.processor.generatorsRunning.store (row.running);
        auto& record = w.editor->getRecordSpinner();
        const float before = record.getAngle();

        for (int i = 0; i < 10; ++i)
            w.editor->timerCallback();

        EXPECT_NEAR (record.getAngle(), before + (row.turns ? 0.5f : 0.0f), 1.0e-5f)
            << "mode " << row.mode << " running " << row.running;
    }

}

TEST (EditorLever, PlacedFromTheStoredModeAsTheEngineReadsIt)
{
    // With openedAt, the window opens at that mode and a state with the row's mode is restored
    // (held: while the user holds the lever), then the timer ticks once.
    struct Row { int mode; int position; juce::Point<int> handle; int openedAt = -1; bool held = false; };
    const Row rows[] = {
        { 0, 2, { 44, 8 } }, { 1, 1, { 31, 28 } }, { 2, 0, { 15, 48 } },
        // Any other stored number follows the host in the engine, so the lever shows that.
        { 3, 1, { 31, 28 } }, { -1, 1, { 31, 28 } }, { INT_MIN, 1, { 31, 28 } }, { INT_MAX, 1, { 31, 28 } },
        { 2, 0, { 15, 48 }, 0 }, { 2, 2, { 44, 8 }, 0, true },
    };

    for (const auto& row : rows)
    {
        VinolaAudioProcessor processor;
        processor.generatorMode.store (row.openedAt >= 0 ? row.openedAt : row.mode);
        std::unique_ptr<VinolaAudioProcessorEditor> editor (dynamic_cast<VinolaAudioProcessorEditor*> (processor.createEditor()));
        auto& lever = editor->getGeneratorSelector();
        if (row.openedAt >= 0)
        {
            if (row.held)
                lever.dragStarted (0.0f, 0.0f);
            VinolaAudioProcessor saved;
            saved.generatorMode.store (row.mode);
            juce::MemoryBlock state;
            saved.getStateInformation (state);
            processor.setStateInformation (state.getData(), (int) state.getSize());
            editor->timerCallback();
        }
        EXPECT_EQ (lever.getPosition(), row.position) << row.mode;
        EXPECT_EQ (lever.getHandle().getPosition(), row.handle) << row.mode;
        if (row.held)
            lever.dragEnded();
        EXPECT_EQ (processor.generatorMode.load(), row.held ? 2 - row.position : row.mode) << "the stored mode is kept as it is, or the user's choice";
        processor.editorBeingDeleted (editor.get());
    }
}

TEST (EditorLever, DraggingTheLeverWritesTheMode)
{
    Window w;
    auto& lever = w.editor->getGeneratorSelector();
    ASSERT_EQ (lever.getPosition(), 1);

    struct Row { float dx, dy; int mode; };
    // From where the previous row left the lever: up by 50 pixels is the whole travel.
    const Row rows[] = {
        { 0.0f, -100.0f, 0 },   // far beyond the top: always on
        { 0.0f, 0.0f, 0 },      // a press without movement reports the same mode again
        { 0.0f, 12.5f, 1 },     // travel 0.75: follow host
        { 0.0f, 200.0f, 2 },    // far beyond the bottom: always off
    };

    for (const auto& row : rows)
    {
        w.processor.generatorMode.store (-5);
        lever.dragStarted (0.0f, 0.0f);
        lever.dragMoved (row.dx, row.dy);
        lever.dragEnded();
        EXPECT_EQ (w.processor.generatorMode.load(), row.mode) << row.dx << ", " << row.dy;
        EXPECT_EQ (lever.getPosition(), 2 - row.mode);
    }
}

TEST (EditorArchive, WithTheArchiveEveryPictureLoadsAndTheLabelCarriesTheVersion)
{
    FolderSandbox sandbox ("vinola-archive");
    ASSERT_TRUE (sandbox.installArchive (juce::File (VINOLA_ASSET_ARCHIVE)));
    Window w;
    auto& e = *w.editor;

    EXPECT_TRUE (e.getInputGainKnob().getKnobImage().isValid());
    EXPECT_TRUE (e.getDuckingKnob().getKnobImage().isValid());
    EXPECT_TRUE (e.getDuckingKnob().image.isValid()) << "the top-row plate";
    EXPECT_TRUE (e.getGeneratorSelector().getHandleImage().isValid());
    EXPECT_TRUE (e.getHumFrequencySwitch().getButton (1).getOnImage().isValid());
    EXPECT_NE (e.getInputGainKnob().captionFont.getTypefaceName(), juce::Font().getTypefaceName());
    EXPECT_FLOAT_EQ (e.getInputGainKnob().captionFontHeight, 19.0f);
    EXPECT_FLOAT_EQ (e.getValueTooltip().font.getHeight(), 10.0f);

    // The stamp changes the label inside its box and nowhere else.
    MvAssetManager assets ("Vinola", "appdata/Assets.mva");
    juce::uint32 size = 0;
    const void* bytes = assets.getAsset ("vinola_recordlabel_noversion.png", size);
    ASSERT_NE (bytes, nullptr);
    const auto plain = juce::ImageFileFormat::loadFrom (bytes, size);
    const auto& stamped = e.getRecordSpinner().getLabelImage();
    ASSERT_EQ (plain.getBounds(), stamped.getBounds());
    const juce::Rectangle<int> box (150, 95, 50, 25);
    int inside = 0, outside = 0;
    for (int y = 0; y < plain.getHeight(); ++y)
        for (int x = 0; x < plain.getWidth(); ++x)
            if (plain.getPixelAt (x, y) != stamped.getPixelAt (x, y))
                ++(box.contains (x, y) ? inside : outside);
    EXPECT_GT (inside, 20);
    EXPECT_EQ (outside, 0);

    const auto shot = e.createComponentSnapshot (e.getLocalBounds());
    EXPECT_FALSE (mvtest::near (shot.getPixelAt (400, 10), juce::Colour (0xFF7F7F7F), 0)) << "the panel art shows";
}

TEST (EditorArchive, WithoutTheArchiveTheWindowStillWorks)
{
    // The test run's machine-wide folder holds no archive; the layout and gesture tests above
    // already run on such a window. Here: no pictures, and it still paints.
    Window w;
    auto& e = *w.editor;
    EXPECT_FALSE (e.getInputGainKnob().getKnobImage().isValid());
    EXPECT_FALSE (e.getRecordSpinner().getLabelImage().isValid());

    // The plain grey fill with the controls' own built-in looks on top.
    const auto shot = e.createComponentSnapshot (e.getLocalBounds());
    EXPECT_TRUE (mvtest::near (shot.getPixelAt (450, 5), juce::Colour (0xFF7F7F7F)));
    EXPECT_GT (mvtest::countPixelsNot (shot, e.getInputGainKnob().getBounds(), juce::Colour (0xFF7F7F7F)), 100);
}
