#include "Voice.h"

#include <cmath>
#include <cstring>

#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#define QM70_VOICE_AVX 1
#include <immintrin.h>
#else
#define QM70_VOICE_AVX 0
#endif

// The output must be the same bits on every compiler: a fused multiply-add would skip a rounding.
// (GCC contracts only where the target has FMA, which the x86-64 baseline has not.)
#if defined(__clang__)
#pragma clang fp contract(off)
#endif

namespace
{
uint64_t bitsOf (double value)
{
    uint64_t bits;
    std::memcpy (&bits, &value, sizeof bits);
    return bits;
}

// The pan law's constants, as doubles: the output must not depend on how a compiler folds π.
constexpr double halfPi = 1.5707963267948966;
constexpr double twoOverPi = 0.6366197723675814;

// One output sample: linear interpolation rounded to float, then the gains and the sum in double,
// rounded to float again.
inline void addSample (float* out, int i, double s0, double s1, double f, double sideGain, double currentGain)
{
    const float v = static_cast<float> (s1 * f + s0 * (1.0 - f));
    out[i] = static_cast<float> (out[i] + (static_cast<double> (v) * sideGain) * currentGain);
}

// Where the voice is in one render call, shared by the plain loops and the vector one.
struct Run
{
    const float* sourceLeft;
    const float* sourceRight;
    float* left;
    float* right;
    double leftGain;
    double rightGain;
    double step;
    double multiplier;
    double lastPairStart; // both neighbours lie inside the sample while the position is below this
    int numSamples;

    int i;
    double position;
    double currentGain;
};

#if QM70_VOICE_AVX
// Probed once when the library loads, so the audio thread only reads a flag.
const bool cpuHasAvx = []
{
    __builtin_cpu_init();
    return __builtin_cpu_supports ("avx") != 0;
}();

// The same arithmetic as addSample for four output samples of one channel: each lane does exactly
// the scalar operations in the same order, so the bits are the same.
__attribute__ ((target ("avx"))) inline void addFour (float* out,
                                                      const float* source,
                                                      const int* idx,
                                                      __m256d f,
                                                      __m256d oneMinusF,
                                                      __m256d sideGain,
                                                      __m256d currentGain)
{
    // (s[idx], s[idx + 1]) for each of the four, then regrouped as all s0 and all s1.
    const __m128i ab = _mm_unpacklo_epi64 (_mm_loadl_epi64 (reinterpret_cast<const __m128i*> (source + idx[0])),
                                           _mm_loadl_epi64 (reinterpret_cast<const __m128i*> (source + idx[1])));
    const __m128i cd = _mm_unpacklo_epi64 (_mm_loadl_epi64 (reinterpret_cast<const __m128i*> (source + idx[2])),
                                           _mm_loadl_epi64 (reinterpret_cast<const __m128i*> (source + idx[3])));
    const __m128 s0 = _mm_shuffle_ps (_mm_castsi128_ps (ab), _mm_castsi128_ps (cd), _MM_SHUFFLE (2, 0, 2, 0));
    const __m128 s1 = _mm_shuffle_ps (_mm_castsi128_ps (ab), _mm_castsi128_ps (cd), _MM_SHUFFLE (3, 1, 3, 1));

    const __m256d v =
        _mm256_add_pd (_mm256_mul_pd (_mm256_cvtps_pd (s1), f), _mm256_mul_pd (_mm256_cvtps_pd (s0), oneMinusF));
    const __m256d rounded = _mm256_cvtps_pd (_mm256_cvtpd_ps (v));
    const __m256d sum = _mm256_add_pd (_mm256_cvtps_pd (_mm_loadu_ps (out)),
                                       _mm256_mul_pd (_mm256_mul_pd (rounded, sideGain), currentGain));
    _mm_storeu_ps (out, _mm256_cvtpd_ps (sum));
}

// Four output samples at a time, for as long as all four have both neighbours inside the sample.
// Positions and gains still advance one sample at a time, rounded at every step.
__attribute__ ((target ("avx"))) void renderFours (Run& run)
{
    const __m256d one = _mm256_set1_pd (1.0);
    const __m256d leftGain = _mm256_set1_pd (run.leftGain);
    const __m256d rightGain = _mm256_set1_pd (run.rightGain);
    const double step = run.step;
    const double multiplier = run.multiplier;
    const double lastPairStart = run.lastPairStart;

    // Locals, not run's fields: the vector stores below may alias anything, which would make the
    // compiler reload the fields at every turn.
    const float* const sourceLeft = run.sourceLeft;
    const float* const sourceRight = run.sourceRight;
    float* const left = run.left;
    float* const right = run.right;
    const int numSamples = run.numSamples;
    double position = run.position;
    double gain = run.currentGain;
    int i = run.i;

    for (; i + 4 <= numSamples; i += 4)
    {
        const double p0 = position;
        const double p1 = p0 + step;
        const double p2 = p1 + step;
        const double p3 = p2 + step;
        // Positions never fall, so the fourth below the limit means all four are.
        if (! (p3 < lastPairStart))
            break;

        const double g0 = gain;
        const double g1 = g0 * multiplier;
        const double g2 = g1 * multiplier;
        const double g3 = g2 * multiplier;

        // Positions are at least 0, so conversion by truncation is the int32 truncation.
        const __m256d positions = _mm256_set_pd (p3, p2, p1, p0);
        const __m128i whole = _mm256_cvttpd_epi32 (positions);
        alignas (16) int idx[4];
        _mm_store_si128 (reinterpret_cast<__m128i*> (idx), whole);
        const __m256d f =
            _mm256_sub_pd (positions, _mm256_round_pd (positions, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC));
        const __m256d oneMinusF = _mm256_sub_pd (one, f);
        const __m256d gains = _mm256_set_pd (g3, g2, g1, g0);

        addFour (left + i, sourceLeft, idx, f, oneMinusF, leftGain, gains);
        addFour (right + i, sourceRight, idx, f, oneMinusF, rightGain, gains);

        position = p3 + step;
        gain = g3 * multiplier;
    }

    run.position = position;
    run.currentGain = gain;
    run.i = i;

    // The code around is plain SSE: dirty upper halves would slow every instruction of it.
    _mm256_zeroupper();
}
#endif

// One output sample at a time, while both neighbours lie inside the sample.
void renderOnes (Run& run)
{
    double pos = run.position;
    double currentGain = run.currentGain;
    int i = run.i;
    for (; i < run.numSamples && pos < run.lastPairStart; ++i)
    {
        const int idx = static_cast<int> (pos);
        const double f = pos - idx;
        addSample (run.left, i, run.sourceLeft[idx], run.sourceLeft[idx + 1], f, run.leftGain, currentGain);
        addSample (run.right, i, run.sourceRight[idx], run.sourceRight[idx + 1], f, run.rightGain, currentGain);
        pos += run.step;
        currentGain *= run.multiplier;
    }
    run.i = i;
    run.position = pos;
    run.currentGain = currentGain;
}

// The last source sample: its right-hand neighbour counts as 0, so the voice fades out.
void renderFadeOut (Run& run, int len)
{
    double pos = run.position;
    double currentGain = run.currentGain;
    int i = run.i;
    for (; i < run.numSamples && pos < len; ++i)
    {
        const int idx = static_cast<int> (pos);
        const double f = pos - idx;
        addSample (run.left, i, run.sourceLeft[idx], 0.0, f, run.leftGain, currentGain);
        addSample (run.right, i, run.sourceRight[idx], 0.0, f, run.rightGain, currentGain);
        pos += run.step;
        currentGain *= run.multiplier;
    }
    run.i = i;
    run.position = pos;
    run.currentGain = currentGain;
}
} // namespace

