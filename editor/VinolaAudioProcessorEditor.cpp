#include "VinolaAudioProcessorEditor.h"
#include "MvLoadArchiveImage.h"
#include "VinolaDrawStretchedImage.h"
#include "VinolaParameterTable.h"

#include <cmath>
#include <cstdio>

namespace
{
    constexpr juce::uint32 tooltipTextColour = 0xFF000000;
    constexpr juce::uint32 tooltipFillColour = 0xFFD9D9C6;
    constexpr juce::uint32 tooltipBorderColour = 0xFF000000;
    constexpr float tooltipFontHeight = 10.0f;
    constexpr float captionFontHeight = 19.0f;
    constexpr float versionFontHeight = 16.0f;
    constexpr int tooltipHeight = 14;
    constexpr int centredJustification = 36;
    constexpr int tooltipAbove = 0;

    // Below this a linear gain shows as "-inf dB".
    constexpr float silentGain = 0.00001f;

    /** The value written with exactly `decimals` digits after the point, as printf's %f rounds. */
    juce::String fixed (float value, int decimals)
    {
        char text[128];
        std::snprintf (text, sizeof (text), "%.*f", decimals, (double) value);
        return juce::String (text);
    }

    /** The space between a control's top edge and its tooltip: the top-row knobs sit close under
        the panel's edge, so their tooltip overlaps the knob by two pixels. */
    float tooltipGapFor (int parameterIndex) noexcept
    {
        switch (parameterIndex)
        {
            case VinolaParameterTable::scratchesRate:
            case VinolaParameterTable::needleQuality:
            case VinolaParameterTable::ampQuality:
            case VinolaParameterTable::ducking:
                return -2.0f;
            default:
                return 5.0f;
        }
    }

    bool isPercentParameter (int parameterIndex) noexcept
    {
        return parameterIndex >= 0 && parameterIndex < VinolaParameterTable::numParameters
               && juce::String (VinolaParameterTable::rows[parameterIndex].unit) == "%";
    }
}

