#include "VinolaScaledEditorFrame.h"

VinolaScaledEditorFrame::VinolaScaledEditorFrame (VinolaAudioProcessor& p)
    : juce::AudioProcessorEditor (p),
      content (p, VinolaAudioProcessorEditor::ZoomScaling::ownTransform)
{
    setOpaque (true);
    addAndMakeVisible (content);
    takeZoomedSize();
}

VinolaScaledEditorFrame::~VinolaScaledEditorFrame() = default;

void VinolaScaledEditorFrame::paint (juce::Graphics& g)
{
    // Only the last row or column can show, where the zoomed design ends half a pixel short.
    g.fillAll (juce::Colour (0xff7f7f7f));
}

void VinolaScaledEditorFrame::childBoundsChanged (juce::Component* child)
{
    if (child == &content)
        takeZoomedSize();
}

void VinolaScaledEditorFrame::takeZoomedSize()
{
    // The content's transform is only ever its zoom, a plain scale.
    const auto size = MvWindowZoom::scaledSize ({ VinolaAudioProcessorEditor::designWidth, VinolaAudioProcessorEditor::designHeight },
                                                content.getTransform().mat00);

    // A host that tries another size gets this one back: the panel does not stretch.
    setResizeLimits (size.x, size.y, size.x, size.y);
    setSize (size.x, size.y);
}
