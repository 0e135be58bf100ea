#include "PluginProcessor.h"

#include "../editor/PluginEditor.h"
#include "ParameterModelXmlGenerator.h"
#include "ParameterModelXmlParser.h"
#include "Shared.h"

#include <algorithm>
#include <climits>
#include <mutex>
#include <vector>

namespace
{
// How long a triggered pad's play light stays on at least.
constexpr double lightHoldSeconds = 0.24;

constexpr int numOutputBuses = 6;

// The default look-and-feel is one per process, and every instance's windows draw with it. Each
// live instance's look is kept here, newest last, so that one going hands the default to another.
std::mutex looksMutex;
std::vector<BolvaneLookAndFeel*> liveLooks;
} // namespace

juce::AudioProcessor::BusesProperties BolvanePluginAudioProcessor::makeBuses()
{
    BusesProperties buses;
    for (int bus = 1; bus <= numOutputBuses; ++bus)
        buses = buses.withOutput ("Output #" + juce::String (bus), juce::AudioChannelSet::stereo(), true);
    return buses;
}

BolvanePluginAudioProcessor::BolvanePluginAudioProcessor()
    : juce::AudioProcessor (makeBuses())
{
    logLine ("Constructing PluginProcessor.");
    const std::lock_guard<std::mutex> lock (looksMutex);
    liveLooks.push_back (&lookAndFeel);
    juce::LookAndFeel::setDefaultLookAndFeel (&lookAndFeel);
}

BolvanePluginAudioProcessor::~BolvanePluginAudioProcessor()
{
    logLine ("Destroying PluginProcessor.");
    // The default must not outlive lookAndFeel, which goes with the members below.
    const std::lock_guard<std::mutex> lock (looksMutex);
    liveLooks.erase (std::find (liveLooks.begin(), liveLooks.end(), &lookAndFeel));
    juce::LookAndFeel::setDefaultLookAndFeel (liveLooks.empty() ? nullptr : liveLooks.back());
}

const juce::String BolvanePluginAudioProcessor::getName() const
{
    return "QM-70";
}

void BolvanePluginAudioProcessor::prepareToPlay (double sampleRate, int samplesPerBlock)
{
    sampleBufferHandler.setSampleRate (sampleRate);

    // Whole announced blocks in the hold time. A block size of 0 or less, or a rate whose
    // quotient has no int value (NaN, infinite or too large), must still give a hold of 0..INT_MAX.
    const double blocks = (sampleRate * lightHoldSeconds) / static_cast<double> (samplesPerBlock);
    int hold = 0;
    if (samplesPerBlock > 0 && blocks >= 0.0)
        hold = blocks < static_cast<double> (INT_MAX) ? static_cast<int> (blocks) : INT_MAX;
    audioRenderer.lightHoldBlocks.store (hold, std::memory_order_seq_cst);
}

void BolvanePluginAudioProcessor::releaseResources() {}

void BolvanePluginAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
{
    audioRenderer.processBlock (buffer, midi);
}

double BolvanePluginAudioProcessor::getTailLengthSeconds() const
{
    return 0.0;
}
bool BolvanePluginAudioProcessor::acceptsMidi() const
{
    return true;
}
bool BolvanePluginAudioProcessor::producesMidi() const
{
    return false;
}
bool BolvanePluginAudioProcessor::isMidiEffect() const
{
    return false;
}

juce::AudioProcessorEditor* BolvanePluginAudioProcessor::createEditor()
{
    editorWrapper.editor = new BolvanePluginAudioProcessorEditor (
        editorWrapper.processor, editorWrapper, editorWrapper.parameterModel, editorWrapper.playHandler);
    for (int pad = 0; pad < ParameterModel::numPads; ++pad)
        editorWrapper.editor->drumPads[(size_t) pad].sampleLoadedUpdated (
            editorWrapper.sampleLoaded[(size_t) pad].load (std::memory_order_seq_cst));
    return editorWrapper.editor;
}

bool BolvanePluginAudioProcessor::hasEditor() const
{
    return true;
}

int BolvanePluginAudioProcessor::getNumPrograms()
{
    return 1;
}
int BolvanePluginAudioProcessor::getCurrentProgram()
{
    return 0;
}
void BolvanePluginAudioProcessor::setCurrentProgram (int) {}
const juce::String BolvanePluginAudioProcessor::getProgramName (int)
{
    return {};
}
void BolvanePluginAudioProcessor::changeProgramName (int, const juce::String&) {}

void BolvanePluginAudioProcessor::getStateInformation (juce::MemoryBlock& block)
{
    const std::string text = ParameterModelXmlGenerator (parameterModel).generateXml();
    logLine ("Getting state information:");
    logLine (text);
    block.append (text.data(), text.size());
}

void BolvanePluginAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    logLine ("Setting state information:");
    // The text as the reader will see it: up to the first zero byte, ill-formed UTF-8 replaced.
    logLine (ParameterModelXmlParser::decodeText (data, sizeInBytes));
    ParameterModelXmlParser (data, sizeInBytes).populateParameterModel (parameterModel);
}

bool BolvanePluginAudioProcessor::isBusesLayoutSupported (const BusesLayout& layout) const
{
    const int numBuses = layout.outputBuses.size();
    if (numBuses != numOutputBuses && numBuses != 1)
        return false;

    for (const auto& bus : layout.outputBuses)
        if (bus.size() != 2)
            return false;

    return true;
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new BolvanePluginAudioProcessor();
}
