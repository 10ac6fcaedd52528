#pragma once

#include "VinolaAudioProcessorEditor.h"

/** The plug-in's window for a host reached through JUCE's LV2 wrapper. That wrapper tells the
    host the size of the editor it holds in the editor's own coordinates, so a change of the
    global desktop scale never reaches the host's frame: the frame would keep the unzoomed size
    and crop or scramble the panel.

    This editor holds the plug-in's window, which shows its zoom by a transform on itself (it
    keeps its design size in its own coordinates), and takes the zoomed size: the size of the
    design times the factor, worked out afresh at every change. The wrapper reports that size
    through the host's resize feature when the window opens and whenever the zoom changes. */
class VinolaScaledEditorFrame : public juce::AudioProcessorEditor
{
public:
    explicit VinolaScaledEditorFrame (VinolaAudioProcessor&);
    ~VinolaScaledEditorFrame() override;

    void paint (juce::Graphics&) override;
    /** The window's zoom has changed its transform: take the zoomed size. */
    void childBoundsChanged (juce::Component* child) override;

    VinolaAudioProcessorEditor& getContent() noexcept { return content; }

private:
    void takeZoomedSize();
    void publishNaturalSize();

    VinolaAudioProcessorEditor content;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VinolaScaledEditorFrame)
};
