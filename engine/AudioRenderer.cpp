#include "AudioRenderer.h"

AudioRenderer::AudioRenderer()
    : pads ((size_t) numPads),
      voices ((size_t) numVoices)
{
}

void AudioRenderer::processBlock (juce::AudioBuffer<float>& buffer, const juce::MidiBuffer&)
{
    buffer.clear();
}

void AudioRenderer::triggerPad (int, double) {}
void AudioRenderer::stopAllVoices() {}
void AudioRenderer::renderVoices (juce::AudioBuffer<float>&, int, int) {}
void AudioRenderer::publishLowestSequenceNos() {}
void AudioRenderer::updateLightCounters() {}
