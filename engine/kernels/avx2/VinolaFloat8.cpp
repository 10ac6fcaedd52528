#include "VinolaFloat8.h"

// Every function of the eight-lane kernels is inline: it runs per sample. This unit only makes
// sure the header compiles on its own, for the instruction set it is written for.
