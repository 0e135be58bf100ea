#include "engine/PluginProcessor.h"

#include <gtest/gtest.h>

#include <array>

// Exact doubles of the formulas in the translator's order of operations (level -68, pitch -17, decay 7,
// pans -24, -18, 9 differ when reordered or done through exp, log or sqrt); levels 12, -12 are below.
TEST (Translator, ModelValuesBecomeTheseExactEngineValues)
{
    using M = ParameterModel;
    using R = RendererPadState;
    const std::tuple<void (M::*) (int, int), std::atomic<double> R::*, int, double> cases[] = {
        { &M::setLevel, &R::gain, 30, 5.656854249492381 },
        { &M::setLevel, &R::gain, -70, 0.017538469504833957 },
        { &M::setLevel, &R::gain, -68, 0.01968626640460739 },
        { &M::setPitch, &R::pitchRatio, 24, 2.0 },
        { &M::setPitch, &R::pitchRatio, 1, 1.029302236643492 },
        { &M::setPitch, &R::pitchRatio, -24, 0.5 },
        { &M::setPitch, &R::pitchRatio, -17, 0.6120267716523276 },
        { &M::setDecay, &R::decayFactor, 76, 0.047187796208231804 },
        { &M::setDecay, &R::decayFactor, 0, 1e-20 },
        { &M::setDecay, &R::decayFactor, 7, 1.9380877976995065e-10 },
        { &M::setPan, &R::panAngle, -25, 0.0 },
        { &M::setPan, &R::panAngle, 0, 0.7853981633974483 },
        { &M::setPan, &R::panAngle, 25, 1.5707963267948966 },
        { &M::setPan, &R::panAngle, -24, 0.031415926535897934 },
        { &M::setPan, &R::panAngle, -18, 0.21991148575128555 },
        { &M::setPan, &R::panAngle, 9, 1.0681415022205298 },
    };

    BolvanePluginAudioProcessor processor;
    auto& record = processor.audioRenderer.pads[9];
    for (const auto& [set, field, value, expected] : cases)
    {
        (record.*field).store (-1.0);
        (processor.parameterModel.*set) (9, value);
        EXPECT_EQ ((record.*field).load(), expected) << value;
        EXPECT_EQ (processor.audioRenderer.pads[8].gain.load(), 1.0) << value << " touched another pad";
    }

    processor.parameterModel.setCutGroup (9, 3);
    processor.parameterModel.setOutput (9, 5);
    EXPECT_EQ (record.cutGroup.load(), 3);
    EXPECT_EQ (record.output.load(), 5);
}

// While any pad is soloed only soloed pads sound, muted or not. Only the first solo and the end of
// the last one change other pads' audibility, so only they recompute every pad.
TEST (SoloAndMute, OnlyTheFirstSoloAndTheLastUnsoloRecomputeEveryPad)
{
    using Gains = std::array<double, 12>;
    BolvanePluginAudioProcessor processor;
    auto& model = processor.parameterModel;
    const auto gains = [&]
    {
        Gains result;
        for (size_t pad = 0; pad < result.size(); ++pad)
            result[pad] = processor.audioRenderer.pads[pad].gain.load();
        return result;
    };
    // A value no recomputation writes, so an untouched pad shows.
    const auto markAllGains = [&]
    {
        for (auto& record : processor.audioRenderer.pads)
            record.gain.store (-1.0);
    };
    for (int pad = 0; pad < 12; ++pad)
        model.setLevel (pad, 12);
    model.setMuted (1, true);

    // Unsoloing a pad that isn't soloed, or soloing one again, recomputes that pad alone.
    markAllGains();
    model.setSoloed (1, false);
    model.setSoloed (4, false);
    EXPECT_EQ (processor.parameterTranslator.getSoloMask(), 0u);
    EXPECT_EQ (gains(), (Gains{ -1, 0, -1, -1, 2, -1, -1, -1, -1, -1, -1, -1 }));

    // A muted pad soloed, and muted again while soloed, sounds; a level set under the solo waits.
    model.setMuted (3, true);
    model.setSoloed (3, true);
    model.setMuted (3, true);
    model.setLevel (6, -12);
    EXPECT_EQ (processor.parameterTranslator.getSoloMask(), 1u << 3);
    EXPECT_EQ (gains(), (Gains{ 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0 }));

    markAllGains();
    model.setSoloed (3, true);
    model.setSoloed (5, true);
    model.setSoloed (3, false);
    EXPECT_EQ (processor.parameterTranslator.getSoloMask(), 1u << 5);
    EXPECT_EQ (gains(), (Gains{ -1, -1, -1, 0, -1, 2, -1, -1, -1, -1, -1, -1 }));

    model.setSoloed (5, false);
    EXPECT_EQ (processor.parameterTranslator.getSoloMask(), 0u);
    EXPECT_EQ (gains(), (Gains{ 2, 0, 2, 0, 2, 2, 0.5, 2, 2, 2, 2, 2 }));
}
