#include "TestSupport.h"

#include "engine/PluginProcessor.h"
#include "engine/Shared.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>

using testing_support::readLog;
using testing_support::readLogLines;

namespace
{
std::vector<std::string> linesAfter (size_t count)
{
    auto lines = readLogLines();
    return { lines.begin() + (std::ptrdiff_t) std::min (count, lines.size()), lines.end() };
}

// Runs one of the child cases below in a new process of this test binary, with the given
// arguments to env (for example "HOME=/tmp/x" or "-u", "HOME"), and returns its exit code.
int runChild (juce::StringArray arguments, const juce::String& testName)
{
    arguments.insert (0, "env");
    arguments.add (juce::File::getSpecialLocation (juce::File::currentExecutableFile).getFullPathName());
    arguments.add ("--gtest_also_run_disabled_tests");
    arguments.add ("--gtest_filter=LogChild.DISABLED_" + testName);
    juce::ChildProcess child;
    if (! child.start (arguments))
        return -1;
    child.readAllProcessOutput();
    return (int) child.getExitCode();
}
} // namespace

TEST (Log, ProcessorLifeWritesItsFourLinesInOrder)
{
    const auto before = readLogLines().size();
    {
        BolvanePluginAudioProcessor processor;
    }
    const std::vector<std::string> expected{ "Constructing ParameterModel.", "Constructing PluginProcessor.",
                                             "Destroying PluginProcessor.", "Destroying ParameterModel." };
    EXPECT_EQ (linesAfter (before), expected);
}

TEST (Log, LinesFromTwoThreadsNeverInterleave)
{
    const auto before = readLogLines().size();
    const std::string a (300, 'a');
    const std::string b (300, 'b');
    constexpr int linesEach = 2000;

    auto writer = [] (const std::string& text)
    {
        for (int i = 0; i < linesEach; ++i)
            logLine (text, " ", i);
    };
    std::thread first (writer, a);
    std::thread second (writer, b);
    first.join();
    second.join();

    std::set<std::string> expected;
    for (int i = 0; i < linesEach; ++i)
    {
        expected.insert (a + " " + std::to_string (i));
        expected.insert (b + " " + std::to_string (i));
    }
    const auto written = linesAfter (before);
    EXPECT_EQ (written.size(), expected.size());
    EXPECT_EQ (std::set<std::string> (written.begin(), written.end()), expected);
}

// Child cases: run only through runChild, in a process of their own.
TEST (LogChild, DISABLED_BuildsAndPlaysAProcessor)
{
    BolvanePluginAudioProcessor processor;
    processor.prepareToPlay (44100.0, 64);
    juce::AudioBuffer<float> buffer (2, 64);
    juce::MidiBuffer midi;
    processor.processBlock (buffer, midi);
    juce::MemoryBlock state;
    processor.getStateInformation (state);
    processor.setStateInformation (state.getData(), (int) state.getSize());
}

TEST (Log, EachLoadOfTheLibraryStartsAnEmptyLog)
{
    const testing_support::TempFolder home;
    home.file ("bolvanelog").createDirectory();
    const auto log = home.file ("bolvanelog/log.txt");
    ASSERT_TRUE (log.replaceWithText ("lines of an earlier load\n"));

    ASSERT_EQ (runChild ({ "HOME=" + home.get().getFullPathName() }, "BuildsAndPlaysAProcessor"), 0);

    const auto text = log.loadFileAsString();
    EXPECT_FALSE (text.contains ("earlier load"));
    EXPECT_TRUE (text.startsWith ("Constructing ParameterModel.\nConstructing PluginProcessor.\n"));
    EXPECT_TRUE (text.endsWith ("Destroying PluginProcessor.\nDestroying ParameterModel.\n"));
}

TEST (Log, WithoutItsFolderNothingIsWrittenAndThePluginStillWorks)
{
    const testing_support::TempFolder home;

    ASSERT_EQ (runChild ({ "HOME=" + home.get().getFullPathName() }, "BuildsAndPlaysAProcessor"), 0);

    EXPECT_FALSE (home.file ("bolvanelog").exists());
    EXPECT_TRUE (home.get().findChildFiles (juce::File::findFiles, true, "log.txt").isEmpty());
}

TEST (Log, WithoutHomeThePluginStillWorks)
{
    EXPECT_EQ (runChild ({ "-u", "HOME" }, "BuildsAndPlaysAProcessor"), 0);
}
