#include "EngineTestSupport.h"

#include <climits>

using namespace engine_test;

TEST (Renderer, NoteOnsPickPadByNoteModTwelveAndGainByVelocitySquaredAndAllElseIsIgnored)
{
    // Status and data bytes, pad (-1: none), gain, each after a note-on of pad 9. Velocity 0, a
    // note-off, another controller, a program change and aftertouch are passed over: pad 9 plays on.
    const double v64 = 0.2539525079050158, v1 = (1.0 / 127.0) * (1.0 / 127.0);
    const std::tuple<int, int, int, int, double> cases[] = {
        { 0x90, 60, 127, 0, 1.0 },  { 0x90, 72, 127, 0, 1.0 }, { 0x90, 61, 127, 1, 1.0 }, { 0x90, 71, 127, 11, 1.0 },
        { 0x9F, 2, 127, 2, 1.0 },   { 0x90, 64, 64, 4, v64 },  { 0x90, 64, 1, 4, v1 },    { 0x90, 69, 0, -1, 0.0 },
        { 0x80, 69, 100, -1, 0.0 }, { 0xB0, 7, 100, -1, 0.0 }, { 0xC0, 5, 0, -1, 0.0 },   { 0xA0, 69, 100, -1, 0.0 }
    };
    for (const auto& [status, data1, data2, pad, gain] : cases)
    {
        Rig rig;
        runBlock (rig.renderer, midi ({ { 0, noteOn (69) }, { 0, juce::MidiMessage (status, data1, data2) } }));
        Slots expected{ { 18, 9 } };
        if (pad >= 0)
            expected.insert (expected.begin() + (pad > 9 ? 1 : 0), { 2 * pad, pad });
        EXPECT_EQ (soundingSlots (rig.renderer), expected) << status << " " << data1;
        if (pad >= 0)
        {
            EXPECT_EQ (rig.renderer.voices[(size_t) pad * 2].currentGain, gain) << data2;
        }
    }
}

TEST (Renderer, OnlyTheLastClickStartsBeforeTheMidiOfTheNextBlockWithAStereoPair)
{
    Rig rig;
    rig.renderer.pendingPadTrigger = 4;
    rig.renderer.pendingPadTrigger = 3;
    auto notes = midi ({ { 0, noteOn (63, 64) } });

    // A one-channel block is left as it came: no note, no click, no block end.
    juce::AudioBuffer<float> mono (1, 64);
    mono.clear();
    mono.setSample (0, 3, 0.75f);
    rig.renderer.processBlock (mono, notes);
    EXPECT_EQ (mono.getSample (0, 3), 0.75f);
    EXPECT_EQ (soundingSlots (rig.renderer), Slots{});
    EXPECT_EQ (rig.renderer.pendingPadTrigger.load(), 3);
    EXPECT_EQ (rig.renderer.pads[0].lowestSequenceNoInUse.load(), -1);

    runBlock (rig.renderer, notes, 64, 2);
    EXPECT_EQ (soundingSlots (rig.renderer), (Slots{ { 6, 3 }, { 7, 3 } }));
    EXPECT_EQ (rig.renderer.voices[6].currentGain, 1.0) << "the click came first";
    EXPECT_EQ (rig.renderer.voices[7].currentGain, 0.2539525079050158);
    EXPECT_EQ (rig.renderer.pendingPadTrigger.load(), -1);
}

TEST (Renderer, EventsActAtTheirPositionsInBufferOrderAndAStopSilencesEveryVoice)
{
    // Pad 0 on output 0 and pad 1 on output 2 sound from 0; at 100 pad 2 (output 0) starts just
    // before the stop, pad 3 (output 3) just after it.
    for (const int controller : { 120, 123 })
    {
        Rig rig;
        rig.renderer.pads[1].output = 2;
        rig.renderer.pads[3].output = 3;
        auto events = midi ({ { 0, noteOn (60) }, { 0, noteOn (61) }, { 100, noteOn (62) } });
        events.addEvent (juce::MidiMessage::controllerEvent (5, controller, 0), 100);
        events.addEvent (noteOn (63), 100);
        const auto block = runBlock (rig.renderer, events, 512);
        EXPECT_TRUE (block.getMagnitude (0, 99, 1) > 0 && block.getMagnitude (4, 99, 1) > 0) << controller;
        EXPECT_EQ (block.getMagnitude (0, 100, 412) + block.getMagnitude (4, 100, 412), 0.0f) << controller;
        EXPECT_TRUE (block.getMagnitude (6, 0, 100) == 0 && block.getMagnitude (6, 100, 1) > 0) << controller;
        EXPECT_EQ (soundingSlots (rig.renderer), (Slots{ { 6, 3 } }));
        EXPECT_EQ (rig.renderer.pads[0].activeVoiceCount.load(), 0);
        EXPECT_EQ (rig.renderer.pads[0].lightCounter.load(), 19) << "lights go on running down";
    }

    Rig rig;
    runBlock (rig.renderer, midi ({ { -5, noteOn (60) }, { 1000, noteOn (61) } }));
    EXPECT_EQ (rig.renderer.voices[0].position, 64.0) << "clamped to the block's start";
    EXPECT_EQ (rig.renderer.voices[2].position, 0.0) << "clamped to the block's end";
}

