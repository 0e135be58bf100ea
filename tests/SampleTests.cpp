#include "Support.h"

#include <atomic>
#include <cmath>
#include <sys/stat.h>
#include <thread>

using namespace qm70;

namespace
{
const SampleBufferEntry& entryOf (Plugin& plugin, int pad)
{
    return *plugin.engine (pad).buffer.load();
}

// Loads on this thread; a load that never returns ends the test instead of hanging it.
void load (Plugin& plugin, int pad, const std::string& path)
{
    auto done = std::make_shared<std::atomic<bool>> (false);
    std::thread (
        [done]
        {
            std::this_thread::sleep_for (std::chrono::seconds (20));
            if (! done->load())
                std::abort();
        })
        .detach();
    plugin.processor.sampleBufferHandler.loadSample (pad, path);
    *done = true;
}

// A WAV file written byte by byte: a header claiming `frames` frames, then `dataBytes` bytes.
void writeWav (const juce::File& file, int channels, int bits, juce::uint32 frames, int dataBytes)
{
    juce::MemoryOutputStream out;
    const auto blockAlign = (juce::uint32) (channels * bits / 8);
    out.write ("RIFF", 4), out.writeInt ((int) (36 + frames * blockAlign)), out.write ("WAVEfmt ", 8);
    out.writeInt (16), out.writeShort (1), out.writeShort ((short) channels), out.writeInt (48000);
    out.writeInt ((int) (48000 * blockAlign)), out.writeShort ((short) blockAlign), out.writeShort ((short) bits);
    out.write ("data", 4), out.writeInt ((int) (frames * blockAlign));
    for (int i = 0; i < dataBytes; ++i)
        out.writeByte ((char) (128 + (i % 50)));
    file.replaceWithData (out.getData(), out.getDataSize());
}
} // namespace

TEST (SampleLoading, EveryFormatDecodesWholeIntoTwoChannels)
{
    TempFolder folder;
    Plugin plugin;
    const auto left = wave (3000, 0.05), right = wave (3000, 0.11), third = wave (3000, 0.3);
    const std::vector<std::pair<const char*, std::vector<std::vector<float>>>> files = {
        { "a.wav", { left, right } }, { "b.aif", { left } }, { "c.flac", { left, right, third } }, { "d.ogg", { left } }
    };
    for (int pad = 0; pad < (int) files.size(); ++pad)
    {
        writeAudio (folder.file (files[(size_t) pad].first), files[(size_t) pad].second, 44100.0, pad == 0 ? 32 : 16);
        load (plugin, pad, folder.path (files[(size_t) pad].first));
        const auto& buffer = entryOf (plugin, pad).buffer;
        ASSERT_EQ (buffer.getNumChannels(), 2) << files[(size_t) pad].first;
        EXPECT_EQ (buffer.getNumSamples(), 3000) << files[(size_t) pad].first;
        const auto& second = files[(size_t) pad].second.size() == 1 ? left : right;
        for (int i = 0; i < 3000; i += 7)
        {
            EXPECT_NEAR (buffer.getSample (0, i), left[(size_t) i], pad == 3 ? 0.05 : 1.0e-4);
            EXPECT_NEAR (buffer.getSample (1, i), second[(size_t) i], pad == 3 ? 0.05 : 1.0e-4);
        }
    }
    EXPECT_EQ (entryOf (plugin, 0).buffer.getSample (1, 5), right[5]); // float WAV to the bit
}

