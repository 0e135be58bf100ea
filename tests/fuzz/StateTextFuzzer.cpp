// Arbitrary bytes into one long-lived processor's state reader; aborts on any value a restore leaves
// that the editor or the engine can't take. Inputs that once broke it go into tests/fuzz/corpus, which
// the unit tests replay. Run with HOME lacking the log folder: qm70_state_fuzzer -dict=tests/fuzz/state.dict work
#include "engine/ParameterModelXmlParser.h"
#include "engine/PluginProcessor.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size);
extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    // This thread plays the host's message thread. Never deleted: both must outlive JUCE's statics.
    [[maybe_unused]] static const auto* juceRuntime = new juce::ScopedJuceInitialiser_GUI();
    static auto* processor = new BolvanePluginAudioProcessor();
    ParameterModelXmlParser (data, (int) std::min (size, (size_t) INT32_MAX))
        .populateParameterModel (processor->parameterModel);
    for (int pad = 0; pad < ParameterModel::numPads; ++pad)
    {
        const auto p = processor->parameterModel.getPad (pad);
        const auto& e = processor->audioRenderer.pads[(size_t) pad];
        if (p.cutGroup < -1 || p.cutGroup > 3 || std::abs (p.pitch) > 24 || p.decay < 0 || p.decay > 100 ||
            std::abs (p.pan) > 25 || p.level < -70 || p.level > 30 || p.output < 0 || p.output > 5 ||
            ! std::isfinite (e.gain + e.pitchRatio + e.decayFactor + e.panAngle))
            std::abort();
    }
    return 0;
}