//==============================================================================
VinolaAudioProcessorEditor::VinolaAudioProcessorEditor (VinolaAudioProcessor& p, ZoomScaling zoomScaling)
    : juce::AudioProcessorEditor (p),
      assetManager ("Vinola", "appdata/Assets.mva"),
      audioProcessor (p)
{
    background.delegate = this;
    background.fillColour = 0xFF7F7F7F;

    styleTooltip (tooltip);

    backgroundImage = loadArchiveImage ("vinola_bg_clean.png");
    recordAndArmImage = loadArchiveImage ("vinola_record_and_arm.png");

    setupImageKnob (ampQualityKnob, "vinola_knob_ampquality_hifi.png", "vinola_topknob_bg.png", "AMP QUALITY", VinolaParameterTable::ampQuality);
    setupImageKnob (hiFiKnob, "vinola_knob_ampquality_hifi.png", "vinola_topknob_bg.png", "HI-FI", VinolaParameterTable::needleQuality);
    setupImageKnob (scratchesKnob, "vinola_knob_scratches.png", "vinola_topknob_bg.png", "SCRATCHES", VinolaParameterTable::scratchesRate);
    setupImageKnob (duckingKnob, "vinola_knob_ducking_no_dot.png", "vinola_topknob_bg.png", "DUCKING", VinolaParameterTable::ducking);

    setupSlider (ampNoiseSlider, "vinola_slider_track.png", "vinola_slider_handle.png", "AMP NOISE", VinolaParameterTable::ampNoise, false);
    setupSlider (vinylNoiseSlider, "vinola_slider_track.png", "vinola_slider_handle.png", "VINYL NOISE", VinolaParameterTable::vinylNoise, false);
    setupSlider (scratchGainSlider, "vinola_slider_track.png", "vinola_slider_handle.png", "SCRATCH GAIN", VinolaParameterTable::scratches, false);
    setupSlider (humSlider, "vinola_slider_track.png", "vinola_slider_handle.png", "HUM", VinolaParameterTable::hum, false);

    cableQuality.setWhiteBackground (loadArchiveImage ("vinola_cablequality_white_bg.png"));
    setupSlider (cableQuality, "vinola_cablequality_window.png", "vinola_cablequality_numbers.png", "CABLE QUALITY", VinolaParameterTable::cableQuality, true);

    setupImageKnob (wobbleKnob, "vinola_knob_bottomrow.png", nullptr, "WOBBLE", VinolaParameterTable::wobble);
    setupImageKnob (inputGainKnob, "vinola_knob_bottomrow.png", nullptr, "INPUT GAIN", VinolaParameterTable::inputGain);
    setupImageKnob (outputGainKnob, "vinola_knob_bottomrow.png", nullptr, "OUTPUT GAIN", VinolaParameterTable::outputGain);
    setupImageKnob (dryWetKnob, "vinola_knob_bottomrow.png", nullptr, "DRY/WET", VinolaParameterTable::mix);

    // The 50/60 Hz switch: two stacked picture buttons.
    humFrequencySwitch.setHoverListener (nullptr);
    humFrequencySwitch.setVertical (true);
    humFrequencySwitch.setParameterIndex (VinolaParameterTable::humFreqSw);
    humFrequencySwitch.setDelegate (this);
    {
        const auto off50 = loadArchiveImage ("vinola_btn_50Hz_off.png");
        const auto on50 = loadArchiveImage ("vinola_btn_50Hz_on.png");
        humFrequencySwitch.addButton (off50, on50, 77.0f, 17.0f, 5.0f);
        const auto off60 = loadArchiveImage ("vinola_btn_60Hz_off.png");
        const auto on60 = loadArchiveImage ("vinola_btn_60Hz_on.png");
        humFrequencySwitch.addButton (off60, on60, 77.0f, 17.0f, 0.0f);
    }
    // The group starts at value 0 with no button selected, so when the parameter also holds 0
    // (50 Hz, the default) the change-only update would leave both buttons dark; select from
    // the parameter's value whatever it is.
    if (! humFrequencySwitch.updateFromDelegate (false))
        humFrequencySwitch.setValue (getParameterValue (VinolaParameterTable::humFreqSw));
    humFrequencySwitch.setVisible (true);
    addChildComponent (humFrequencySwitch, -1);

    recordSpinner.setLabelImage (loadArchiveImage ("vinola_recordlabel_noversion.png"));
    recordSpinner.setPegImage (loadArchiveImage ("vinola_record_center_peg.png"));
    stampVersion (recordSpinner.getLabelImage());
    recordSpinner.setVisible (true);
    addChildComponent (recordSpinner, -1);

    styleTooltip (generatorSelector.getTooltip());
    generatorSelector.setDelegate (this);
    generatorSelector.setBackgroundImage (loadArchiveImage ("vinola_generatoricons_and_track.png"));
    generatorSelector.setHandleImage (loadArchiveImage ("vinola_btn_generators_handle.png"));
    generatorSelector.getHandle().setDelegate (&generatorSelector);
    generatorSelector.getHandle().setVisible (true);
    generatorSelector.addChildComponent (generatorSelector.getHandle(), -1);
    generatorSelector.setVisible (true);
    addChildComponent (generatorSelector, -1);

    // Window zoom: the stored size is marked in the list and applied to the whole interface.
    // A stored size that is not one of the six (110 %) still applies, with "100%" marked.
    windowZoom.designSize = { designWidth, designHeight };
    if (zoomScaling == ZoomScaling::ownTransform)
        windowZoom.scaleWindow = [this] (float factor) { juce::AudioProcessorEditor::setScaleFactor (factor); };
    windowZoom.init (this, &audioProcessor.getGlobalSettings(), &assetManager);
    windowZoom.list.setSelectedItem (MvWindowZoom::itemForZoom (windowZoom.getStoredZoom()));
    windowZoom.button.setVisible (true);
    addChildComponent (windowZoom.button, -1);
    windowZoom.applyStoredZoom();

    setSize (designWidth, designHeight);
    changeListenerCallback (nullptr);
    startTimer (timerIntervalMs);
}

VinolaAudioProcessorEditor::~VinolaAudioProcessorEditor()
{
    stopTimer();

    // A window closed in the middle of a drag never sees the mouse-up: end the host gesture
    // here, or the host would keep the parameter touched (and its automation recording).
    for (int i = 0; i < (int) openGestures.size(); ++i)
        if (auto* p = parameterAt (i))
            if (openGestures[(size_t) i] > 0)
                p->endChangeGesture();
}

