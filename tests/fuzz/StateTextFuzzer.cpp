// Feeds arbitrary bytes to the state reader of one long-lived processor. Beyond the sanitizers'
// findings, stops at any value a restore leaves that the editor or the engine can't take.
//
// Sample paths in the inputs are loaded like any other (each load waits 25 ms); keep the seeds'
// paths pointing at files that don't exist. A run, from a build configured with QM70_BUILD_FUZZER,
// with HOME pointing at a folder without the log folder so the loads don't log:
//   mkdir -p work && cp tests/fuzz/corpus/* work/
//   qm70_state_fuzzer -dict=tests/fuzz/state.dict -max_len=8192 -timeout=10 -fork=4 work
// Inputs that once broke the reader go into tests/fuzz/corpus, which the unit tests replay.

#include "engine/ParameterModelXmlParser.h"
#include "engine/PluginProcessor.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize (int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size);

namespace
{
juce::ScopedJuceInitialiser_GUI* juceRuntime = nullptr;
BolvanePluginAudioProcessor* processor = nullptr;

void check (bool holds, const char* what, int pad)
{
    if (! holds)
    {
        std::fprintf (stderr, "pad %d: %s\n", pad, what);
        std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    // The fuzzing thread is the message thread, as for a host restoring on it. Both live until the
    // process ends: JUCE's shutdown at static destruction would run after its own statics are gone.
    juceRuntime = new juce::ScopedJuceInitialiser_GUI();
    processor = new BolvanePluginAudioProcessor();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    if (size > static_cast<size_t> (INT32_MAX))
        return 0;

    ParameterModelXmlParser (data, static_cast<int> (size)).populateParameterModel (processor->parameterModel);

    for (int pad = 0; pad < ParameterModel::numPads; ++pad)
    {
        const auto p = processor->parameterModel.getPad (pad);
        const auto& record = processor->audioRenderer.pads[(size_t) pad];
        check (p.cutGroup >= -1 && p.cutGroup <= 3, "cut group out of range", pad);
        check (p.pitch >= -24 && p.pitch <= 24, "pitch out of range", pad);
        check (p.decay >= 0 && p.decay <= 100, "decay out of range", pad);
        check (p.pan >= -25 && p.pan <= 25, "pan out of range", pad);
        check (p.level >= -70 && p.level <= 30, "level out of range", pad);
        check (p.output >= 0 && p.output <= 5, "output out of range", pad);
        check (std::isfinite (record.gain.load()) && std::isfinite (record.decayFactor.load()) &&
                   std::isfinite (record.pitchRatio.load()) && std::isfinite (record.panAngle.load()),
               "engine value not finite", pad);
    }
    return 0;
}
