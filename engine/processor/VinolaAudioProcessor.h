#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <atomic>

#include "MvGlobalSettings.h"
#include "VinolaDspEngine.h"
#include "VinolaLatencyDelay.h"
#include "VinolaSampleEntry.h"

#include <vector>

/** The plug-in's audio processor: owns the parameters, the DSP engine, the sample material and
    the settings holder, and runs the render road. */
class VinolaAudioProcessor : public juce::AudioProcessor
{
public:
    VinolaAudioProcessor();
    ~VinolaAudioProcessor() override;

    const juce::String getName() const override;
    void prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midiMessages) override;
    using juce::AudioProcessor::processBlock;
    /** Bypassed (the VST3 bypass parameter, the LV2 `enabled` port): the input delayed by the
        reported latency, while the chain keeps running unheard so that it takes over again
        where it would have been. Every change of the bypass state crossfades between the two
        over bypassFadeFrames, in either direction. */
    void processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midiMessages) override;
    using juce::AudioProcessor::processBlockBypassed;
    double getTailLengthSeconds() const override;
    bool acceptsMidi() const override;
    bool producesMidi() const override;
    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override;
    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;
    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;
    juce::int32 getAAXPluginIDForMainBusConfig (const juce::AudioChannelSet& mainInputLayout,
                                                const juce::AudioChannelSet& mainOutputLayout,
                                                bool idForAudioSuite) const override;
    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    /** Maps the 14 parameter values into the engine once per block (numSamples may be 0). */
    void updateParameters (int numSamples) noexcept;

    /** The ducking meter since the last call: the largest reduction, then cleared. */
    float takeDuckingMeterLevel() noexcept { return dsp.duckingMeterLevel.exchange (0.0f, std::memory_order_relaxed); }

    MvGlobalSettings& getGlobalSettings() noexcept { return globalSettings; }

    /** The latency reported to the host, in frames; bypassed audio is delayed by as much. */
    static constexpr int latencySamples = VinolaLatencyDelay::length;

    /** The length of the crossfade at a change of the bypass state, in frames at `sampleRate`:
        5 ms at every rate. The chain is not phase-true (at MIX 0 its dry path lags the input by
        over 100 degrees at 1 kHz), so a hard switch between it and the delayed input clicks. */
    static int bypassFadeFrames (double sampleRate) noexcept;

    // Non-owning; the base class owns the parameters. Index = parameter index.
    juce::Array<juce::AudioParameterFloat*> parameterObjects;

    /** Whether the noise generators run in the current block (written by the render thread). */
    std::atomic<bool> generatorsRunning { false };

    VinolaDspEngine dsp;

    /** 0 = generators always on, 1 = follow the host's transport, 2 = always off. */
    std::atomic<int> generatorMode { 1 };

    /** The sample material, copied from the embedded resources at construction. The processor
        owns each entry's data block; the engine's banks hold copies of the entries. */
    std::vector<VinolaSampleEntry> repaEntries, knasterEntries, hKnasterEntries;
    VinolaSampleEntry noiseLoopEntry;

private:
    MvGlobalSettings globalSettings;

    // What the host last said about its transport. LV2 hosts send the position only when it
    // changes, so most blocks come without one; they keep the last state reported. Until the
    // first report, and whenever there is no play head at all, the host counts as playing.
    // Render thread only.
    bool hostTransportReported = false;
    bool hostWasPlaying = false;

    VinolaLatencyDelay bypassDelay;

    // The chain's input while bypassed or fading, in runs of this many frames; the chain's
    // output replaces it.
    static constexpr int bypassRunFrames = 256;
    float bypassRun[VinolaLatencyDelay::maxChannels][bypassRunFrames] = {};

    // The crossfade's length for the current rate, set by prepareToPlay.
    std::atomic<int> bypassFadeLength { bypassFadeFrames (44100.0) };

    // Where the crossfade stands, render thread only: frames from 0 (the chain alone) to
    // fadeLengthInUse (the delayed input alone). It steps one frame at a time towards the state
    // asked for, so a switch back during a fade turns round where it is. Negative until the
    // first block, which takes the state asked for at once: a host that starts an instance
    // bypassed hears the delayed input from the first frame.
    int fadePlace = -1;
    int fadeLengthInUse = bypassFadeFrames (44100.0);

    /** Whether the generators run in this block, from the mode and the host's transport. */
    bool decideGeneratorsRunning() noexcept;

    /** The render road shared by processing and bypass. */
    void render (juce::AudioBuffer<float>& buffer, bool bypassed) noexcept;

    /** Runs the chain on a copy of up to bypassRunFrames of input, leaving its output in
        bypassRun, and delays the input in place by the latency. */
    void renderBothRoads (float* const* section, int numChannels, int count, bool running) noexcept;

    /** Steps the crossfade `count` frames in `direction` (+1 towards bypass, -1 back), mixing
        the chain's output in bypassRun with the delayed input in `section`. */
    void crossfade (float* const* section, int numChannels, int count, int direction) noexcept;

    void loadSampleMaterial();
    void freeSampleMaterial() noexcept;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VinolaAudioProcessor)
};
