#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <atomic>

#include "MvGlobalSettings.h"
#include "VinolaDspEngine.h"
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

    void loadSampleMaterial();
    void freeSampleMaterial() noexcept;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VinolaAudioProcessor)
};