//==============================================================================
juce::Font VinolaAudioProcessorEditor::loadInterLightFont (MvAssetManager& assets)
{
    juce::uint32 size = 0;
    const void* data = assets.getAsset ("Inter-Light-BETA.ttf", size);

    if (data != nullptr && size > 0)
        if (auto typeface = juce::Typeface::createSystemTypefaceFor (data, (size_t) size))
            return juce::Font (typeface);

    return {};
}

int VinolaAudioProcessorEditor::leverPositionForMode (int mode) noexcept
{
    // The render thread runs the generators always in mode 0, never in mode 2, and follows the
    // host's transport for every other value (a saved state may hold any number).
    if (mode == 0)
        return 2;
    if (mode == 2)
        return 0;
    return 1;
}

juce::Image VinolaAudioProcessorEditor::loadArchiveImage (const char* name)
{
    return MvLoadArchiveImage (assetManager, name);
}

MvCaptionStyle VinolaAudioProcessorEditor::makeCaptionStyle (float x, float y)
{
    MvCaptionStyle style;
    style.captionFont = loadInterLightFont (assetManager);
    style.captionFont.setHeight (style.captionFontHeight);
    style.captionFontHeight = captionFontHeight;
    style.captionFont.setHeight (captionFontHeight);
    style.captionOffsetX = x;
    style.captionOffsetY = y;
    style.labelPosition = 2;
    style.captionColour = 0xFF000000;
    return style;
}

void VinolaAudioProcessorEditor::styleTooltip (MvTooltip& t)
{
    t.font = loadInterLightFont (assetManager);
    t.font.setHeight (tooltipFontHeight);
    t.cornerRadius = 0.0f;
    t.borderColour = juce::Colour (tooltipBorderColour);
    t.textColour = juce::Colour (tooltipTextColour);
    t.fillColour = juce::Colour (tooltipFillColour);
    t.borderWidth = 1.0f;
}

void VinolaAudioProcessorEditor::setupImageKnob (MvImageKnob& knob, const char* imageName, const char* plateName,
                                                 const juce::String& caption, int parameterIndex)
{
    const auto image = loadArchiveImage (imageName);
    knob.setParameterIndex (parameterIndex);
    knob.setDelegate (this);
    knob.setKnobImage (image);

    knob.caption = caption;
    static_cast<MvCaptionStyle&> (knob) = makeCaptionStyle (0.0f, 5.0f);

    if (plateName != nullptr)
        knob.setImage (loadArchiveImage (plateName));

    knob.setVisible (true);
    addChildComponent (knob, -1);
}

void VinolaAudioProcessorEditor::setupSlider (MvSlider& slider, const char* trackImageName, const char* handleImageName,
                                              const juce::String& caption, int parameterIndex, bool captionBeside)
{
    const auto handle = loadArchiveImage (handleImageName);
    const auto track = loadArchiveImage (trackImageName);

    slider.setParameterIndex (parameterIndex);
    slider.setDelegate (this);

    slider.setHorizontal (false);
    slider.setHandleImage (handle);
    slider.setHandleSize (99.0f, 50.0f);
    slider.setDrawTrack (true);
    slider.setTrackImage (track);
    slider.setTrackThickness (2.0f);

    slider.caption = caption;
    static_cast<MvCaptionStyle&> (slider) = captionBeside ? makeCaptionStyle (39.0f, 27.0f)
                                                          : makeCaptionStyle (0.0f, -20.0f);

    slider.setVisible (true);
    addChildComponent (slider, -1);
}

void VinolaAudioProcessorEditor::stampVersion (juce::Image& label)
{
    if (! label.isValid())
        return;

    auto font = loadInterLightFont (assetManager);
    font.setHeight (versionFontHeight);

    juce::Graphics g (label);
    g.setFont (font);
    g.drawText ("v" + juce::String (VINOLA_VERSION_STRING), 150, 95, 50, 25,
                juce::Justification (centredJustification), true);
}

