#pragma once

/** One Butterworth biquad of a crossover section's pair (both biquads of a pair are the same),
    in the form the crossover's kernels run (see VinolaCrossover::PairUnit), whose recursion is
    w = x + a1 z1 + a2 z2: feedback c (= -a2 there, which is +a2 of the usual denominator
    1 + a1 z^-1 + a2 z^-2), dcFeedback E (= 1 - a1 - a2 there, the denominator at DC), gain, and
    levelWeight p (2 + b1: 4 for a low-pass, 0 for a high-pass). Its state lives in the pair's
    unit. */
struct VinolaCrossoverBiquad
{
    float feedback, dcFeedback, gain, levelWeight;
};
