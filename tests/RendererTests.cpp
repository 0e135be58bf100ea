#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <climits>

using namespace engine_test;

namespace
{
bool anySignal (const juce::AudioBuffer<float>& buffer, int channel, int from = 0, int to = -1)
{
    if (to < 0)
        to = buffer.getNumSamples();
    for (int i = from; i < to; ++i)
        if (buffer.getSample (channel, i) != 0.0f)
            return true;
    return false;
}

// Pad whose first voice (slot 2 · pad) is sounding, and at what gain it was started.
bool padStarted (const AudioRenderer& renderer, int pad, double gain)
{
    const auto& voice = renderer.voices[(size_t) pad * 2];
    return voice.buffer != nullptr && voice.currentGain == gain;
}
} // namespace

TEST (Renderer, StartsWithTheDefaultsOfAnUneditedPad)
{
    AudioRenderer renderer;
    ASSERT_EQ (renderer.pads.size(), 12u);
    ASSERT_EQ (renderer.voices.size(), 28u);
    for (const auto& pad : renderer.pads)
    {
        EXPECT_EQ (pad.buffer.load(), nullptr);
        EXPECT_EQ (pad.gain.load(), 1.0);
        EXPECT_EQ (pad.panAngle.load(), 0.7853981633974483);
        EXPECT_EQ (pad.decayFactor.load(), 1.0);
        EXPECT_EQ (pad.pitchRatio.load(), 1.0);
        EXPECT_EQ (pad.cutGroup.load(), -1);
        EXPECT_EQ (pad.output.load(), 0);
        EXPECT_EQ (pad.lowestSequenceNoInUse.load(), -1);
        EXPECT_EQ (pad.nextAlternateVoice.load(), 0);
        EXPECT_EQ (pad.activeVoiceCount.load(), 0);
        EXPECT_EQ (pad.lightCounter.load(), 0);
    }
    for (const auto& voice : renderer.voices)
        EXPECT_EQ (voice.buffer, nullptr);
    EXPECT_EQ (renderer.pendingPadTrigger.load(), -1);
    EXPECT_EQ (renderer.lightHoldBlocks.load(), 20);
}

TEST (Renderer, MidiEventsPickPadAndGain)
{
    struct Case
    {
        const char* what;
        juce::MidiMessage message;
        int pad; // -1: nothing starts
        double gain;
    };

    const Case cases[] = {
        { "middle C", noteOn (60, 127), 0, 1.0 },
        { "C an octave up", noteOn (72, 127), 0, 1.0 },
        { "C sharp", noteOn (61, 127), 1, 1.0 },
        { "B", noteOn (71, 127), 11, 1.0 },
        { "lowest note", noteOn (0, 127), 0, 1.0 },
        { "channel 10", noteOn (62, 127, 10), 2, 1.0 },
        { "channel 16", noteOn (62, 127, 16), 2, 1.0 },
        { "velocity 64", noteOn (64, 64), 4, 0.2539525079050158 },
        { "velocity 1", noteOn (64, 1), 4, (1.0 / 127.0) * (1.0 / 127.0) },
        { "velocity 0", noteOn (64, 0), -1, 0.0 },
        { "note-off", juce::MidiMessage::noteOff (1, 64, (juce::uint8) 100), -1, 0.0 },
        { "other controller", juce::MidiMessage::controllerEvent (1, 7, 100), -1, 0.0 },
        { "program change", juce::MidiMessage::programChange (1, 5), -1, 0.0 },
        { "pitch bend", juce::MidiMessage::pitchWheel (1, 100), -1, 0.0 },
        { "aftertouch", juce::MidiMessage::aftertouchChange (1, 64, 100), -1, 0.0 },
        { "clock", juce::MidiMessage::midiClock(), -1, 0.0 },
    };

    for (const auto& c : cases)
    {
        Rig rig;
        runBlock (rig.renderer, midi ({ { 0, c.message } }));
        for (int pad = 0; pad < 12; ++pad)
            EXPECT_EQ (padStarted (rig.renderer, pad, c.gain), pad == c.pad) << c.what << ", pad " << pad;
    }
}