TEST (Renderer, AnOutputPlaysOnItsStereoPairOrOnTheFirstWhenThePairIsMissing)
{
    // Output, channels, left channel.
    const int cases[][3] = { { 0, 12, 0 }, { 3, 12, 6 }, { 5, 12, 10 }, { 3, 2, 0 },        { 1, 3, 0 },
                             { 1, 4, 2 },  { 6, 12, 0 }, { -1, 12, 0 }, { INT_MIN, 12, 0 }, { INT_MAX, 12, 0 } };
    for (const auto& [output, channels, leftChannel] : cases)
    {
        Rig rig;
        rig.renderer.pads[2].output = output;
        const auto block = runBlock (rig.renderer, midi ({ { 0, noteOn (62) } }), 64, channels);
        for (int channel = 0; channel < channels; ++channel)
            EXPECT_EQ (block.getMagnitude (channel, 0, 64) > 0, channel == leftChannel || channel == leftChannel + 1)
                << "output " << output << ", " << channels << " channels, channel " << channel;
    }

    // A sounding voice follows its pad to another output.
    Rig rig;
    runBlock (rig.renderer, midi ({ { 0, noteOn (60) } }));
    rig.renderer.pads[0].output = 4;
    const auto block = runBlock (rig.renderer);
    EXPECT_TRUE (block.getMagnitude (0, 0, 64) == 0 && block.getMagnitude (8, 0, 64) > 0 &&
                 block.getMagnitude (9, 0, 64) > 0);
}

TEST (Renderer, PlayLightHoldsForTheHoldOrWhileThePadSounds)
{
    const int cases[][3] = { { 0, 5, 0 }, { 20, 5, 19 }, { 20, 50, 49 } }; // hold, voice blocks, last lit block end
    for (const auto& [hold, voiceBlocks, lastLit] : cases)
    {
        Rig rig;
        rig.setSample (0, std::vector<float> ((size_t) voiceBlocks * 64, 0.5f));
        rig.renderer.lightHoldBlocks = hold;
        for (int blockEnd = 1; blockEnd <= 60; ++blockEnd)
        {
            runBlock (rig.renderer, blockEnd == 1 ? midi ({ { 0, noteOn (60) } }) : juce::MidiBuffer());
            EXPECT_EQ (rig.renderer.pads[0].lightCounter.load() > 0, blockEnd <= lastLit)
                << "hold " << hold << ", voice blocks " << voiceBlocks << ", block end " << blockEnd;
            EXPECT_EQ (rig.renderer.pads[1].lightCounter.load(), 0);
        }
        EXPECT_EQ (rig.renderer.pads[0].activeVoiceCount.load(), 0);
    }
}

TEST (CutGroups, APadWithoutAGroupAlternatesItsTwoSlotsAndTheThirdHitCutsTheFirst)
{
    Rig rig;
    runBlock (rig.renderer, midi ({ { 0, noteOn (65) }, { 10, noteOn (65) }, { 20, noteOn (65) } }));
    EXPECT_EQ (soundingSlots (rig.renderer), (Slots{ { 10, 5 }, { 11, 5 } }));
    EXPECT_EQ (rig.renderer.voices[10].position, 44.0) << "restarted at sample 20";
    EXPECT_EQ (rig.renderer.voices[11].position, 54.0) << "started at sample 10";
    EXPECT_EQ (rig.renderer.pads[5].activeVoiceCount.load(), 2);
}

TEST (CutGroups, EachGroupSharesOneSlotAcrossItsPadsEvenWithAPadThatLeftIt)
{
    for (int group = 0; group < 4; ++group)
    {
        Rig rig;
        auto& pads = rig.renderer.pads;
        pads[3].cutGroup = group;
        pads[5].cutGroup = group;
        runBlock (rig.renderer, midi ({ { 0, noteOn (63) }, { 20, noteOn (65) } }));
        EXPECT_EQ (soundingSlots (rig.renderer), (Slots{ { 24 + group, 5 } })) << group;
        EXPECT_EQ (rig.renderer.voices[(size_t) (24 + group)].position, 44.0) << "cut at pad 5's position";
        EXPECT_EQ (pads[3].activeVoiceCount.load(), 0);
        EXPECT_EQ (pads[3].lightCounter.load(), 19) << "its light runs out on its own";
        EXPECT_EQ (pads[3].nextAlternateVoice.load(), 0) << "a group hit does not alternate";

        // Pad 5 leaves the group: its voice plays on in the group's slot until the group's next hit.
        pads[5].cutGroup = -1;
        runBlock (rig.renderer, midi ({ { 0, noteOn (65) } }));
        EXPECT_EQ (soundingSlots (rig.renderer), (Slots{ { 10, 5 }, { 24 + group, 5 } }));
        EXPECT_EQ (pads[5].activeVoiceCount.load(), 2);
        runBlock (rig.renderer, midi ({ { 0, noteOn (63) } }));
        EXPECT_EQ (soundingSlots (rig.renderer), (Slots{ { 10, 5 }, { 24 + group, 3 } }));
        EXPECT_EQ (pads[5].activeVoiceCount.load(), 1);
    }
}

TEST (CutGroups, AGroupOutsideMinusOneToThreeCountsAsNone)
{
    // Only a state text can carry these; they must neither leave the 28 slots nor land on another
    // pad's slots.
    for (const int group : { -24, -2, 4, 27, INT_MAX, INT_MIN })
    {
        Rig rig;
        rig.renderer.pads[7].cutGroup = group;
        for (int hit = 0; hit < 3; ++hit)
            runBlock (rig.renderer, midi ({ { 0, noteOn (67) } }));
        EXPECT_EQ (soundingSlots (rig.renderer), (Slots{ { 14, 7 }, { 15, 7 } })) << group;
    }
}
