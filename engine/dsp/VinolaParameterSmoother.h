#pragma once

/** A linear ramp: set once per block, ticked once per sample frame. */
struct VinolaParameterSmoother
{
    float current = 0.0f;
    float target = 0.0f;
    float step = 0.0f;
    int countdown = 0;

    /** Starts a ramp of rampLength frames towards value, unless value is already the target
        (then a ramp in progress runs on unchanged). A length of 0 makes the next tick return
        the new target at once. */
    void setTarget (float value, int rampLength) noexcept;

    /** This frame's value. */
    float tick() noexcept
    {
        if (countdown > 0)
        {
            --countdown;
            current += step;
            return current;
        }
        return target;
    }

    /** Jumps to the target and stops ramping. */
    void snap() noexcept
    {
        current = target;
        countdown = 0;
    }
};
