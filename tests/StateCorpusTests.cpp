#include "engine/PluginProcessor.h"

#include <gtest/gtest.h>

#include <cmath>

// Replays the state fuzzer's seeds and every input that once broke the reader through a real
// processor: none may crash, and none may leave a value the editor or the engine can't take.
TEST (StateCorpus, EveryCorpusTextLeavesTheModelInRange)
{
    const juce::File corpus (QM70_STATE_CORPUS);
    const auto files = corpus.findChildFiles (juce::File::findFiles, false);
    ASSERT_FALSE (files.isEmpty()) << corpus.getFullPathName();

    BolvanePluginAudioProcessor processor;
    for (const auto& file : files)
    {
        juce::MemoryBlock bytes;
        ASSERT_TRUE (file.loadFileAsData (bytes));
        processor.setStateInformation (bytes.getData(), static_cast<int> (bytes.getSize()));

        for (int pad = 0; pad < 12; ++pad)
        {
            const auto p = processor.parameterModel.getPad (pad);
            const auto& record = processor.audioRenderer.pads[(size_t) pad];
            const auto where = file.getFileName() + ", pad " + juce::String (pad);
            EXPECT_TRUE (p.cutGroup >= -1 && p.cutGroup <= 3) << where;
            EXPECT_TRUE (p.pitch >= -24 && p.pitch <= 24) << where;
            EXPECT_TRUE (p.decay >= 0 && p.decay <= 100) << where;
            EXPECT_TRUE (p.pan >= -25 && p.pan <= 25) << where;
            EXPECT_TRUE (p.level >= -70 && p.level <= 30) << where;
            EXPECT_TRUE (p.output >= 0 && p.output <= 5) << where;
            for (const double value :
                 { record.gain.load(), record.pitchRatio.load(), record.decayFactor.load(), record.panAngle.load() })
                EXPECT_TRUE (std::isfinite (value)) << where;
        }
    }

    // Whatever was read, the state written from it reads back to a text that then stays the same (the
    // first pass may still turn a carriage return or a blank folder in the last directory into what
    // the XML reader makes of them).
    auto passThroughANewProcessor = [] (const juce::MemoryBlock& text)
    {
        BolvanePluginAudioProcessor reader;
        reader.setStateInformation (text.getData(), static_cast<int> (text.getSize()));
        juce::MemoryBlock written;
        reader.getStateInformation (written);
        return written;
    };
    juce::MemoryBlock saved;
    processor.getStateInformation (saved);
    const auto once = passThroughANewProcessor (saved);
    EXPECT_EQ (passThroughANewProcessor (once), once);
}
