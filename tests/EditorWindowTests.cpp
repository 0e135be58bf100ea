#include "TestSupport.h"
#include "editor/PluginEditor.h"
#include "engine/PluginProcessor.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
using Editor = BolvanePluginAudioProcessorEditor;

// What the host's wrapper does: asks for the window and owns what it gets.
std::unique_ptr<Editor> openEditor (BolvanePluginAudioProcessor& processor)
{
    auto* editor = dynamic_cast<Editor*> (processor.createEditor());
    EXPECT_NE (editor, nullptr);
    return std::unique_ptr<Editor> (editor);
}

juce::uint32 pixelAt (juce::Component& component, int x, int y)
{
    return component.createComponentSnapshot ({ x, y, 1, 1 }).getPixelAt (0, 0).getARGB();
}
} // namespace

TEST (EditorWindow, OpensInItsFixedLayoutWithFileNamesColouredByWhetherTheirSampleLoaded)
{
    BolvanePluginAudioProcessor processor;
    const testing_support::TempFolder folder;
    ASSERT_TRUE (testing_support::writeSampleFile (folder.file ("Kick.wav"), testing_support::Format::wav,
                                                   { std::vector<float> (64, 0.25f) }, 44100.0, 16));
    processor.parameterModel.setSamplePath (0, folder.path ("Kick.wav"));
    processor.parameterModel.setSamplePath (1, folder.path ("Missing.wav"));
    const auto editor = openEditor (processor);
    ASSERT_NE (editor, nullptr);
    EXPECT_EQ (editor->getBounds(), juce::Rectangle<int> (0, 0, 852, 466));
    EXPECT_FALSE (editor->isResizable());

    // Legend, rows 0 to 11 and header: the tooltip window is not among the children.
    ASSERT_EQ (editor->getNumChildComponents(), 14);
    ASSERT_EQ (editor->drumPads.size(), 12u);
    EXPECT_EQ (editor->padLegendComponent.getBounds(), juce::Rectangle<int> (8, 6, 832, 24));
    for (int k = 0; k < 12; ++k)
    {
        EXPECT_EQ (editor->drumPads[(size_t) k].getBounds(), juce::Rectangle<int> (8, 34 + 32 * k, 832, 24)) << k;
        EXPECT_TRUE (editor->drumPads[(size_t) k].isVisible());
    }
    EXPECT_EQ (editor->headerComponent.getBounds(), juce::Rectangle<int> (8, 422, 832, 36));

    // The grey shows beside the children and through the legend and the header, which paint none.
    for (const auto point : { juce::Point<int> (2, 2), { 58, 18 }, { 508, 442 } })
        EXPECT_EQ (pixelAt (*editor, point.x, point.y), 0xFF555555u) << point.toString();

    // Each row shows its own pad: loaded in light grey; a missing file or no path at all in red.
    const std::pair<const char*, juce::uint32> fileNames[] = { { "Kick", 0xFFB4B4B4 },
                                                               { "Missing", 0xFFB42828 },
                                                               { "", 0xFFB42828 } };
    int labels = 0;
    for (int pad = 0; pad < 3; ++pad)
        for (auto* c : editor->drumPads[(size_t) pad].getChildren())
            if (auto* label = dynamic_cast<juce::Label*> (c); label != nullptr && c->getName() == "filename label")
            {
                ++labels;
                EXPECT_EQ (label->getText(), fileNames[pad].first);
                EXPECT_EQ (label->findColour (juce::Label::textColourId).getARGB(), fileNames[pad].second) << pad;
            }
    EXPECT_EQ (labels, 3);
}

TEST (EditorWindow, ClosingLetsGoOfTheWindowBeforeAnyRowGoesAndReopeningBuildsAndLogsItAnew)
{
    BolvanePluginAudioProcessor processor;
    const size_t logged = testing_support::readLogLines().size();
    auto editor = openEditor (processor);
    ASSERT_NE (editor, nullptr);

    // Notes, as each of the editor's children goes, whether the wrapper had let go of the editor.
    struct Watcher : juce::ComponentListener
    {
        void componentBeingDeleted (juce::Component&) override { cleared.push_back (wrapper->editor == nullptr); }
        const EditorWrapper* wrapper = nullptr;
        std::vector<bool> cleared;
    } watcher;
    watcher.wrapper = &processor.editorWrapper;
    for (auto* child : editor->getChildren())
        child->addComponentListener (&watcher);
    editor.reset();
    EXPECT_EQ (watcher.cleared, std::vector<bool> (14, true));

    editor = openEditor (processor);
    EXPECT_EQ (processor.editorWrapper.editor, editor.get());
    editor.reset();
    EXPECT_EQ (processor.editorWrapper.editor, nullptr);

    // All that is logged meanwhile. Each opening: the twelve rows' two lines each, then the editor's;
    // then its closing line.
    juce::String opening, window;
    for (int row = 0; row < 12; ++row)
        opening << "Constructing DrumPadComponent.\nDrumPadComponent constructed.\n";
    opening << "Constructing PluginEditor.\nDestroying PluginEditor.\n";
    const auto lines = testing_support::readLogLines();
    for (size_t i = logged; i < lines.size(); ++i)
        window << lines[i] << "\n";
    EXPECT_EQ (window, opening + opening);
}

TEST (DefaultLookAndFeel, LastBuiltInstanceRulesAndOpenWindowsDrawOnAfterAnyInstanceGoes)
{
    BolvanePluginAudioProcessor first, other;
    const auto earlyWindow = openEditor (first);
    auto later = std::make_unique<BolvanePluginAudioProcessor>();
    EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), &later->lookAndFeel);
    // Opened while the later instance's look-and-feel is the default: its widgets were made by it.
    const auto lateWindow = openEditor (other);
    ASSERT_TRUE (earlyWindow != nullptr && lateWindow != nullptr);
    EXPECT_EQ (pixelAt (*earlyWindow, 2, 2), 0xFF555555u);

    // Both windows, children included, now draw with the framework's look-and-feel and touch
    // nothing of the destroyed one (which the sanitizer build checks for real).
    later.reset();
    EXPECT_EQ (dynamic_cast<BolvaneLookAndFeel*> (&juce::LookAndFeel::getDefaultLookAndFeel()), nullptr);
    const juce::Colour frameworkGrey = juce::LookAndFeel_V4().findColour (juce::ResizableWindow::backgroundColourId);
    for (Editor* window : { earlyWindow.get(), lateWindow.get() })
    {
        EXPECT_EQ (window->createComponentSnapshot (window->getLocalBounds()).getPixelAt (2, 2), frameworkGrey);
        window->repaint();
    }
    testing_support::runMessageLoop (120);

    // An earlier instance going takes the default from a later one still there.
    auto earlier = std::make_unique<BolvanePluginAudioProcessor>();
    const BolvanePluginAudioProcessor latest;
    EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), &latest.lookAndFeel);
    earlier.reset();
    EXPECT_EQ (dynamic_cast<BolvaneLookAndFeel*> (&juce::LookAndFeel::getDefaultLookAndFeel()), nullptr);
}
