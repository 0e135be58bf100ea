#include "TestSupport.h"

#include "engine/PluginProcessor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sys/resource.h>

using testing_support::Format;
using testing_support::readLogLines;
using testing_support::TempFolder;
using testing_support::writeSampleFile;

namespace
{
const SampleBufferEntry& currentEntry (BolvanePluginAudioProcessor& processor, int pad)
{
    return *processor.audioRenderer.pads[(size_t) pad].buffer.load();
}

std::vector<float> wave (int length, float scale)
{
    std::vector<float> samples;
    for (int i = 0; i < length; ++i)
        samples.push_back (scale * (float) std::sin (0.05 * i));
    return samples;
}

// The lines of the log that a load writes about itself (not the sweep's).
std::vector<std::string> loadLines()
{
    std::vector<std::string> lines;
    for (const auto& line : readLogLines())
        if (line.rfind ("Loaded sample ", 0) == 0 || line.rfind ("Failed to load sample ", 0) == 0)
            lines.push_back (line);
    return lines;
}

void writeBytes (const juce::File& file, const juce::MemoryBlock& bytes)
{
    file.replaceWithData (bytes.getData(), bytes.getSize());
}

// An 8-bit mono WAV header whose data chunk claims the given number of bytes (one frame each),
// followed by only a handful of them.
juce::MemoryBlock wavHeaderClaiming (juce::uint32 dataBytes)
{
    juce::MemoryOutputStream out;
    out.write ("RIFF", 4);
    out.writeInt ((int) 0xFFFFFFF0u);
    out.write ("WAVEfmt ", 8);
    out.writeInt (16);
    out.writeShort (1);   // PCM
    out.writeShort (1);   // mono
    out.writeInt (44100); // rate
    out.writeInt (44100); // bytes per second
    out.writeShort (1);   // block align
    out.writeShort (8);   // bits
    out.write ("data", 4);
    out.writeInt ((int) dataBytes);
    for (int i = 0; i < 16; ++i)
        out.writeByte ((char) 0x90);
    return out.getMemoryBlock();
}
} // namespace

TEST (SampleLoading, EveryFormatDecodesWholeIntoTwoFloatChannels)
{
    struct Case
    {
        const char* name;
        Format format;
        int channels;
        double rate;
        int bits;
        float tolerance; // the format's quantisation; Ogg is lossy
    };

    const Case cases[] = {
        { "a.wav", Format::wav, 1, 44100.0, 16, 1.0f / 32000.0f },
        { "b.wav", Format::wav, 2, 48000.0, 24, 1.0f / 8000000.0f },
        { "c.wav", Format::wav, 2, 44100.0, 32, 0.0f },
        { "d.wav", Format::wav, 4, 48000.0, 32, 0.0f },
        { "e.aiff", Format::aiff, 2, 44100.0, 16, 1.0f / 32000.0f },
        { "f.aif", Format::aiff, 1, 48000.0, 24, 1.0f / 8000000.0f },
        { "g.flac", Format::flac, 2, 48000.0, 16, 1.0f / 32000.0f },
        { "h.flac", Format::flac, 1, 44100.0, 24, 1.0f / 8000000.0f },
        { "i.ogg", Format::ogg, 2, 44100.0, 16, 0.05f },
        { "j.ogg", Format::ogg, 1, 48000.0, 16, 0.05f },
    };

    TempFolder folder;
    BolvanePluginAudioProcessor processor;
    int pad = 0;
    for (const auto& c : cases)
    {
        std::vector<std::vector<float>> channels;
        for (int channel = 0; channel < c.channels; ++channel)
            channels.push_back (wave (3000, 0.8f / (float) (channel + 1)));
        ASSERT_TRUE (writeSampleFile (folder.file (c.name), c.format, channels, c.rate, c.bits)) << c.name;

        processor.sampleBufferHandler.loadSample (pad, folder.path (c.name));
        const auto& entry = currentEntry (processor, pad);
        ASSERT_EQ (entry.buffer.getNumChannels(), 2) << c.name;
        ASSERT_EQ (entry.buffer.getNumSamples(), 3000) << c.name;
        EXPECT_EQ (entry.sampleRateRatio.load(), c.rate / 44100.0) << c.name;
        EXPECT_TRUE (processor.editorWrapper.sampleLoaded[(size_t) pad].load()) << c.name;

        // A mono file fills both channels; a wider one gives its first two.
        const auto& expectedRight = channels[c.channels == 1 ? 0 : 1];
        for (int i = 0; i < 3000; ++i)
        {
            ASSERT_NEAR (entry.buffer.getSample (0, i), channels[0][(size_t) i], c.tolerance) << c.name << " " << i;
            ASSERT_NEAR (entry.buffer.getSample (1, i), expectedRight[(size_t) i], c.tolerance) << c.name << " " << i;
            if (c.channels == 1)
            {
                ASSERT_EQ (entry.buffer.getSample (0, i), entry.buffer.getSample (1, i));
            }
        }
        pad = (pad + 1) % 12;
    }
}

