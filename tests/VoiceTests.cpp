#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <random>

using namespace engine_test;

namespace
{
struct VoiceRig
{
    VoiceRig (const std::vector<float>& left, const std::vector<float>& right, double ratio = 1.0)
        : entry (makeEntry (left, right, ratio))
    {
        start();
    }

    void start (double gain = 1.0)
    {
        voice.buffer = entry.get();
        voice.padState = &pad;
        voice.position = 0.0;
        voice.currentGain = gain;
        pad.activeVoiceCount.store (1);
    }

    std::unique_ptr<SampleBufferEntry> entry;
    RendererPadState pad;
    Voice voice;
};

// Runs the body once with the vector path (where the processor has one) and once with the plain
// one: both must give the arithmetic's bits.
template <typename Body>
void onBothPaths (Body&& body)
{
    for (const bool vectorPath : { true, false })
    {
        Voice::useVectorPath = vectorPath;
        body (vectorPath ? "vector path" : "plain path");
    }
    Voice::useVectorPath = true;
}

std::vector<float> ramp (int length)
{
    std::vector<float> samples;
    for (int i = 0; i < length; ++i)
        samples.push_back (0.125f * (float) (i + 1));
    return samples;
}
} // namespace

// Each case renders one segment long enough for the whole sample and compares every output sample,
// bit for bit, with the arithmetic worked out independently.
TEST (Voice, RendersEachStepPanAndDecayExactlyAsTheArithmetic)
{
    struct Case
    {
        const char* what;
        int length;
        double pitchRatio;
        double sampleRateRatio;
        double decayFactor;
        double panAngle;
        double gain;
        int expectedOutputSamples;
    };

    const Case cases[] = {
        { "step 1: one source sample each", 8, 1.0, 1.0, 1.0, centreAngle, 1.0, 8 },
        { "step 0.5: halfway samples between", 8, 0.5, 1.0, 1.0, centreAngle, 1.0, 16 },
        { "step 2: every second sample", 7, 2.0, 1.0, 1.0, centreAngle, 1.0, 4 },
        { "len 1, step 0.5", 1, 0.5, 1.0, 0.25, centreAngle, 1.0, 2 },
        { "48 kHz file on a 44.1 kHz host", 9, 1.0, 48000.0 / 44100.0, 1.0, centreAngle, 0.5, 9 },
        { "pitch and rate ratio multiply", 20, 1.0905077326652577, 44100.0 / 48000.0, 0.3, 0.3, 0.7, 20 },
        { "decay 1e-20 over one pass", 16, 1.0, 1.0, 1e-20, centreAngle, 1.0, 16 },
        { "hard left", 4, 1.0, 1.0, 1.0, 0.0, 0.8, 4 },
        { "hard right", 4, 1.0, 1.0, 1.0, hardRightAngle, 0.8, 4 },
    };

    onBothPaths (
        [&] (const char* path)
        {
            for (const auto& c : cases)
            {
                SCOPED_TRACE (path);
                const auto left = ramp (c.length);
                std::vector<float> right;
                for (float s : left)
                    right.push_back (-0.5f * s);

                VoiceRig rig (left, right, c.sampleRateRatio);
                rig.pad.pitchRatio = c.pitchRatio;
                rig.pad.decayFactor = c.decayFactor;
                rig.pad.panAngle = c.panAngle;
                rig.pad.gain = c.gain;
                rig.start (0.9);

                ReferenceVoice reference{ left, right };
                reference.currentGain = 0.9;

                constexpr int segment = 40;
                std::vector<float> outLeft (segment, 0.0f), outRight (segment, 0.0f);
                std::vector<float> expectedLeft (segment, 0.0f), expectedRight (segment, 0.0f);
                rig.voice.process (outLeft.data(), outRight.data(), segment);
                reference.render (expectedLeft.data(), expectedRight.data(), segment, c.pitchRatio * c.sampleRateRatio,
                                  c.decayFactor, c.panAngle, c.gain);

                for (int i = 0; i < segment; ++i)
                {
                    EXPECT_TRUE (sameBits (outLeft[(size_t) i], expectedLeft[(size_t) i]))
                        << c.what << ", sample " << i;
                    EXPECT_TRUE (sameBits (outRight[(size_t) i], expectedRight[(size_t) i]))
                        << c.what << ", sample " << i;
                    if (i >= c.expectedOutputSamples)
                    {
                        EXPECT_TRUE (outLeft[(size_t) i] == 0.0f && outRight[(size_t) i] == 0.0f)
                            << c.what << ": past the end, sample " << i;
                    }
                }
                const auto lastOut = (size_t) c.expectedOutputSamples - 1;
                EXPECT_TRUE (outLeft[lastOut] != 0.0f || outRight[lastOut] != 0.0f) << c.what;
                EXPECT_EQ (rig.voice.buffer, nullptr) << c.what;
                EXPECT_EQ (rig.pad.activeVoiceCount.load(), 0) << c.what;
            }
        });
}

