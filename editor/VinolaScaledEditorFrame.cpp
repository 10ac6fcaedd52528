// The frame tells an X11 embedder its size through the window's size hints as well (below).
// Requested everywhere, as JUCE's own sources do: JUCE includes the X headers only where
// JUCE_LINUX || JUCE_BSD holds, the one condition that also guards their use below.
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
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

    // Fixed limits: when a host sizes its window otherwise, JUCE's LV2 wrapper hands the size
    // to this frame through the limits, so the panel keeps this size and does not stretch. The
    // wrapper does not report the kept size back; the host learns a size only from a change of
    // the zoom, through its resize feature.
    setResizeLimits (size.x, size.y, size.x, size.y);
    setSize (size.x, size.y);
    publishNaturalSize();
}

void VinolaScaledEditorFrame::publishNaturalSize()
{
   #if JUCE_LINUX || JUCE_BSD
    // The wrapper has just reported the new size through the host's resize feature and resized
    // its window, whose size hints JUCE rewrites without a base size. suil's GTK 3 embedder
    // (jalv.gtk3) takes the base size as the window's natural size, and without one the size
    // it had when it was embedded: the host's frame could then grow with the zoom but never
    // shrink below the size it opened at. A base size of the current size lets it follow both
    // ways; other embedders ignore it.
    auto* peer = getPeer();
    auto* windowSystem = juce::XWindowSystem::getInstanceWithoutCreating();

    if (peer == nullptr || windowSystem == nullptr || windowSystem->getDisplay() == nullptr)
        return;

    const auto window = (::Window) (juce::pointer_sized_uint) peer->getNativeHandle();
    const auto physical = (peer->getBounds().toDouble() * peer->getPlatformScaleFactor()).getSmallestIntegerContainer();
    auto& x11 = *juce::X11Symbols::getInstance();
    juce::XWindowSystemUtilities::ScopedXLock lock;

    if (auto* hints = x11.xAllocSizeHints())
    {
        hints->flags = USSize | USPosition | PBaseSize;
        hints->x = physical.getX();
        hints->y = physical.getY();
        hints->width = hints->base_width = physical.getWidth();
        hints->height = hints->base_height = physical.getHeight();
        x11.xSetWMNormalHints (windowSystem->getDisplay(), window, hints);
        x11.xFree (hints);
    }
   #endif
}
