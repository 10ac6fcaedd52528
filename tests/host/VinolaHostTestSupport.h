#pragma once

// What the host tests share: loading the built plug-in through JUCE's hosting, running the
// virtual display's tools, and reading back what the X server shows.

#include <juce_audio_processors/juce_audio_processors.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <csignal>
#include <cstdlib>
#include <set>
#include <unistd.h>

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

    /** Runs a command and returns what it printed (empty when it could not start), its error
        messages too where asked, so that a failure message can say why a step failed. */
    inline juce::String run (const juce::StringArray& command, int timeoutMs = 10000, bool withErrors = false)
    {
        juce::ChildProcess process;
        if (! process.start (command, withErrors ? juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr
                                                 : juce::ChildProcess::wantStdOut))
            return {};
        auto output = process.readAllProcessOutput();
        process.waitForProcessToFinish (timeoutMs);
        return output;
    }

    inline bool haveProgram (const char* name)
    {
        return run ({ "sh", "-c", juce::String ("command -v ") + name }).trim().isNotEmpty();
    }

    inline void pump (int milliseconds)
    {
        juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
    }

    /** Keeps JUCE's message loop going until a condition holds; false when it does not within
        the time, which leaves room for a loaded machine with 2 cores. */
    template <typename Condition>
    bool waitFor (Condition condition, int milliseconds = 10000)
    {
        for (int waited = 0; ! condition(); waited += 20)
        {
            if (waited >= milliseconds)
                return false;
            pump (20);
        }
        return true;
    }

    /** A program started for the test and ended with it: asked to quit, then killed; and
        ended by the system should the test program itself die first. */
    struct Spawned
    {
        explicit Spawned (const juce::StringArray& command)
        {
            // The shell notes its process id and becomes the program, so the id is the program's.
            const auto pidFile = juce::File::createTempFile ("pid");
            juce::StringArray args { "sh", "-c", "echo $$ > '" + pidFile.getFullPathName() + "'; exec \"$@\"", "sh",
                                     "setpriv", "--pdeathsig", "TERM" };
            args.addArray (command);
            if (process.start (args, 0))
                for (int i = 0; i < 100 && pid <= 0; ++i, juce::Thread::sleep (10))
                    pid = pidFile.loadFileAsString().getIntValue();
            pidFile.deleteFile();
        }

        ~Spawned()
        {
            if (pid > 0 && process.isRunning())
            {
                ::kill (pid, SIGTERM);
                process.waitForProcessToFinish (3000);
            }
            if (process.isRunning())
                process.kill();
        }

        juce::ChildProcess process;
        int pid = 0;
    };

    /** The first window named Vinola of a process (0 while there is none): several tests run at
        once may each have one. */
    inline ::Window windowOf (int pid)
    {
        return (::Window) run ({ "xdotool", "search", "--all", "--pid", juce::String (pid), "--name", "^Vinola$" })
                              .trim().upToFirstOccurrenceOf ("\n", false, false).getLargeIntValue();
    }

    /** A window's place and size from what `xdotool getwindowgeometry --shell` printed. */
    inline juce::Rectangle<int> geometryFrom (const juce::String& xdotoolOutput)
    {
        juce::StringPairArray g;
        for (auto line : juce::StringArray::fromLines (xdotoolOutput))
            if (line.contains ("="))
                g.set (line.upToFirstOccurrenceOf ("=", false, false), line.fromFirstOccurrenceOf ("=", false, false));
        return { g["X"].getIntValue(), g["Y"].getIntValue(), g["WIDTH"].getIntValue(), g["HEIGHT"].getIntValue() };
    }

    /** The window named Vinola of a process that is shown with at least the editor's size, and
        its place (id 0 while there is none); `said` gets what xdotool printed. JUCE replaces
        its first window soon after making it, and sizes a window before it places and shows
        it: so a caller polls this, and each call searches afresh. */
    inline std::pair<::Window, juce::Rectangle<int>> shownWindowOf (int pid, juce::String& said)
    {
        said = run ({ "xdotool", "search", "--all", "--onlyvisible", "--pid", juce::String (pid), "--name", "^Vinola$" }, 10000, true);
        for (auto id : juce::StringArray::fromLines (said.trim()))
        {
            const auto geometry = run ({ "xdotool", "getwindowgeometry", "--shell", id }, 10000, true);
            said << geometry;
            if (const auto bounds = geometryFrom (geometry); bounds.getWidth() >= 748 && bounds.getHeight() >= 350)
                return { (::Window) id.getLargeIntValue(), bounds };
        }
        return {};
    }

    /** What the X server shows of a window (its child windows included) from a point of it, as
        a JUCE image. */
    inline juce::Image grabWindow (::Window window, int width, int height, juce::Point<int> from = {})
    {
        juce::Image result;
        Display* display = XOpenDisplay (nullptr);
        if (display == nullptr)
            return result;

        if (XImage* x = XGetImage (display, window, from.x, from.y, (unsigned) width, (unsigned) height, AllPlanes, ZPixmap))
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

    /** The window's size at each zoom step, each worked out from 748 x 350 and the factor alone
        (half pixels rounded to the even neighbour, as JUCE rounds them for the host). */
    struct ZoomedSize { int item, percent, width, height; };
    constexpr ZoomedSize zoomedSizes[] = {
        { 0, 75, 561, 262 }, { 1, 100, 748, 350 }, { 2, 125, 935, 438 },
        { 3, 150, 1122, 525 }, { 4, 175, 1309, 612 }, { 5, 200, 1496, 700 },
    };

    /** Where to click, in a window's own pixels at a zoom of `percent`: the zoom button's middle,
        and the middle of a list item (the list drops at x -10 with a margin of 10, rows of 26
        from y 15). */
    inline juce::Point<int> zoomButtonAt (int percent) { return { 14 * percent / 100, 14 * percent / 100 }; }
    inline juce::Point<int> zoomItemAt (int percent, int item) { return { 55 * percent / 100, (15 + 26 * item + 13) * percent / 100 }; }

    /** Runs xdotool, keeping JUCE's message loop going meanwhile; what the events do is waited
        for by the caller. */
    inline void xdotool (juce::StringArray args)
    {
        args.insert (0, "xdotool");
        juce::ChildProcess process;
        if (process.start (args, 0))
            for (int i = 0; i < 250 && process.isRunning(); ++i)
                pump (20);
    }

    inline juce::Point<int> screenPosition (::Window window)
    {
        juce::Point<int> p;
        if (Display* display = XOpenDisplay (nullptr))
        {
            ::Window child = 0;
            XTranslateCoordinates (display, window, DefaultRootWindow (display), 0, 0, &p.x, &p.y, &child);
            XCloseDisplay (display);
        }
        return p;
    }

    /** A real click at a point of a window, in the window's own pixels. */
    inline void clickIn (::Window window, juce::Point<int> at)
    {
        const auto p = screenPosition (window) + at;
        xdotool ({ "mousemove", juce::String (p.x), juce::String (p.y), "click", "1" });
    }

    /** Whether the zoom list shows on the screen: the row of `item` (not the selected one) in
        its fill left of its text, in a window showing the zoom `percent` with the editor at `editor`. */
    inline bool zoomListShows (::Window window, int percent, int item, juce::Point<int> editor = {})
    {
        const auto c = grabWindow (window, 1, 1, editor + juce::Point<int> (6 * percent / 100, zoomItemAt (percent, item).y)).getPixelAt (0, 0);
        return std::abs (c.getRed() - 0x39) + std::abs (c.getGreen() - 0x46) + std::abs (c.getBlue() - 0x4d) < 24;
    }

    /** Chooses a zoom step with real clicks, as a user does: once the window is drawn without
        the list, its zoom button; once the list shows, the item. False when either did not come. */
    inline bool clickZoomChoice (::Window window, int percent, int item, juce::Point<int> editor = {})
    {
        if (! waitFor ([&] { return ! zoomListShows (window, percent, item, editor); }))
            return false;
        clickIn (window, editor + zoomButtonAt (percent));
        if (! waitFor ([&] { return zoomListShows (window, percent, item, editor); }))
            return false;
        clickIn (window, editor + zoomItemAt (percent, item));
        return true;
    }

    /** An X window's size on the server, in physical pixels. */
    inline juce::Point<int> physicalSize (::Window window)
    {
        XWindowAttributes a {};
        if (auto* display = XOpenDisplay (nullptr))
        {
            XGetWindowAttributes (display, window, &a);
            XCloseDisplay (display);
        }
        return { a.width, a.height };
    }

    inline juce::Point<int> physicalSize (juce::Component& window)
    {
        return physicalSize (nativeWindowOf (window));
    }

    inline int distinctColours (const juce::Image& image)
    {
        std::set<juce::uint32> colours;
        for (int y = 0; y < image.getHeight(); y += 2)
            for (int x = 0; x < image.getWidth(); x += 2)
                colours.insert (image.getPixelAt (x, y).getARGB());
        return (int) colours.size();
    }

    /** The editor of a hosted plug-in in a window of its own at (x, y), without decorations. */
    struct OpenEditor
    {
        OpenEditor (juce::AudioPluginInstance& p, int x, int y) : plugin (p), editor (p.createEditorIfNeeded())
        {
            if (editor == nullptr)
                return;
            editor->setName ("Zoomed Vinola VST3");
            editor->setTopLeftPosition (x, y);
            editor->addToDesktop (0);
            editor->setVisible (true);
            pump (800);
        }

        ~OpenEditor()
        {
            if (editor == nullptr)
                return;
            // JUCE's XEmbedComponent answers a move or resize with an async call on itself: let
            // those run while it lives, or a window deleted first gets them (use after free).
            pump (300);
            plugin.editorBeingDeleted (editor.get());
            editor.reset();
            pump (50);
        }

        juce::AudioPluginInstance& plugin;
        std::unique_ptr<juce::AudioProcessorEditor> editor;
    };

    /** A home folder of the test's own for as long as it lives, so that a plug-in loaded into
        this process keeps its settings there (it finds them under ~/.config). */
    struct ScopedHome
    {
        explicit ScopedHome (const char* name)
            : previous (std::getenv ("HOME") != nullptr ? std::getenv ("HOME") : ""),
              folder (juce::File::createTempFile (name))
        {
            folder.createDirectory();
            setenv ("HOME", folder.getFullPathName().toRawUTF8(), 1);
        }

        ~ScopedHome()
        {
            setenv ("HOME", previous.toRawUTF8(), 1);
            folder.deleteRecursively();
        }

        juce::File settingsFile() const { return folder.getChildFile (".config/Marvolund/Vinola/Vinola.settings"); }

        /** The plug-in's settings file, in the format the plug-in reads and writes. */
        std::unique_ptr<juce::PropertiesFile> openSettings() const
        {
            juce::PropertiesFile::Options options;
            options.storageFormat = juce::PropertiesFile::storeAsCompressedBinary;
            return std::make_unique<juce::PropertiesFile> (settingsFile(), options);
        }

        const juce::String previous;
        const juce::File folder;
    };

    /** Keeps a picture of what the test saw, in the test's working folder (the build tree). */
    inline void savePng (const juce::Image& image, const char* name)
    {
        if (! image.isValid())
            return;
        const auto file = juce::File::getCurrentWorkingDirectory().getChildFile (name);
        file.deleteFile();
        juce::FileOutputStream out (file);
        juce::PNGImageFormat().writeImageToStream (image, out);
    }
}
