#include "engine/PluginProcessor.h"

#include <gtest/gtest.h>

#include <array>

namespace
{
std::array<double, 12> gains (const BolvanePluginAudioProcessor& processor)
{
    std::array<double, 12> result{};
    for (size_t pad = 0; pad < result.size(); ++pad)
        result[pad] = processor.audioRenderer.pads[pad].gain.load();
    return result;
}

// Pads 0..11 at level 12 (gain 2), so the gain written by a recomputation tells from the initial 1.0.
// Pad 1 muted.
struct SoloAndMute : public ::testing::Test
{
    SoloAndMute()
    {
        for (int pad = 0; pad < 12; ++pad)
            model.setLevel (pad, 12);
        model.setMuted (1, true);
    }

    BolvanePluginAudioProcessor processor;
    ParameterModel& model = processor.parameterModel;
};
} // namespace

TEST_F (SoloAndMute, TheFirstSoloSilencesEveryOtherPadMutedOrNot)
{
    model.setSoloed (3, true);

    EXPECT_EQ (processor.parameterTranslator.getSoloMask(), 1u << 3);
    std::array<double, 12> expected{};
    expected[3] = 2.0;
    EXPECT_EQ (gains (processor), expected);
}

TEST_F (SoloAndMute, ASoloedPadSoundsEvenWhenMuted)
{
    model.setMuted (3, true);
    model.setSoloed (3, true);
    EXPECT_EQ (processor.audioRenderer.pads[3].gain.load(), 2.0);

    model.setMuted (3, false);
    EXPECT_EQ (processor.audioRenderer.pads[3].gain.load(), 2.0);
    model.setMuted (3, true);
    EXPECT_EQ (processor.audioRenderer.pads[3].gain.load(), 2.0);
}

TEST_F (SoloAndMute, UnsoloingOneOfTwoTouchesOnlyThatPad)
{
    model.setSoloed (3, true);
    model.setSoloed (5, true);
    // Poke a value no recomputation would write, so an untouched pad shows.
    processor.audioRenderer.pads[7].gain.store (-1.0);

    model.setSoloed (3, false);

    EXPECT_EQ (processor.parameterTranslator.getSoloMask(), 1u << 5);
    EXPECT_EQ (processor.audioRenderer.pads[3].gain.load(), 0.0);
    EXPECT_EQ (processor.audioRenderer.pads[5].gain.load(), 2.0);
    EXPECT_EQ (processor.audioRenderer.pads[7].gain.load(), -1.0);
}

TEST_F (SoloAndMute, TheLastUnsoloRecomputesEveryPad)
{
    model.setSoloed (3, true);
    model.setSoloed (3, false);

    EXPECT_EQ (processor.parameterTranslator.getSoloMask(), 0u);
    std::array<double, 12> expected;
    expected.fill (2.0);
    expected[1] = 0.0;
    EXPECT_EQ (gains (processor), expected);
}

TEST_F (SoloAndMute, RepeatingASoloStateRecomputesOnlyThatPad)
{
    struct Case
    {
        const char* what;
        bool soloFirst;
        int pad;
        bool soloed;
        uint32_t mask;
        double gain;
    };
    const Case cases[] = {
        { "unsolo a muted pad while nothing is soloed", false, 1, false, 0u, 0.0 },
        { "unsolo an unmuted pad while nothing is soloed", false, 4, false, 0u, 2.0 },
        { "solo a pad already soloed", true, 3, true, 1u << 3, 2.0 },
    };

    for (const auto& c : cases)
    {
        BolvanePluginAudioProcessor fresh;
        auto& m = fresh.parameterModel;
        m.setMuted (1, true);
        for (int pad = 0; pad < 12; ++pad)
            fresh.audioRenderer.pads[(size_t) pad].gain.store (-1.0);
        m.setLevel (c.pad, 12);
        if (c.soloFirst)
            m.setSoloed (c.pad, true);
        fresh.audioRenderer.pads[(size_t) (c.pad + 1)].gain.store (-1.0);

        m.setSoloed (c.pad, c.soloed);

        EXPECT_EQ (fresh.parameterTranslator.getSoloMask(), c.mask) << c.what;
        EXPECT_EQ (fresh.audioRenderer.pads[(size_t) c.pad].gain.load(), c.gain) << c.what;
        EXPECT_EQ (fresh.audioRenderer.pads[(size_t) (c.pad + 1)].gain.load(), -1.0) << c.what;
    }
}

TEST_F (SoloAndMute, ALevelChangeUnderAnotherPadsSoloWaitsForTheSoloToEnd)
{
    model.setSoloed (3, true);
    model.setLevel (6, -12);
    EXPECT_EQ (processor.audioRenderer.pads[6].gain.load(), 0.0);

    model.setSoloed (3, false);
    EXPECT_EQ (processor.audioRenderer.pads[6].gain.load(), 0.5);
}

TEST_F (SoloAndMute, MutingWithoutSoloSilencesOnlyThatPad)
{
    model.setMuted (6, true);
    EXPECT_EQ (processor.audioRenderer.pads[6].gain.load(), 0.0);
    EXPECT_EQ (processor.audioRenderer.pads[7].gain.load(), 2.0);

    model.setMuted (6, false);
    EXPECT_EQ (processor.audioRenderer.pads[6].gain.load(), 2.0);
}
