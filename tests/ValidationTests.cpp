// A strict host: many instances of both bundles at several rates, block sizes and bus layouts,
// random MIDI and state texts, states moved between instances, and the editor opened and closed
// while audio runs on another thread. Nothing may crash, no sample may be NaN or infinite, and
// the audio thread must not allocate.

#include "DisplayLikeAHost.h"
#include "HostSupport.h"

#if ! QM70_SANITIZED
#include "RealTimeAudit.h"
#endif

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace host_support;

namespace
{
struct Counts
{
    int instances = 0;
    int blocks = 0;
    int states = 0;
    int midiEvents = 0;
};

// Three short samples, written once for the whole run.
struct Samples
{
    Samples()
    {
        for (int s = 0; s < 3; ++s)
        {
            std::vector<float> samples ((size_t) (2000 + 3000 * s));
            for (size_t i = 0; i < samples.size(); ++i)
                samples[i] = (float) std::sin (0.05 * (double) i * (s + 1)) * 0.8f;
            const auto file = temp.folder.getChildFile ("hit" + juce::String (s) + ".wav");
            writeWav (file, samples, 44100.0 + 4000.0 * s);
            paths.push_back (file.getFullPathName().toStdString());
        }
    }

    TempFolder temp;
    std::vector<std::string> paths;
};

std::string randomSettingsText (juce::Random& random, const Samples& samples)
{
    std::vector<Pad> pads (12);
    for (auto& pad : pads)
    {
        pad.samplePath = random.nextInt (4) == 0 ? std::string() : samples.paths[(size_t) random.nextInt (3)];
        pad.cutGroup = random.nextInt (5) - 1;
        pad.pitch = random.nextInt (49) - 24;
        pad.decay = random.nextInt (101);
        pad.pan = random.nextInt (51) - 25;
        pad.level = random.nextInt (101) - 70;
        pad.output = random.nextInt (6);
        pad.muted = random.nextInt (8) == 0;
        pad.soloed = random.nextInt (12) == 0;
    }
    return stateText (pads);
}

// Texts a careless host or a damaged project might hand over.
std::string randomBadText (juce::Random& random, const std::string& validText)
{
    switch (random.nextInt (5))
    {
        case 0: // cut anywhere
            return validText.substr (0, (size_t) random.nextInt ((int) validText.size()));
        case 1: // random bytes
        {
            std::string bytes ((size_t) random.nextInt (400), '\0');
            for (auto& byte : bytes)
                byte = (char) random.nextInt (256);
            return bytes;
        }
        case 2: // values out of every range
        {
            auto text = juce::String (validText);
            for (const char* name : { "CutGroup", "Pitch", "Decay", "Pan", "Level", "Output" })
                text = text.replace (juce::String (name) + "=\"",
                                     juce::String (name) + "=\"" + juce::String (random.nextInt() % 100000));
            return text.toStdString();
        }
        case 3: // deep nesting
            return std::string (5000, '<');
        default: // not XML at all
            return "state";
    }
}

// One block of random events: notes (velocity 0 included), note-offs, the stop controllers,
// other controllers and messages, and garbage, at random positions inside the block.
void fillMidi (Kind kind, juce::Random& random, juce::MidiBuffer& midi, int blockSize, Counts& counts)
{
    midi.clear();
    const int events = random.nextInt (8);
    for (int e = 0; e < events; ++e)
    {
        const int position = random.nextInt (blockSize);
        const int channel = 1 + random.nextInt (16);
        switch (random.nextInt (6))
        {
            case 0:
            case 1:
                midi.addEvent (
                    juce::MidiMessage::noteOn (channel, random.nextInt (128), (juce::uint8) random.nextInt (128)),
                    position);
                break;
            case 2: midi.addEvent (juce::MidiMessage::noteOff (channel, random.nextInt (128)), position); break;
            case 3:
                midi.addEvent (juce::MidiMessage::controllerEvent (channel, random.nextBool() ? 120 : 123, 0),
                               position);
                break;
            case 4: midi.addEvent (juce::MidiMessage::pitchWheel (channel, random.nextInt (16384)), position); break;
            default:
            {
                // Any bytes but a system-exclusive start: JUCE's VST3 host turns a lone 0xF0 into a
                // data event of 2^32 - 1 bytes, and its VST3 wrapper copies system-exclusive data on
                // the audio thread. JUCE's VST3 host also reads past its controller table for a
                // controller number above 127 or a controller message cut short. None of that is
                // the plug-in's doing; LV2 hands the plug-in the bytes as they are.
                juce::uint8 status = 0xF0;
                while (status == 0xF0)
                    status = (juce::uint8) random.nextInt (256);
                const bool vst3 = kind == Kind::vst3;
                const int dataRange = vst3 ? 128 : 256;
                const juce::uint8 garbage[] = { status, (juce::uint8) random.nextInt (dataRange),
                                                (juce::uint8) random.nextInt (dataRange) };
                midi.addEvent (garbage, vst3 ? 3 : 1 + random.nextInt (3), position);
            }
        }
        ++counts.midiEvents;
    }
}

// Renders blocks of random sizes up to the announced one with random MIDI; returns the number of
// allocations the audio thread made after the first few blocks.
int renderRandomBlocks (
    juce::AudioPluginInstance& plugin, Kind kind, juce::Random& random, int announced, int numBlocks, Counts& counts)
{
    juce::AudioBuffer<float> buffer (plugin.getTotalNumOutputChannels(), announced);
    juce::MidiBuffer midi;
    midi.ensureSize (4096);
    int allocations = 0;
    int previousSize = announced;

    for (int block = 0; block < numBlocks; ++block)
    {
        const int size = block % 3 == 0 ? announced : 1 + random.nextInt (announced);
        // JUCE 7.0.5's LV2 wrapper resizes its own buffer, reallocating, whenever a block is longer
        // than the one before (AudioBuffer::setSize compares with the size, not the capacity).
        const bool wrapperMayAllocate = kind == Kind::lv2 && size > previousSize;
        previousSize = size;
        juce::AudioBuffer<float> view (buffer.getArrayOfWritePointers(), buffer.getNumChannels(), size);
        fillMidi (kind, random, midi, size, counts);
        // The host's own first blocks may size its buffers: those are not audited.
        if (block < 4 || QM70_SANITIZED || wrapperMayAllocate)
        {
            plugin.processBlock (view, midi);
        }
#if ! QM70_SANITIZED
        else
        {
            const realtime_audit::ScopedAudit audit;
            plugin.processBlock (view, midi);
            allocations += realtime_audit::allocations();
        }
#endif
        ++counts.blocks;
        EXPECT_TRUE (isFinite (view)) << "block " << block;
    }
    return allocations;
}

} // namespace

