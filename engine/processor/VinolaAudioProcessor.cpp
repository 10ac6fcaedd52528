#include "VinolaAudioProcessor.h"
#include "VinolaAudioProcessorEditor.h"
#include "VinolaScaledEditorFrame.h"
#include "MvPlatform.h"
#include "VinolaParameterTable.h"
#include "VinolaResources.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace
{
    // A heap copy of an embedded resource as a stereo entry; an unknown name gives an empty one.
    VinolaSampleEntry copyResource (const char* name, bool looping)
    {
        int size = 0;
        const void* bytes = VinolaResources::find (name, size);
        float* block = nullptr;
        if (bytes != nullptr && size > 0)
        {
            block = static_cast<float*> (std::malloc ((size_t) size));
            if (block != nullptr)
                std::memcpy (block, bytes, (size_t) size);
        }
        return VinolaSampleEntry::fromStereoBytes (block, block != nullptr ? size : 0, looping);
    }

    constexpr juce::int32 fourCharCode (const char (&c)[5]) noexcept
    {
        return (juce::int32) (((juce::uint32) (unsigned char) c[0] << 24) | ((juce::uint32) (unsigned char) c[1] << 16)
                              | ((juce::uint32) (unsigned char) c[2] << 8) | (juce::uint32) (unsigned char) c[3]);
    }
}

VinolaAudioProcessor::VinolaAudioProcessor()
    : juce::AudioProcessor (BusesProperties()
                                .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                .withOutput ("Output", juce::AudioChannelSet::stereo(), true)),
      globalSettings ("Vinola", 0)
{
    juce::PropertiesFile::Options options;
    options.applicationName = "Vinola";
    options.filenameSuffix = ".settings";
    options.folderName = "Marvolund";
    options.osxLibrarySubFolder = "Application Support";
    options.commonToAllUsers = false;
    options.ignoreCaseOfKeyNames = false;
    options.doNotSave = false;
    options.millisecondsBeforeSaving = 3000;
    options.storageFormat = juce::PropertiesFile::storeAsCompressedBinary;
    options.processLock = nullptr;
    globalSettings.settingsFile = std::make_unique<juce::PropertiesFile> (
        juce::File (globalSettings.userDataFolder).getChildFile ("Vinola.settings"), options);

    generatorMode.store (1, std::memory_order_relaxed);
    generatorsRunning.store (false, std::memory_order_relaxed);

    // The latency never changes, so a host sees it from the start; reported only at the first
    // prepareToPlay, it would arrive as a change that makes a VST3 host restart the component.
    setLatencySamples (latencySamples);

    for (int i = 0; i < VinolaParameterTable::numParameters; ++i)
    {
        const auto& row = VinolaParameterTable::rows[i];
        auto* p = new juce::AudioParameterFloat (
            juce::ParameterID { juce::String (i) + row.name, i == VinolaParameterTable::wobble ? 2 : 1 },
            row.name,
            juce::NormalisableRange<float> (0.0f, 1.0f, 0.0f, 1.0f),
            VinolaParameterTable::normalisedDefault (i));
        addParameter (p);
        parameterObjects.add (p);
    }

    // The engine member was constructed before the settings holder, with its defaults and its
    // two random tables; now the material it plays.
    loadSampleMaterial();

    // The raw DUCKING value and the speed factor start at their construction values; the first
    // mapping below gives every smoother its target.
    dsp.duckingAmount = 0.5f;
    dsp.speedFactor = 1.0f;
    dsp.noiseLoop.bank.addEntry (noiseLoopEntry);
    const std::vector<VinolaSampleEntry>* lists[3] = { &repaEntries, &knasterEntries, &hKnasterEntries };
    for (int b = 0; b < 3; ++b)
        for (const auto& e : *lists[b])
            dsp.crackleBanks[b].addEntry (e);

    dsp.initCrackleGenerators();

    dsp.reset();
    updateParameters (1);
    dsp.reset();
}

VinolaAudioProcessor::~VinolaAudioProcessor()
{
    freeSampleMaterial();
}

