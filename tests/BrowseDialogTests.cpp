#include "DisplayLikeAHost.h"
#include "PadRowSupport.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

// The browse dialog is a real window with a modal loop: these tests need a display (xvfb-run -a).

using padrow_support::child;
using padrow_support::OpenEditor;
using testing_support::displayLikeAHost;
using testing_support::TempFolder;

namespace
{
juce::FileBrowserComponent* findBrowser (juce::Component& parent)
{
    for (auto* component : parent.getChildren())
    {
        if (auto* browser = dynamic_cast<juce::FileBrowserComponent*> (component))
            return browser;
        if (auto* browser = findBrowser (*component))
            return browser;
    }
    return nullptr;
}

// Acts on the browse dialog from inside its modal loop, once it is open.
class DialogDriver : private juce::Timer
{
public:
    using Action = std::function<void (juce::FileChooserDialogBox&, juce::FileBrowserComponent&)>;

    explicit DialogDriver (Action actionToRun)
        : action (std::move (actionToRun))
    {
        startTimer (pollMs);
    }

    ~DialogDriver() override { stopTimer(); }

    bool acted = false;

private:
    static constexpr int pollMs = 20;

    void timerCallback() override
    {
        auto* dialog = dynamic_cast<juce::FileChooserDialogBox*> (juce::Component::getCurrentlyModalComponent());
        if (dialog == nullptr)
            return;

        stopTimer();
        acted = true;
        auto* browser = findBrowser (*dialog);
        ASSERT_NE (browser, nullptr);
        action (*dialog, *browser);
    }

    Action action;
};

// Cancels a dialog still open after a while, so a browse that never returns fails instead of hanging.
class Rescue : private juce::Timer
{
public:
    Rescue() { startTimer (limitMs); }
    ~Rescue() override { stopTimer(); }

    bool needed = false;

private:
    static constexpr int limitMs = 10000;

    void timerCallback() override
    {
        stopTimer();
        if (auto* modal = juce::Component::getCurrentlyModalComponent())
        {
            needed = true;
            modal->exitModalState (0);
        }
    }
};

void clickBrowse (DrumPadComponent& row)
{
    row.buttonClicked (&child<juce::TextButton> (row, "browse button"));
}

std::string lastLogLine()
{
    const auto lines = testing_support::readLogLines();
    return lines.empty() ? std::string() : lines.back();
}
} // namespace

TEST (BrowseDialog, OpensAtLastDirectoryAndCancelKeepsTheSampleButRemembersTheFolderShownLast)
{
    if (! displayLikeAHost())
        GTEST_SKIP() << "needs a display";

    TempFolder start;
    TempFolder elsewhere;
    const std::string startPath = start.get().getFullPathName().toStdString();

    OpenEditor host;
    host.open();
    auto& model = host.processor.parameterModel;
    model.setLastDirectory (startPath);

    Rescue rescue;
    DialogDriver driver (
        [&] (juce::FileChooserDialogBox& dialog, juce::FileBrowserComponent& browser)
        {
            EXPECT_EQ (lastLogLine(), "Browsing at path: " + startPath);
            EXPECT_EQ (dialog.getName(), "Load Sample");
            EXPECT_EQ (dialog.getBackgroundColour(), juce::Colour (0xFF777777));
            EXPECT_TRUE (dialog.isAlwaysOnTop());
            EXPECT_TRUE (dialog.isOnDesktop());
            EXPECT_EQ (dialog.getParentComponent(), nullptr);
            EXPECT_EQ (dialog.getWidth(), 600);
            EXPECT_EQ (dialog.getHeight(), 500);
            const auto screen = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay()->userArea;
            EXPECT_NEAR (dialog.getBounds().getCentreX(), screen.getCentreX(), 1);
            EXPECT_NEAR (dialog.getBounds().getCentreY(), screen.getCentreY(), 1);

            EXPECT_EQ (browser.getRoot(), start.get());
            EXPECT_FALSE (browser.isSaveMode());
            EXPECT_EQ (browser.getPreviewComponent(), nullptr);
            EXPECT_TRUE (browser.isFileSuitable (start.file ("kick.WAV")));
            EXPECT_TRUE (browser.isFileSuitable (start.file ("hat.aif")));
            EXPECT_FALSE (browser.isFileSuitable (start.file ("kick.flac")));

            browser.setRoot (elsewhere.get());
            dialog.exitModalState (0);
        });

    clickBrowse (host.row (1));

    EXPECT_TRUE (driver.acted);
    EXPECT_FALSE (rescue.needed);
    EXPECT_EQ (host.pad (1).samplePath, "");
    EXPECT_EQ (model.getLastDirectory(), elsewhere.get().getFullPathName().toStdString());
    EXPECT_EQ (juce::Component::getNumCurrentlyModalComponents(), 0);
}