TEST (Renderer, ClickStartsBeforeMidiAndOnlyTheLastClickCounts)
{
    Rig rig;
    rig.renderer.pendingPadTrigger = 4;
    rig.renderer.pendingPadTrigger = 3;
    runBlock (rig.renderer, midi ({ { 0, noteOn (63, 64) } }));

    EXPECT_EQ (rig.renderer.voices[6].currentGain, 1.0) << "the click took pad 3's first slot";
    EXPECT_EQ (rig.renderer.voices[7].currentGain, 0.2539525079050158) << "the note took the second";
    EXPECT_EQ (rig.renderer.voices[8].buffer, nullptr) << "the earlier click never plays";
    EXPECT_EQ (rig.renderer.pendingPadTrigger.load(), -1);
}

TEST (Renderer, ThirdHitOfAPadCutsItsFirstAtTheThirdHitsPosition)
{
    Rig rig;
    const auto block =
        runBlock (rig.renderer, midi ({ { 0, noteOn (60, 127) }, { 10, noteOn (60, 127) }, { 20, noteOn (60, 127) } }));

    EXPECT_EQ (rig.renderer.voices[0].position, 44.0) << "restarted at sample 20";
    EXPECT_EQ (rig.renderer.voices[1].position, 54.0) << "started at sample 10";
    EXPECT_EQ (rig.renderer.pads[0].activeVoiceCount.load(), 2);

    // A 0.5 DC sample at centre pan: one voice, then two.
    const float one = (float) (0.5 * leftGainFor (centreAngle, 1.0));
    const float two = (float) ((double) one + 0.5 * leftGainFor (centreAngle, 1.0));
    EXPECT_EQ (block.getSample (0, 5), one);
    EXPECT_EQ (block.getSample (0, 15), two);
    EXPECT_EQ (block.getSample (0, 25), two);
}

TEST (Renderer, AllSoundOffAndAllNotesOffStopEveryVoiceAtTheirPosition)
{
    for (const int controller : { 120, 123 })
    {
        Rig rig;
        rig.renderer.pads[1].output = 2;
        runBlock (rig.renderer, midi ({ { 0, noteOn (60, 127) }, { 0, noteOn (61, 127) }, { 0, noteOn (60, 100) } }));
        const auto block =
            runBlock (rig.renderer, midi ({ { 100, juce::MidiMessage::controllerEvent (5, controller, 0) } }), 512);

        EXPECT_TRUE (anySignal (block, 0, 99, 100)) << controller;
        EXPECT_TRUE (anySignal (block, 4, 99, 100)) << controller;
        for (int channel = 0; channel < 12; ++channel)
            EXPECT_FALSE (anySignal (block, channel, 100)) << controller << ", channel " << channel;
        for (const auto& voice : rig.renderer.voices)
            EXPECT_EQ (voice.buffer, nullptr);
        EXPECT_EQ (rig.renderer.pads[0].activeVoiceCount.load(), 0);
        EXPECT_EQ (rig.renderer.pads[0].lightCounter.load(), 18) << "lights go on running down";
    }
}

TEST (Renderer, EventsAtOnePositionActInBufferOrder)
{
    const auto stop = juce::MidiMessage::allNotesOff (1);
    Rig noteThenStop;
    const auto a = runBlock (noteThenStop.renderer, midi ({ { 10, noteOn (60, 127) }, { 10, stop } }));
    EXPECT_FALSE (anySignal (a, 0));

    Rig stopThenNote;
    const auto b = runBlock (stopThenNote.renderer, midi ({ { 10, stop }, { 10, noteOn (60, 127) } }));
    EXPECT_FALSE (anySignal (b, 0, 0, 10));
    EXPECT_TRUE (anySignal (b, 0, 10, 11));
}

TEST (Renderer, MidiPositionsOutsideTheBlockAreClampedIntoIt)
{
    Rig rig;
    const auto block = runBlock (rig.renderer, midi ({ { -5, noteOn (60, 127) }, { 1000, noteOn (61, 127) } }));
    EXPECT_TRUE (anySignal (block, 0, 0, 1));
    EXPECT_EQ (rig.renderer.voices[0].position, 64.0);
    EXPECT_EQ (rig.renderer.voices[2].position, 0.0) << "started at the block's end";
}