void VinolaAudioProcessor::loadSampleMaterial()
{
    noiseLoopEntry = copyResource ("noiseloop_flt", true);

    struct Family { const char* prefix; int count; std::vector<VinolaSampleEntry>* list; };
    const Family families[] = { { "repa", 19, &repaEntries },
                                { "knaster", 43, &knasterEntries },
                                { "h_knaster", 43, &hKnasterEntries } };
    for (const auto& f : families)
    {
        f.list->reserve ((size_t) f.count);
        for (int n = 1; n <= f.count; ++n)
            f.list->push_back (copyResource ((juce::String (f.prefix) + juce::String (n) + "_flt").toRawUTF8(), false));
    }
}

void VinolaAudioProcessor::freeSampleMaterial() noexcept
{
    for (auto* list : { &repaEntries, &knasterEntries, &hKnasterEntries })
    {
        for (auto& e : *list)
            std::free (const_cast<float*> (e.data));
        list->clear();
    }
    std::free (const_cast<float*> (noiseLoopEntry.data));
    noiseLoopEntry = {};
}

const juce::String VinolaAudioProcessor::getName() const { return "Vinola"; }

void VinolaAudioProcessor::prepareToPlay (double sampleRate, int)
{
    // The amplifier's recursive filter state, built at one rate, rings out as a loud burst when
    // run at another (going down from 96 to 22.05 kHz, over +20 dBFS), so a new rate clears that
    // state alone. Everything else carries on: the wobble's delay lines, the loop position, the
    // hum phase, the generators and any parameter ramp in progress. The same rate again, as
    // hosts send for a new block size, clears nothing.
    const float previousRate = dsp.sampleRate;
    dsp.setSampleRate (sampleRate);
    if (dsp.sampleRate != previousRate)
        dsp.clearFilterState();
    bypassFadeLength.store (bypassFadeFrames (dsp.sampleRate), std::memory_order_relaxed);
    setLatencySamples (latencySamples);
}

int VinolaAudioProcessor::bypassFadeFrames (double sampleRate) noexcept
{
    const double frames = sampleRate * 0.005;
    return frames >= 1.0 && frames < 1.0e6 ? (int) std::lround (frames) : 1;
}

void VinolaAudioProcessor::releaseResources() {}

void VinolaAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    render (buffer, false);
}

void VinolaAudioProcessor::processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    render (buffer, true);
}

bool VinolaAudioProcessor::decideGeneratorsRunning() noexcept
{
    // The Standalone app has no transport: JUCE's player lends it a play head whose position
    // tells the time but never that it plays, so there it counts as no play head.
    auto* playHead = wrapperType == wrapperType_Standalone ? nullptr : getPlayHead();
    if (playHead == nullptr)
        hostTransportReported = false;   // nothing is known; a play head that comes is followed afresh
    else if (const auto position = playHead->getPosition())
    {
        hostTransportReported = true;
        hostWasPlaying = position->getIsPlaying();
    }

    const int mode = generatorMode.load (std::memory_order_relaxed);
    return mode != 2 && (mode == 0 || ! hostTransportReported || hostWasPlaying);
}

