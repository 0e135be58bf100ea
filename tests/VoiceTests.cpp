#include "EngineTestSupport.h"

#include <cstring>

using namespace engine_test;

namespace
{
constexpr double centreAngle = 0.7853981633974483;

// A voice started at velocity gain 0.9, and the same voice worked the slow way from the formulas:
// the right-hand neighbour tested at every sample, the interpolation rounded to float, the gains
// and the sum in double, rounded to float. Both add into outputs of the same content.
struct VoiceAndReference
{
    VoiceAndReference (const std::vector<float>& left, const std::vector<float>& right, double rateRatio = 1.0)
        : entry (makeEntry (left, right, rateRatio))
    {
        voice.buffer = entry.get();
        voice.padState = &pad;
        voice.currentGain = 0.9;
        pad.activeVoiceCount = 1;
    }

    // The next segment, with the pad's settings changed first.
    void render (int numSamples, double gain, double pan, double decay, double pitch)
    {
        pad.gain = gain;
        pad.panAngle = pan;
        pad.decayFactor = decay;
        pad.pitchRatio = pitch;
        if (voice.buffer != nullptr)
            voice.process (out[0] + done, out[1] + done, numSamples);

        const auto& samples = entry->buffer;
        const int len = samples.getNumSamples();
        const double step = pitch * entry->sampleRateRatio.load();
        const double multiplier = decay == 1.0 ? 1.0 : std::pow (decay, (1.0 / len) * step);
        const double leftGain = std::sqrt (std::cos (pan) * ((1.5707963267948966 - pan) * 0.6366197723675814)) * gain;
        const double rightGain = std::sqrt ((pan * 0.6366197723675814) * std::sin (pan)) * gain;
        for (int i = done; i < done + numSamples && position < len; ++i, ++written)
        {
            const int idx = (int) position;
            const double f = position - idx;
            for (int c = 0; c < 2; ++c)
            {
                const double s1 = idx + 1 < len ? samples.getSample (c, idx + 1) : 0.0;
                const float v = (float) (s1 * f + samples.getSample (c, idx) * (1.0 - f));
                expected[c][i] =
                    (float) (expected[c][i] + ((double) v * (c == 0 ? leftGain : rightGain)) * currentGain);
            }
            position += step;
            currentGain *= multiplier;
        }
        done += numSamples;
    }

    bool sameBits() const { return std::memcmp (out, expected, sizeof out) == 0; }

    std::unique_ptr<SampleBufferEntry> entry;
    RendererPadState pad;
    Voice voice;
    float out[2][80]{}, expected[2][80]{};
    double position = 0.0, currentGain = 0.9;
    int done = 0, written = 0;
};
} // namespace

