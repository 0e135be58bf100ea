#include "Support.h"

#include "engine/Shared.h"

#include <clocale>

using namespace qm70;

namespace
{
// A plug-in with its window open, worked as the user works its rows.
struct PadRow : testing::Test
{
    PadRow() { plugin.openEditor(); }
    juce::Component& widget (int pad, const char* name) { return child<juce::Component> (plugin.row (pad), name); }
    void press (int pad, const char* name) { child<juce::Button> (plugin.row (pad), name).triggerClick(), settle (20); }
    int loads (int pad) { return plugin.engine (pad).buffer.load()->sequenceNo - 1; }
    Plugin plugin;
};
} // namespace

TEST_F (PadRow, ANewRowShowsNothingChosenInWidgetsSetUpForTheirColumns)
{
    DrumPadComponent row; // laid out by the plug-in's look
    juce::String seen;
    for (auto* w : row.getChildren())
        if (auto* button = dynamic_cast<juce::Button*> (w))
            seen << button->getTooltip() << "|";
        else if (auto* box = dynamic_cast<juce::ComboBox*> (w))
            seen << box->getSelectedId() << box->getTextWhenNothingSelected()
                 << box->getChildComponent (0)->getBounds().toString() << "|";
        else if (auto* label = dynamic_cast<juce::Label*> (w))
            seen << label->getText() << label->getFont().toString() << (int) label->isEditable() << "|";
        else if (auto* s = dynamic_cast<juce::Slider*> (w))
            seen << s->getValue() << s->getInterval() << " " << (int) s->getSliderStyle()
                 << (int) s->isTextBoxEditable() << s->getTextBoxWidth() << "|";
    EXPECT_EQ (seen, "Mute|Solo|Play|0-1 1 20 22|-15.0 Regular0|Load previous|Browse|Load next|00.5 2180|02 2180|04 "
                     "2180|00.5 2180|0-1 1 20 22|-15.0 Regular0|");
}

TEST_F (PadRow, PlayQueuesOnlyTheLastClickedPadAndAnIndexNoRowGivesStartsNothing)
{
    press (2, "play button");
    press (7, "play button");
    EXPECT_EQ (plugin.processor.audioRenderer.pendingPadTrigger.load(), 7);
    plugin.processor.audioRenderer.pendingPadTrigger = 1 << 24;
    EXPECT_EQ (render (plugin.processor, {}, 64).getMagnitude (0, 64), 0.0f);
}

TEST_F (PadRow, SlidersStoreTruncatedTowardZeroWithinTheirRangesAndComboBoxesTheirItemIfAny)
{
    // Set, stored, in turn: off the sliders' grid and beyond their ends; item -1 is none, leaving the model.
    using P = ParameterModel::DrumPadParameters;
    const std::tuple<const char*, int32_t P::*, std::vector<double>> cases[] = {
        { "pan slider", &P::pan, { 6, 1, -6, -1, -1e3, -25, 1e3, 25 } },
        { "pitch slider", &P::pitch, { -0.75, -1, -1e3, -24, 1e3, 24 } },
        { "level slider", &P::level, { -1e3, -70, 1e3, 30 } },
        { "decay slider", &P::decay, { 50.9, 50, -1e3, 0, 1e3, 100 } },
        { "group combo box", &P::cutGroup, { 4, 3, 0, -1, 2, 1, -1, 1 } },
        { "output combo box", &P::output, { 5, 5, -1, 5 } },
    };
    for (const auto& [name, field, values] : cases)
        for (size_t i = 0; i < values.size(); i += 2)
        {
            if (auto* box = dynamic_cast<juce::ComboBox*> (&widget (8, name)))
                box->setSelectedItemIndex ((int) values[i], juce::sendNotificationSync);
            else if (auto* slider = dynamic_cast<juce::Slider*> (&widget (8, name)))
                slider->setRange (slider->getMinimum(), slider->getMaximum(), 0.0),
                    slider->setValue (values[i], juce::sendNotificationSync);
            EXPECT_EQ (plugin.pad (8).*field, values[i + 1]) << name << " " << values[i];
        }
}