TEST (Validation, StrictHostFindsNoCrashNoNonFiniteSampleAndNoAllocation)
{
    const Samples samples;
    juce::Random random (70);
    Counts counts;

    for (const auto kind : { Kind::vst3, Kind::lv2 })
    {
        for (const double rate : { 44100.0, 48000.0, 96000.0 })
        {
            for (const int announced : { 1, 64, 512, 4096 })
            {
                for (const int enabledBuses : { 6, 1 })
                {
                    SCOPED_TRACE (juce::String (nameOf (kind)) + " " + juce::String (rate) + " Hz, blocks of " +
                                  juce::String (announced) + ", " + juce::String (enabledBuses) + " buses");
                    auto plugin = load (kind, rate, announced);
                    ASSERT_NE (plugin, nullptr);
                    ++counts.instances;

                    // JUCE's LV2 host can't switch ports off: one bus only applies to VST3.
                    if (enabledBuses == 1 && kind == Kind::lv2)
                        continue;
                    ASSERT_TRUE (plugin->setBusesLayout (stereoBuses (enabledBuses)));

                    const auto settings = randomSettingsText (random, samples);
                    restoreText (kind, *plugin, settings);
                    ++counts.states;
                    plugin->prepareToPlay (rate, announced);

#if ! QM70_SANITIZED
                    // JUCE's LV2 host allocates in its own block processing: there only the
                    // plug-in's library (and the C++ library it calls) is audited. Through VST3
                    // everything on the audio thread is, JUCE's host included.
                    if (kind == Kind::lv2)
                        ASSERT_GT (realtime_audit::countOnlyCallsFrom ({ "QM-70", "libstdc++" }), 0);
                    else
                        realtime_audit::countEveryCall();
#endif
                    const int blocks = announced == 1 ? 2000 : 120;
                    EXPECT_EQ (renderRandomBlocks (*plugin, kind, random, announced, blocks, counts), 0);

                    // A damaged text changes nothing or only what is valid; audio goes on.
                    restoreText (kind, *plugin, randomBadText (random, settings));
                    ++counts.states;
                    renderRandomBlocks (*plugin, kind, random, announced, 20, counts);

                    // What one instance saves, a fresh one restores to the same text.
                    const auto saved = saveText (kind, *plugin);
                    EXPECT_TRUE (juce::String (saved).startsWith ("<?xml")) << saved;
                    plugin->releaseResources();

                    auto successor = load (kind, rate, announced);
                    ASSERT_NE (successor, nullptr);
                    ++counts.instances;
                    restoreText (kind, *successor, saved);
                    ++counts.states;
                    EXPECT_EQ (saveText (kind, *successor), saved);
                }
            }
        }
    }

    std::cout << "validation: " << counts.instances << " instances, " << counts.blocks << " blocks, " << counts.states
              << " states, " << counts.midiEvents << " MIDI events" << std::endl;
}

