// MvTooltipParent is a marker base with no operations; this file only proves that its header
// compiles on its own.
#include "MvTooltipParent.h"
