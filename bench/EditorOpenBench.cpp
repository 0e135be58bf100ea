#include "editor/PluginEditor.h"
#include "engine/PluginProcessor.h"

#include <benchmark/benchmark.h>

#include <memory>

// What the user waits for when the host opens the window: the editor built from the model and
// drawn once, here into an image instead of a screen.

namespace
{
juce::Image drawWhole (juce::Component& editor)
{
    return editor.createComponentSnapshot (editor.getLocalBounds(), true, 1.0f);
}

// Lets the rows' posted write-backs of the last window run, outside the timing.
void settle (benchmark::State& state)
{
    state.PauseTiming();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (1);
    state.ResumeTiming();
}
} // namespace

static void BM_OpenEditorAndDrawOnce (benchmark::State& state)
{
    BolvanePluginAudioProcessor processor;
    for (auto _ : state)
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditor());
        const juce::Image image = drawWhole (*editor);
        benchmark::DoNotOptimize (image.getPixelAt (2, 2));

        state.PauseTiming();
        editor.reset();
        state.ResumeTiming();
        settle (state);
    }
}
BENCHMARK (BM_OpenEditorAndDrawOnce)->Unit (benchmark::kMillisecond);

static void BM_OpenEditor (benchmark::State& state)
{
    BolvanePluginAudioProcessor processor;
    for (auto _ : state)
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditor());
        benchmark::DoNotOptimize (editor.get());

        state.PauseTiming();
        editor.reset();
        state.ResumeTiming();
        settle (state);
    }
}
BENCHMARK (BM_OpenEditor)->Unit (benchmark::kMillisecond);

static void BM_RedrawOpenEditor (benchmark::State& state)
{
    BolvanePluginAudioProcessor processor;
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditor());
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
    for (auto _ : state)
    {
        const juce::Image image = drawWhole (*editor);
        benchmark::DoNotOptimize (image.getPixelAt (2, 2));
    }
}
BENCHMARK (BM_RedrawOpenEditor)->Unit (benchmark::kMillisecond);