TEST (BrowseDialog, ConfirmTakesTheFolderShownAndTheTypedFileName)
{
    if (! displayLikeAHost())
        GTEST_SKIP() << "needs a display";

    TempFolder samples;
    TempFolder elsewhere;
    ASSERT_TRUE (testing_support::writeSampleFile (samples.file ("kick.wav"), testing_support::Format::wav,
                                                   { { 0.5f, -0.5f } }, 44100.0, 16));

    OpenEditor host;
    host.open();
    auto& model = host.processor.parameterModel;
    model.setSamplePath (6, samples.path ("kick.wav"));

    Rescue rescue;
    DialogDriver driver (
        [&] (juce::FileChooserDialogBox& dialog, juce::FileBrowserComponent& browser)
        {
            EXPECT_EQ (lastLogLine(), "Browsing at path: " + samples.path ("kick.wav"));
            EXPECT_EQ (browser.getRoot(), samples.get());
            EXPECT_EQ (browser.getSelectedFile (0), samples.file ("kick.wav"));

            // A typed name is taken as it is, also one the filter wouldn't list.
            browser.setRoot (elsewhere.get());
            browser.setFileName ("snare.flac");
            dialog.exitModalState (1);
        });

    clickBrowse (host.row (6));

    EXPECT_TRUE (driver.acted);
    EXPECT_FALSE (rescue.needed);
    EXPECT_EQ (host.pad (6).samplePath, elsewhere.path ("snare.flac"));
    EXPECT_EQ (model.getLastDirectory(), elsewhere.get().getFullPathName().toStdString());
    EXPECT_EQ (child<juce::Label> (host.row (6), "filename label").getText(), "snare");
}

TEST (BrowseDialog, EditorClosedWhileTheDialogIsOpenEndsTheBrowseWithoutTouchingTheModel)
{
    if (! displayLikeAHost())
        GTEST_SKIP() << "needs a display";

    TempFolder start;
    TempFolder elsewhere;
    const std::string startPath = start.get().getFullPathName().toStdString();

    OpenEditor host;
    host.open();
    host.processor.parameterModel.setLastDirectory (startPath);

    Rescue rescue;
    DialogDriver driver (
        [&] (juce::FileChooserDialogBox&, juce::FileBrowserComponent& browser)
        {
            browser.setRoot (elsewhere.get());
            browser.setFileName ("kick.wav");
            host.editor.reset();
        });

    clickBrowse (host.row (3));

    EXPECT_TRUE (driver.acted);
    EXPECT_FALSE (rescue.needed) << "the dialog stayed open after its row was destroyed";
    EXPECT_EQ (juce::Component::getNumCurrentlyModalComponents(), 0);
    EXPECT_EQ (host.pad (3).samplePath, "");
    EXPECT_EQ (host.processor.parameterModel.getLastDirectory(), startPath);
}

TEST (BrowseDialog, PlugInRemovedWhileTheDialogIsOpenEndsTheBrowse)
{
    if (! displayLikeAHost())
        GTEST_SKIP() << "needs a display";

    TempFolder start;
    auto host = std::make_unique<OpenEditor>();
    host->open();
    host->processor.parameterModel.setLastDirectory (start.get().getFullPathName().toStdString());

    Rescue rescue;
    DialogDriver driver (
        [&] (juce::FileChooserDialogBox&, juce::FileBrowserComponent&)
        {
            host.reset();
        });

    clickBrowse (host->row (0));

    EXPECT_TRUE (driver.acted);
    EXPECT_EQ (host, nullptr);
    EXPECT_FALSE (rescue.needed) << "the dialog stayed open after the plug-in was removed";
    EXPECT_EQ (juce::Component::getNumCurrentlyModalComponents(), 0);
}