TEST (Validation, EditorOpensAndClosesWhileAudioRunsOnAnotherThread)
{
    if (! testing_support::displayLikeAHost())
        GTEST_SKIP() << "needs a display";

    const Samples samples;
    juce::Random random (123);
    Counts counts;

    for (const auto kind : { Kind::vst3, Kind::lv2 })
    {
        SCOPED_TRACE (nameOf (kind));
        auto plugin = load (kind, 48000.0, 256);
        ASSERT_NE (plugin, nullptr);
        restoreText (kind, *plugin, randomSettingsText (random, samples));
        plugin->prepareToPlay (48000.0, 256);

        std::atomic<bool> running{ true };
        std::atomic<bool> allFinite{ true };
        std::thread audio (
            [&]
            {
                juce::Random audioRandom (7);
                juce::AudioBuffer<float> buffer (plugin->getTotalNumOutputChannels(), 256);
                juce::MidiBuffer midi;
                Counts audioCounts;
                while (running)
                {
                    fillMidi (kind, audioRandom, midi, 256, audioCounts);
                    plugin->processBlock (buffer, midi);
                    if (! isFinite (buffer))
                        allFinite = false;
                    std::this_thread::sleep_for (std::chrono::milliseconds (1));
                }
            });

        for (int round = 0; round < 5; ++round)
        {
            std::unique_ptr<juce::AudioProcessorEditor> editor (plugin->createEditorIfNeeded());
            ASSERT_NE (editor, nullptr);
            juce::MessageManager::getInstance()->runDispatchLoopUntil (100);
            EXPECT_EQ (editor->getWidth(), 852);
            EXPECT_EQ (editor->getHeight(), 466);
            // A restore while the window is open, as a host's undo would do.
            restoreText (kind, *plugin, randomSettingsText (random, samples));
            juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
            editor.reset();
            juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
        }

        running = false;
        audio.join();
        EXPECT_TRUE (allFinite.load());
        plugin->releaseResources();
    }
}
