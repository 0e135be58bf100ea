#include "DisplayLikeAHost.h"
#include "PadRowSupport.h"

#include <gtest/gtest.h>

// The browse dialog is a real window with a modal loop: these tests need a display (xvfb-run -a).

using padrow_support::child;
using testing_support::TempFolder;

namespace
{
// Clicks the row's browse button and acts on the dialog from inside its modal loop.
void browse (DrumPadComponent& row, padrow_support::DialogAction action)
{
    EXPECT_TRUE (padrow_support::browse (row, std::move (action))) << "the dialog never opened, or stayed open";
}

struct BrowseDialog : testing::Test
{
    void SetUp() override
    {
        if (! testing_support::displayLikeAHost())
            GTEST_SKIP() << "needs a display";
        host.open();
        model.setLastDirectory (startPath);
    }

    TempFolder start, elsewhere;
    const std::string startPath = start.get().getFullPathName().toStdString();
    std::unique_ptr<padrow_support::OpenEditor> hostOwner = std::make_unique<padrow_support::OpenEditor>();
    padrow_support::OpenEditor& host = *hostOwner;
    ParameterModel& model = host.processor.parameterModel;
};
} // namespace

TEST_F (BrowseDialog, CancelKeepsTheSampleConfirmTakesTheTypedNameAndBothRememberTheFolderShownLast)
{
    // A pad without a sample opens at the last directory.
    browse (host.row (6),
            [&] (auto& dialog, auto& browser)
            {
                EXPECT_EQ (testing_support::readLogLines().back(), "Browsing at path: " + startPath);
                EXPECT_EQ (dialog.getName(), "Load Sample");
                EXPECT_TRUE (dialog.isAlwaysOnTop() && dialog.isOnDesktop());
                EXPECT_EQ (browser.getRoot(), start.get());
                EXPECT_TRUE (browser.isFileSuitable (start.file ("kick.WAV")));
                EXPECT_FALSE (browser.isFileSuitable (start.file ("kick.flac")));
                browser.setRoot (elsewhere.get());
                dialog.exitModalState (0);
            });
    EXPECT_EQ (host.pad (6).samplePath, "");
    EXPECT_EQ (juce::File (model.getLastDirectory()), elsewhere.get());

    // One with a sample opens at it; a typed name is taken as it is, also one the filter wouldn't list.
    ASSERT_TRUE (start.file ("kick.wav").create());
    model.setSamplePath (6, start.path ("kick.wav"));
    browse (host.row (6),
            [&] (auto& dialog, auto& browser)
            {
                EXPECT_EQ (testing_support::readLogLines().back(), "Browsing at path: " + start.path ("kick.wav"));
                EXPECT_EQ (browser.getSelectedFile (0), start.file ("kick.wav"));
                browser.setFileName ("snare.flac");
                dialog.exitModalState (1);
            });
    EXPECT_EQ (host.pad (6).samplePath, start.path ("snare.flac"));
    EXPECT_EQ (model.getLastDirectory(), startPath);
}

TEST_F (BrowseDialog, EditorClosedOrPlugInRemovedWhileTheDialogIsOpenEndsTheBrowseWithoutTouchingTheModel)
{
    browse (host.row (3),
            [&] (auto&, auto& browser)
            {
                browser.setRoot (elsewhere.get());
                browser.setFileName ("kick.wav");
                host.editor.reset();
            });
    EXPECT_EQ (host.pad (3).samplePath, "");
    EXPECT_EQ (model.getLastDirectory(), startPath);

    host.open();
    browse (host.row (0),
            [&] (auto&, auto&)
            {
                hostOwner.reset();
            });
}
