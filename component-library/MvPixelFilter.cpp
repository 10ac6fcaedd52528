#include "MvPixelFilter.h"

MvPixelFilter::~MvPixelFilter() = default;
