#include "VinolaFloat4.h"

// Every operation of the four-lane vector is inline: it runs per sample. This unit only makes
// sure the header compiles on its own, whichever of the two implementations the target selects.
static_assert (sizeof (VinolaFloat4) == 4 * sizeof (float), "four packed lanes, no padding");
