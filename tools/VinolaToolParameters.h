#pragma once

// Parameter values given on a tool's command line as NAME=value (the host's names, spaces as
// underscores, any case) or INDEX=value, set on a processor before it renders or shows its window.

#include "VinolaAudioProcessor.h"
#include "VinolaParameterTable.h"

#include <cstdio>

namespace VinolaToolParameters
{
    /** The parameter index of a name or decimal index, or -1. */
    inline int indexOf (juce::String name)
    {
        if (name.containsOnly ("0123456789"))
            return name.getIntValue();
        name = name.replaceCharacter ('_', ' ').toUpperCase();
        for (int i = 0; i < VinolaParameterTable::numParameters; ++i)
            if (name == VinolaParameterTable::rows[i].name)
                return i;
        return -1;
    }

    /** Sets every value; names an unknown parameter on stderr and returns false at the first one. */
    inline bool apply (VinolaAudioProcessor& processor, const juce::StringPairArray& values)
    {
        for (const auto& key : values.getAllKeys())
        {
            const int index = indexOf (key);
            if (index < 0 || index >= VinolaParameterTable::numParameters)
            {
                std::fprintf (stderr, "unknown parameter %s\n", key.toRawUTF8());
                return false;
            }
            processor.getParameters()[index]->setValueNotifyingHost (values[key].getFloatValue());
        }
        return true;
    }
}