void Voice::process (float* left, float* right, int numSamples)
{
    const SampleBufferEntry& entry = *buffer;
    const int len = entry.buffer.getNumSamples();

    const double gain = padState->gain.load (std::memory_order_seq_cst);
    const double panAngle = padState->panAngle.load (std::memory_order_seq_cst);
    const double decayFactor = padState->decayFactor.load (std::memory_order_seq_cst);
    const double pitchRatio = padState->pitchRatio.load (std::memory_order_seq_cst);
    const double step = pitchRatio * entry.sampleRateRatio();

    // A step below zero or not a number (only a host rate like that gives one) would walk the read
    // position in front of the sample or hold the voice forever: such a voice ends at once.
    const bool stepUsable = step >= 0.0;

    if (numSamples >= 1 && len > 0 && position < len && stepUsable)
    {
        // Only here is len known to be above 0: an empty entry must never divide by it.
        if (! decayStep.valid || decayStep.decayFactorBits != bitsOf (decayFactor) ||
            decayStep.stepBits != bitsOf (step) || decayStep.length != len)
        {
            decayStep = { true, bitsOf (decayFactor), bitsOf (step), len,
                          decayFactor == 1.0 ? 1.0 : std::pow (decayFactor, (1.0 / len) * step) };
        }

        if (! panGains.valid || panGains.panAngleBits != bitsOf (panAngle) || panGains.gainBits != bitsOf (gain))
        {
            panGains = { true, bitsOf (panAngle), bitsOf (gain),
                         std::sqrt (std::cos (panAngle) * ((halfPi - panAngle) * twoOverPi)) * gain,
                         std::sqrt ((panAngle * twoOverPi) * std::sin (panAngle)) * gain };
        }

        const double multiplier = decayStep.multiplier;
        const double leftGain = panGains.left;
        const double rightGain = panGains.right;

        // While idx + 1 < len (the same as position < len - 1 for position >= 0) both neighbours
        // lie inside the sample: no per-sample test of the right-hand neighbour.
        Run run{ entry.buffer.getReadPointer (0),
                 entry.buffer.getReadPointer (1),
                 left,
                 right,
                 leftGain,
                 rightGain,
                 step,
                 multiplier,
                 static_cast<double> (len - 1),
                 numSamples,
                 0,
                 position,
                 currentGain };
#if QM70_VOICE_AVX
        if (cpuHasAvx && useVectorPath)
            renderFours (run);
#endif
        renderOnes (run);
        renderFadeOut (run, len);

        position = run.position;
        currentGain = run.currentGain;
    }

    // Written as "not below len" so that a position that is not a number ends the voice too.
    if (! (position < len) || ! stepUsable)
    {
        buffer = nullptr;
        padState->activeVoiceCount.fetch_sub (1, std::memory_order_relaxed);
    }
}
