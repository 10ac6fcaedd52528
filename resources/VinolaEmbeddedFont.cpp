#include "VinolaEmbeddedFont.h"

// Written by the assembler from the font file in resources/.
extern "C" const unsigned char vinola_roboto_mono_regular[];
extern "C" const unsigned int vinola_roboto_mono_regular_size;

const void* VinolaEmbeddedFont::robotoMonoRegular (int& sizeInBytes) noexcept
{
    sizeInBytes = (int) vinola_roboto_mono_regular_size;
    return vinola_roboto_mono_regular;
}