TEST (Voice, KnownValuesOfTheArithmetic)
{
    // Centre pan: sqrt(cos(π/4) · 0.5) in each side.
    EXPECT_DOUBLE_EQ (leftGainFor (centreAngle, 1.0), 0.5946035575013605);
    EXPECT_DOUBLE_EQ (rightGainFor (centreAngle, 1.0), 0.5946035575013605);

    // len 1, step 0.5: s0 · gains, then s0 · 0.5 · gains · multiplier, then the end.
    VoiceRig rig ({ 0.5f }, { 0.5f });
    rig.pad.pitchRatio = 0.5;
    rig.pad.panAngle = 0.0;
    rig.pad.decayFactor = 0.25;
    float left[3] = {}, right[3] = {};
    rig.voice.process (left, right, 3);
    EXPECT_EQ (left[0], 0.5f);
    EXPECT_EQ (left[1], (float) (0.25 * std::pow (0.25, 0.5)));
    EXPECT_EQ (left[2], 0.0f);
    EXPECT_EQ (right[0], 0.0f);
    EXPECT_EQ (rig.voice.buffer, nullptr);

    // Decay 1e-20: after one pass at step 1 the gain has fallen by 400 dB.
    VoiceRig decaying (std::vector<float> (10, 1.0f), std::vector<float> (10, 1.0f));
    decaying.pad.decayFactor = 1e-20;
    std::vector<float> l (10), r (10);
    decaying.voice.process (l.data(), r.data(), 10);
    EXPECT_NEAR (decaying.voice.currentGain / 1e-20, 1.0, 1e-12);
}

TEST (Voice, SplittingASegmentAnywhereGivesTheSameBits)
{
    // The render loop has a fast part and a part for the last source sample; cutting segments at
    // every possible point, across that boundary included, must not change a bit.
    std::mt19937 random (7);
    std::uniform_real_distribution<float> sampleValue (-1.0f, 1.0f);
    std::vector<float> left (37), right (37);
    for (size_t i = 0; i < left.size(); ++i)
    {
        left[i] = sampleValue (random);
        right[i] = sampleValue (random);
    }

    const double steps[] = { 1.0, 0.5, 2.0, 0.7071067811865476, 1.0905077326652577 * 48000.0 / 44100.0, 3.3 };
    onBothPaths (
        [&] (const char* path)
        {
            for (const double step : steps)
            {
                SCOPED_TRACE (path);
                for (int cut = 0; cut <= 80; ++cut)
                {
                    VoiceRig rig (left, right);
                    rig.pad.pitchRatio = step;
                    rig.pad.decayFactor = 0.01;
                    rig.pad.panAngle = 0.4;
                    rig.pad.gain = 1.5;
                    ReferenceVoice reference{ left, right };

                    std::vector<float> outLeft (80, 0.25f), outRight (80, -0.25f);
                    std::vector<float> expectedLeft (outLeft), expectedRight (outRight);
                    rig.voice.process (outLeft.data(), outRight.data(), cut);
                    if (rig.voice.buffer != nullptr)
                        rig.voice.process (outLeft.data() + cut, outRight.data() + cut, 80 - cut);
                    reference.render (expectedLeft.data(), expectedRight.data(), cut, step, 0.01, 0.4, 1.5);
                    reference.render (expectedLeft.data() + cut, expectedRight.data() + cut, 80 - cut, step, 0.01, 0.4,
                                      1.5);

                    for (size_t i = 0; i < 80; ++i)
                        ASSERT_TRUE (sameBits (outLeft[i], expectedLeft[i]) && sameBits (outRight[i], expectedRight[i]))
                            << "step " << step << ", cut at " << cut << ", sample " << i;
                    EXPECT_EQ (rig.voice.buffer == nullptr, ! reference.sounding);
                }
            }
        });
}

TEST (Voice, EndsMidSegmentAndLeavesTheRestUntouched)
{
    VoiceRig rig ({ 0.5f, 0.5f, 0.5f }, { 0.5f, 0.5f, 0.5f });
    std::vector<float> left (8, 0.25f), right (8, 0.25f);
    rig.voice.process (left.data(), right.data(), 8);

    EXPECT_NE (left[2], 0.25f);
    for (size_t i = 3; i < 8; ++i)
        EXPECT_EQ (left[i], 0.25f) << i;
    EXPECT_EQ (rig.voice.buffer, nullptr);
    EXPECT_EQ (rig.pad.activeVoiceCount.load(), 0);
}

