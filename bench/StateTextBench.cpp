#include "engine/ParameterModelXmlGenerator.h"
#include "engine/PluginProcessor.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <regex>

// A full state: twelve sample paths and every setting away from its default.
namespace
{
void fillModel (ParameterModel& model)
{
    for (int pad = 0; pad < 12; ++pad)
    {
        model.setSamplePath (pad, "/nonexistent/Samples/Drum Kits/Studio Kit " + std::to_string (pad) + "/Hit.wav");
        model.setCutGroup (pad, pad % 5 - 1);
        model.setPitch (pad, pad * 4 - 24);
        model.setDecay (pad, pad * 9);
        model.setPan (pad, pad * 4 - 22);
        model.setLevel (pad, pad * 9 - 70);
        model.setOutput (pad, pad % 6);
        model.setMuted (pad, pad % 2 == 0);
        model.setSoloed (pad, pad % 3 == 0);
    }
    model.setLastDirectory ("/nonexistent/Samples/Drum Kits");
}

struct FullState
{
    FullState()
    {
        fillModel (processor.parameterModel);
        juce::MemoryBlock block;
        processor.getStateInformation (block);
        text = block.toString().toStdString();
    }

    BolvanePluginAudioProcessor processor;
    std::string text;
};
} // namespace

// The writer alone.
static void BM_GenerateFullState (benchmark::State& state)
{
    const FullState full;
    for (auto _ : state)
        benchmark::DoNotOptimize (ParameterModelXmlGenerator (full.processor.parameterModel).generateXml());
    state.SetBytesProcessed (state.iterations() * (int64_t) full.text.size());
}
BENCHMARK (BM_GenerateFullState);

// The host's save: the writer, the two log entries and the copy into the host's block.
static void BM_GetStateInformation (benchmark::State& state)
{
    FullState full;
    for (auto _ : state)
    {
        juce::MemoryBlock block;
        full.processor.getStateInformation (block);
        benchmark::DoNotOptimize (block.getData());
    }
}
BENCHMARK (BM_GetStateInformation);

// The host's restore of the full text, its twelve paths taken out so no load runs: decoding,
// checking, parsing, and every setting applied with its translation and log entries.
static void BM_SetStateInformationWithoutLoads (benchmark::State& state)
{
    const std::string text = std::regex_replace (FullState().text, std::regex (" SamplePath=\"[^\"]*\""), "");
    BolvanePluginAudioProcessor processor;
    for (auto _ : state)
        processor.setStateInformation (text.data(), static_cast<int> (text.size()));
}
BENCHMARK (BM_SetStateInformationWithoutLoads);

// The whole restore with its twelve loads of missing files, each with its 25 ms hand-over wait;
// "beyond_waits_ms" is the time left after those 300 ms.
static void BM_SetStateInformationWithTwelveLoads (benchmark::State& state)
{
    const std::string text = FullState().text;
    BolvanePluginAudioProcessor processor;
    double seconds = 0.0;
    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        processor.setStateInformation (text.data(), static_cast<int> (text.size()));
        seconds += std::chrono::duration<double> (std::chrono::steady_clock::now() - start).count();
    }
    state.counters["beyond_waits_ms"] = 1000.0 * seconds / (double) state.iterations() - 12 * 25.0;
}
BENCHMARK (BM_SetStateInformationWithTwelveLoads)->Iterations (10)->Unit (benchmark::kMillisecond);