//==============================================================================
void VinolaAudioProcessorEditor::resized()
{
    // Window zoom: its button in the top-left corner and its list dropping down over it, as
    // tall as its margins and six rows.
    windowZoom.button.setBounds (5, 5, 18, 18);
    const auto listMargin = windowZoom.list.cornerSize.x;
    windowZoom.list.setBounds (-10, 5, 130,
                               (int) (2.0f * listMargin + windowZoom.list.itemHeight * (float) windowZoom.list.getNumItems()));

    const int h = getHeight();

    ampQualityKnob.setBounds (27, 17, 64, 64);
    hiFiKnob.setBounds (104, 17, 64, 64);
    scratchesKnob.setBounds (181, 17, 64, 64);
    duckingKnob.setBounds (258, 17, 64, 64);

    ampNoiseSlider.setBounds (27, 104, 64, 128);
    vinylNoiseSlider.setBounds (104, 104, 64, 128);
    scratchGainSlider.setBounds (181, 104, 64, 128);
    humSlider.setBounds (258, 104, 64, 128);

    // The switch is as large as its stacked buttons: the widest by the sum of heights and gaps.
    float switchWidth = 0.0f, switchHeight = 0.0f;
    for (int i = 0; i < humFrequencySwitch.getNumButtons(); ++i)
    {
        auto& b = humFrequencySwitch.getButton (i);
        switchWidth = juce::jmax (switchWidth, b.getButtonWidth());
        switchHeight += b.getButtonHeight() + b.getGapAfter();
    }
    humFrequencySwitch.setBounds (311, 196, (int) switchWidth, (int) switchHeight);

    wobbleKnob.setBounds (27, h - 100, 64, 64);
    inputGainKnob.setBounds (104, h - 100, 64, 64);
    outputGainKnob.setBounds (181, h - 100, 64, 64);
    dryWetKnob.setBounds (258, h - 100, 64, 64);
    cableQuality.setBounds (341, h - 100, 25, 53);

    generatorSelector.setBounds (648, 246, 92, 104);
    recordSpinner.setBounds (482, 119, 108, 108);

    background.render (this, (float) getWidth(), (float) h);
}

void VinolaAudioProcessorEditor::paint (juce::Graphics& g)
{
    const auto& image = background.renderedImage.isValid() ? background.renderedImage : background.baseImage;
    VinolaDrawStretchedImage (g, image, getLocalBounds().toFloat());
}

void VinolaAudioProcessorEditor::paintBackground (juce::Graphics& g, float width, float height)
{
    VinolaDrawStretchedImage (g, backgroundImage, { 0.0f, 0.0f, width, height });
    VinolaDrawStretchedImage (g, recordAndArmImage, { width - 382.0f, (float) ((double) height * 0.5 - 176.0), 382.0f, 352.0f });
}

//==============================================================================
juce::AudioProcessorParameter* VinolaAudioProcessorEditor::parameterAt (int parameterIndex) const
{
    const auto& parameters = audioProcessor.getParameters();

    if (parameterIndex < 0 || parameterIndex >= VinolaParameterTable::numParameters || parameterIndex >= parameters.size())
        return nullptr;

    return parameters[parameterIndex];
}

void VinolaAudioProcessorEditor::parameterValueChanged (MvParameterComponent*, int parameterIndex, float value)
{
    if (auto* p = parameterAt (parameterIndex))
        p->setValueNotifyingHost (value);

    tooltip.text = getParameterValueText (parameterIndex);
    tooltip.repaint();
}

void VinolaAudioProcessorEditor::parameterDragStarted (MvParameterComponent* component, int parameterIndex)
{
    // A second start before the end (a stray press) joins the gesture already open.
    if (auto* p = parameterAt (parameterIndex))
        if (openGestures[(size_t) parameterIndex]++ == 0)
            p->beginChangeGesture();

    const int width = isPercentParameter (parameterIndex) ? 30 : 40;
    tooltip.showForComponent (component, width, tooltipHeight, tooltipAbove, centredJustification,
                              tooltipGapFor (parameterIndex), 0.0f, 0.0f);
    tooltip.text = getParameterValueText (parameterIndex);
    tooltip.repaint();
}

void VinolaAudioProcessorEditor::parameterDragEnded (MvParameterComponent*, int parameterIndex)
{
    auto* p = parameterAt (parameterIndex);

    if (p != nullptr && openGestures[(size_t) parameterIndex] > 0)
        if (--openGestures[(size_t) parameterIndex] == 0)
            p->endChangeGesture();

    tooltip.showing = false;
}

float VinolaAudioProcessorEditor::getParameterValue (int parameterIndex)
{
    auto* p = parameterAt (parameterIndex);
    return p != nullptr ? p->getValue() : 0.0f;
}

