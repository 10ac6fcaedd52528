// Renders the plug-in's real window to PNG files at 1x and 2x, with chosen parameter values and
// generator mode, so the window can be looked at without a host. A development tool, not part
// of the product.
//
//   VinolaScreenshot <out.png> [--mode 0|1|2] [--ticks N] [--ducking LEVEL] [--archive FILE]
//                    [NAME=VALUE ...]
//
// Writes <out.png> at 1x and <out>@2x.png at 2x. NAME is a parameter name with spaces written
// as underscores (VINYL_NOISE=0.5) or its index (2=0.5); VALUE is the normalised 0..1 value.
// --ticks runs that many timer ticks before the picture (the record turns in mode 0, the
// ducking dot follows --ducking, fed before every tick). The window reads the installed asset
// archive unless --archive names another one.

#include <juce_gui_basics/juce_gui_basics.h>

#include "MvPlatform.h"
#include "VinolaAudioProcessor.h"
#include "VinolaAudioProcessorEditor.h"
#include "VinolaToolParameters.h"

#include <cstdio>
#include <memory>

namespace
{
    int usage()
    {
        std::fprintf (stderr, "usage: VinolaScreenshot <out.png> [--mode 0|1|2] [--ticks N] [--ducking LEVEL]\n"
                              "       [--archive FILE] [NAME=VALUE ...]\n");
        return 2;
    }

    bool writePng (const juce::Image& image, const juce::File& file)
    {
        file.deleteFile();
        juce::FileOutputStream out (file);
        juce::PNGImageFormat png;
        return out.openedOk() && png.writeImageToStream (image, out);
    }
}

int main (int argc, char** argv)
{
    if (argc < 2)
        return usage();

    juce::ScopedJuceInitialiser_GUI juceInit;

    const juce::File outFile = juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]);
    int mode = 1, ticks = 0;
    float ducking = 0.0f;
    juce::File archive;
    juce::StringPairArray values;

    for (int i = 2; i < argc; ++i)
    {
        const juce::String arg (argv[i]);
        auto next = [&] { return i + 1 < argc ? juce::String (argv[++i]) : juce::String(); };
        if (arg == "--mode") mode = next().getIntValue();
        else if (arg == "--ticks") ticks = juce::jmax (0, next().getIntValue());
        else if (arg == "--ducking") ducking = next().getFloatValue();
        else if (arg == "--archive") archive = juce::File::getCurrentWorkingDirectory().getChildFile (next());
        else if (arg.contains ("=")) values.set (arg.upToFirstOccurrenceOf ("=", false, false), arg.fromFirstOccurrenceOf ("=", false, false));
        else return usage();
    }

    // The processor keeps a settings file: never let a screenshot touch the real home. The
    // archive is the installed one unless another is named.
    const auto sandbox = juce::File::createTempFile ("vinola-screenshot");
    sandbox.createDirectory();
    juce::File commonFolder;
    if (archive != juce::File())
    {
        if (! archive.existsAsFile())
        {
            std::fprintf (stderr, "no archive at %s\n", archive.getFullPathName().toRawUTF8());
            return 1;
        }
        commonFolder = sandbox.getChildFile ("common");
        const auto target = commonFolder.getChildFile ("Marvolund/Vinola/appdata/Assets.mva");
        target.getParentDirectory().createDirectory();
        archive.copyFileTo (target);
    }
    MvPlatform::setFolderOverridesForTests (sandbox.getChildFile ("user"), commonFolder);

    int result = 0;
    {
        VinolaAudioProcessor processor;

        if (! VinolaToolParameters::apply (processor, values))
        {
            sandbox.deleteRecursively();
            return 2;
        }
        processor.generatorMode.store (mode);

        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditor());
        auto* vinolaEditor = dynamic_cast<VinolaAudioProcessorEditor*> (editor.get());

        if (vinolaEditor != nullptr)
        {
            for (int t = 0; t < ticks; ++t)
            {
                processor.dsp.duckingMeterLevel.store (ducking);
                vinolaEditor->timerCallback();
            }
        }

        const auto doubleFile = outFile.getSiblingFile (outFile.getFileNameWithoutExtension() + "@2x.png");
        const auto bounds = editor->getLocalBounds();
        const bool ok = writePng (editor->createComponentSnapshot (bounds, true, 1.0f), outFile)
                        && writePng (editor->createComponentSnapshot (bounds, true, 2.0f), doubleFile);

        if (ok)
            std::printf ("%s (%d x %d) and %s (%d x %d)\n", outFile.getFullPathName().toRawUTF8(),
                         bounds.getWidth(), bounds.getHeight(), doubleFile.getFullPathName().toRawUTF8(),
                         2 * bounds.getWidth(), 2 * bounds.getHeight());
        else
        {
            std::fprintf (stderr, "cannot write %s\n", outFile.getFullPathName().toRawUTF8());
            result = 1;
        }

        processor.editorBeingDeleted (editor.get());
        editor.reset();
    }
    sandbox.deleteRecursively();
    return result;
}
