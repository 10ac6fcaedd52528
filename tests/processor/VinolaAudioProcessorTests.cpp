// The processor shell as a host sees it: identity, programs, bus layouts, the generator-mode
// decision against the host's transport (also one reported only when it changes), the render
// road's channel handling, and what a second prepareToPlay keeps.
#include <gtest/gtest.h>
#include "VinolaAudioProcessor.h"
#include "VinolaParameterTable.h"
#include <juce_audio_utils/juce_audio_utils.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

namespace
{
    struct FakePlayHead : juce::AudioPlayHead
    {
        bool givesPosition = true;
        bool playing = false;

        juce::Optional<PositionInfo> getPosition() const override
        {
            if (! givesPosition)
                return {};
            PositionInfo info;
            info.setIsPlaying (playing);
            return info;
        }
    };

    bool runOneBlock (VinolaAudioProcessor& p, int numSamples = 64)
    {
        juce::AudioBuffer<float> buffer (2, numSamples);
        buffer.clear();
        juce::MidiBuffer midi;
        p.processBlock (buffer, midi);
        return p.generatorsRunning.load();
    }

    juce::AudioProcessor::BusesLayout layout (juce::AudioChannelSet in, juce::AudioChannelSet out)
    {
        juce::AudioProcessor::BusesLayout l;
        l.inputBuses.add (in);
        l.outputBuses.add (out);
        return l;
    }

    constexpr juce::int32 code (const char (&c)[5])
    {
        return (juce::int32) (((juce::uint32) c[0] << 24) | ((juce::uint32) c[1] << 16) | ((juce::uint32) c[2] << 8) | (juce::uint32) c[3]);
    }
}

TEST (VinolaAudioProcessorShell, ReportsIdentityLatencyTailAndOneEmptyProgram)
{
    VinolaAudioProcessor p;
    EXPECT_EQ (p.getName(), "Vinola");
    EXPECT_FALSE (p.acceptsMidi());
    EXPECT_FALSE (p.producesMidi());
    EXPECT_TRUE (p.hasEditor());
    EXPECT_EQ (p.getTailLengthSeconds(), 0.0);
    EXPECT_EQ (p.getLatencySamples(), 4);

    p.prepareToPlay (48000.0, 256);
    EXPECT_EQ (p.getLatencySamples(), 4);

    EXPECT_EQ (p.getNumPrograms(), 1);
    EXPECT_EQ (p.getCurrentProgram(), 0);
    p.setCurrentProgram (3);
    p.changeProgramName (0, "renamed");
    EXPECT_EQ (p.getCurrentProgram(), 0);
    EXPECT_TRUE (p.getProgramName (0).isEmpty());
    EXPECT_TRUE (p.getProgramName (7).isEmpty());
}

TEST (VinolaAudioProcessorShell, AcceptsOnlyMatchingMonoOrStereoLayouts)
{
    VinolaAudioProcessor p;
    const auto mono = juce::AudioChannelSet::mono();
    const auto stereo = juce::AudioChannelSet::stereo();

    EXPECT_TRUE (p.checkBusesLayoutSupported (layout (mono, mono)));
    EXPECT_TRUE (p.checkBusesLayoutSupported (layout (stereo, stereo)));
    EXPECT_FALSE (p.checkBusesLayoutSupported (layout (stereo, mono)));
    EXPECT_FALSE (p.checkBusesLayoutSupported (layout (mono, stereo)));
    EXPECT_FALSE (p.checkBusesLayoutSupported (layout (juce::AudioChannelSet::quadraphonic(), juce::AudioChannelSet::quadraphonic())));

    juce::AudioProcessor::BusesLayout noInput;
    noInput.outputBuses.add (stereo);
    EXPECT_FALSE (p.checkBusesLayoutSupported (noInput));

    // No output bus counts as a disabled output, which never equals a real input.
    juce::AudioProcessor::BusesLayout noOutput;
    noOutput.inputBuses.add (stereo);
    EXPECT_FALSE (p.checkBusesLayoutSupported (noOutput));
}

