// vinola-assets: builds the editor's asset archive.
//
//   vinola-assets artwork <output folder> <Inter font folder>
//       draws every picture as PNG, plus entries.txt listing "name=path" per picture
//   vinola-assets pack <archive> (<name>=<file> | @<list file>)...
//       writes an archive holding the given files under the given entry names, in order
//   vinola-assets contact-sheet <archive> <output.png> <Inter font folder>
//       writes a review picture of every image in the archive
//
// Exits with 0 on success; otherwise prints why to stderr and exits with 1.

#include "MvAssetArchive.h"
#include "MvContactSheet.h"
#include "VinolaArtStyle.h"
#include "VinolaArtworkSet.h"

#include <iostream>

namespace
{
    int fail (const juce::String& message)
    {
        std::cerr << "vinola-assets: " << message << std::endl;
        return 1;
    }

    juce::File argFile (const juce::String& arg)
    {
        return juce::File::getCurrentWorkingDirectory().getChildFile (arg);
    }

    bool addPair (MvAssetArchive& archive, const juce::String& pair, juce::String& error)
    {
        const auto split = pair.indexOfChar ('=');
        if (split <= 0)
        {
            error = "expected <name>=<file>, got \"" + pair + "\"";
            return false;
        }
        return archive.addFile (pair.substring (0, split), argFile (pair.substring (split + 1)), error);
    }

    int pack (const juce::StringArray& args)
    {
        if (args.size() < 2)
            return fail ("usage: pack <archive> (<name>=<file> | @<list file>)...");

        MvAssetArchive archive;
        juce::String error;
        for (int i = 1; i < args.size(); ++i)
        {
            juce::StringArray pairs;
            if (args[i].startsWithChar ('@'))
            {
                const auto list = argFile (args[i].substring (1));
                if (! list.existsAsFile())
                    return fail ("cannot read " + list.getFullPathName());
                pairs.addLines (list.loadFileAsString());
                pairs.removeEmptyStrings();
            }
            else
            {
                pairs.add (args[i]);
            }

            for (const auto& pair : pairs)
                if (! addPair (archive, pair, error))
                    return fail (error);
        }

        if (! archive.writeTo (argFile (args[0]), error))
            return fail (error);
        return 0;
    }

    int artwork (const juce::StringArray& args)
    {
        if (args.size() != 2)
            return fail ("usage: artwork <output folder> <Inter font folder>");
        if (! VinolaArtStyle::setFontFolder (argFile (args[1])))
            return fail ("the Inter faces are missing from " + argFile (args[1]).getFullPathName());

        juce::String error;
        if (! VinolaArtworkSet::writeAll (argFile (args[0]), error))
            return fail (error);
        return 0;
    }

    int contactSheet (const juce::StringArray& args)
    {
        if (args.size() != 3)
            return fail ("usage: contact-sheet <archive> <output.png> <Inter font folder>");
        VinolaArtStyle::setFontFolder (argFile (args[2]));

        MvAssetArchive archive;
        juce::String error;
        if (! archive.readFrom (argFile (args[0]), error))
            return fail (error);

        const auto sheet = MvContactSheet::render (archive, VinolaArtStyle::font (VinolaArtStyle::Weight::medium, 13.0f));
        juce::MemoryOutputStream png;
        juce::PNGImageFormat format;
        const auto out = argFile (args[1]);
        if (! format.writeImageToStream (sheet, png) || ! out.replaceWithData (png.getData(), png.getDataSize()))
            return fail ("cannot write " + out.getFullPathName());
        return 0;
    }
}

int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juceSystem;

    juce::StringArray args;
    for (int i = 2; i < argc; ++i)
        args.add (juce::String::fromUTF8 (argv[i]));

    const juce::String command = argc > 1 ? juce::String::fromUTF8 (argv[1]) : juce::String();
    if (command == "pack")          return pack (args);
    if (command == "artwork")       return artwork (args);
    if (command == "contact-sheet") return contactSheet (args);
    return fail ("usage: vinola-assets (artwork | pack | contact-sheet) ...");
}
