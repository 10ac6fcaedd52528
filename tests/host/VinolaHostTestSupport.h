#pragma once

// What the host tests share: loading the built plug-in through JUCE's hosting, running the
// virtual display's tools, and reading back what the X server shows.

#include <juce_audio_processors/juce_audio_processors.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace hosttest
{
    /** The first plug-in of a built bundle, at 44.1 kHz and 512-frame blocks; null when it does not load. */
    inline std::unique_ptr<juce::AudioPluginInstance> loadPlugin (juce::AudioPluginFormat& format, const juce::String& path)
    {
        juce::OwnedArray<juce::PluginDescription> found;
        format.findAllTypesForFile (found, path);
        if (found.isEmpty())
            return {};
        juce::String error;
        return format.createInstanceFromDescription (*found[0], 44100.0, 512, error);
    }

    inline std::unique_ptr<juce::AudioPluginInstance> loadVst3()
    {
        juce::VST3PluginFormat format;
        return loadPlugin (format, VINOLA_VST3_PATH);
    }

    /** The built LV2 bundle, found by its URI as an LV2 host scans for it; null when it does not load. */
    inline std::unique_ptr<juce::AudioPluginInstance> loadLv2()
    {
        const juce::File bundle (VINOLA_LV2_PATH);
        juce::LV2PluginFormat format;
        const auto ids = format.searchPathsForPlugins (juce::FileSearchPath (bundle.getParentDirectory().getFullPathName()), true, false);
        for (const auto& id : ids)
            if (id.contains ("vinola"))
                return loadPlugin (format, id);
        return {};
    }

    /** Runs a command and returns what it printed (empty when it could not start). */
    inline juce::String run (const juce::StringArray& command, int timeoutMs = 10000)
    {
        juce::ChildProcess process;
        if (! process.start (command, juce::ChildProcess::wantStdOut))
            return {};
        auto output = process.readAllProcessOutput();
        process.waitForProcessToFinish (timeoutMs);
        return output;
    }

    inline void pump (int milliseconds)
    {
        juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
    }

    /** A window's place and size on the X server, as xdotool reports them. */
    inline juce::Rectangle<int> windowGeometry (const juce::String& window)
    {
        juce::StringPairArray g;
        for (auto line : juce::StringArray::fromLines (run ({ "xdotool", "getwindowgeometry", "--shell", window })))
            if (line.contains ("="))
                g.set (line.upToFirstOccurrenceOf ("=", false, false), line.fromFirstOccurrenceOf ("=", false, false));
        return { g["X"].getIntValue(), g["Y"].getIntValue(), g["WIDTH"].getIntValue(), g["HEIGHT"].getIntValue() };
    }

    /** What the X server shows of a window (its child windows included), as a JUCE image. */
    inline juce::Image grabWindow (::Window window, int width, int height)
    {
        juce::Image result;
        Display* display = XOpenDisplay (nullptr);
        if (display == nullptr)
            return result;

        if (XImage* x = XGetImage (display, window, 0, 0, (unsigned) width, (unsigned) height, AllPlanes, ZPixmap))
        {
            result = juce::Image (juce::Image::RGB, width, height, false, juce::SoftwareImageType());
            for (int y = 0; y < height; ++y)
                for (int xx = 0; xx < width; ++xx)
                {
                    const auto p = XGetPixel (x, xx, y);
                    result.setPixelAt (xx, y, juce::Colour ((juce::uint8) ((p >> 16) & 0xff), (juce::uint8) ((p >> 8) & 0xff),
                                                            (juce::uint8) (p & 0xff)));
                }
            XDestroyImage (x);
        }
        XCloseDisplay (display);
        return result;
    }

    inline ::Window nativeWindowOf (juce::Component& component)
    {
        return (::Window) (juce::pointer_sized_uint) component.getPeer()->getNativeHandle();
    }

    /** Keeps a picture of what the test saw, in the test's working folder (the build tree). */
    inline void savePng (const juce::Image& image, const char* name)
    {
        const auto file = juce::File::getCurrentWorkingDirectory().getChildFile (name);
        file.deleteFile();
        juce::FileOutputStream out (file);
        juce::PNGImageFormat().writeImageToStream (image, out);
    }
}
