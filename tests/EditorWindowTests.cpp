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
    auto* editor = processor.createEditor();
    auto* ours = dynamic_cast<Editor*> (editor);
    EXPECT_NE (ours, nullptr);
    return std::unique_ptr<Editor> (ours);
}

juce::Colour backgroundPixel (Editor& editor)
{
    // Left of the legend, where only the window's own background shows.
    return editor.createComponentSnapshot ({ 0, 0, 8, 8 }, true, 1.0f).getPixelAt (2, 2);
}

// The editor's own lines and the rows' construction lines, as logged since `from`.
std::vector<std::string> windowLogLines (size_t from)
{
    const auto lines = testing_support::readLogLines();
    std::vector<std::string> window;
    for (size_t i = from; i < lines.size(); ++i)
        if (lines[i] == "Constructing DrumPadComponent." || lines[i] == "DrumPadComponent constructed." ||
            lines[i] == "Constructing PluginEditor." || lines[i] == "Destroying PluginEditor.")
            window.push_back (lines[i]);
    return window;
}

struct DeletionWatcher : juce::ComponentListener
{
    explicit DeletionWatcher (EditorWrapper& w)
        : wrapper (w)
    {
    }
    void componentBeingDeleted (juce::Component& component) override
    {
        ++deleted;
        if (wrapper.editor != nullptr)
            ADD_FAILURE() << "the wrapper still held the editor when " << component.getName() << " went";
    }
    EditorWrapper& wrapper;
    int deleted = 0;
};

bool isFrameworksOwn (const juce::LookAndFeel& lookAndFeel)
{
    return dynamic_cast<const BolvaneLookAndFeel*> (&lookAndFeel) == nullptr &&
           dynamic_cast<const juce::LookAndFeel_V4*> (&lookAndFeel) != nullptr;
}
} // namespace

TEST (EditorWindow, FixedLayoutOfLegendTwelveRowsAndHeader)
{
    BolvanePluginAudioProcessor processor;
    const auto editor = openEditor (processor);
    ASSERT_NE (editor, nullptr);
    EXPECT_EQ (processor.editorWrapper.editor, editor.get());

    EXPECT_EQ (editor->getWidth(), 852);
    EXPECT_EQ (editor->getHeight(), 466);
    EXPECT_FALSE (editor->isResizable());

    // Stacked legend, rows 0 to 11, header; the tooltip window is not among them.
    ASSERT_EQ (editor->getNumChildComponents(), 14);
    ASSERT_EQ (editor->drumPads.size(), 12u);
    EXPECT_EQ (editor->getChildComponent (0), &editor->padLegendComponent);
    EXPECT_EQ (editor->padLegendComponent.getBounds(), juce::Rectangle<int> (8, 6, 832, 24));
    for (int k = 0; k < 12; ++k)
    {
        EXPECT_EQ (editor->getChildComponent (k + 1), &editor->drumPads[(size_t) k]);
        EXPECT_EQ (editor->drumPads[(size_t) k].getBounds(), juce::Rectangle<int> (8, 34 + 32 * k, 832, 24)) << k;
        EXPECT_TRUE (editor->drumPads[(size_t) k].isVisible());
    }
    EXPECT_EQ (editor->getChildComponent (13), &editor->headerComponent);
    EXPECT_EQ (editor->headerComponent.getBounds(), juce::Rectangle<int> (8, 422, 832, 36));
    EXPECT_EQ (editor->tooltipWindow.getParentComponent(), nullptr);

    EXPECT_EQ (backgroundPixel (*editor).getARGB(), 0xFF555555u);
}

TEST (EditorWindow, FileNamesOpenInTheColourOfWhetherTheirSampleLoaded)
{
    BolvanePluginAudioProcessor processor;
    const testing_support::TempFolder folder;
    ASSERT_TRUE (testing_support::writeSampleFile (folder.file ("Kick.wav"), testing_support::Format::wav,
                                                   { std::vector<float> (64, 0.25f) }, 44100.0, 16));
    processor.parameterModel.setSamplePath (0, folder.path ("Kick.wav"));
    processor.parameterModel.setSamplePath (1, folder.path ("Missing.wav"));

    const auto editor = openEditor (processor);
    ASSERT_NE (editor, nullptr);

    // Loaded: light grey; missing file or no path at all: red.
    const juce::uint32 expected[] = { 0xFFB4B4B4, 0xFFB42828, 0xFFB42828 };
    for (int pad = 0; pad < 3; ++pad)
    {
        juce::Component* label = nullptr;
        for (auto* c : editor->drumPads[(size_t) pad].getChildren())
            if (c->getName() == "filename label")
                label = c;
        ASSERT_NE (label, nullptr);
        EXPECT_EQ (label->findColour (juce::Label::textColourId).getARGB(), expected[pad]) << pad;
    }
}