float VinolaAudioProcessorEditor::getParameterDefaultValue (int parameterIndex)
{
    auto* p = parameterAt (parameterIndex);
    return p != nullptr ? p->getDefaultValue() : 0.0f;
}

juce::String VinolaAudioProcessorEditor::getParameterValueText (int parameterIndex)
{
    auto* p = parameterAt (parameterIndex);

    if (p == nullptr)
        return {};

    const float v = p->getValue();

    switch (parameterIndex)
    {
        case VinolaParameterTable::ampNoise:
        case VinolaParameterTable::vinylNoise:
        case VinolaParameterTable::hum:
        case VinolaParameterTable::scratches:
            // These values are linear gains.
            return formatDecibelText (v <= silentGain ? -100.0f : 20.0f * std::log10 (v));

        case VinolaParameterTable::inputGain:
        case VinolaParameterTable::outputGain:
        {
            const auto& row = VinolaParameterTable::rows[parameterIndex];
            return formatDecibelText (row.minimum + v * (row.maximum - row.minimum));
        }

        default:
            return formatPercentText (v);
    }
}

void VinolaAudioProcessorEditor::generatorModeChanged (int mode)
{
    audioProcessor.generatorMode.store (mode, std::memory_order_relaxed);
}

void VinolaAudioProcessorEditor::changeListenerCallback (juce::ChangeBroadcaster*)
{
    refreshParameterComponents (this);
    showStoredGeneratorMode();
}

void VinolaAudioProcessorEditor::showStoredGeneratorMode()
{
    // A mode restored while the window is open (a host's preset or undo, the Standalone's
    // Load) moves the lever too, so that it never shows a mode other than the one running. A
    // lever the user holds stays under their hand; their release stores their choice.
    if (! generatorSelector.isBeingDragged())
        generatorSelector.setPosition (leverPositionForMode (audioProcessor.generatorMode.load (std::memory_order_relaxed)));
}

void VinolaAudioProcessorEditor::timerCallback()
{
    refreshParameterComponents (this);
    showStoredGeneratorMode();

    // One exchange reads and clears the meter, so a rise stored by the render thread in
    // between cannot be lost.
    duckingKnob.followDuckingLevel (audioProcessor.takeDuckingMeterLevel());

    if (audioProcessor.generatorsRunning.load (std::memory_order_relaxed)
        || audioProcessor.generatorMode.load (std::memory_order_relaxed) == 0)
        recordSpinner.rotateBy (VinolaSpinner::rotationStep);
}

juce::Array<MvParameterComponent*> VinolaAudioProcessorEditor::getParameterControls()
{
    return { &ampQualityKnob, &hiFiKnob, &scratchesKnob, &duckingKnob,
             &ampNoiseSlider, &vinylNoiseSlider, &scratchGainSlider, &humSlider, &cableQuality,
             &wobbleKnob, &inputGainKnob, &outputGainKnob, &dryWetKnob, &humFrequencySwitch };
}

//==============================================================================
void refreshParameterComponents (juce::Component* component)
{
    if (component == nullptr)
        return;

    const auto children = component->getChildren(); // a copy: the walk must not see the list change

    for (auto* child : children)
    {
        if (auto* control = dynamic_cast<MvParameterComponent*> (child))
        {
            if (control->getParameterIndex() != -1)
                control->updateFromDelegate (false);
        }
        else
        {
            refreshParameterComponents (child);
        }
    }
}

juce::String formatDecibelText (float decibels)
{
    const bool wholeDecibels = decibels > 6.0f;
    const float r = wholeDecibels ? std::round (decibels) : decibels;   // halves away from zero

    if (r < -99.99f)
        return "-inf dB";

    if (wholeDecibels)
        return fixed (r, 0) + " dB";

    if (r <= -10.0f)
        return fixed (r, 1) + " dB";

    return fixed (r, 2) + " dB";
}

juce::String formatPercentText (float value)
{
    if (value == 1.0f)
        return "100%";

    const float percent = value * 100.0f;

    if (value < 0.01f)
        return fixed (percent, 2) + "%";

    if (value < 0.1f)
        return fixed (percent, 1) + "%";

    return fixed (std::trunc (percent), 0) + "%";
}
