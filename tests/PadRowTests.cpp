#include "PadRowSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <tuple>

using padrow_support::child;
using padrow_support::settle;

namespace
{
const juce::Colour grey{ 0xFF3C3C3C }, red{ 0xFFB42828 }, amber{ 0xFFC8A028 }, green{ 0xFF28B428 };

template <typename T>
T load (const std::atomic<T>& atomic)
{
    return atomic.load (std::memory_order_seq_cst);
}

juce::Colour buttonColour (DrumPadComponent& row, const char* name)
{
    return child<juce::TextButton> (row, name).findColour (juce::TextButton::buttonColourId);
}

// A processor and its model; each test opens the editor once the model holds what it needs.
struct PadRow : testing::Test
{
    padrow_support::OpenEditor host;
    ParameterModel& model = host.processor.parameterModel;
};
} // namespace

TEST_F (PadRow, NewRowHasItsFourteenWidgetsInCreationOrderBeforeInitialize)
{
    DrumPadComponent row;
    const std::pair<const char*, juce::Rectangle<int>> widgets[] = {
        { "mute button", { 32, 0, 24, 24 } },       { "solo button", { 56, 0, 24, 24 } },
        { "play button", { 80, 0, 24, 24 } },       { "group combo box", { 112, 0, 40, 24 } },
        { "filename label", { 160, 0, 268, 24 } },  { "previous button", { 432, 0, 24, 24 } },
        { "browse button", { 456, 0, 24, 24 } },    { "next button", { 480, 0, 24, 24 } },
        { "pitch slider", { 512, 0, 48, 24 } },     { "decay slider", { 568, 0, 50, 24 } },
        { "pan slider", { 626, 0, 50, 24 } },       { "level slider", { 684, 0, 100, 24 } },
        { "output combo box", { 792, 0, 40, 24 } }, { "note label", { 0, 0, 32, 24 } }
    };
    EXPECT_EQ (row.getBounds(), juce::Rectangle<int> (0, 0, 832, 24));
    ASSERT_EQ (row.getNumChildComponents(), 14);
    juce::StringArray texts;
    for (int index = 0; index < 14; ++index)
    {
        auto* widget = row.getChildComponent (index);
        EXPECT_EQ (widget->getName(), widgets[index].first);
        EXPECT_EQ (widget->getBounds(), widgets[index].second) << widgets[index].first;
        if (auto* button = dynamic_cast<juce::Button*> (widget))
            texts.add (button->getTooltip() + " " + button->getButtonText());
        else if (auto* slider = dynamic_cast<juce::Slider*> (widget))
            texts.add (juce::String (slider->getInterval()));
        else if (auto* comboBox = dynamic_cast<juce::ComboBox*> (widget))
            texts.add (comboBox->getItemText (0) + ".." + comboBox->getItemText (comboBox->getNumItems() - 1));
    }
    EXPECT_EQ (texts.joinIntoString (", "), juce::String::fromUTF8 ("Mute m, Solo s, Play \xe2\x96\xb6, -..4, Load "
                                                                    "previous <, Browse ..., Load next >, 0.5, 2, "
                                                                    "4, 0.5, 1..6"));

    EXPECT_NE (testing_support::readLog().find ("Constructing DrumPadComponent.\nDrumPadComponent constructed.\n"),
               std::string::npos);
}