TEST (EditorWindow, ClosingLetsGoOfTheWindowBeforeAnyRowGoes)
{
    BolvanePluginAudioProcessor processor;
    auto editor = openEditor (processor);
    ASSERT_NE (editor, nullptr);

    DeletionWatcher watcher (processor.editorWrapper);
    for (auto& row : editor->drumPads)
        row.addComponentListener (&watcher);
    editor->padLegendComponent.addComponentListener (&watcher);
    editor->headerComponent.addComponentListener (&watcher);

    editor.reset();
    EXPECT_EQ (watcher.deleted, 14);
    EXPECT_EQ (processor.editorWrapper.editor, nullptr);

    // Engine-side changes after closing find no window to update.
    processor.parameterModel.setMuted (0, true);
    processor.parameterModel.setSoloed (1, true);
    processor.parameterModel.setPitch (2, 4);
    testing_support::runMessageLoop (120);
}

TEST (EditorWindow, ReopeningBuildsANewWindowAndLogsItAgain)
{
    BolvanePluginAudioProcessor processor;
    const size_t before = testing_support::readLogLines().size();

    for (int opening = 0; opening < 2; ++opening)
    {
        auto editor = openEditor (processor);
        ASSERT_NE (editor, nullptr);
        EXPECT_EQ (processor.editorWrapper.editor, editor.get());
        EXPECT_EQ (editor->getBounds(), juce::Rectangle<int> (0, 0, 852, 466));
    }
    EXPECT_EQ (processor.editorWrapper.editor, nullptr);

    std::vector<std::string> opened;
    for (int row = 0; row < 12; ++row)
    {
        opened.push_back ("Constructing DrumPadComponent.");
        opened.push_back ("DrumPadComponent constructed.");
    }
    opened.push_back ("Constructing PluginEditor.");

    std::vector<std::string> expected;
    for (int opening = 0; opening < 2; ++opening)
    {
        expected.insert (expected.end(), opened.begin(), opened.end());
        expected.push_back ("Destroying PluginEditor.");
    }
    EXPECT_EQ (windowLogLines (before), expected);
}

TEST (DefaultLookAndFeel, LastBuiltInstanceRulesAndDestroyingAnyFallsBackToTheFrameworks)
{
    auto first = std::make_unique<BolvanePluginAudioProcessor>();
    EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), &first->lookAndFeel);

    auto second = std::make_unique<BolvanePluginAudioProcessor>();
    EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), &second->lookAndFeel);

    // The earlier instance going takes the default from the one still there.
    first.reset();
    EXPECT_TRUE (isFrameworksOwn (juce::LookAndFeel::getDefaultLookAndFeel()));

    auto third = std::make_unique<BolvanePluginAudioProcessor>();
    EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), &third->lookAndFeel);

    third.reset();
    EXPECT_TRUE (isFrameworksOwn (juce::LookAndFeel::getDefaultLookAndFeel()));
    second.reset();
    EXPECT_TRUE (isFrameworksOwn (juce::LookAndFeel::getDefaultLookAndFeel()));
}

TEST (DefaultLookAndFeel, OpenWindowsKeepDrawingAfterALaterInstanceIsDestroyed)
{
    BolvanePluginAudioProcessor first, other;
    const auto earlyWindow = openEditor (first);
    ASSERT_NE (earlyWindow, nullptr);

    auto later = std::make_unique<BolvanePluginAudioProcessor>();
    // Opened while the later instance's look-and-feel is the default: its widgets were made by it.
    const auto lateWindow = openEditor (other);
    ASSERT_NE (lateWindow, nullptr);
    EXPECT_EQ (backgroundPixel (*earlyWindow).getARGB(), 0xFF555555u);

    later.reset();

    // Both windows now draw, children included, with the framework's look-and-feel, and nothing
    // of the destroyed one is touched (which the sanitizer build checks for real).
    const juce::LookAndFeel_V4 framework;
    const juce::Colour frameworkBackground = framework.findColour (juce::ResizableWindow::backgroundColourId);
    for (Editor* window : { earlyWindow.get(), lateWindow.get() })
    {
        const juce::Image whole = window->createComponentSnapshot (window->getLocalBounds(), true, 1.0f);
        EXPECT_EQ (whole.getPixelAt (2, 2), frameworkBackground);
        window->repaint();
    }
    testing_support::runMessageLoop (120);
}
