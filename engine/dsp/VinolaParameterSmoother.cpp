#include "VinolaParameterSmoother.h"

void VinolaParameterSmoother::setTarget (float value, int rampLength) noexcept
{
    if (value == target)
        return;

    target = value;
    countdown = rampLength > 0 ? rampLength : 0;
    // With no frames to ramp over the step is never used; skip the division by zero.
    step = countdown > 0 ? (value - current) / (float) countdown : 0.0f;
}