TEST_F (PadRow, OpeningAndUpdatesWriteBackOnlyChangedValuesSnappedAndClampedButNothingWithoutAnItem)
{
    // As a state text read before the editor opens leaves them.
    const std::pair<int, int> decays[] = { { 75, 76 }, { 99, 100 }, { 1, 2 }, { 150, 100 } };
    for (int pad = 0; pad < 4; ++pad)
        model.setDecay (pad, decays[pad].first);
    model.setPitch (5, 30);
    model.setPan (5, -30);
    model.setLevel (5, 40);
    model.setCutGroup (6, 4);
    model.setOutput (6, 6);
    // Marks in the engine of a pad left at the defaults, which only a write-back can replace.
    auto& marked = host.engine (11);
    for (auto* mark : { &marked.gain, &marked.pitchRatio, &marked.decayFactor, &marked.panAngle })
        mark->store (-1.0, std::memory_order_seq_cst);
    marked.cutGroup.store (77, std::memory_order_seq_cst);
    marked.output.store (77, std::memory_order_seq_cst);
    host.open();

    juce::StringArray notes;
    for (int pad = 0; pad < 12; ++pad)
        notes.add (child<juce::Label> (host.row (pad), "note label").getText());
    EXPECT_EQ (notes.joinIntoString (" "), "C C# D D# E F F# G G# A A# B");
    EXPECT_EQ (child<juce::Label> (host.row (11), "filename label").getText(), "");

    // Nothing is written before the message loop delivers the change notices.
    EXPECT_EQ (load (marked.decayFactor), -1.0);
    settle();
    EXPECT_EQ (std::tuple (load (marked.decayFactor), load (marked.cutGroup), load (marked.output), load (marked.gain),
                           load (marked.pitchRatio), load (marked.panAngle)),
               std::tuple (1.0, -1, 0, -1.0, -1.0, -1.0));

    for (int pad = 0; pad < 4; ++pad)
        EXPECT_EQ (host.pad (pad).decay, decays[pad].second) << decays[pad].first;
    EXPECT_DOUBLE_EQ (load (host.engine (0).decayFactor), std::pow (10.0, (std::pow (0.76, 0.25) - 1.0) * 20.0));

    const auto pad = host.pad (5);
    EXPECT_EQ (std::tuple (pad.pitch, pad.pan, pad.level), std::tuple (24, -25, 30));
    EXPECT_DOUBLE_EQ (load (host.engine (5).gain), std::pow (2.0, 30.0 / 12.0));

    // Cut group and output without an item select nothing and stay. Then as the state reader updates
    // the open editor: a selection replaced by none posts a change notice, which must not store -1 or -2.
    auto& row = host.row (6);
    const std::tuple<int, int, int, std::pair<int, int>, int> states[] = { { 4, 6, 100, { 0, 0 }, 100 },
                                                                           { 3, 5, 51, { 5, 6 }, 52 },
                                                                           { 4, 6, 52, { 0, 0 }, 52 } };
    for (size_t step = 0; step < std::size (states); ++step)
    {
        const auto& [cutGroup, output, decay, ids, written] = states[step];
        if (step > 0)
        {
            model.setCutGroup (6, cutGroup);
            model.setOutput (6, output);
            model.setDecay (6, decay);
            row.cutGroupUpdated();
            row.outputUpdated();
            row.decayUpdated();
            settle();
        }
        const auto p = host.pad (6);
        EXPECT_EQ (std::pair (child<juce::ComboBox> (row, "group combo box").getSelectedId(),
                              child<juce::ComboBox> (row, "output combo box").getSelectedId()),
                   ids);
        EXPECT_EQ (
            std::tuple (p.cutGroup, p.output, p.decay, load (host.engine (6).cutGroup), load (host.engine (6).output)),
            std::tuple (cutGroup, output, written, cutGroup, output));
    }
}

TEST_F (PadRow, FileNameShowsTheNameWithoutExtensionAndTheFullPathAsTooltip)
{
    host.open();
    auto& label = child<juce::Label> (host.row (2), "filename label");
    juce::StringArray shown;
    for (const char* path : { "/s/kick.wav", "/s/snare.01.wav", "/s/rim", "/s/B\xc3\xa4ss drum.aif", "" })
    {
        model.setSamplePath (2, path);
        shown.add (label.getText() + " @ " + label.getTooltip());
    }
    EXPECT_EQ (shown.joinIntoString (", "),
               juce::String::fromUTF8 ("kick @ /s/kick.wav, snare.01 @ /s/snare.01.wav, rim @ "
                                       "/s/rim, B\xc3\xa4ss drum @ /s/B\xc3\xa4ss drum.aif,  @ "));
}

TEST_F (PadRow, MuteAndSoloFollowTheAudibilityRuleAndTwoPlayClicksStartOnlyTheLast)
{
    host.open();
    settle();
    model.setLevel (3, 12);
    auto& row = host.row (3);
    const auto click = [this] (int pad, const char* name)
    {
        child<juce::TextButton> (host.row (pad), name).triggerClick();
        settle();
        return load (host.engine (pad).gain);
    };

    // A muted pad under its own solo stays audible at 2^(12/12); others stay silent, muted or not.
    click (3, "solo button");
    EXPECT_EQ (click (3, "mute button"), 2.0);
    EXPECT_EQ (std::pair (buttonColour (row, "mute button"), buttonColour (row, "solo button")),
               std::pair (red, amber));
    EXPECT_EQ (click (4, "mute button"), 0.0);
    EXPECT_EQ (click (4, "mute button"), 0.0);

    // The solo ends: the muted pad falls silent, the others sound again.
    EXPECT_EQ (click (3, "solo button"), 0.0);
    EXPECT_EQ (buttonColour (row, "solo button"), grey);
    EXPECT_EQ (load (host.engine (4).gain), 1.0);

    child<juce::TextButton> (host.row (2), "play button").triggerClick();
    child<juce::TextButton> (host.row (7), "play button").triggerClick();
    settle();
    EXPECT_EQ (load (host.processor.audioRenderer.pendingPadTrigger), 7);
    row.playingUpdated (true);
    EXPECT_EQ (buttonColour (row, "play button"), green);
    row.playingUpdated (false);
    EXPECT_EQ (buttonColour (row, "play button"), grey);
}