// Two segments over 80 output samples, split at every point, on the vector path (where the
// processor has one) and the plain one: the fast part and the last source sample's fade must join
// without a changed bit, and the voice ends exactly where the formulas do.
TEST (Voice, RendersStepPanAndDecayToTheBitOnBothPathsWhereverTheBlockIsSplit)
{
    // Length, pitch, rate ratio, decay, pan, gain, output samples; r = a 48 kHz file at 44.1 kHz.
    constexpr double c = centreAngle, r = 48000.0 / 44100.0, p = 1.0905077326652577;
    const std::tuple<int, double, double, double, double, double, int> cases[] = {
        { 1, 0.5, 1.0, 0.25, c, 1.0, 2 },     { 9, 1.0, r, 1.0, c, 0.5, 9 },
        { 16, 1.0, 1.0, 1e-20, c, 1.0, 16 },  { 20, p, 1.0 / r, 0.3, 0.3, 0.7, 20 },
        { 4, 1.0, 1.0, 1.0, 0.0, 0.8, 4 },    { 4, 1.0, 1.0, 1.0, 2 * c, 0.8, 4 },
        { 37, 1.0, 1.0, 0.01, 0.4, 1.5, 37 }, { 37, 0.5, 1.0, 0.01, 0.4, 1.5, 74 },
        { 37, 2.0, 1.0, 0.01, 0.4, 1.5, 19 }, { 37, 3.3, 1.0, 0.01, 0.4, 1.5, 12 },
        { 37, p, r, 0.01, 0.4, 1.5, 32 },     { 37, 0.7071067811865476, 1.0, 0.01, 0.4, 1.5, 53 }
    };
    for (const bool vectorPath : { false, true })
        for (const auto& [length, pitch, rateRatio, decay, pan, gain, outputs] : cases)
            for (int cut = 0; cut <= 80; ++cut)
            {
                Voice::useVectorPath = vectorPath;
                VoiceAndReference v (sine (length, 0.9f, 2.1), sine (length, 0.7f, 1.3), rateRatio);
                std::fill_n (&v.out[0][0], 160, 0.25f);
                std::fill_n (&v.expected[0][0], 160, 0.25f);
                v.render (cut, gain, pan, decay, pitch);
                ASSERT_EQ (v.voice.buffer == nullptr, v.position >= length);
                v.render (80 - cut, gain, pan, decay, pitch);
                ASSERT_EQ (v.written, outputs);
                ASSERT_TRUE (v.sameBits()) << (vectorPath ? "vector" : "plain") << " path, length " << length
                                           << ", step " << pitch * rateRatio << ", cut at " << cut;
                ASSERT_TRUE (v.voice.buffer == nullptr && v.pad.activeVoiceCount.load() == 0);
                ASSERT_NEAR (v.voice.currentGain / std::pow (decay, outputs * pitch * rateRatio / length), 0.9, 1e-9)
                    << "the decay factor is reached after one pass";
            }
}

TEST (Voice, EverySegmentUsesThePadSettingsOfItsOwnCall)
{
    // Gain, pan, decay, pitch: some return to earlier values; a muted segment still advances.
    const std::tuple<double, double, double, double> segments[] = {
        { 1.0, centreAngle, 0.5, 1.0 }, { 0.5, centreAngle, 0.5, 1.0 }, { 0.5, 0.2, 0.5, 1.0 },
        { 0.0, 0.2, 0.01, 1.0 },        { 0.5, 0.2, 0.01, 0.75 },       { 1.0, centreAngle, 0.5, 1.0 }
    };
    for (const bool vectorPath : { false, true })
    {
        Voice::useVectorPath = vectorPath;
        VoiceAndReference v (sine (200, 0.9f, 2.1), sine (200, 0.7f, 1.3));
        for (const auto& [gain, pan, decay, pitch] : segments)
            v.render (10, gain, pan, decay, pitch);
        EXPECT_TRUE (v.sameBits()) << (vectorPath ? "vector" : "plain") << " path";
    }
}

TEST (Voice, AVoiceThatCannotPlayOnEndsAtOnceAndWritesNothing)
{
    // Channels, length, pitch, position, segment length: entries no decoder read or without samples
    // (1/len is infinite), steps below zero or not a number (only such a host rate gives one), and a
    // voice at its end in an empty segment.
    const std::tuple<int, int, double, double, int> cases[] = {
        { 0, 0, 1.0, 0.0, 16 },  { 2, 0, 0.0, 0.0, 16 },           { 2, 0, 1.0, 0.0, 0 },
        { 2, 4, -1.0, 0.0, 16 }, { 2, 4, std::nan (""), 0.0, 16 }, { 2, 2, 1.0, 2.0, 0 }
    };
    for (const auto& [channels, length, pitch, position, numSamples] : cases)
    {
        const std::vector<float> ones ((size_t) length, 1.0f);
        VoiceAndReference v (ones, ones);
        v.entry->buffer.setSize (channels, length, true);
        v.voice.position = position;
        v.pad.pitchRatio = pitch;
        v.pad.decayFactor = 0.5;
        v.voice.process (v.out[0], v.out[1], numSamples);
        EXPECT_EQ (std::count (&v.out[0][0], &v.out[0][0] + 160, 0.0f), 160) << channels << pitch;
        EXPECT_TRUE (v.voice.buffer == nullptr && v.pad.activeVoiceCount.load() == 0) << channels << pitch;
    }
}