TEST (SampleLoading, EveryKindOfUnreadableFileLeavesTheSinglePadSilent)
{
    TempFolder folder;
    const std::vector<std::vector<float>> stereo{ wave (500, 0.5f), wave (500, 0.25f) };
    ASSERT_TRUE (writeSampleFile (folder.file ("good.wav"), Format::wav, stereo, 44100.0, 16));
    ASSERT_TRUE (writeSampleFile (folder.file ("good.aiff"), Format::aiff, stereo, 44100.0, 16));
    ASSERT_TRUE (writeSampleFile (folder.file ("silent.wav"), Format::wav, { {}, {} }, 44100.0, 16));
    juce::MemoryBlock goodWav;
    folder.file ("good.wav").loadFileAsData (goodWav);

    folder.file ("empty.wav").create();
    writeBytes (folder.file ("header-cut.wav"), juce::MemoryBlock (goodWav.getData(), 20));
    juce::MemoryBlock garbage (400);
    for (size_t i = 0; i < garbage.getSize(); ++i)
        garbage[i] = (char) (i * 37 + 11);
    writeBytes (folder.file ("damaged.wav"), garbage);
    folder.file ("good.aiff").copyFileTo (folder.file ("aiff-inside.wav"));
    folder.file ("good.wav").copyFileTo (folder.file ("wav-inside.txt"));
    folder.file ("folder.wav").createDirectory();
    writeBytes (folder.file ("too-long.wav"), wavHeaderClaiming (0xFFFFFFF0u));

    struct Case
    {
        std::string path;
        int channels; // 0: no decoder read it; 2: read, but no samples
    };

    const Case cases[] = {
        { folder.path ("missing.wav"), 0 },
        { folder.path ("empty.wav"), 0 },
        { folder.path ("header-cut.wav"), 0 },
        { folder.path ("damaged.wav"), 0 },
        { folder.path ("aiff-inside.wav"), 0 },
        { folder.path ("wav-inside.txt"), 0 },
        { folder.path ("folder.wav"), 0 },
        { folder.path (""), 0 },
        { "", 0 },
        { folder.path ("too-long.wav"), 0 },
        { folder.path ("silent.wav"), 2 },
    };

    BolvanePluginAudioProcessor processor;
    processor.sampleBufferHandler.loadSample (1, folder.path ("good.wav"));
    int sequenceNo = 1;
    for (const auto& c : cases)
    {
        processor.sampleBufferHandler.loadSample (0, folder.path ("good.wav"));
        ++sequenceNo;
        processor.sampleBufferHandler.loadSample (0, c.path);
        ++sequenceNo;

        const auto& entry = currentEntry (processor, 0);
        EXPECT_EQ (entry.buffer.getNumChannels(), c.channels) << c.path;
        EXPECT_EQ (entry.buffer.getNumSamples(), 0) << c.path;
        EXPECT_EQ (entry.sequenceNo, sequenceNo) << c.path;
        EXPECT_FALSE (processor.editorWrapper.sampleLoaded[0].load()) << c.path;
        EXPECT_EQ (loadLines().back(),
                   "Failed to load sample " + c.path + " for pad 0 with sequenceNo " + std::to_string (sequenceNo));

        // The failed pad is silent and its voice ends; the pad beside it plays on.
        juce::AudioBuffer<float> block (2, 64);
        juce::MidiBuffer notes;
        notes.addEvent (juce::MidiMessage::noteOn (1, 60, (juce::uint8) 127), 0);
        notes.addEvent (juce::MidiMessage::noteOn (1, 61, (juce::uint8) 127), 0);
        processor.processBlock (block, notes);
        EXPECT_EQ (processor.audioRenderer.pads[0].activeVoiceCount.load(), 0) << c.path;
        EXPECT_GT (processor.audioRenderer.pads[1].activeVoiceCount.load(), 0) << c.path;
        EXPECT_NE (block.getSample (0, 10), 0.0f) << c.path;
        juce::MidiBuffer none;
        processor.processBlock (block, none);
    }
}

TEST (SampleLoading, AFileCutInsideItsDataLoadsWhatIsThereAndTheRestSilent)
{
    TempFolder folder;
    const auto samples = wave (1000, 0.5f);
    ASSERT_TRUE (writeSampleFile (folder.file ("whole.wav"), Format::wav, { samples }, 44100.0, 16));
    juce::MemoryBlock bytes;
    folder.file ("whole.wav").loadFileAsData (bytes);
    writeBytes (folder.file ("cut.wav"), juce::MemoryBlock (bytes.getData(), bytes.getSize() - 1000));

    BolvanePluginAudioProcessor processor;
    processor.sampleBufferHandler.loadSample (0, folder.path ("cut.wav"));
    const auto& entry = currentEntry (processor, 0);
    ASSERT_EQ (entry.buffer.getNumSamples(), 1000) << "the header's length";
    EXPECT_NEAR (entry.buffer.getSample (0, 100), samples[100], 1.0f / 32000.0f);
    for (int i = 500; i < 1000; ++i)
        ASSERT_EQ (entry.buffer.getSample (0, i), 0.0f) << i;
}

