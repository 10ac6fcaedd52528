// Costs of the plug-in window on the message thread: building it (with the installed asset
// archive), painting it whole, and one timer tick with the repaints it causes, at 1x and 2x.
//
// A tick's repaints are painted the way a window does it: the whole tree painted into an image
// of the window's size at the scale, clipped to the areas the tick invalidated (the ducking knob
// every tick, the record while it turns, and any control whose parameter moved). Each figure is
// the median of many runs.
//
// Usage: VinolaEditorBench [runs]

#include "MvPlatform.h"
#include "VinolaAudioProcessor.h"
#include "VinolaAudioProcessorEditor.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

namespace
{
    double medianMilliseconds (int runs, const std::function<void()>& body)
    {
        std::vector<double> times;
        times.reserve ((size_t) runs);

        for (int i = 0; i < runs; ++i)
        {
            const auto start = juce::Time::getHighResolutionTicks();
            body();
            times.push_back (1000.0 * juce::Time::highResolutionTicksToSeconds (juce::Time::getHighResolutionTicks() - start));
        }

        std::sort (times.begin(), times.end());
        return times[times.size() / 2];
    }

    std::unique_ptr<VinolaAudioProcessorEditor> openEditor (VinolaAudioProcessor& processor)
    {
        return std::unique_ptr<VinolaAudioProcessorEditor> (dynamic_cast<VinolaAudioProcessorEditor*> (processor.createEditor()));
    }

    void closeEditor (VinolaAudioProcessor& processor, std::unique_ptr<VinolaAudioProcessorEditor>& editor)
    {
        processor.editorBeingDeleted (editor.get());
        editor.reset();
    }

    /** Paints the window (or the clipped part of it) into a window-sized image at the scale. */
    void paintAt (VinolaAudioProcessorEditor& editor, juce::Image& target, float scale, const juce::RectangleList<int>* clip)
    {
        juce::Graphics g (target);
        g.addTransform (juce::AffineTransform::scale (scale));

        if (clip != nullptr)
            g.reduceClipRegion (*clip);

        editor.paintEntireComponent (g, true);
    }
}

int main (int argc, char** argv)
{
    const int runs = argc > 1 ? std::max (3, std::atoi (argv[1])) : 200;

    juce::ScopedJuceInitialiser_GUI juceInit;

    // The settings file goes to a throw-away folder; the archive is the installed one.
    const auto sandbox = juce::File::createTempFile ("vinola-editor-bench");
    sandbox.createDirectory();
    MvPlatform::setFolderOverridesForTests (sandbox.getChildFile ("user"), {});

    {
        VinolaAudioProcessor processor;
        processor.generatorMode.store (0);   // the record turns every tick

        const bool hasArchive = MvPlatform::commonApplicationSupportFolder()
                                    .getChildFile ("Marvolund/Vinola/appdata/Assets.mva").existsAsFile();
        std::printf ("VinolaAudioProcessorEditor, median of %d runs%s\n", runs,
                     hasArchive ? "" : " (no installed asset archive: the window is drawn without pictures)");

        std::unique_ptr<VinolaAudioProcessorEditor> editor;
        const double construct = medianMilliseconds (std::max (3, runs / 10), [&]
        {
            if (editor != nullptr)
                closeEditor (processor, editor);
            editor = openEditor (processor);
        });
        std::printf ("  construction                          %8.3f ms\n", construct);

        for (float scale : { 1.0f, 2.0f })
        {
            juce::Image target (juce::Image::ARGB, juce::roundToInt (748.0f * scale), juce::roundToInt (350.0f * scale),
                                true, juce::SoftwareImageType());

            const double fullPaint = medianMilliseconds (runs, [&] { paintAt (*editor, target, scale, nullptr); });

            // What a tick invalidates: the ducking knob always, the record while it turns; a
            // parameter nudged by the "host" every tick adds one knob as well.
            juce::RectangleList<int> dirty;
            dirty.add (editor->getDuckingKnob().getBounds());
            dirty.add (editor->getRecordSpinner().getBounds());
            juce::RectangleList<int> dirtyWithKnob (dirty);
            dirtyWithKnob.add (editor->getInputGainKnob().getBounds());

            auto* inputGain = processor.getParameters()[0];
            int tickCount = 0;

            const double tickOnly = medianMilliseconds (runs, [&]
            {
                processor.dsp.duckingMeterLevel.store ((tickCount++ % 20) == 0 ? 1.0f : 0.0f);
                editor->timerCallback();
            });
            const double tick = medianMilliseconds (runs, [&]
            {
                processor.dsp.duckingMeterLevel.store ((tickCount++ % 20) == 0 ? 1.0f : 0.0f);
                editor->timerCallback();
                paintAt (*editor, target, scale, &dirty);
            });
            const double tickWithAutomation = medianMilliseconds (runs, [&]
            {
                inputGain->setValueNotifyingHost ((float) (tickCount++ % 100) * 0.01f);
                editor->timerCallback();
                paintAt (*editor, target, scale, &dirtyWithKnob);
            });

            std::printf ("  %.0fx  full paint                        %8.3f ms\n", scale, fullPaint);
            std::printf ("  %.0fx  timer tick, work alone            %8.3f ms\n", scale, tickOnly);
            std::printf ("  %.0fx  timer tick with its repaints      %8.3f ms\n", scale, tick);
            std::printf ("  %.0fx  ... and one automated knob        %8.3f ms\n", scale, tickWithAutomation);
        }

        closeEditor (processor, editor);
    }

    sandbox.deleteRecursively();
    return 0;
}
