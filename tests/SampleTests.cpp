#include "Support.h"

#include <sys/stat.h>

using namespace qm70;

namespace
{
const juce::AudioBuffer<float>& sampleOf (Plugin& plugin, int pad)
{
    return plugin.engine (pad).buffer.load()->buffer;
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
    const TempFolder folder;
    Plugin plugin;
    const auto left = wave (3000, 0.05), right = wave (3000, 0.11);
    const std::pair<const char*, std::vector<std::vector<float>>> files[] = { { "a.wav", { left, right } },
                                                                              { "b.aif", { left } },
                                                                              { "c.flac",
                                                                                { left, right, wave (3000) } },
                                                                              { "d.ogg", { left } } };
    for (int pad = 0; pad < 4; ++pad)
    {
        const auto& [name, channels] = files[pad];
        writeAudio (folder.file (name), channels, 44100.0, pad == 0 ? 32 : 16);
        plugin.processor.sampleBufferHandler.loadSample (pad, folder.path (name));
        const auto& sample = sampleOf (plugin, pad);
        ASSERT_EQ (sample.getNumChannels(), 2) << name;
        EXPECT_EQ (sample.getNumSamples(), 3000) << name;
        for (int i = 0; i < 3000; i += 7) // a mono file plays on both sides, a third channel nowhere
            for (int side = 0; side < 2; ++side)
                EXPECT_NEAR (sample.getSample (side, i), (side == 1 && pad % 2 == 0 ? right : left)[(size_t) i],
                             pad == 3   ? 0.05
                             : pad == 0 ? 0.0
                                        : 1.0e-4)
                    << name;
    }
}

TEST (SampleLoading, LoadsNumberTheirEntriesPerPadAndFreeThemOnceNoVoiceCanPlayThem)
{
    const TempFolder folder;
    writeAudio (folder.file ("kick.wav"), { wave (20000) });
    Plugin plugin;
    const auto kick = folder.path ("kick.wav");
    auto& loader = plugin.processor.sampleBufferHandler;
    loader.loadSample (0, kick);
    loader.loadSample (3, "");
    EXPECT_EQ (sampleOf (plugin, 3).getNumSamples(), 0);
    render (plugin.processor, midi ({ { 0, juce::MidiMessage::noteOn (1, 60, 1.0f) } }), 64); // plays entry 2
    loader.loadSample (0, kick);
    render (plugin.processor, {}, 64);
    loader.loadSample (0, kick); // the voice still plays entry 2
    render (plugin.processor, {}, 20000);
    loader.loadSample (1, kick);

    juce::StringArray seen;
    for (const auto& line : logLines())
        if (line.find ("pad 0 ") != std::string::npos || line.find ("pad 3 with") != std::string::npos)
            seen.add (line);
    const juce::String lowest = "Lowest sequenceNo in use for pad 0 is ", deleted = "Deleting sample for pad ";
    const juce::String loaded = "Loaded sample " + kick + " for pad 0 with sequenceNo ";
    EXPECT_EQ (seen,
               juce::StringArray (loaded + "2", lowest + "-1", "Failed to load sample  for pad 3 with sequenceNo 2",
                                  lowest + "-1", loaded + "3", lowest + "2", deleted + "0 with sequenceNo 1",
                                  deleted + "3 with sequenceNo 1", loaded + "4", lowest + "2", lowest + "4",
                                  deleted + "0 with sequenceNo 2", deleted + "0 with sequenceNo 3"));
}

TEST (SampleLoading, EverySampleFollowsTheHostsRateWhileUnusableRatesChangeNothing)
{
    const TempFolder folder;
    writeAudio (folder.file ("tom.wav"), { wave (40000) }, 48000.0);
    Plugin plugin;
    plugin.processor.sampleBufferHandler.loadSample (0, folder.path ("tom.wav")); // before the host tells its rate
    const std::pair<double, double> rates[] = { { 44100.0, 44100.0 }, { 96000.0, 96000.0 }, { 0.0, 96000.0 },
                                                { -1.0, 96000.0 },    { NAN, 96000.0 },     { INFINITY, 96000.0 },
                                                { 32000.0, 32000.0 } };
    for (int hit = 0; hit < 7; ++hit)
    {
        if (hit > 0) // the first hit comes before any prepareToPlay: the stand-in rate holds
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
    const TempFolder folder;
    writeWav (folder.file ("bomb.wav"), 1, 8, 1u << 28, 100);    // 144 bytes claiming 2^28 frames
    writeWav (folder.file ("wide.wav"), 2000, 24, 4, 4 * 6000);  // frames too wide for the reader to step over
    writeWav (folder.file ("cut.wav"), 1, 8, 6000, 100);         // a recording cut after 100 frames
    writeWav (folder.file ("odd.wav"), 2, 16, 6000, 4 * 25 + 3); // ... inside its 26th frame
    ASSERT_EQ (mkfifo (folder.path ("pipe.wav").c_str(), 0600), 0);
    folder.file ("loops.wav").createDirectory();
    writeAudio (folder.file ("kick.wav"), { wave (500) });
    Plugin plugin;
    const std::pair<const char*, int> files[] = { { "bomb.wav", 0 },  { "wide.wav", 0 },  { "pipe.wav", 0 },
                                                  { "loops.wav", 0 }, { "cut.wav", 100 }, { "odd.wav", 25 },
                                                  { "kick.wav", 500 } };
    for (int pad = 0; pad < 7; ++pad)
    {
        plugin.processor.sampleBufferHandler.loadSample (pad, folder.path (files[pad].first));
        EXPECT_EQ (sampleOf (plugin, pad).getNumSamples(), files[pad].second) << files[pad].first;
        EXPECT_EQ (logLines()[(size_t) 2 + 13 * (size_t) pad].rfind (pad < 4 ? "Failed" : "Loaded", 0), 0u);
    }
    for (int i = 0; i < 100; ++i) // only what the file holds: an 8-bit zero byte would be full scale
        EXPECT_FLOAT_EQ (sampleOf (plugin, 4).getSample (1, i), (float) (i % 50) / 128.0f);
}
