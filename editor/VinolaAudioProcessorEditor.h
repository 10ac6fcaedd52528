#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include "CableComponent.h"
#include "GeneratorSelector.h"
#include "MvAssetManager.h"
#include "MvBackground.h"
#include "MvCaptionStyle.h"
#include "MvImageKnob.h"
#include "MvParameterDelegate.h"
#include "MvRadioButtons.h"
#include "MvTooltip.h"
#include "MvTooltipParent.h"
#include "MvWindowZoom.h"
#include "VinolaAudioProcessor.h"
#include "VinolaImageKnob.h"
#include "VinolaImageKnobDucker.h"
#include "VinolaParameterTable.h"
#include "VinolaSlider.h"
#include "VinolaSpinner.h"

#include <array>

/** The plug-in's window: a fixed 748 x 350 panel of knobs, sliders, the hum-frequency switch, the
    cable-quality drum, the turning record and the generator lever.

    The editor is the parameter delegate of all fourteen parameter controls: every user edit is
    written to the processor inside a host change gesture, with the value shown in a tooltip above
    the control. A 16 ms timer brings every control up to date with its parameter and the
    generator lever with the stored mode (automation, restored states), drives the ducking knob's
    dot from the engine's meter and turns the record while the noise generators run. The static
    art (panel, plates, captions) is drawn once into a cached background at twice the window's
    size.

    Images and the caption font come from the product's asset archive; without it every control
    is still built, bound and working, only drawn without its pictures. */
class VinolaAudioProcessorEditor : public juce::AudioProcessorEditor,
                                   public juce::Timer,
                                   public MvParameterDelegate,
                                   public MvBackground::Delegate,
                                   public juce::ChangeListener,
                                   public MvTooltipParent,
                                   public GeneratorSelector::Delegate
{
public:
    static constexpr int designWidth = 748;
    static constexpr int designHeight = 350;
    static constexpr int timerIntervalMs = 16;

    /** How the window shows its zoom: through JUCE's global desktop scale, which the VST3 and
        Standalone wrappers pass on to their windows, or by a transform on the editor itself,
        for a holder that takes the zoomed size (VinolaScaledEditorFrame). Either way the editor
        keeps its design size in its own coordinates. */
    enum class ZoomScaling { globalScale, ownTransform };

    explicit VinolaAudioProcessorEditor (VinolaAudioProcessor&, ZoomScaling zoomScaling = ZoomScaling::globalScale);
    ~VinolaAudioProcessorEditor() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    void parameterValueChanged (MvParameterComponent* component, int parameterIndex, float value) override;
    void parameterDragStarted (MvParameterComponent* component, int parameterIndex) override;
    void parameterDragEnded (MvParameterComponent* component, int parameterIndex) override;
    float getParameterValue (int parameterIndex) override;
    float getParameterDefaultValue (int parameterIndex) override;
    juce::String getParameterValueText (int parameterIndex) override;
    void generatorModeChanged (int mode) override;
    /** Refreshes every control and places the generator lever from the stored mode. */
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void timerCallback() override;
    void paintBackground (juce::Graphics& g, float width, float height) override;

    /** Inter Light from the archive, or JUCE's default font when the archive lacks it. The
        font's bytes stay in the asset manager's cache. */
    static juce::Font loadInterLightFont (MvAssetManager& assets);

    /** The lever position that matches a stored generator mode as the render thread reads it:
        0 always on, 2 always off, anything else follows the host. */
    static int leverPositionForMode (int mode) noexcept;

    // Read access for tests, tools and benchmarks.
    MvTooltip& getValueTooltip() noexcept { return tooltip; }
    MvBackground& getBackground() noexcept { return background; }
    VinolaImageKnobDucker& getDuckingKnob() noexcept { return duckingKnob; }
    VinolaSpinner& getRecordSpinner() noexcept { return recordSpinner; }
    GeneratorSelector& getGeneratorSelector() noexcept { return generatorSelector; }
    MvRadioButtons& getHumFrequencySwitch() noexcept { return humFrequencySwitch; }
    MvImageKnob& getInputGainKnob() noexcept { return inputGainKnob; }
    MvWindowZoom& getWindowZoom() noexcept { return windowZoom; }
    /** The fourteen parameter controls in construction order (top knobs, sliders, cable, bottom
        knobs, switch). */
    juce::Array<MvParameterComponent*> getParameterControls();

private:
    juce::Image loadArchiveImage (const char* name);
    MvCaptionStyle makeCaptionStyle (float x, float y);
    void styleTooltip (MvTooltip& t);
    void setupImageKnob (MvImageKnob& knob, const char* imageName, const char* plateName,
                         const juce::String& caption, int parameterIndex);
    void setupSlider (MvSlider& slider, const char* trackImageName, const char* handleImageName,
                      const juce::String& caption, int parameterIndex, bool captionBeside);
    void stampVersion (juce::Image& label);
    /** Places the generator lever from the stored mode, unless the user holds it. */
    void showStoredGeneratorMode();
    juce::AudioProcessorParameter* parameterAt (int parameterIndex) const;

    MvAssetManager assetManager;
    MvBackground background;
    juce::Image backgroundImage;
    juce::Image recordAndArmImage;
    MvTooltip tooltip;
    VinolaAudioProcessor& audioProcessor;

    MvImageKnob ampQualityKnob;
    MvImageKnob hiFiKnob;
    MvImageKnob scratchesKnob;
    VinolaImageKnobDucker duckingKnob;
    VinolaImageKnob wobbleKnob;
    VinolaImageKnob inputGainKnob;
    VinolaImageKnob outputGainKnob;
    VinolaImageKnob dryWetKnob;
    VinolaSlider ampNoiseSlider;
    VinolaSlider vinylNoiseSlider;
    VinolaSlider scratchGainSlider;
    VinolaSlider humSlider;
    CableComponent cableQuality;
    VinolaSpinner recordSpinner;
    MvRadioButtons humFrequencySwitch;
    GeneratorSelector generatorSelector;

    // Window zoom: declared after every control so that it is built last and destroyed first.
    // It is set up in the constructor right after the generator lever (applying the stored zoom)
    // and placed first in resized().
    MvWindowZoom windowZoom;

    // Gesture starts not yet ended, per parameter. The host sees one gesture however the
    // starts and ends pair up: an end without a start is not passed on, and the destructor
    // ends a gesture that a drag cut short by closing the window left open.
    std::array<int, VinolaParameterTable::numParameters> openGestures {};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VinolaAudioProcessorEditor)
};

/** Brings every bound parameter control under the component up to date with its parameter,
    without reporting back (a control's own children are not visited). */
void refreshParameterComponents (juce::Component* component);

/** A level in decibels as the value tooltip shows it: "-inf dB" below -99.99, whole decibels
    above 6, one decimal at -10 and below, else two decimals. */
juce::String formatDecibelText (float decibels);

/** A normalised value in per cent: "100%" at 1, two decimals below 0.01, one below 0.1, else
    whole per cent (truncated). */
juce::String formatPercentText (float value);
