#include "editor/FileWalker.h"

#include <benchmark/benchmark.h>

#include <juce_core/juce_core.h>

namespace
{
// A sample library's folder: names in mixed case so the comparison does real work.
class SampleFolder
{
public:
    explicit SampleFolder (int count)
        : folder (juce::File::getSpecialLocation (juce::File::tempDirectory)
                      .getChildFile ("qm70-bench-" +
                                     juce::String::toHexString (juce::Random::getSystemRandom().nextInt64())))
    {
        folder.createDirectory();
        for (int index = 0; index < count; ++index)
        {
            const auto stem =
                juce::String (index % 2 == 0 ? "Kick " : "kick ") + juce::String (index).paddedLeft ('0', 5);
            const char* extension = index % 3 == 0 ? ".WAV" : index % 3 == 1 ? ".wav" : ".aif";
            folder.getChildFile (stem + extension).create();
        }
        middle = folder
                     .getChildFile ("Kick " + juce::String (count / 2).paddedLeft ('0', 5) +
                                    (count / 2 % 3 == 0   ? ".WAV"
                                     : count / 2 % 3 == 1 ? ".wav"
                                                          : ".aif"))
                     .getFullPathName()
                     .toStdString();
    }

    ~SampleFolder() { folder.deleteRecursively(); }

    juce::File folder;
    std::string middle;
};

constexpr int librarySize = 10000;

// One click on "next" or "previous" without the load that follows: listing, matching and sorting.
void nextFileInFolderOf10000 (benchmark::State& state)
{
    const SampleFolder library (librarySize);
    for (auto _ : state)
        benchmark::DoNotOptimize (FileWalker::getNextFile (library.middle));
    state.SetItemsProcessed (state.iterations() * librarySize);
}

void previousFileInFolderOf10000 (benchmark::State& state)
{
    const SampleFolder library (librarySize);
    for (auto _ : state)
        benchmark::DoNotOptimize (FileWalker::getPreviousFile (library.middle));
    state.SetItemsProcessed (state.iterations() * librarySize);
}
} // namespace

BENCHMARK (nextFileInFolderOf10000)->Unit (benchmark::kMillisecond);
BENCHMARK (previousFileInFolderOf10000)->Unit (benchmark::kMillisecond);