TEST (Voice, ZeroLengthSegmentsEndOnlyAVoiceAtItsEnd)
{
    VoiceRig rig ({ 0.5f, 0.5f }, { 0.5f, 0.5f });
    float out[2] = { 0.25f, 0.25f };

    rig.voice.process (out, out, 0);
    EXPECT_EQ (rig.voice.buffer, rig.entry.get()) << "still at the start";
    EXPECT_EQ (rig.voice.position, 0.0);

    rig.voice.position = 2.0;
    rig.voice.process (out, out, 0);
    EXPECT_EQ (rig.voice.buffer, nullptr) << "at the end";
    EXPECT_EQ (out[0], 0.25f);
}

TEST (Voice, AVoiceOnAnEmptyEntryWritesNothingEvenWithValuesThatWouldDivideByZero)
{
    // 1/len with len = 0 is infinite; with pitch 0 the product is not a number. Neither may reach
    // the output.
    const double pitches[] = { 1.0, 0.0 };
    const double decays[] = { 1.0, 0.5, 1e-20 };
    for (const int channels : { 0, 2 })
        for (const double pitch : pitches)
            for (const double decay : decays)
                for (const int numSamples : { 0, 16 })
                {
                    auto entry = std::make_unique<SampleBufferEntry>();
                    entry->buffer.setSize (channels, 0);
                    RendererPadState pad;
                    pad.pitchRatio = pitch;
                    pad.decayFactor = decay;
                    pad.activeVoiceCount = 1;
                    Voice voice;
                    voice.buffer = entry.get();
                    voice.padState = &pad;

                    std::vector<float> out (16, 0.0f);
                    voice.process (out.data(), out.data(), numSamples);
                    for (float s : out)
                        EXPECT_EQ (s, 0.0f);
                    EXPECT_EQ (voice.buffer, nullptr);
                    EXPECT_EQ (pad.activeVoiceCount.load(), 0);
                }
}

TEST (Voice, ReadsThePadsSettingsAtEveryCall)
{
    VoiceRig muted (std::vector<float> (8, 1.0f), std::vector<float> (8, 1.0f));
    float left[4] = {}, right[4] = {};
    muted.voice.process (left, right, 2);
    muted.pad.gain = 0.0;
    muted.voice.process (left + 2, right + 2, 2);
    EXPECT_EQ (left[1], (float) leftGainFor (centreAngle, 1.0));
    EXPECT_EQ (left[2], 0.0f);
    EXPECT_EQ (muted.voice.position, 4.0) << "a muted voice keeps advancing";

    // Every setting changes between segments, some back to earlier values: each segment must use
    // the values of its own call.
    struct Settings
    {
        double gain, pan, decay, pitch;
    };
    const Settings segments[] = {
        { 1.0, centreAngle, 0.5, 1.0 }, { 0.5, centreAngle, 0.5, 1.0 }, { 0.5, 0.2, 0.5, 1.0 },
        { 0.5, 0.2, 0.01, 1.0 },        { 0.5, 0.2, 0.01, 0.75 },       { 1.0, centreAngle, 0.5, 1.0 },
    };
    const auto samples = ramp (200);
    onBothPaths (
        [&] (const char* path)
        {
            VoiceRig rig (samples, samples);
            ReferenceVoice reference{ samples, samples };
            std::vector<float> out (60, 0.0f), expected (60, 0.0f);
            for (size_t segment = 0; segment < std::size (segments); ++segment)
            {
                const auto& settings = segments[segment];
                rig.pad.gain = settings.gain;
                rig.pad.panAngle = settings.pan;
                rig.pad.decayFactor = settings.decay;
                rig.pad.pitchRatio = settings.pitch;
                float* o = out.data() + segment * 10;
                float* e = expected.data() + segment * 10;
                rig.voice.process (o, o, 10);
                reference.render (e, e, 10, settings.pitch, settings.decay, settings.pan, settings.gain);
            }
            for (size_t i = 0; i < out.size(); ++i)
                EXPECT_TRUE (sameBits (out[i], expected[i])) << path << ", sample " << i;
        });
}

TEST (Voice, AStepThatIsNegativeOrNotANumberEndsTheVoiceWithoutReading)
{
    // Only a host rate below zero or not a number gives such a step; it must not walk in front of
    // the sample or hold the slot forever.
    for (const double pitch : { -1.0, std::nan ("") })
    {
        VoiceRig rig (std::vector<float> (4, 1.0f), std::vector<float> (4, 1.0f));
        rig.pad.pitchRatio = pitch;
        std::vector<float> out (8, 0.0f);
        rig.voice.process (out.data(), out.data(), 8);
        for (const float s : out)
            EXPECT_EQ (s, 0.0f);
        EXPECT_EQ (rig.voice.buffer, nullptr) << pitch;
    }
}