TEST (VinolaAudioProcessorShell, AaxIdsDependOnInputLayoutAndAudioSuiteOnly)
{
    VinolaAudioProcessor p;
    const auto mono = juce::AudioChannelSet::mono();
    const auto stereo = juce::AudioChannelSet::stereo();
    EXPECT_EQ (p.getAAXPluginIDForMainBusConfig (mono, stereo, false), code ("jcaa"));
    EXPECT_EQ (p.getAAXPluginIDForMainBusConfig (mono, mono, false), code ("jcaa"));
    EXPECT_EQ (p.getAAXPluginIDForMainBusConfig (stereo, mono, false), code ("jcab"));
    EXPECT_EQ (p.getAAXPluginIDForMainBusConfig (stereo, stereo, true), code ("jyaa"));
    EXPECT_EQ (p.getAAXPluginIDForMainBusConfig (mono, mono, true), code ("jyaa"));
}

namespace
{
    // What the host gives in one block. LV2 hosts send the transport only when it changes, so
    // after one report most of their blocks come with no position at all.
    enum class Host { noPlayHead, noPosition, stopped, playing, stoppedWhileBypassed, preparedAgain };

    /** Runs one block as the host would in that step; returns whether the generators ran. */
    bool runStep (VinolaAudioProcessor& p, FakePlayHead& head, Host step)
    {
        p.setPlayHead (step == Host::noPlayHead ? nullptr : &head);
        head.givesPosition = step == Host::stopped || step == Host::playing || step == Host::stoppedWhileBypassed;
        head.playing = step == Host::playing;
        if (step == Host::preparedAgain)
        {
            p.releaseResources();
            p.prepareToPlay (44100.0, 64);
        }
        if (step != Host::stoppedWhileBypassed)
            return runOneBlock (p);

        juce::AudioBuffer<float> buffer (2, 64);
        buffer.clear();
        juce::MidiBuffer midi;
        p.processBlockBypassed (buffer, midi);
        return p.generatorsRunning.load();
    }
}

TEST (VinolaAudioProcessorShell, GeneratorModeDecidesWhetherGeneratorsRun)
{
    // Each case is a fresh instance fed a run of blocks; `following` is what the follow-host
    // mode gives after each block. Mode 0 always runs, mode 2 never does, and any other mode
    // (e.g. from an old or odd state) follows the host.
    struct Case { const char* what; std::vector<Host> steps; std::vector<bool> following; };
    using H = Host;
    const Case cases[] = {
        { "no play head counts as playing", { H::noPlayHead }, { true } },
        { "a play head with no position counts as playing", { H::noPosition, H::noPosition }, { true, true } },
        { "stopped", { H::stopped }, { false } },
        { "playing", { H::playing }, { true } },
        { "stopped once, then nothing", { H::stopped, H::noPosition, H::noPosition, H::noPosition }, { false, false, false, false } },
        { "playing once, then nothing", { H::playing, H::noPosition, H::noPosition }, { true, true, true } },
        { "no position until the host stops", { H::noPosition, H::stopped, H::noPosition }, { true, false, false } },
        { "rolls, stops and rolls again, reported only on change",
          { H::playing, H::noPosition, H::stopped, H::noPosition, H::playing, H::noPosition }, { true, true, false, false, true, true } },
        { "stopped, then the play head goes away and a silent one comes", { H::stopped, H::noPlayHead, H::noPosition }, { false, true, true } },
        { "stopped, released and prepared again", { H::stopped, H::preparedAgain, H::noPosition }, { false, false, false } },
        { "stopped while bypassed", { H::playing, H::stoppedWhileBypassed, H::noPosition }, { true, false, false } },
    };
    for (const auto& c : cases)
    {
        for (int mode : { 0, 1, 2, 7 })
        {
            SCOPED_TRACE (juce::String (c.what) + ", mode " + juce::String (mode));
            ASSERT_EQ (c.steps.size(), c.following.size());
            VinolaAudioProcessor p;
            p.prepareToPlay (44100.0, 64);
            p.generatorMode = mode;
            FakePlayHead head;
            for (size_t i = 0; i < c.steps.size(); ++i)
                EXPECT_EQ (runStep (p, head, c.steps[i]), mode == 0 || (mode != 2 && c.following[i])) << "block " << i;
            p.setPlayHead (nullptr);
        }
    }

    // The transport is followed in every mode, so switching to follow the host mid-stream
    // starts from what the host last said.
    VinolaAudioProcessor p;
    p.prepareToPlay (44100.0, 64);
    FakePlayHead head;
    p.generatorMode = 0;
    EXPECT_TRUE (runStep (p, head, Host::stopped));
    p.generatorMode = 1;
    EXPECT_FALSE (runStep (p, head, Host::noPosition));
    p.setPlayHead (nullptr);
}