TEST (Renderer, OutputPicksTheStereoPairOrTheFirstOne)
{
    struct Case
    {
        int output;
        int numChannels;
        int leftChannel;
    };

    const Case cases[] = {
        { 0, 12, 0 }, { 3, 12, 6 },  { 5, 12, 10 }, { 3, 2, 0 },        { 1, 3, 0 },        { 1, 4, 2 },
        { 6, 12, 0 }, { -1, 12, 0 }, { -7, 12, 0 }, { INT_MIN, 12, 0 }, { INT_MAX, 12, 0 },
    };

    for (const auto& c : cases)
    {
        Rig rig;
        rig.renderer.pads[2].output = c.output;
        const auto block = runBlock (rig.renderer, midi ({ { 0, noteOn (62, 127) } }), 64, c.numChannels);
        for (int channel = 0; channel < c.numChannels; ++channel)
            EXPECT_EQ (anySignal (block, channel), channel == c.leftChannel || channel == c.leftChannel + 1)
                << "output " << c.output << ", " << c.numChannels << " channels, channel " << channel;
    }
}

TEST (Renderer, ASoundingVoiceFollowsItsPadToAnotherOutput)
{
    Rig rig;
    runBlock (rig.renderer, midi ({ { 0, noteOn (60, 127) } }));
    rig.renderer.pads[0].output = 4;
    const auto block = runBlock (rig.renderer);
    EXPECT_FALSE (anySignal (block, 0));
    EXPECT_TRUE (anySignal (block, 8));
    EXPECT_TRUE (anySignal (block, 9));
}

TEST (Renderer, ABufferWithOneChannelIsLeftAsItCame)
{
    Rig rig;
    rig.renderer.pendingPadTrigger = 5;
    juce::AudioBuffer<float> mono (1, 64);
    mono.clear();
    mono.setSample (0, 3, 0.75f);
    rig.renderer.processBlock (mono, midi ({ { 0, noteOn (60, 127) } }));

    EXPECT_EQ (mono.getSample (0, 3), 0.75f);
    EXPECT_EQ (rig.renderer.voices[0].buffer, nullptr) << "the note had no effect";
    EXPECT_EQ (rig.renderer.pendingPadTrigger.load(), 5) << "the click waits";
    EXPECT_EQ (rig.renderer.pads[0].lowestSequenceNoInUse.load(), -1) << "no block end";

    runBlock (rig.renderer, {}, 64, 2);
    EXPECT_TRUE (padStarted (rig.renderer, 5, 1.0));
}

TEST (Renderer, PlayLightHoldsForTheHoldOrWhileThePadSounds)
{
    struct Case
    {
        const char* what;
        int hold;
        int voiceBlocks;
        int lastLitBlockEnd; // counted from 1; 0 = never lit
    };

    const Case cases[] = {
        { "hold 0", 0, 5, 0 },
        { "short voice", 20, 5, 19 },
        { "long voice", 20, 50, 49 },
    };

    for (const auto& c : cases)
    {
        Rig rig;
        rig.setSample (0, std::vector<float> ((size_t) c.voiceBlocks * 64, 0.5f));
        rig.renderer.lightHoldBlocks = c.hold;
        for (int blockEnd = 1; blockEnd <= 60; ++blockEnd)
        {
            runBlock (rig.renderer, blockEnd == 1 ? midi ({ { 0, noteOn (60, 127) } }) : juce::MidiBuffer());
            EXPECT_EQ (rig.renderer.pads[0].lightCounter.load() > 0, blockEnd <= c.lastLitBlockEnd)
                << c.what << ", block end " << blockEnd;
        }
        EXPECT_EQ (rig.renderer.pads[0].activeVoiceCount.load(), 0) << c.what;
    }
}

TEST (Renderer, LowestSequenceNumberCoversEntriesStillPlaying)
{
    Rig rig;
    auto& old = rig.setSample (0, std::vector<float> (1000, 0.5f));
    runBlock (rig.renderer, midi ({ { 0, noteOn (60, 127) } }));
    EXPECT_EQ (rig.renderer.pads[0].lowestSequenceNoInUse.load(), old.sequenceNo);

    // A new sample while the old one still plays: the old number stays in use.
    auto& replacement = rig.setSample (0, std::vector<float> (10, 0.5f));
    runBlock (rig.renderer);
    EXPECT_EQ (rig.renderer.pads[0].lowestSequenceNoInUse.load(), old.sequenceNo);
    EXPECT_EQ (rig.renderer.voices[0].buffer, &old) << "a voice keeps the entry it started with";

    runBlock (rig.renderer, midi ({ { 0, juce::MidiMessage::allSoundOff (1) } }));
    EXPECT_EQ (rig.renderer.pads[0].lowestSequenceNoInUse.load(), replacement.sequenceNo);
    EXPECT_EQ (rig.renderer.pads[1].lowestSequenceNoInUse.load(), rig.renderer.pads[1].buffer.load()->sequenceNo);
}