TEST_F (PadRow, SliderValuesBecomeModelValuesTruncatedTowardZero)
{
    host.open();
    settle();

    using P = ParameterModel::DrumPadParameters;
    const std::tuple<const char*, double, int32_t P::*, int> cases[] = {
        { "pan slider", 6.0, &P::pan, 1 },        { "pan slider", -6.0, &P::pan, -1 },
        { "pitch slider", -0.75, &P::pitch, -1 }, { "pitch slider", -12.0, &P::pitch, -24 },
        { "level slider", -0.25, &P::level, 0 },  { "level slider", -35.0, &P::level, -70 },
        { "decay slider", 50.9, &P::decay, 50 },  { "decay slider", 0.0, &P::decay, 0 }
    };
    for (const auto& [name, value, field, expected] : cases)
    {
        // Off the grid only without a step; moved away first, to notify at once as a drag step does.
        auto& slider = child<juce::Slider> (host.row (8), name);
        slider.setRange (slider.getMinimum(), slider.getMaximum(), 0.0);
        slider.setValue (value == slider.getMaximum() ? slider.getMinimum() : slider.getMaximum(),
                         juce::dontSendNotification);
        slider.setValue (value, juce::sendNotificationSync);
        EXPECT_EQ (host.pad (8).*field, expected) << name << " " << value;
    }
}

TEST_F (PadRow, DropTakesOneAudioFileInAnyCaseTheStepButtonsItsFolderNeighboursAndTheNameColourFollowsTheLoad)
{
    testing_support::TempFolder folder;
    ASSERT_TRUE (testing_support::writeSampleFile (folder.file ("kick.WAV"), testing_support::Format::wav,
                                                   { { 0.5f, -0.5f } }, 44100.0, 16));
    ASSERT_TRUE (folder.file ("a.wav").create() && folder.file ("m.aif").create());
    ASSERT_TRUE (folder.file ("loops.wav").createDirectory());
    const std::string lastDirectory = model.getLastDirectory();
    host.open();
    auto& row = host.row (9);
    auto& label = child<juce::Label> (row, "filename label");

    const std::pair<const char*, bool> names[] = { { "kick.WAV", true },   { "Snare.Aiff", true },
                                                   { "hat.aif", true },    { "loops.wav", true },
                                                   { "kick.flac", false }, { "kick.wav.bak", false } };
    for (const auto& [name, accepted] : names)
        EXPECT_EQ (row.isInterestedInFileDrag ({ folder.file (name).getFullPathName() }), accepted) << name;
    EXPECT_FALSE (row.isInterestedInFileDrag (
        { folder.file ("a.wav").getFullPathName(), folder.file ("b.wav").getFullPathName() }));
    EXPECT_FALSE (row.isInterestedInFileDrag ({}));

    row.filesDropped ({ folder.file ("kick.WAV").getFullPathName() }, 10, 10);
    EXPECT_EQ (host.pad (9).samplePath, folder.path ("kick.WAV"));

    // The folder lists a.wav, kick.WAV and m.aif.
    const std::pair<const char*, const char*> steps[] = { { "next button", "m.aif" },
                                                          { "next button", "a.wav" },
                                                          { "previous button", "m.aif" },
                                                          { "previous button", "kick.WAV" } };
    for (const auto& [button, expected] : steps)
    {
        row.buttonClicked (&child<juce::TextButton> (row, button));
        EXPECT_EQ (host.pad (9).samplePath, folder.path (expected)) << button;
    }
    settle();
    EXPECT_EQ (label.findColour (juce::Label::textColourId), juce::Colour (0xFFB4B4B4));

    row.filesDropped ({ folder.file ("loops.wav").getFullPathName() }, 0, 0);
    settle();
    EXPECT_EQ (host.pad (9).samplePath, folder.path ("loops.wav"));
    EXPECT_EQ (label.findColour (juce::Label::textColourId), red);
    EXPECT_NE (testing_support::readLog().find ("Failed to load sample " + folder.path ("loops.wav") + " for pad 9 "),
               std::string::npos);
    EXPECT_EQ (model.getLastDirectory(), lastDirectory);
}
