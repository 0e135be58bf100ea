#pragma once

#include "Voice.h"

#include <atomic>
#include <cstdint>
#include <vector>

// The audio-side state of the pad engine and its block processing. Only processBlock on the
// host's audio thread calls the operations; the message side touches the atomic fields directly.
class AudioRenderer
{
public:
    static constexpr int numPads = 12;
    static constexpr int numCutGroups = 4;

    // Two slots per pad (so two hits can overlap), then one per cut group.
    static constexpr int numVoices = numPads * 2 + numCutGroups;
    static constexpr int firstCutGroupSlot = numPads * 2;

    AudioRenderer();

    // Clears the output, starts a pending click, walks the MIDI and renders; the whole block.
    void processBlock (juce::AudioBuffer<float>& buffer, const juce::MidiBuffer& midi);

    void triggerPad (int pad, double gain);
    void stopAllVoices();
    void renderVoices (juce::AudioBuffer<float>& buffer, int startSample, int numSamples);
    void publishLowestSequenceNos();
    void updateLightCounters();

    std::vector<RendererPadState> pads;
    std::vector<Voice> voices;

    // Pad whose play button was clicked and not started yet; -1 = none.
    std::atomic<int32_t> pendingPadTrigger{ -1 };

    // Block ends a trigger keeps its pad lit at least; 0 or more.
    std::atomic<int32_t> lightHoldBlocks{ 20 };
};