TEST_F (PadRow, DropsTakeOneAudioFileByNameAndTheStepButtonsWalkItsFolderInCaseBlindOrder)
{
    std::setlocale (LC_ALL, "C"); // as most hosts leave it: no upper case beyond ASCII of its own
    const TempFolder folder;
    writeAudio (folder.file ("a.wav"), { wave (64) });
    for (const char* name :
         { "B.WAV", "c.aif", "._kick.wav", "1.aiff", "_x.wav", "kick.flac", "\xC3\xA4.wav", "\xC3\x94.wav" })
        folder.file (juce::String::fromUTF8 (name)).create();
    folder.file ("loops.wav").createDirectory();
    auto& row = plugin.row (9);
    const std::pair<const char*, bool> drags[] = {
        { "kick.WAV", true }, { "kick.flac", false }, { "a.wav|b.wav", false }, { "loops.wav", true }
    };
    for (const auto& [paths, wanted] : drags)
        EXPECT_EQ (row.isInterestedInFileDrag (juce::StringArray::fromTokens (paths, "|", "")), wanted) << paths;
    row.filesDropped ({ folder.file ("a.wav").getFullPathName() }, 0, 0);
    EXPECT_TRUE (plugin.processor.editorWrapper.sampleLoaded[9].load());
    // A file dropped (if named), < previous or > next, the file reached. The folder sorts ._kick.wav, 1.aiff, a.wav,
    // B.WAV, c.aif, _x.wav, ä.wav, Ô.wav; a path unlike the listed one in case doesn't wrap.
    for (const auto& step : juce::StringArray::fromTokens (
             juce::String::fromUTF8 (
                 "<1.aiff <._kick.wav <\xC3\x94.wav >._kick.wav a.wav>B.WAV >c.aif kick.flac<c.aif "
                 "kick.flac>_x.wav >\xC3\xA4.wav \xC3\xB4.wav>\xC3\xB4.wav gone/k.wav>gone/k.wav <gone/k.wav"),
             " ", ""))
    {
        const int at = step.indexOfAnyOf ("<>");
        if (at > 0)
            row.filesDropped ({ folder.file (step.substring (0, at)).getFullPathName() }, 0, 0);
        press (9, step[at] == '>' ? "next button" : "previous button");
        EXPECT_EQ (plugin.pad (9).samplePath, folder.path (step.substring (at + 1))) << step;
    }
    EXPECT_EQ (loads (9), 18) << "every drop and step loads, also the same path again";
}

TEST_F (PadRow, ANewSampleNameShowsBeforeItsFileIsRead)
{
    // What the row shows at the moment the load writes its first log line.
    struct Spy : std::streambuf
    {
        int overflow (int c) override { return seen.isEmpty() ? (seen = label->getText(), c) : c; }
        juce::Label* label;
        juce::String seen;
    } spy;
    spy.label = &dynamic_cast<juce::Label&> (widget (5, "filename label"));
    auto* const file = static_cast<std::ostream&> (logger).rdbuf (&spy);
    plugin.processor.parameterModel.setSamplePath (5, "/gone/slow.wav");
    static_cast<std::ostream&> (logger).rdbuf (file);
    EXPECT_EQ (spy.seen, "slow");
}

TEST_F (PadRow, TheBrowseDialogOpensWhereThePadIsAndRemembersWhereTheUserLastLooked)
{
    if (! hasDisplay())
        GTEST_SKIP() << "no display for the dialog";
    const TempFolder folder;
    writeAudio (folder.file ("hat.aif"), { wave (64) }, 48000.0, 16);
    auto& model = plugin.processor.parameterModel;
    model.setLastDirectory (folder.folder.getFullPathName().toStdString());
    juce::String roots;
    // From inside the dialog's modal loop: OK on a typed name, Cancel after moving up, the window closed under it.
    for (int step = 0; step < 3; ++step)
    {
        // Answered once the click is, inside the dialog's modal loop.
        child<juce::Button> (plugin.row (2), "browse button").triggerClick();
        juce::MessageManager::callAsync (
            [&, step]
            {
                auto& dialog =
                    dynamic_cast<juce::FileChooserDialogBox&> (*juce::Component::getCurrentlyModalComponent());
                auto& browser =
                    dynamic_cast<juce::FileBrowserComponent&> (*dialog.getContentComponent()->getChildComponent (0));
                roots << browser.getRoot().getFullPathName() << "|";
                step == 0 ? browser.setFileName ("hat.aif") : browser.setRoot (folder.folder.getParentDirectory());
                step == 2 ? plugin.editor.reset() : dialog.exitModalState (1 - step);
            });
        settle (200);
    }
    const auto base = folder.folder.getFullPathName();
    EXPECT_EQ (roots, base + "|" + base + "|" + base + "|");
    EXPECT_EQ (plugin.pad (2).samplePath, folder.path ("hat.aif"));
    EXPECT_EQ (model.getLastDirectory(), folder.folder.getParentDirectory().getFullPathName().toStdString());
    EXPECT_EQ (logLines()[logLines().size() - 2], "Browsing at path: " + folder.path ("hat.aif"));
}
