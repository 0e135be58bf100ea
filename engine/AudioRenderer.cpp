#include "AudioRenderer.h"

#include <algorithm>
#include <array>

namespace
{
// Controllers that silence every voice at once, on any channel.
constexpr int allSoundOff = 120;
constexpr int allNotesOff = 123;

constexpr int noteOnStatus = 0x90;
constexpr int controlChangeStatus = 0xB0;

// Only a state text can carry a cut group outside -1..3; such a group counts as none, so the
// slot index always stays inside the 28 slots.
bool isCutGroup (int group)
{
    return group >= 0 && group < AudioRenderer::numCutGroups;
}
} // namespace

AudioRenderer::AudioRenderer()
    : pads ((size_t) numPads),
      voices ((size_t) numVoices)
{
}

// Audio thread. Takes no lock, allocates nothing and never waits.
void AudioRenderer::processBlock (juce::AudioBuffer<float>& buffer, const juce::MidiBuffer& midi)
{
    const int numChannels = buffer.getNumChannels();
    const int numSamples = buffer.getNumSamples();

    // Nothing sensible can be rendered; the click waits for a block that has a stereo pair.
    if (numChannels < 2)
        return;

    for (int channel = 0; channel < numChannels; ++channel)
        juce::FloatVectorOperations::clear (buffer.getWritePointer (channel), numSamples);

    // A click starts at sample 0, before any MIDI event of the block.
    const int clickedPad = pendingPadTrigger.exchange (-1, std::memory_order_seq_cst);
    if (clickedPad >= 0 && clickedPad < numPads)
        triggerPad (clickedPad, 1.0);

    int last = 0;
    for (const auto event : midi)
    {
        if (event.numBytes < 3)
            continue;

        const int status = event.data[0] & 0xF0;
        const int data1 = event.data[1];
        const int data2 = event.data[2];
        const bool isNoteOn = status == noteOnStatus && data2 != 0;
        const bool isStop = status == controlChangeStatus && (data1 == allSoundOff || data1 == allNotesOff);
        if (! isNoteOn && ! isStop)
            continue;

        // A position outside the block (or before the previous event) must not make a segment
        // reach outside the buffer.
        const int position = std::clamp (event.samplePosition, last, numSamples);
        if (position != last)
        {
            renderVoices (buffer, last, position - last);
            last = position;
        }

        if (isNoteOn)
        {
            const double velocity = data2 / 127.0;
            triggerPad (data1 % numPads, velocity * velocity);
        }
        else
        {
            stopAllVoices();
        }
    }

    // Runs even when empty: it ends voices that already stand at the end of their sample.
    renderVoices (buffer, last, numSamples - last);
    publishLowestSequenceNos();
    updateLightCounters();
}

void AudioRenderer::triggerPad (int pad, double gain)
{
    auto& record = pads[(size_t) pad];
    record.lightCounter.store (lightHoldBlocks.load (std::memory_order_seq_cst), std::memory_order_relaxed);

    const int group = record.cutGroup.load (std::memory_order_seq_cst);
    const int alternate = record.nextAlternateVoice.load (std::memory_order_relaxed);
    const bool inGroup = isCutGroup (group);
    const int slot = inGroup ? firstCutGroupSlot + group : 2 * pad + alternate;

    auto& voice = voices[(size_t) slot];
    if (voice.buffer != nullptr)
        voice.padState->activeVoiceCount.fetch_sub (1, std::memory_order_relaxed);

    voice.padIndex = pad;
    voice.buffer = record.buffer.load (std::memory_order_acquire);
    voice.padState = &record;
    voice.position = 0.0;
    voice.currentGain = gain;

    // A record that was never given an entry (only possible before the sample handler exists)
    // leaves the slot idle, so the count must not rise.
    if (voice.buffer != nullptr)
        record.activeVoiceCount.fetch_add (1, std::memory_order_relaxed);

    if (! inGroup)
        record.nextAlternateVoice.store (1 - alternate, std::memory_order_relaxed);
}

void AudioRenderer::stopAllVoices()
{
    for (auto& voice : voices)
    {
        if (voice.buffer != nullptr)
            voice.padState->activeVoiceCount.fetch_sub (1, std::memory_order_relaxed);
        voice.buffer = nullptr;
    }
}

void AudioRenderer::renderVoices (juce::AudioBuffer<float>& buffer, int startSample, int numSamples)
{
    const int numChannels = buffer.getNumChannels();
    float* const* const channels = buffer.getArrayOfWritePointers();

    for (auto& voice : voices)
    {
        if (voice.buffer == nullptr)
            continue;

        // Read per segment, so a voice follows its pad to another output at the next event. An
        // output whose pair lies beyond the buffer (or below 0, from a state text) plays on the first.
        const int output = pads[(size_t) voice.padIndex].output.load (std::memory_order_seq_cst);
        const int leftChannel = (output >= 0 && output < numChannels / 2) ? 2 * output : 0;

        voice.process (channels[leftChannel] + startSample, channels[leftChannel + 1] + startSample, numSamples);
    }
}

void AudioRenderer::publishLowestSequenceNos()
{
    std::array<int32_t, numPads> lowest{};
    for (size_t pad = 0; pad < lowest.size(); ++pad)
    {
        const auto* entry = pads[pad].buffer.load (std::memory_order_acquire);
        lowest[pad] = entry != nullptr ? entry->sequenceNo : -1;
    }

    for (const auto& voice : voices)
        if (voice.buffer != nullptr)
            lowest[(size_t) voice.padIndex] = std::min (lowest[(size_t) voice.padIndex], voice.buffer->sequenceNo);

    // Release: the loader frees entries below this number once it has read it.
    for (size_t pad = 0; pad < lowest.size(); ++pad)
        pads[pad].lowestSequenceNoInUse.store (lowest[pad], std::memory_order_release);
}

void AudioRenderer::updateLightCounters()
{
    for (auto& record : pads)
    {
        const int counter = record.lightCounter.load (std::memory_order_relaxed);
        if (counter == 0)
            continue;

        // The light holds at its last block while the pad still sounds.
        if (counter == 1 && record.activeVoiceCount.load (std::memory_order_relaxed) > 0)
            continue;

        record.lightCounter.store (counter - 1, std::memory_order_relaxed);
    }
}
