#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <climits>

using namespace engine_test;

namespace
{
// Which slots sound, and for which pad.
std::vector<std::pair<int, int>> soundingSlots (const AudioRenderer& renderer)
{
    std::vector<std::pair<int, int>> slots;
    for (int slot = 0; slot < AudioRenderer::numVoices; ++slot)
        if (renderer.voices[(size_t) slot].buffer != nullptr)
            slots.emplace_back (slot, renderer.voices[(size_t) slot].padIndex);
    return slots;
}

using Slots = std::vector<std::pair<int, int>>;
} // namespace

TEST (CutGroups, APadWithoutAGroupAlternatesBetweenItsTwoSlots)
{
    Rig rig;
    runBlock (rig.renderer, midi ({ { 0, noteOn (65, 127) } }));
    EXPECT_EQ (soundingSlots (rig.renderer), (Slots{ { 10, 5 } }));
    runBlock (rig.renderer, midi ({ { 0, noteOn (65, 127) } }));
    EXPECT_EQ (soundingSlots (rig.renderer), (Slots{ { 10, 5 }, { 11, 5 } }));
    runBlock (rig.renderer, midi ({ { 0, noteOn (65, 127) } }));
    EXPECT_EQ (soundingSlots (rig.renderer), (Slots{ { 10, 5 }, { 11, 5 } }));
    EXPECT_EQ (rig.renderer.voices[10].position, 64.0) << "the third hit restarted the first slot";
    EXPECT_EQ (rig.renderer.pads[5].activeVoiceCount.load(), 2);
}

TEST (CutGroups, EachGroupSharesOneSlotAcrossItsPads)
{
    for (int group = 0; group < 4; ++group)
    {
        Rig rig;
        rig.renderer.pads[3].cutGroup = group;
        rig.renderer.pads[5].cutGroup = group;
        runBlock (rig.renderer, midi ({ { 0, noteOn (63, 127) }, { 20, noteOn (65, 127) } }));

        EXPECT_EQ (soundingSlots (rig.renderer), (Slots{ { 24 + group, 5 } })) << group;
        EXPECT_EQ (rig.renderer.voices[(size_t) (24 + group)].position, 44.0) << "cut at pad 5's position";
        EXPECT_EQ (rig.renderer.pads[3].activeVoiceCount.load(), 0);
        EXPECT_EQ (rig.renderer.pads[5].activeVoiceCount.load(), 1);
        EXPECT_EQ (rig.renderer.pads[3].lightCounter.load(), 19) << "its light runs out on its own";
        EXPECT_EQ (rig.renderer.pads[3].nextAlternateVoice.load(), 0) << "a group hit does not alternate";
    }
}

TEST (CutGroups, APadLeavingItsGroupWhileSoundingPlaysOnInTheGroupSlot)
{
    Rig rig;
    rig.renderer.pads[3].cutGroup = 1;
    rig.renderer.pads[5].cutGroup = 1;
    runBlock (rig.renderer, midi ({ { 0, noteOn (63, 127) } }));

    rig.renderer.pads[3].cutGroup = -1;
    runBlock (rig.renderer, midi ({ { 0, noteOn (63, 127) } }));
    EXPECT_EQ (soundingSlots (rig.renderer), (Slots{ { 6, 3 }, { 25, 3 } }));
    EXPECT_EQ (rig.renderer.pads[3].activeVoiceCount.load(), 2);

    // The group's next hit still cuts the voice left in its slot.
    runBlock (rig.renderer, midi ({ { 0, noteOn (65, 127) } }));
    EXPECT_EQ (soundingSlots (rig.renderer), (Slots{ { 6, 3 }, { 25, 5 } }));
    EXPECT_EQ (rig.renderer.pads[3].activeVoiceCount.load(), 1);
}

TEST (CutGroups, AGroupOutsideMinusOneToThreeCountsAsNone)
{
    // Only a state text can carry these; they must neither leave the 28 slots nor land on
    // another pad's slots.
    for (const int group : { -24, -2, 4, 27, INT_MAX, INT_MIN })
    {
        Rig rig;
        rig.renderer.pads[7].cutGroup = group;
        for (int hit = 0; hit < 3; ++hit)
            runBlock (rig.renderer, midi ({ { 0, noteOn (67, 127) } }));
        EXPECT_EQ (soundingSlots (rig.renderer), (Slots{ { 14, 7 }, { 15, 7 } })) << group;
    }
}
