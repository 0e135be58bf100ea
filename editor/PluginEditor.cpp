#include "PluginEditor.h"

#include "../engine/EditorWrapper.h"
#include "../engine/PluginProcessor.h"
#include "../engine/Shared.h"

#include <cstdlib>

namespace
{
std::ofstream openLog()
{
    // Without HOME there is no path to build: the log stays closed.
    const char* home = std::getenv ("HOME");
    if (home == nullptr)
        return {};

    // Output-only mode truncates: every load of the library starts an empty log. No folder is
    // created; without one the stream stays failed and drops every line.
    return std::ofstream (home + LOG_FILENAME);
}

// Gaps between the children, in pixels.
constexpr int legendTop = 6;
constexpr int leftMargin = 8;
constexpr int rowGap = 8;
constexpr int headerGap = 4;
} // namespace

std::ofstream logger = openLog();
std::mutex loggerMutex;

BolvanePluginAudioProcessorEditor::BolvanePluginAudioProcessorEditor (BolvanePluginAudioProcessor& processorToUse,
                                                                      EditorWrapper& editorWrapperToUse,
                                                                      ParameterModel& parameterModelToUse,
                                                                      PlayHandler& playHandler)
    : juce::AudioProcessorEditor (processorToUse),
      editorWrapper (editorWrapperToUse),
      parameterModel (parameterModelToUse),
      drumPads (ParameterModel::numPads)
{
    logLine ("Constructing PluginEditor.");

    const int legendWidth = padLegendComponent.getWidth();
    const int legendHeight = padLegendComponent.getHeight();
    const int rowHeight = drumPads[0].getHeight();
    const int headerHeight = headerComponent.getHeight();

    setSize (legendWidth + 20, headerHeight + legendHeight + ParameterModel::numPads * rowHeight + 118);

    addAndMakeVisible (padLegendComponent);
    padLegendComponent.setTopLeftPosition (leftMargin, legendTop);

    int y = legendHeight + 10;
    for (int pad = 0; pad < ParameterModel::numPads; ++pad)
    {
        auto& row = drumPads[(size_t) pad];
        row.initialize (pad, parameterModel, playHandler);
        addAndMakeVisible (row);
        row.setTopLeftPosition (leftMargin, y);
        y += rowHeight + rowGap;
    }

    addAndMakeVisible (headerComponent);
    headerComponent.setTopLeftPosition (leftMargin, y + headerGap);
}

BolvanePluginAudioProcessorEditor::~BolvanePluginAudioProcessorEditor()
{
    logLine ("Destroying PluginEditor.");
    // From here on no engine-side code reaches a row. A host that opens a second window before
    // closing the first keeps the second one reachable.
    if (editorWrapper.editor == this)
        editorWrapper.editor = nullptr;
}

void BolvanePluginAudioProcessorEditor::paint (juce::Graphics& g)
{
    g.fillAll (getLookAndFeel().findColour (juce::ResizableWindow::backgroundColourId));
}

void BolvanePluginAudioProcessorEditor::resized() {}
