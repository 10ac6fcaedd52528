// Loads the built plug-in through JUCE's own hosting code, as a host would.
#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>
#include <X11/Xlib.h>

namespace
{
    int ignoreXErrors (Display*, XErrorEvent*) { return 0; }

    const char* const expectedNames[] = { "INPUT GAIN", "AMP NOISE", "VINYL NOISE", "HUM", "SCRATCHES",
                                          "SCRATCHES RATE", "HUM FREQ SW", "NEEDLE QUALITY", "AMP QUALITY",
                                          "CABLE QUALITY", "OUTPUT GAIN", "MIX", "DUCKING", "WOBBLE" };

    std::unique_ptr<juce::AudioPluginInstance> loadPlugin (juce::AudioPluginFormat& format, const juce::String& path)
    {
        juce::OwnedArray<juce::PluginDescription> found;
        format.findAllTypesForFile (found, path);
        if (found.isEmpty())
            return {};
        juce::String error;
        return format.createInstanceFromDescription (*found[0], 44100.0, 512, error);
    }

    // Parameters of our own, in order, skipping what a wrapper adds (its bypass).
    juce::StringArray ownParameterNames (juce::AudioPluginInstance& plugin)
    {
        juce::StringArray names;
        for (auto* p : plugin.getParameters())
        {
            const auto name = p->getName (64);
            if (! name.equalsIgnoreCase ("Bypass"))
                names.add (name);
        }
        return names;
    }

    // LV2 hosts list parameters in their own order, so only VST3 is held to the table's order.
    void checkPlugin (juce::AudioPluginInstance& plugin, bool inTableOrder)
    {
        auto names = ownParameterNames (plugin);
        ASSERT_EQ (names.size(), 14);
        juce::StringArray expected (expectedNames, 14);
        if (! inTableOrder)
        {
            names.sort (false);
            expected.sort (false);
        }
        for (int i = 0; i < 14; ++i)
            EXPECT_EQ (names[i], expected[i]);

        plugin.setPlayConfigDetails (2, 2, 44100.0, 512);
        plugin.prepareToPlay (44100.0, 512);
        juce::AudioBuffer<float> buffer (2, 512);
        for (int i = 0; i < 512; ++i)
        {
            buffer.setSample (0, i, 0.25f * std::sin ((float) i * 0.05f));
            buffer.setSample (1, i, 0.25f * std::sin ((float) i * 0.07f));
        }
        juce::MidiBuffer midi;
        plugin.processBlock (buffer, midi);
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < 512; ++i)
                ASSERT_TRUE (std::isfinite (buffer.getSample (ch, i)));
        plugin.releaseResources();
    }
}

TEST (HostedPlugin, Vst3LoadsProcessesAndRoundTripsState)
{
    juce::VST3PluginFormat format;
    auto plugin = loadPlugin (format, VINOLA_VST3_PATH);
    ASSERT_NE (plugin, nullptr) << "no VST3 at " << VINOLA_VST3_PATH;
    EXPECT_EQ (plugin->getName(), "Vinola");
    checkPlugin (*plugin, true);

    // Change two parameters, save through the wrapper, disturb them, restore.
    auto* wobble = plugin->getParameters()[13];
    auto* mix = plugin->getParameters()[11];
    ASSERT_EQ (wobble->getName (64), "WOBBLE");
    wobble->setValueNotifyingHost (0.75f);
    mix->setValueNotifyingHost (0.25f);

    juce::MemoryBlock state;
    plugin->getStateInformation (state);
    EXPECT_GT (state.getSize(), 0u);

    wobble->setValueNotifyingHost (0.0f);
    mix->setValueNotifyingHost (1.0f);
    plugin->setStateInformation (state.getData(), (int) state.getSize());

    EXPECT_NEAR (wobble->getValue(), 0.75f, 1e-6f);
    EXPECT_NEAR (mix->getValue(), 0.25f, 1e-6f);
}

TEST (HostedPlugin, Lv2LoadsAndProcesses)
{
    const juce::File bundle (VINOLA_LV2_PATH);
    juce::LV2PluginFormat scanner;
    const auto ids = scanner.searchPathsForPlugins (juce::FileSearchPath (bundle.getParentDirectory().getFullPathName()), true, false);
    juce::String uri;
    for (const auto& id : ids)
        if (id.contains ("vinola"))
            uri = id;
    ASSERT_TRUE (uri.isNotEmpty()) << ids.joinIntoString (", ").toStdString();
    auto plugin = loadPlugin (scanner, uri);
    ASSERT_NE (plugin, nullptr);
    checkPlugin (*plugin, false);
}

int main (int argc, char** argv)
{
    XSetErrorHandler (ignoreXErrors);
    ::testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
