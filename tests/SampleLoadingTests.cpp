#include "EngineTestSupport.h"

#include <fstream>
#include <sys/resource.h>

using namespace engine_test;

namespace
{
const SampleBufferEntry& currentEntry (BolvanePluginAudioProcessor& processor, int pad)
{
    return *processor.audioRenderer.pads[(size_t) pad].buffer.load();
}

// A WAV file of 8-bit mono PCM at 44.1 kHz whose data chunk claims the given number of bytes (one
// frame each), followed by only a handful of them.
void writeWavClaiming (const juce::File& file, juce::uint32 dataBytes)
{
    juce::MemoryOutputStream out;
    out.write ("RIFF\xF0\xFF\xFF\xFFWAVEfmt \x10\0\0\0\1\0\1\0\x44\xAC\0\0\x44\xAC\0\0\1\0\x08\0data", 40);
    out.writeInt ((int) dataBytes);
    out.writeRepeatedByte (0x90, 16);
    file.replaceWithData (out.getData(), out.getDataSize());
}
} // namespace

TEST (SampleLoading, EveryFormatDecodesWholeIntoTwoFloatChannelsLoggedAndAtTheRateRatioOfTheHostsFirstRate)
{
    // File, format, channels, rate, bits (32 = float).
    const std::tuple<const char*, Format, int, double, int> cases[] = {
        { "a.wav", Format::wav, 1, 44100.0, 16 },   { "b.wav", Format::wav, 2, 48000.0, 24 },
        { "c.wav", Format::wav, 4, 48000.0, 32 },   { "d.aiff", Format::aiff, 2, 44100.0, 16 },
        { "e.aif", Format::aiff, 1, 48000.0, 24 },  { "f.flac", Format::flac, 2, 48000.0, 16 },
        { "g.flac", Format::flac, 1, 44100.0, 24 }, { "h.ogg", Format::ogg, 2, 44100.0, 16 },
        { "i.ogg", Format::ogg, 1, 48000.0, 16 }
    };
    TempFolder folder;
    BolvanePluginAudioProcessor processor;
    const auto before = testing_support::readLogLines().size();
    std::vector<std::string> expectedLog;
    for (int pad = 0; pad < (int) std::size (cases); ++pad)
    {
        const auto& [name, format, numChannels, rate, bits] = cases[pad];
        std::vector<std::vector<float>> channels;
        for (int channel = 0; channel < numChannels; ++channel)
            channels.push_back (sine (3000, 0.8f / (float) (channel + 1)));
        ASSERT_TRUE (writeSampleFile (folder.file (name), format, channels, rate, bits)) << name;
        processor.sampleBufferHandler.loadSample (pad, folder.path (name));
        processor.sampleBufferHandler.loadSample (-1 - pad, folder.path (name)); // no such pads: nothing
        processor.sampleBufferHandler.loadSample (12 + pad, folder.path (name));
        expectedLog.push_back ("Loaded sample " + folder.path (name) + " for pad " + std::to_string (pad) +
                               " with sequenceNo 2");
        for (int other = 0; other < 12; ++other)
            expectedLog.push_back ("Lowest sequenceNo in use for pad " + std::to_string (other) + " is -1");

        // Before the host's first rate, the stand-in's ratio. A mono file fills both channels
        // alike; a wider one gives its first two.
        const auto& entry = currentEntry (processor, pad);
        ASSERT_EQ (entry.buffer.getNumChannels(), 2) << name;
        ASSERT_EQ (entry.buffer.getNumSamples(), 3000) << name;
        EXPECT_EQ (entry.sampleRateRatio.load(), rate / 44100.0) << name;
        EXPECT_TRUE (processor.editorWrapper.sampleLoaded[(size_t) pad].load()) << name;
        const float tolerance = format == Format::ogg ? 0.05f : std::ldexp (1.0f, 1 - bits); // Ogg is lossy
        const auto* left = entry.buffer.getReadPointer (0);
        const auto* right = entry.buffer.getReadPointer (1);
        for (size_t i = 0; i < 3000; ++i)
            ASSERT_TRUE (std::abs (left[i] - channels[0][i]) <= tolerance && (numChannels > 1 || left[i] == right[i]) &&
                         std::abs (right[i] - channels[numChannels == 1 ? 0 : 1][i]) <= tolerance)
                << name << " " << i;
    }
    EXPECT_EQ (logLines ("", before), expectedLog);

    // Samples restored before the host reported its rate get the real one's ratio once; later
    // rates apply to later loads only, and the initial entries keep 1.
    processor.prepareToPlay (48000.0, 512);
    processor.prepareToPlay (96000.0, 512);
    processor.sampleBufferHandler.loadSample (9, folder.path ("b.wav"));
    for (int pad = 0; pad < 9; ++pad)
        EXPECT_EQ (currentEntry (processor, pad).sampleRateRatio.load(), std::get<3> (cases[pad]) / 48000.0) << pad;
    EXPECT_EQ (currentEntry (processor, 9).sampleRateRatio.load(), 0.5);
    EXPECT_EQ (currentEntry (processor, 10).sampleRateRatio.load(), 1.0);
}