TEST (SampleLoading, AFileWhoseBufferCannotBeAllocatedIsAFailedLoad)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "sanitizers reserve far more address space than the limit below allows";
#else
    // INT_MAX frames of 8-bit mono: 16 GiB of float. Capping the address space makes the
    // allocation fail for certain, without touching that much memory.
    TempFolder folder;
    writeBytes (folder.file ("huge.wav"), wavHeaderClaiming (0x7FFFFFFFu));
    BolvanePluginAudioProcessor processor;

    rlimit original{};
    ASSERT_EQ (getrlimit (RLIMIT_AS, &original), 0);
    long pages = 0;
    {
        std::ifstream statm ("/proc/self/statm");
        statm >> pages;
    }
    rlimit capped = original;
    capped.rlim_cur = (rlim_t) pages * 4096 + (rlim_t) 2 * 1024 * 1024 * 1024;
    ASSERT_EQ (setrlimit (RLIMIT_AS, &capped), 0);
    processor.sampleBufferHandler.loadSample (4, folder.path ("huge.wav"));
    setrlimit (RLIMIT_AS, &original);

    EXPECT_EQ (currentEntry (processor, 4).buffer.getNumSamples(), 0);
    EXPECT_FALSE (processor.editorWrapper.sampleLoaded[4].load());
    EXPECT_EQ (loadLines().back(),
               "Failed to load sample " + folder.path ("huge.wav") + " for pad 4 with sequenceNo 2");
#endif
}

TEST (SampleLoading, TheRateRatioIsFixedOnceTheHostHasReportedItsRate)
{
    TempFolder folder;
    ASSERT_TRUE (writeSampleFile (folder.file ("48k.wav"), Format::wav, { wave (100, 0.5f) }, 48000.0, 16));
    BolvanePluginAudioProcessor processor;
    auto ratio = [&] (int pad) { return currentEntry (processor, pad).sampleRateRatio.load(); };

    // Loaded before the host's rate is known, as a restored project is: the stand-in's ratio
    // until the first prepareToPlay, the real one from then on.
    processor.sampleBufferHandler.loadSample (0, folder.path ("48k.wav"));
    EXPECT_EQ (ratio (0), 48000.0 / 44100.0);
    processor.prepareToPlay (48000.0, 512);
    EXPECT_EQ (ratio (0), 1.0);

    processor.sampleBufferHandler.loadSample (1, folder.path ("48k.wav"));
    processor.prepareToPlay (96000.0, 512);
    processor.sampleBufferHandler.loadSample (2, folder.path ("48k.wav"));

    EXPECT_EQ (ratio (0), 1.0) << "a later rate applies to later loads only";
    EXPECT_EQ (ratio (1), 1.0);
    EXPECT_EQ (ratio (2), 0.5);
    EXPECT_EQ (ratio (3), 1.0) << "the initial entry";
}

TEST (SampleLoading, LogLinesAndSequenceNumbersPerPad)
{
    TempFolder folder;
    ASSERT_TRUE (writeSampleFile (folder.file ("kick.wav"), Format::wav, { wave (100, 0.5f) }, 44100.0, 16));
    const auto kick = folder.path ("kick.wav");
    BolvanePluginAudioProcessor processor;
    const auto before = readLogLines().size();

    processor.sampleBufferHandler.loadSample (0, kick);
    processor.sampleBufferHandler.loadSample (0, kick);
    processor.sampleBufferHandler.loadSample (7, kick);
    processor.sampleBufferHandler.loadSample (3, "");

    std::vector<std::string> expected;
    auto load = [&] (const std::string& first)
    {
        expected.push_back (first);
        for (int pad = 0; pad < 12; ++pad)
            expected.push_back ("Lowest sequenceNo in use for pad " + std::to_string (pad) + " is -1");
    };
    load ("Loaded sample " + kick + " for pad 0 with sequenceNo 2");
    load ("Loaded sample " + kick + " for pad 0 with sequenceNo 3");
    load ("Loaded sample " + kick + " for pad 7 with sequenceNo 2");
    load ("Failed to load sample  for pad 3 with sequenceNo 2");

    const auto lines = readLogLines();
    EXPECT_EQ (std::vector<std::string> (lines.begin() + (std::ptrdiff_t) before, lines.end()), expected);
}

TEST (SampleLoading, APadIndexOutsideTheTwelveDoesNothing)
{
    TempFolder folder;
    ASSERT_TRUE (writeSampleFile (folder.file ("kick.wav"), Format::wav, { wave (100, 0.5f) }, 44100.0, 16));
    BolvanePluginAudioProcessor processor;
    const auto before = readLogLines().size();

    for (const int pad : { -1, 12, 1000 })
        processor.sampleBufferHandler.loadSample (pad, folder.path ("kick.wav"));

    EXPECT_EQ (readLogLines().size(), before);
    for (int pad = 0; pad < 12; ++pad)
        EXPECT_EQ (currentEntry (processor, pad).sequenceNo, 1);
}