void VinolaAudioProcessor::render (juce::AudioBuffer<float>& buffer, bool bypassed) noexcept
{
    juce::ScopedNoDenormals noDenormals;

    // Read the transport in bypass too, so that a change reported meanwhile is not missed.
    const bool running = decideGeneratorsRunning();
    generatorsRunning.store (running, std::memory_order_relaxed);

    const int numSamples = buffer.getNumSamples();
    const int numInputs = getTotalNumInputChannels();
    // The bus rule keeps the layout at one or two channels; the buffer is trusted no further.
    const int numOutputs = juce::jmin (getTotalNumOutputChannels(), buffer.getNumChannels());

    for (int ch = numInputs; ch < numOutputs; ++ch)
        if (! buffer.hasBeenCleared())
            MvPlatform::clearFloats (buffer.getWritePointer (ch), numSamples);

    updateParameters (numSamples);

    const int numChannels = juce::jmin (numOutputs, 2);
    float* channels[2] = { nullptr, nullptr };
    for (int ch = 0; ch < numChannels; ++ch)
        channels[ch] = buffer.getWritePointer (ch);

    // A new rate keeps the fade where it stands in time (both ends stay ends).
    const int fadeLength = bypassFadeLength.load (std::memory_order_relaxed);
    if (fadePlace < 0)
        fadePlace = bypassed ? fadeLength : 0;
    else if (fadeLength != fadeLengthInUse)
        fadePlace = (int) ((juce::int64) fadePlace * fadeLength / fadeLengthInUse);
    fadeLengthInUse = fadeLength;
    const int target = bypassed ? fadeLength : 0;

    for (int start = 0; start < numSamples;)
    {
        float* section[2] = { nullptr, nullptr };
        for (int ch = 0; ch < numChannels; ++ch)
            section[ch] = channels[ch] + start;
        const int remaining = numSamples - start, toFade = std::abs (target - fadePlace);

        if (toFade == 0 && ! bypassed)
        {
            bypassDelay.remember (section, numChannels, remaining);
            dsp.processBlock (section, numChannels, remaining, running);
            return;
        }

        // Bypassed, the chain hears the input as if it were playing, so nothing of it is stale
        // when the bypass ends; what the host gets is the input, latency-delayed.
        const int count = juce::jmin (remaining, bypassRunFrames, toFade > 0 ? toFade : bypassRunFrames);
        renderBothRoads (section, numChannels, count, running);
        if (toFade > 0)
            crossfade (section, numChannels, count, target > fadePlace ? 1 : -1);
        start += count;
    }
}

void VinolaAudioProcessor::renderBothRoads (float* const* section, int numChannels, int count, bool running) noexcept
{
    float* run[2] = { bypassRun[0], bypassRun[1] };
    for (int ch = 0; ch < numChannels; ++ch)
        std::memcpy (run[ch], section[ch], sizeof (float) * (size_t) count);
    dsp.processBlock (run, numChannels, count, running);
    bypassDelay.process (section, numChannels, count);
}

void VinolaAudioProcessor::crossfade (float* const* section, int numChannels, int count, int direction) noexcept
{
    // Linear in amplitude; each end gives one road exactly (0 x the other).
    for (int i = 0; i < count; ++i)
    {
        fadePlace += direction;
        const float toDelayed = (float) fadePlace / (float) fadeLengthInUse;
        for (int ch = 0; ch < numChannels; ++ch)
            section[ch][i] = (1.0f - toDelayed) * bypassRun[ch][i] + toDelayed * section[ch][i];
    }
}

double VinolaAudioProcessor::getTailLengthSeconds() const { return 0.0; }
bool VinolaAudioProcessor::acceptsMidi() const { return false; }
bool VinolaAudioProcessor::producesMidi() const { return false; }

juce::AudioProcessorEditor* VinolaAudioProcessor::createEditor()
{
    // JUCE's LV2 wrapper does not pass the global desktop scale on to the host: there the
    // window is held in a frame that takes the zoomed size itself.
    if (wrapperType == wrapperType_LV2)
        return new VinolaScaledEditorFrame (*this);

    return new VinolaAudioProcessorEditor (*this);
}

bool VinolaAudioProcessor::hasEditor() const { return true; }
int VinolaAudioProcessor::getNumPrograms() { return 1; }
int VinolaAudioProcessor::getCurrentProgram() { return 0; }
void VinolaAudioProcessor::setCurrentProgram (int) {}
const juce::String VinolaAudioProcessor::getProgramName (int) { return {}; }
void VinolaAudioProcessor::changeProgramName (int, const juce::String&) {}

void VinolaAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    juce::MemoryOutputStream out (destData, true);
    const auto& params = getParameters();
    const int n = params.size();

    for (int i = 0; i < n - 1; ++i)
        out.writeFloat (params[i]->getValue());

    out.writeInt (generatorMode.load (std::memory_order_relaxed));
    out.writeFloat (params[n - 1]->getValue());
}

void VinolaAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    if (data == nullptr || sizeInBytes < 0)
        sizeInBytes = 0;

    juce::MemoryInputStream in (data, (size_t) sizeInBytes, false);
    const auto& params = getParameters();
    const int n = params.size();

    // A damaged blob may carry NaN or infinity; such a value restores the parameter's default
    // rather than poisoning the engine. A value cut short reads as 0, as it always has.
    auto apply = [] (juce::AudioProcessorParameter* p, float v)
    {
        p->setValueNotifyingHost (std::isfinite (v) ? v : p->getDefaultValue());
    };

    for (int i = 0; i < n - 1; ++i)
        apply (params[i], in.readFloat());

    if (! in.isExhausted())
        generatorMode.store (in.readInt(), std::memory_order_relaxed);
    else
        generatorMode.store (1, std::memory_order_relaxed);

    apply (params[n - 1], in.isExhausted() ? 0.0f : in.readFloat());
}

juce::int32 VinolaAudioProcessor::getAAXPluginIDForMainBusConfig (const juce::AudioChannelSet& mainInputLayout,
                                                                  const juce::AudioChannelSet&,
                                                                  bool idForAudioSuite) const
{
    if (idForAudioSuite)
        return fourCharCode ("jyaa");
    return mainInputLayout == juce::AudioChannelSet::mono() ? fourCharCode ("jcaa") : fourCharCode ("jcab");
}

bool VinolaAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    if (layouts.inputBuses.isEmpty())
        return false;

    const auto input = layouts.getMainInputChannelSet();
    const auto output = layouts.getMainOutputChannelSet();
    return input == output && (input.size() == 1 || input.size() == 2);
}

void VinolaAudioProcessor::updateParameters (int numSamples) noexcept
{
    using T = VinolaParameterTable;
    const auto& params = getParameters();
    if (params.size() < T::numParameters)
        return;

    float v[T::numParameters];
    for (int i = 0; i < T::numParameters; ++i)
    {
        const float raw = params.getUnchecked (i)->getValue();
        // A host may hand over anything; a NaN would poison the hum phase and the loop position
        // for good, so it falls back to the default and out-of-range values are clamped.
        v[i] = std::isnan (raw) ? T::normalisedDefault (i) : juce::jlimit (0.0f, 1.0f, raw);
    }

    const int n = numSamples > 0 ? numSamples : 0;
    // A gain parameter's decibels over its row's range, as a factor (ln 10 / 20 per dB).
    auto toGain = [&v] (int index)
    {
        const auto& row = T::rows[index];
        return std::exp ((v[index] * (row.maximum - row.minimum) + row.minimum) * 0.115129255f);
    };

    dsp.inputGain.setTarget (toGain (T::inputGain), n);
    dsp.ampNoise.setTarget (v[T::ampNoise], n);
    dsp.vinylNoise.setTarget (v[T::vinylNoise], n);
    dsp.hum.setTarget (v[T::hum], n);
    dsp.scratches.setTarget (v[T::scratches], n);
    dsp.setScratchesRate (v[T::scratchesRate]);
    dsp.humFreq.setTarget (v[T::humFreqSw] < 0.5f ? 50.0f : 60.0f, n);
    dsp.needleQuality.setTarget ((float) ((double) v[T::needleQuality] * 0.9), n);
    dsp.ampQuality.setTarget (v[T::ampQuality], n);
    dsp.cableQuality.setTarget (v[T::cableQuality], n);
    dsp.outputGain.setTarget (toGain (T::outputGain), n);
    dsp.mix.setTarget (v[T::mix], n);
    dsp.duckingAmount = v[T::ducking];
    // WOBBLE glides over a tenth of a second at any block size.
    dsp.wobbleAmount.setTarget (v[T::wobble], (int) ((double) dsp.sampleRate * 0.1));
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new VinolaAudioProcessor();
}