TEST (SampleLoading, LoadsNumberTheirEntriesPerPadAndFreeThemOnceNoVoiceCanPlayThem)
{
    TempFolder folder;
    writeAudio (folder.file ("kick.wav"), { wave (20000) });
    Plugin plugin;
    const auto kick = folder.path ("kick.wav");
    load (plugin, 0, kick);
    load (plugin, 3, "");
    EXPECT_EQ (entryOf (plugin, 0).sequenceNo, 2);
    EXPECT_EQ (entryOf (plugin, 3).sequenceNo, 2);
    EXPECT_EQ (entryOf (plugin, 3).buffer.getNumSamples(), 0);

    render (plugin.processor, midi ({ { 0, juce::MidiMessage::noteOn (1, 60, 1.0f) } }), 64); // pad 0 plays entry 2
    load (plugin, 0, kick);
    render (plugin.processor, {}, 64);
    load (plugin, 0, kick); // the voice still plays entry 2
    render (plugin.processor, {}, 20000);
    load (plugin, 1, kick);

    std::vector<std::string> expected = { "Loaded sample " + kick + " for pad 0 with sequenceNo 2" };
    for (int load = 0; load < 2; ++load)
    {
        for (int pad = 0; pad < 12; ++pad)
            expected.push_back ("Lowest sequenceNo in use for pad " + std::to_string (pad) + " is -1");
        if (load == 0)
            expected.push_back ("Failed to load sample  for pad 3 with sequenceNo 2");
    }
    const auto lines = logLines();
    ASSERT_GT (lines.size(), 28u);
    EXPECT_EQ (std::vector<std::string> (lines.begin() + 2, lines.begin() + 28), expected);
    juce::StringArray deleted;
    for (const auto& line : lines)
        if (line.rfind ("Deleting sample for pad 0 ", 0) == 0 ||
            line.rfind ("Lowest sequenceNo in use for pad 0 ", 0) == 0)
            deleted.add (line);
    EXPECT_EQ (deleted.joinIntoString (";"),
               "Lowest sequenceNo in use for pad 0 is -1;"
               "Lowest sequenceNo in use for pad 0 is -1;"
               "Lowest sequenceNo in use for pad 0 is 2;Deleting sample for pad 0 with sequenceNo 1;"
               "Lowest sequenceNo in use for pad 0 is 2;"
               "Lowest sequenceNo in use for pad 0 is 4;Deleting sample for pad 0 with sequenceNo 2;"
               "Deleting sample for pad 0 with sequenceNo 3");
}

TEST (SampleLoading, EverySampleFollowsTheHostsRateWhileUnusableRatesChangeNothing)
{
    TempFolder folder;
    writeAudio (folder.file ("tom.wav"), { wave (40000) }, 48000.0);
    Plugin plugin;
    load (plugin, 0, folder.path ("tom.wav")); // before the host has told its rate
    // The first hit comes before any prepareToPlay: the stand-in rate holds.
    const std::pair<double, double> rates[] = { { 44100.0, 44100.0 }, { 96000.0, 96000.0 }, { 0.0, 96000.0 },
                                                { -1.0, 96000.0 },    { NAN, 96000.0 },     { INFINITY, 96000.0 },
                                                { 32000.0, 32000.0 } };
    for (int hit = 0; hit < 7; ++hit)
    {
        if (hit > 0)
            plugin.processor.prepareToPlay (rates[hit].first, 64);
        render (plugin.processor, midi ({ { 0, juce::MidiMessage::noteOn (1, 60, 1.0f) } }), 64);
        double position = 0.0;
        for (int i = 0; i < 64; ++i)
            position += 48000.0 / rates[hit].second;
        EXPECT_EQ (plugin.processor.audioRenderer.voices[(size_t) hit % 2].position, position) << rates[hit].first;
    }
}

TEST (SampleLoading, FilesThatLieOrBlockAreFailedLoadsThatLeaveOtherPadsAlone)
{
    TempFolder folder;
    writeWav (folder.file ("bomb.wav"), 1, 8, 1u << 28, 100);    // 144 bytes claiming 2^28 frames
    writeWav (folder.file ("wide.wav"), 2000, 24, 4, 4 * 6000);  // 6000-byte frames
    writeWav (folder.file ("cut.wav"), 1, 8, 6000, 100);         // a recording cut after 100 frames
    writeWav (folder.file ("odd.wav"), 2, 16, 6000, 4 * 25 + 3); // ... inside its 26th frame
    ASSERT_EQ (mkfifo (folder.path ("pipe.wav").c_str(), 0600), 0);
    folder.file ("loops.wav").createDirectory();
    Plugin plugin;
    const std::pair<const char*, int> files[] = { { "bomb.wav", 0 },  { "wide.wav", 0 },  { "pipe.wav", 0 },
                                                  { "loops.wav", 0 }, { "cut.wav", 100 }, { "odd.wav", 25 } };
    for (int pad = 0; pad < 6; ++pad)
    {
        load (plugin, pad, folder.path (files[pad].first));
        const auto& buffer = entryOf (plugin, pad).buffer;
        EXPECT_EQ (buffer.getNumSamples(), files[pad].second) << files[pad].first;
        EXPECT_EQ (logLines()[(size_t) 2 + 13 * (size_t) pad].rfind (pad < 4 ? "Failed" : "Loaded", 0), 0u);
    }
    for (int i = 0; i < 100; ++i) // no byte the file lacks, as 8-bit data's full-scale zero
        EXPECT_FLOAT_EQ (entryOf (plugin, 4).buffer.getSample (1, i), (float) (i % 50) / 128.0f);
    writeAudio (folder.file ("kick.wav"), { wave (500) });
    load (plugin, 6, folder.path ("kick.wav"));
    EXPECT_EQ (entryOf (plugin, 6).buffer.getNumSamples(), 500);
}
