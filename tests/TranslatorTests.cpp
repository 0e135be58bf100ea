#include "engine/PluginProcessor.h"

#include <gtest/gtest.h>

#include <cstdlib>

// Engine values are compared for exact equality: each one is the double the formula gives when
// worked in the order the translator must keep. Level -68, pitch -17, decay 7 and pans -24, -18 and 9
// come out differently when the operations are reordered or done through exp and log or square roots.
TEST (Translator, ModelValuesBecomeTheseExactEngineValues)
{
    struct Case
    {
        const char* what;
        void (ParameterModel::*set) (int, int);
        int value;
        std::atomic<double> RendererPadState::*field;
        double expected;
    };
    const Case cases[] = {
        { "level 0", &ParameterModel::setLevel, 0, &RendererPadState::gain, 1.0 },
        { "level 12", &ParameterModel::setLevel, 12, &RendererPadState::gain, 2.0 },
        { "level -12", &ParameterModel::setLevel, -12, &RendererPadState::gain, 0.5 },
        { "level 30", &ParameterModel::setLevel, 30, &RendererPadState::gain, 5.656854249492381 },
        { "level -70", &ParameterModel::setLevel, -70, &RendererPadState::gain, 0.017538469504833957 },
        { "level -68", &ParameterModel::setLevel, -68, &RendererPadState::gain, 0.01968626640460739 },
        { "pitch 0", &ParameterModel::setPitch, 0, &RendererPadState::pitchRatio, 1.0 },
        { "pitch 24", &ParameterModel::setPitch, 24, &RendererPadState::pitchRatio, 2.0 },
        { "pitch 12", &ParameterModel::setPitch, 12, &RendererPadState::pitchRatio, 1.4142135623730951 },
        { "pitch 1", &ParameterModel::setPitch, 1, &RendererPadState::pitchRatio, 1.029302236643492 },
        { "pitch -24", &ParameterModel::setPitch, -24, &RendererPadState::pitchRatio, 0.5 },
        { "pitch -17", &ParameterModel::setPitch, -17, &RendererPadState::pitchRatio, 0.6120267716523276 },
        { "decay 100", &ParameterModel::setDecay, 100, &RendererPadState::decayFactor, 1.0 },
        { "decay 76", &ParameterModel::setDecay, 76, &RendererPadState::decayFactor, 0.047187796208231804 },
        { "decay 50", &ParameterModel::setDecay, 50, &RendererPadState::decayFactor, 0.0006575492777488337 },
        { "decay 0", &ParameterModel::setDecay, 0, &RendererPadState::decayFactor, 1e-20 },
        { "decay 7", &ParameterModel::setDecay, 7, &RendererPadState::decayFactor, 1.9380877976995065e-10 },
        { "pan -25", &ParameterModel::setPan, -25, &RendererPadState::panAngle, 0.0 },
        { "pan 0", &ParameterModel::setPan, 0, &RendererPadState::panAngle, 0.7853981633974483 },
        { "pan 25", &ParameterModel::setPan, 25, &RendererPadState::panAngle, 1.5707963267948966 },
        { "pan -24", &ParameterModel::setPan, -24, &RendererPadState::panAngle, 0.031415926535897934 },
        { "pan -18", &ParameterModel::setPan, -18, &RendererPadState::panAngle, 0.21991148575128555 },
        { "pan 9", &ParameterModel::setPan, 9, &RendererPadState::panAngle, 1.0681415022205298 },
    };

    for (const auto& c : cases)
    {
        BolvanePluginAudioProcessor processor;
        auto& record = processor.audioRenderer.pads[9];
        (record.*c.field).store (-1.0);
        (processor.parameterModel.*c.set) (9, c.value);
        EXPECT_EQ ((record.*c.field).load(), c.expected) << c.what;
        EXPECT_EQ (processor.audioRenderer.pads[8].gain.load(), 1.0) << c.what << " touched another pad";
    }
}

TEST (Translator, CutGroupAndOutputReachTheEngineUnchanged)
{
    BolvanePluginAudioProcessor processor;
    auto& model = processor.parameterModel;
    const auto& record = processor.audioRenderer.pads[2];

    for (const int group : { 0, 3, -1 })
    {
        model.setCutGroup (2, group);
        EXPECT_EQ (record.cutGroup.load(), group);
    }
    for (const int output : { 5, 1, 0 })
    {
        model.setOutput (2, output);
        EXPECT_EQ (record.output.load(), output);
    }
}

TEST (Translator, ANewModelHoldsTheDefaultsAndWritesNothing)
{
    BolvanePluginAudioProcessor processor;
    for (auto& record : processor.audioRenderer.pads)
        record.gain.store (-1.0);

    // A second model on the same collaborators: its construction must not publish anything.
    ParameterModel model (processor.editorWrapper, processor.parameterTranslator, processor.sampleBufferHandler);

    for (int pad = 0; pad < 12; ++pad)
    {
        const auto p = model.getPad (pad);
        EXPECT_EQ (p.samplePath, "");
        EXPECT_EQ (p.cutGroup, -1);
        EXPECT_EQ (p.pitch, 0);
        EXPECT_EQ (p.decay, 100);
        EXPECT_EQ (p.pan, 0);
        EXPECT_EQ (p.level, 0);
        EXPECT_EQ (p.output, 0);
        EXPECT_FALSE (p.muted);
        EXPECT_FALSE (p.soloed);
        EXPECT_EQ (processor.audioRenderer.pads[(size_t) pad].gain.load(), -1.0);
    }
    EXPECT_EQ (model.getLastDirectory(), std::getenv ("HOME"));
    EXPECT_EQ (processor.parameterTranslator.getSoloMask(), 0u);
}