// The Standalone app plays through JUCE's player, which lends the processor a play head that
// never says it plays. The app has no transport, so following the host runs the generators
// there; in a plug-in format the same report still reads as a stopped transport.
TEST (VinolaAudioProcessorShell, TheStandaloneAppRunsTheGeneratorsWhenFollowingTheHost)
{
    // Stereo at 44.1 kHz in blocks of 64: all the player asks of a device.
    struct StereoDevice : juce::AudioIODevice
    {
        StereoDevice() : juce::AudioIODevice ("stereo", "test") {}
        juce::StringArray getOutputChannelNames() override { return { "L", "R" }; }
        juce::StringArray getInputChannelNames() override { return { "L", "R" }; }
        juce::Array<double> getAvailableSampleRates() override { return { 44100.0 }; }
        juce::Array<int> getAvailableBufferSizes() override { return { 64 }; }
        int getDefaultBufferSize() override { return 64; }
        juce::String open (const juce::BigInteger&, const juce::BigInteger&, double, int) override { return {}; }
        void close() override {}
        bool isOpen() override { return true; }
        void start (juce::AudioIODeviceCallback*) override {}
        void stop() override {}
        bool isPlaying() override { return true; }
        juce::String getLastError() override { return {}; }
        int getCurrentBufferSizeSamples() override { return 64; }
        double getCurrentSampleRate() override { return 44100.0; }
        int getCurrentBitDepth() override { return 32; }
        juce::BigInteger getActiveOutputChannels() const override { return 3; }
        juce::BigInteger getActiveInputChannels() const override { return 3; }
        int getOutputLatencyInSamples() override { return 0; }
        int getInputLatencyInSamples() override { return 0; }
    };
    for (auto [type, runs] : { std::pair (juce::AudioProcessor::wrapperType_Standalone, true),
                               std::pair (juce::AudioProcessor::wrapperType_VST3, false) })
    {
        juce::AudioProcessor::setTypeOfNextNewPlugin (type);
        VinolaAudioProcessor p;
        juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Undefined);
        StereoDevice device;
        juce::AudioProcessorPlayer player;
        player.audioDeviceAboutToStart (&device);
        player.setProcessor (&p);
        float left[64] = {}, right[64] = {}, *channels[] = { left, right };
        player.audioDeviceIOCallbackWithContext (channels, 2, channels, 2, 64, {});
        EXPECT_EQ (p.generatorsRunning.load(), runs) << juce::AudioProcessor::getWrapperTypeDescription (type);
    }
}

TEST (VinolaAudioProcessorShell, ZeroSampleBlockIsHarmless)
{
    VinolaAudioProcessor p;
    p.prepareToPlay (44100.0, 512);
    juce::AudioBuffer<float> empty (2, 0);
    juce::MidiBuffer midi;
    p.processBlock (empty, midi);
    EXPECT_TRUE (p.generatorsRunning.load());

    // The next real block still renders finite audio.
    juce::AudioBuffer<float> buffer (2, 128);
    buffer.clear();
    p.processBlock (buffer, midi);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < 128; ++i)
            ASSERT_TRUE (std::isfinite (buffer.getSample (ch, i)));
}

namespace
{
    // The shipped bus rule never allows more outputs than inputs; a host with a looser idea of
    // layouts is imitated by relaxing the rule in a subclass.
    struct MonoInStereoOutProcessor : VinolaAudioProcessor
    {
        bool isBusesLayoutSupported (const BusesLayout&) const override { return true; }
    };
}

TEST (VinolaAudioProcessorShell, ExtraOutputChannelsAreClearedBeforeTheChain)
{
    MonoInStereoOutProcessor p;
    ASSERT_TRUE (p.setBusesLayout (layout (juce::AudioChannelSet::mono(), juce::AudioChannelSet::stereo())));
    ASSERT_EQ (p.getTotalNumInputChannels(), 1);
    ASSERT_EQ (p.getTotalNumOutputChannels(), 2);
    p.generatorMode = 2;  // no generated noise: the right channel may carry only chain residue
    p.prepareToPlay (44100.0, 256);

    juce::AudioBuffer<float> buffer (2, 256);
    for (int i = 0; i < 256; ++i)
    {
        buffer.setSample (0, i, 0.0f);
        buffer.setSample (1, i, 1000.0f);  // stale garbage from the host
    }
    juce::MidiBuffer midi;
    p.processBlock (buffer, midi);
    for (int i = 0; i < 256; ++i)
        ASSERT_LT (std::abs (buffer.getSample (1, i)), 0.01f) << "sample " << i;
}

