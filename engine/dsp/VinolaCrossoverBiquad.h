#pragma once

/** One Butterworth biquad of a crossover section's pair (both biquads of a pair are the same),
    in the form the crossover's kernels run (see VinolaCrossover::PairUnit): feedback c (= -a2 of
    the usual form), dcFeedback E (= 1 - a1 - a2, the denominator at DC), gain, and levelWeight
    p (2 + b1: 4 for a low-pass, 0 for a high-pass). Its state lives in the pair's unit. */
struct VinolaCrossoverBiquad
{
    float feedback, dcFeedback, gain, levelWeight;
};
