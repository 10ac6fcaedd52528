#include "VinolaFloat8.h"

// Every function of the eight-lane kernels is inline: it runs per sample. This unit only makes
// sure the header compiles on its own, with or without the AVX2 kernels.