TEST (VinolaAudioProcessorShell, CreatesItsSettingsFileInTheUserFolder)
{
    VinolaAudioProcessor p;
    auto& settings = p.getGlobalSettings();
    ASSERT_NE (settings.settingsFile, nullptr);
    EXPECT_EQ (settings.settingsFile->getFile(), juce::File (settings.userDataFolder).getChildFile ("Vinola.settings"));
    EXPECT_TRUE (juce::File (settings.userDataFolder).isDirectory());
    EXPECT_EQ (settings.productName, "Vinola");
    EXPECT_EQ (settings.flags, 0);
}

namespace
{
    /** Renders `frames` of a three-partial stereo signal (continuing from `frame`) in blocks. */
    std::vector<float> renderMusic (VinolaAudioProcessor& p, double rate, int blockSize, int frames, double& frame)
    {
        std::vector<float> out;
        juce::AudioBuffer<float> buffer (2, blockSize);
        juce::MidiBuffer midi;
        for (int done = 0; done < frames; done += blockSize)
        {
            for (int i = 0; i < blockSize; ++i, frame += 1.0)
                for (int ch = 0; ch < 2; ++ch)
                    buffer.setSample (ch, i, (float) (0.3 * std::sin (0.7 * frame / rate * 1000.0 * (ch + 1))
                                                      + 0.2 * std::sin (frame / rate * 23000.0)));
            p.processBlock (buffer, midi);
            for (int ch = 0; ch < 2; ++ch)
                out.insert (out.end(), buffer.getReadPointer (ch), buffer.getReadPointer (ch) + blockSize);
        }
        return out;
    }
}

// With the generators off and WOBBLE at 0 the output depends only on the input and the filter
// and delay state, so it can be compared sample for sample: after a new rate, with a new instance
// at that rate (the filters start afresh); after the same or an invalid rate, with an instance
// that played straight on.
TEST (VinolaAudioProcessorShell, ANewRatePlaysAsANewInstanceWithWobbleOffAndTheSameOrAnInvalidRateCarriesOn)
{
    struct Case { double from, to; float wobble; bool sameAsNew; };
    const Case cases[] = {
        { 96000.0, 22050.0, 0.0f, true }, { 44100.0, 22050.0, 0.0f, true }, { 22050.0, 96000.0, 0.0f, true },
        { 44100.0, 48000.0, 0.0f, true },
        // The same rate again, or a rate a host should never send: everything carries on.
        { 48000.0, 48000.0, 1.0f, false }, { 48000.0, 0.0, 1.0f, false },
        { 48000.0, std::numeric_limits<double>::quiet_NaN(), 1.0f, false },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.from) + " -> " + juce::String (c.to));
        auto switched = std::make_unique<VinolaAudioProcessor>(), other = std::make_unique<VinolaAudioProcessor>();
        const double playRate = c.sameAsNew ? c.to : c.from;
        for (auto* p : { switched.get(), other.get() })
        {
            p->generatorMode = 2;
            p->parameterObjects[VinolaParameterTable::wobble]->setValueNotifyingHost (c.wobble);
        }

        double switchedFrame = 0.0, otherFrame = 0.0;
        switched->prepareToPlay (c.from, 512);
        renderMusic (*switched, c.from, 512, 48000, switchedFrame);
        switched->releaseResources();
        switched->prepareToPlay (c.to, 256);

        // The reference is a new instance at the new rate, or one that has played straight on.
        other->prepareToPlay (c.sameAsNew ? c.to : c.from, 512);
        if (! c.sameAsNew)
            renderMusic (*other, c.from, 512, 48000, otherFrame);
        else
            otherFrame = switchedFrame;

        const auto got = renderMusic (*switched, playRate, 256, 4096, switchedFrame);
        const auto expected = renderMusic (*other, playRate, 256, 4096, otherFrame);
        ASSERT_EQ (got.size(), expected.size());
        EXPECT_EQ (std::memcmp (got.data(), expected.data(), got.size() * sizeof (float)), 0);
    }
}