TEST (SampleLoading, EveryKindOfUnreadableFileIsAFailedLoadThatSilencesItsPad)
{
    TempFolder folder;
    const std::vector<std::vector<float>> stereo{ sine (500), sine (500) };
    ASSERT_TRUE (writeSampleFile (folder.file ("good.wav"), Format::wav, stereo, 44100.0, 16));
    ASSERT_TRUE (writeSampleFile (folder.file ("good.aiff"), Format::aiff, stereo, 44100.0, 16));
    ASSERT_TRUE (writeSampleFile (folder.file ("silent.wav"), Format::wav, { {}, {} }, 44100.0, 16));
    juce::MemoryBlock bytes;
    folder.file ("good.wav").loadFileAsData (bytes);
    folder.file ("header-cut.wav").replaceWithData (bytes.getData(), 20);
    for (size_t i = 0; i < bytes.getSize(); ++i)
        bytes[i] = (char) (i * 37 + 11);
    folder.file ("damaged.wav").replaceWithData (bytes.getData(), 400);
    folder.file ("empty.wav").create();
    folder.file ("good.aiff").copyFileTo (folder.file ("aiff-inside.wav"));
    folder.file ("good.wav").copyFileTo (folder.file ("wav-inside.txt"));
    folder.file ("folder.wav").createDirectory();
    writeWavClaiming (folder.file ("too-long.wav"), 0xFFFFFFF0u);

    BolvanePluginAudioProcessor processor;
    int sequenceNo = 1;
    // All but the first have no decoder that reads them (0 channels); the first has no samples.
    for (const std::string name : { "silent.wav", "missing.wav", "empty.wav", "header-cut.wav", "damaged.wav",
                                    "aiff-inside.wav", "wav-inside.txt", "folder.wav", "too-long.wav", "" })
    {
        const auto path = name.empty() ? name : folder.path (name);
        processor.sampleBufferHandler.loadSample (0, folder.path ("good.wav"));
        processor.sampleBufferHandler.loadSample (0, path);
        sequenceNo += 2;
        const auto& entry = currentEntry (processor, 0);
        EXPECT_EQ (entry.buffer.getNumChannels(), name == "silent.wav" ? 2 : 0) << path;
        EXPECT_EQ (entry.buffer.getNumSamples(), 0) << path;
        EXPECT_FALSE (processor.editorWrapper.sampleLoaded[0].load()) << path;
        EXPECT_EQ (logLines ("Failed").back(),
                   "Failed to load sample " + path + " for pad 0 with sequenceNo " + std::to_string (sequenceNo));
    }
}

TEST (SampleLoading, AFileWhoseBufferCannotBeAllocatedIsAFailedLoad)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "sanitizers reserve far more address space than the limit below allows";
#else
    // INT_MAX frames of 8-bit mono are 16 GiB of float: capping the address space at 2 GiB above
    // what the process holds makes the allocation fail for certain without touching that memory.
    TempFolder folder;
    writeWavClaiming (folder.file ("huge.wav"), 0x7FFFFFFFu);
    BolvanePluginAudioProcessor processor;
    rlimit original{};
    ASSERT_EQ (getrlimit (RLIMIT_AS, &original), 0);
    long pages = 0;
    std::ifstream ("/proc/self/statm") >> pages;
    rlimit capped = original;
    capped.rlim_cur = (rlim_t) pages * 4096 + ((rlim_t) 2 << 30);
    ASSERT_EQ (setrlimit (RLIMIT_AS, &capped), 0);
    processor.sampleBufferHandler.loadSample (4, folder.path ("huge.wav"));
    setrlimit (RLIMIT_AS, &original);

    EXPECT_EQ (currentEntry (processor, 4).buffer.getNumSamples(), 0);
    EXPECT_FALSE (processor.editorWrapper.sampleLoaded[4].load());
    EXPECT_EQ (logLines ("Failed").back(),
               "Failed to load sample " + folder.path ("huge.wav") + " for pad 4 with sequenceNo 2");
#endif
}