namespace
{
    float peakOf (const std::vector<float>& samples)
    {
        float peak = 0.0f;
        for (float s : samples)
            peak = std::max (peak, std::abs (s));
        return peak;
    }

    /** What a new rate must leave as it was: the oscillators' and the loop's places, the WOBBLE
        glide, and the last second or so of what both wobble lines stored. */
    struct RunningState
    {
        float humPhase, wobblePhase;
        double loopPosition;
        VinolaParameterSmoother wobbleGlide;
        std::vector<float> wobbleHistory;

        explicit RunningState (const VinolaDspEngine& d)
            : humPhase (d.humStage.phase), wobblePhase (d.wobble.getPhase()), loopPosition (d.noiseLoop.position),
              wobbleGlide (d.wobbleAmount)
        {
            for (int ch = 0; ch < 2; ++ch)
                for (int age = 0; age < 24000; ++age)
                    wobbleHistory.push_back (d.wobble.getStoredSample (ch, age));
        }
    };
}

// The same rate changes with everything moving: WOBBLE up, the generators running and a WOBBLE
// glide under way. Only the amplifier's filters start afresh; the rest carries across, and what
// follows peaks as a new instance at the new rate does (a burst was over ten times that).
TEST (VinolaAudioProcessorShell, ANewRateClearsOnlyTheFiltersAndEverythingElseCarriesAcross)
{
    using T = VinolaParameterTable;
    struct Case { double from, to; };
    const Case cases[] = { { 96000.0, 22050.0 }, { 44100.0, 22050.0 }, { 22050.0, 96000.0 }, { 44100.0, 48000.0 } };

    // Hum and vinyl noise up and scratches off, so that the peaks compare without chance events.
    auto setUp = [] (VinolaAudioProcessor& p, double rate)
    {
        p.generatorMode = 0;
        const std::pair<int, float> values[] = { { T::hum, 0.5f }, { T::vinylNoise, 0.5f }, { T::scratches, 0.0f },
                                                 { T::wobble, 0.5f } };
        for (const auto& [index, value] : values)
            p.parameterObjects[index]->setValueNotifyingHost (value);
        p.prepareToPlay (rate, 512);
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.from) + " -> " + juce::String (c.to));
        auto switched = std::make_unique<VinolaAudioProcessor>(), fresh = std::make_unique<VinolaAudioProcessor>();
        setUp (*switched, c.from);
        double frame = 0.0;
        renderMusic (*switched, c.from, 512, (int) c.from, frame);
        // WOBBLE glides to 1 over a tenth of a second; one block of the glide has gone.
        switched->parameterObjects[T::wobble]->setValueNotifyingHost (1.0f);
        renderMusic (*switched, c.from, 256, 256, frame);

        const RunningState before (switched->dsp);
        ASSERT_GT (before.wobbleGlide.countdown, 0);
        ASSERT_GT (peakOf (before.wobbleHistory), 0.1f);

        switched->releaseResources();
        switched->prepareToPlay (c.to, 256);
        const RunningState after (switched->dsp);
        EXPECT_EQ (switched->dsp.sampleRate, (float) c.to);
        EXPECT_EQ (after.humPhase, before.humPhase);
        EXPECT_EQ (after.wobblePhase, before.wobblePhase);
        EXPECT_EQ (after.loopPosition, before.loopPosition);
        EXPECT_EQ (after.wobbleGlide.current, before.wobbleGlide.current);
        EXPECT_EQ (after.wobbleGlide.step, before.wobbleGlide.step);
        EXPECT_EQ (after.wobbleGlide.countdown, before.wobbleGlide.countdown);
        EXPECT_TRUE (after.wobbleHistory == before.wobbleHistory);

        setUp (*fresh, c.to);
        fresh->parameterObjects[T::wobble]->setValueNotifyingHost (1.0f);
        double freshFrame = frame;
        const float switchedPeak = peakOf (renderMusic (*switched, c.to, 256, 8192, frame));
        const float freshPeak = peakOf (renderMusic (*fresh, c.to, 256, 8192, freshFrame));
        EXPECT_NEAR (switchedPeak, freshPeak, 0.1f * freshPeak);
    }
}
