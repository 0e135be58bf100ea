#include "PadRowSupport.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using padrow_support::child;
using padrow_support::OpenEditor;
using testing_support::runMessageLoop;

namespace
{
// Long enough for every posted change notice to be delivered.
constexpr int settleMs = 100;

const juce::Colour buttonGrey{ 0xFF3C3C3C };
const juce::Colour red{ 0xFFB42828 };
const juce::Colour amber{ 0xFFC8A028 };
const juce::Colour green{ 0xFF28B428 };
const juce::Colour lightGrey{ 0xFFB4B4B4 };

juce::Colour buttonColour (DrumPadComponent& row, const char* name)
{
    return child<juce::TextButton> (row, name).findColour (juce::TextButton::buttonColourId);
}

// Sets a slider to value and delivers its change notice at once, as a drag step does.
void moveSlider (juce::Slider& slider, double value)
{
    const double elsewhere = value == slider.getMaximum() ? slider.getMinimum() : slider.getMaximum();
    slider.setValue (elsewhere, juce::dontSendNotification);
    slider.setValue (value, juce::sendNotificationSync);
}

long countLines (const std::vector<std::string>& lines, const std::string& text)
{
    return std::count (lines.begin(), lines.end(), text);
}
} // namespace

TEST (PadRow, NewRowHasItsFourteenWidgetsInCreationOrderBeforeInitialize)
{
    DrumPadComponent row;

    struct Widget
    {
        const char* name;
        juce::Rectangle<int> bounds;
        const char* tooltip;
    };
    const Widget widgets[] = {
        { "mute button", { 32, 0, 24, 24 }, "Mute" },      { "solo button", { 56, 0, 24, 24 }, "Solo" },
        { "play button", { 80, 0, 24, 24 }, "Play" },      { "group combo box", { 112, 0, 40, 24 }, "" },
        { "filename label", { 160, 0, 268, 24 }, "" },     { "previous button", { 432, 0, 24, 24 }, "Load previous" },
        { "browse button", { 456, 0, 24, 24 }, "Browse" }, { "next button", { 480, 0, 24, 24 }, "Load next" },
        { "pitch slider", { 512, 0, 48, 24 }, "" },        { "decay slider", { 568, 0, 50, 24 }, "" },
        { "pan slider", { 626, 0, 50, 24 }, "" },          { "level slider", { 684, 0, 100, 24 }, "" },
        { "output combo box", { 792, 0, 40, 24 }, "" },    { "note label", { 0, 0, 32, 24 }, "" },
    };

    EXPECT_EQ (row.getBounds(), juce::Rectangle<int> (0, 0, 832, 24));
    ASSERT_EQ (row.getNumChildComponents(), 14);
    for (int i = 0; i < 14; ++i)
    {
        auto* widget = row.getChildComponent (i);
        SCOPED_TRACE (widgets[i].name);
        EXPECT_EQ (widget->getName(), widgets[i].name);
        EXPECT_EQ (widget->getBounds(), widgets[i].bounds);
        EXPECT_TRUE (widget->isVisible());
        if (auto* tooltipClient = dynamic_cast<juce::SettableTooltipClient*> (widget))
        {
            EXPECT_EQ (tooltipClient->getTooltip(), widgets[i].tooltip);
        }
    }

    const std::pair<const char*, juce::String> buttonTexts[] = {
        { "mute button", "m" },
        { "solo button", "s" },
        { "play button", juce::String::fromUTF8 ("\xe2\x96\xb6") },
        { "previous button", "<" },
        { "browse button", "..." },
        { "next button", ">" },
    };
    for (const auto& [name, text] : buttonTexts)
    {
        auto& button = child<juce::TextButton> (row, name);
        EXPECT_EQ (button.getButtonText(), text) << name;
        EXPECT_FALSE (button.isColourSpecified (juce::TextButton::buttonColourId)) << name;
    }

    const std::pair<const char*, juce::StringArray> comboItems[] = {
        { "group combo box", { "-", "1", "2", "3", "4" } },
        { "output combo box", { "1", "2", "3", "4", "5", "6" } },
    };
    for (const auto& [name, items] : comboItems)
    {
        auto& comboBox = child<juce::ComboBox> (row, name);
        ASSERT_EQ (comboBox.getNumItems(), items.size()) << name;
        for (int i = 0; i < items.size(); ++i)
        {
            EXPECT_EQ (comboBox.getItemText (i), items[i]) << name;
            EXPECT_EQ (comboBox.getItemId (i), i + 1) << name;
        }
        EXPECT_EQ (comboBox.getSelectedId(), 0) << name;
        EXPECT_EQ (comboBox.getSelectedItemIndex(), -1) << name;
        EXPECT_EQ (comboBox.getTextWhenNothingSelected(), "-") << name;
        EXPECT_EQ (comboBox.getTextWhenNoChoicesAvailable(), "(no choices)") << name;
        EXPECT_FALSE (comboBox.isTextEditable()) << name;
        EXPECT_EQ (comboBox.getJustificationType(), juce::Justification (juce::Justification::centredLeft)) << name;
    }

    struct SliderRange
    {
        const char* name;
        double minimum, maximum, step;
    };
    const SliderRange sliders[] = {
        { "pitch slider", -12.0, 12.0, 0.5 },
        { "decay slider", 0.0, 100.0, 2.0 },
        { "pan slider", -100.0, 100.0, 4.0 },
        { "level slider", -35.0, 15.0, 0.5 },
    };
    for (const auto& expected : sliders)
    {
        auto& slider = child<juce::Slider> (row, expected.name);
        SCOPED_TRACE (expected.name);
        EXPECT_EQ (slider.getValue(), 0.0);
        EXPECT_EQ (slider.getMinimum(), expected.minimum);
        EXPECT_EQ (slider.getMaximum(), expected.maximum);
        EXPECT_EQ (slider.getInterval(), expected.step);
        EXPECT_EQ (slider.getSliderStyle(), juce::Slider::LinearBar);
        EXPECT_EQ (slider.getTextBoxPosition(), juce::Slider::TextBoxLeft);
        EXPECT_TRUE (slider.isTextBoxEditable());
        EXPECT_EQ (slider.getTextBoxWidth(), 80);
        EXPECT_EQ (slider.getTextBoxHeight(), 20);
        EXPECT_EQ (slider.getTextValueSuffix(), "");
    }

    for (const char* name : { "filename label", "note label" })
    {
        auto& label = child<juce::Label> (row, name);
        SCOPED_TRACE (name);
        EXPECT_EQ (label.getText(), "-");
        EXPECT_EQ (label.getFont().getHeight(), 15.0f);
        EXPECT_EQ (label.getFont().getStyleFlags(), juce::Font::plain);
        EXPECT_EQ (label.getJustificationType(), juce::Justification (juce::Justification::centredLeft));
        EXPECT_FALSE (label.isEditable());
        EXPECT_EQ (label.findColour (juce::TextEditor::textColourId), juce::Colour (0xFF000000));
        EXPECT_EQ (label.findColour (juce::TextEditor::backgroundColourId), juce::Colour (0x00000000));
    }
    auto& filename = child<juce::Label> (row, "filename label");
    EXPECT_EQ (filename.findColour (juce::Label::backgroundColourId), juce::Colour (0xFF282828));
    EXPECT_EQ (filename.findColour (juce::Label::textColourId), juce::Colour (0xFFEBEBEB));
    auto& note = child<juce::Label> (row, "note label");
    EXPECT_FALSE (note.isColourSpecified (juce::Label::textColourId));
    EXPECT_FALSE (note.isColourSpecified (juce::Label::backgroundColourId));

    const auto lines = testing_support::readLogLines();
    ASSERT_GE (lines.size(), 2u);
    EXPECT_EQ (lines[lines.size() - 2], "Constructing DrumPadComponent.");
    EXPECT_EQ (lines[lines.size() - 1], "DrumPadComponent constructed.");
}

TEST (PadRow, InitializeShowsDefaultsAndWritesBackOnlyDecayCutGroupAndOutput)
{
    OpenEditor host;

    // Marks in the engine that only a write-back can replace.
    for (int pad = 0; pad < 12; ++pad)
    {
        auto& engine = host.engine (pad);
        engine.gain.store (-1.0, std::memory_order_seq_cst);
        engine.pitchRatio.store (-1.0, std::memory_order_seq_cst);
        engine.decayFactor.store (-1.0, std::memory_order_seq_cst);
        engine.panAngle.store (-1.0, std::memory_order_seq_cst);
        engine.cutGroup.store (77, std::memory_order_seq_cst);
        engine.output.store (77, std::memory_order_seq_cst);
    }

    const auto linesBefore = testing_support::readLogLines();
    host.open();

    auto lines = testing_support::readLogLines();
    lines.erase (lines.begin(), lines.begin() + (long) linesBefore.size());
    EXPECT_EQ (countLines (lines, "Constructing DrumPadComponent."), 12);
    EXPECT_EQ (countLines (lines, "DrumPadComponent constructed."), 12);

    const std::pair<int, const char*> notes[] = { { 0, "C" }, { 1, "C#" }, { 4, "E" }, { 11, "B" } };
    for (const auto& [pad, name] : notes)
    {
        auto& row = host.row (pad);
        SCOPED_TRACE (pad);
        EXPECT_EQ (child<juce::Label> (row, "note label").getText(), name);
        EXPECT_EQ (child<juce::ComboBox> (row, "group combo box").getSelectedId(), 1);
        EXPECT_EQ (child<juce::ComboBox> (row, "output combo box").getText(), "1");
        EXPECT_EQ (child<juce::Slider> (row, "pitch slider").getValue(), 0.0);
        EXPECT_EQ (child<juce::Slider> (row, "decay slider").getValue(), 100.0);
        EXPECT_EQ (child<juce::Slider> (row, "pan slider").getValue(), 0.0);
        EXPECT_EQ (child<juce::Slider> (row, "level slider").getValue(), 0.0);
        EXPECT_EQ (buttonColour (row, "mute button"), buttonGrey);
        EXPECT_EQ (buttonColour (row, "solo button"), buttonGrey);
        EXPECT_EQ (child<juce::Label> (row, "filename label").getText(), "");
        EXPECT_EQ (child<juce::Label> (row, "filename label").getTooltip(), "");
    }

    // Nothing is written before the message loop delivers the change notices.
    EXPECT_EQ (host.engine (0).decayFactor.load (std::memory_order_seq_cst), -1.0);
    runMessageLoop (settleMs);

    for (int pad = 0; pad < 12; ++pad)
    {
        auto& engine = host.engine (pad);
        SCOPED_TRACE (pad);
        EXPECT_EQ (engine.decayFactor.load (std::memory_order_seq_cst), 1.0);
        EXPECT_EQ (engine.cutGroup.load (std::memory_order_seq_cst), -1);
        EXPECT_EQ (engine.output.load (std::memory_order_seq_cst), 0);
        EXPECT_EQ (engine.gain.load (std::memory_order_seq_cst), -1.0);
        EXPECT_EQ (engine.pitchRatio.load (std::memory_order_seq_cst), -1.0);
        EXPECT_EQ (engine.panAngle.load (std::memory_order_seq_cst), -1.0);
    }
}

TEST (PadRow, FileNameShowsTheNameWithoutExtensionAndTheFullPathAsTooltip)
{
    OpenEditor host;
    host.open();

    const std::pair<std::string, juce::String> cases[] = {
        { "/samples/kick.wav", "kick" },
        { "/samples/snare.01.wav", "snare.01" },
        { "/samples/rim", "rim" },
        { "/samples/Bäss drum.aif", juce::String::fromUTF8 ("B\xc3\xa4ss drum") },
        { "", "" },
    };
    for (const auto& [path, name] : cases)
    {
        host.processor.parameterModel.setSamplePath (4, path);
        auto& label = child<juce::Label> (host.row (4), "filename label");
        EXPECT_EQ (label.getText(), name) << path;
        EXPECT_EQ (label.getTooltip(), juce::String::fromUTF8 (path.c_str())) << path;
    }
}

TEST (PadRow, ButtonAndFileNameColoursShowMuteSoloPlayingAndLoaded)
{
    OpenEditor host;
    host.open();
    auto& model = host.processor.parameterModel;
    auto& row = host.row (2);

    model.setMuted (2, true);
    model.setSoloed (2, true);
    EXPECT_EQ (buttonColour (row, "mute button"), red);
    EXPECT_EQ (buttonColour (row, "solo button"), amber);
    model.setMuted (2, false);
    EXPECT_EQ (buttonColour (row, "mute button"), buttonGrey);
    EXPECT_EQ (buttonColour (row, "solo button"), amber);

    row.playingUpdated (true);
    EXPECT_EQ (buttonColour (row, "play button"), green);
    row.playingUpdated (false);
    EXPECT_EQ (buttonColour (row, "play button"), buttonGrey);

    auto& filename = child<juce::Label> (row, "filename label");
    row.sampleLoadedUpdated (false);
    EXPECT_EQ (filename.findColour (juce::Label::textColourId), red);
    row.sampleLoadedUpdated (true);
    EXPECT_EQ (filename.findColour (juce::Label::textColourId), lightGrey);
}

TEST (PadRow, OddDecayIsShownAndWrittenBackAsTheNextEvenValue)
{
    OpenEditor host;
    auto& model = host.processor.parameterModel;

    // As a state text read before the editor opens would leave them.
    const std::pair<int, int> decays[] = { { 75, 76 }, { 99, 100 }, { 1, 2 }, { 76, 76 }, { 0, 0 } };
    for (int pad = 0; pad < 5; ++pad)
        model.setDecay (pad, decays[pad].first);

    host.open();
    runMessageLoop (settleMs);

    for (int pad = 0; pad < 5; ++pad)
    {
        SCOPED_TRACE (decays[pad].first);
        EXPECT_EQ (child<juce::Slider> (host.row (pad), "decay slider").getValue(), decays[pad].second);
        EXPECT_EQ (host.pad (pad).decay, decays[pad].second);
    }
    EXPECT_DOUBLE_EQ (host.engine (0).decayFactor.load (std::memory_order_seq_cst), 0.047187796208231804);

    // And with the editor open, as the state reader updates it.
    model.setDecay (6, 51);
    host.row (6).decayUpdated();
    runMessageLoop (settleMs);
    EXPECT_EQ (host.pad (6).decay, 52);
}

TEST (PadRow, ValuesOutsideASliderRangeComeBackClampedToIt)
{
    OpenEditor host;
    host.open();
    runMessageLoop (settleMs);
    auto& model = host.processor.parameterModel;
    auto& row = host.row (5);

    // A slider that already shows its range end would post nothing: start the decay elsewhere.
    model.setDecay (5, 50);
    row.decayUpdated();
    runMessageLoop (settleMs);

    model.setPitch (5, 30);
    row.pitchUpdated();
    model.setLevel (5, 40);
    row.levelUpdated();
    model.setPan (5, -30);
    row.panUpdated();
    model.setDecay (5, 150);
    row.decayUpdated();
    runMessageLoop (settleMs);

    EXPECT_EQ (child<juce::Slider> (row, "pitch slider").getValue(), 12.0);
    EXPECT_EQ (child<juce::Slider> (row, "level slider").getValue(), 15.0);
    EXPECT_EQ (child<juce::Slider> (row, "pan slider").getValue(), -100.0);
    EXPECT_EQ (child<juce::Slider> (row, "decay slider").getValue(), 100.0);

    const auto pad = host.pad (5);
    EXPECT_EQ (pad.pitch, 24);
    EXPECT_EQ (pad.level, 30);
    EXPECT_EQ (pad.pan, -25);
    EXPECT_EQ (pad.decay, 100);
    EXPECT_EQ (host.engine (5).pitchRatio.load (std::memory_order_seq_cst), 2.0);
    EXPECT_DOUBLE_EQ (host.engine (5).gain.load (std::memory_order_seq_cst), 5.656854249492381);
    EXPECT_EQ (host.engine (5).panAngle.load (std::memory_order_seq_cst), 0.0);
    EXPECT_EQ (host.engine (5).decayFactor.load (std::memory_order_seq_cst), 1.0);
}

TEST (PadRow, ComboBoxesSelectByModelValueAndNothingSelectedLeavesTheModelAlone)
{
    OpenEditor host;
    auto& model = host.processor.parameterModel;
    model.setCutGroup (2, 4);
    model.setOutput (2, 6);
    host.open();
    runMessageLoop (settleMs);

    // A new row selects nothing for them and posts nothing.
    auto& newGroup = child<juce::ComboBox> (host.row (2), "group combo box");
    auto& newOutput = child<juce::ComboBox> (host.row (2), "output combo box");
    EXPECT_EQ (newGroup.getSelectedId(), 0);
    EXPECT_EQ (newOutput.getSelectedId(), 0);
    EXPECT_EQ (host.pad (2).cutGroup, 4);
    EXPECT_EQ (host.pad (2).output, 6);

    // Values in range select their items and are written back unchanged.
    auto& row = host.row (3);
    auto& group = child<juce::ComboBox> (row, "group combo box");
    auto& output = child<juce::ComboBox> (row, "output combo box");
    model.setCutGroup (3, 3);
    row.cutGroupUpdated();
    model.setOutput (3, 5);
    row.outputUpdated();
    runMessageLoop (settleMs);
    EXPECT_EQ (group.getText(), "4");
    EXPECT_EQ (output.getText(), "6");
    EXPECT_EQ (host.pad (3).cutGroup, 3);
    EXPECT_EQ (host.pad (3).output, 5);

    // Out of range replaces a selection with none; the change notice must not store -1 or -2.
    model.setCutGroup (3, 4);
    row.cutGroupUpdated();
    model.setOutput (3, 6);
    row.outputUpdated();
    runMessageLoop (settleMs);
    EXPECT_EQ (group.getSelectedItemIndex(), -1);
    EXPECT_EQ (output.getSelectedItemIndex(), -1);
    EXPECT_EQ (host.pad (3).cutGroup, 4);
    EXPECT_EQ (host.pad (3).output, 6);
    EXPECT_EQ (host.engine (3).cutGroup.load (std::memory_order_seq_cst), 4);
    EXPECT_EQ (host.engine (3).output.load (std::memory_order_seq_cst), 6);

    // The user's choice is stored as usual.
    group.setSelectedItemIndex (0, juce::sendNotificationSync);
    output.setSelectedItemIndex (2, juce::sendNotificationSync);
    EXPECT_EQ (host.pad (3).cutGroup, -1);
    EXPECT_EQ (host.pad (3).output, 2);
    EXPECT_EQ (host.engine (3).output.load (std::memory_order_seq_cst), 2);
}

TEST (PadRow, MuteAndSoloButtonsToggleTheModelUnderTheAudibilityRule)
{
    OpenEditor host;
    host.open();
    runMessageLoop (settleMs);
    auto& model = host.processor.parameterModel;
    model.setLevel (3, 12);

    auto click = [&host] (int pad, const char* name)
    {
        child<juce::TextButton> (host.row (pad), name).triggerClick();
        runMessageLoop (settleMs);
    };

    click (3, "solo button");
    click (3, "mute button");
    EXPECT_TRUE (host.pad (3).muted);
    EXPECT_TRUE (host.pad (3).soloed);
    EXPECT_EQ (buttonColour (host.row (3), "mute button"), red);
    EXPECT_EQ (host.engine (3).gain.load (std::memory_order_seq_cst), 2.0);

    // Another pad muted and unmuted under the solo stays silent.
    click (4, "mute button");
    EXPECT_EQ (host.engine (4).gain.load (std::memory_order_seq_cst), 0.0);
    click (4, "mute button");
    EXPECT_FALSE (host.pad (4).muted);
    EXPECT_EQ (host.engine (4).gain.load (std::memory_order_seq_cst), 0.0);

    // The solo ends: the muted pad falls silent, the others sound again.
    click (3, "solo button");
    EXPECT_FALSE (host.pad (3).soloed);
    EXPECT_EQ (buttonColour (host.row (3), "solo button"), buttonGrey);
    EXPECT_EQ (host.engine (3).gain.load (std::memory_order_seq_cst), 0.0);
    EXPECT_EQ (host.engine (4).gain.load (std::memory_order_seq_cst), 1.0);
}

TEST (PadRow, PlayClicksBeforeTheNextBlockStartOnlyTheLastPad)
{
    OpenEditor host;
    host.open();

    child<juce::TextButton> (host.row (2), "play button").triggerClick();
    runMessageLoop (settleMs);
    EXPECT_EQ (host.processor.audioRenderer.pendingPadTrigger.load (std::memory_order_seq_cst), 2);
    child<juce::TextButton> (host.row (7), "play button").triggerClick();
    runMessageLoop (settleMs);
    EXPECT_EQ (host.processor.audioRenderer.pendingPadTrigger.load (std::memory_order_seq_cst), 7);
}

TEST (PadRow, SliderValuesBecomeModelValuesTruncatedTowardZero)
{
    OpenEditor host;
    host.open();
    runMessageLoop (settleMs);
    auto& row = host.row (8);

    struct Case
    {
        const char* slider;
        double value;
        int32_t ParameterModel::DrumPadParameters::*field;
        int expected;
    };
    using P = ParameterModel::DrumPadParameters;
    const Case cases[] = {
        { "pan slider", 6.0, &P::pan, 1 },         { "pan slider", -6.0, &P::pan, -1 },
        { "pan slider", 100.0, &P::pan, 25 },      { "pan slider", -100.0, &P::pan, -25 },
        { "pitch slider", -0.75, &P::pitch, -1 },  { "pitch slider", 0.75, &P::pitch, 1 },
        { "pitch slider", -12.0, &P::pitch, -24 }, { "pitch slider", 12.0, &P::pitch, 24 },
        { "level slider", -35.0, &P::level, -70 }, { "level slider", 15.0, &P::level, 30 },
        { "level slider", -0.25, &P::level, 0 },   { "decay slider", 50.9, &P::decay, 50 },
        { "decay slider", 0.0, &P::decay, 0 },     { "decay slider", 100.0, &P::decay, 100 },
    };
    for (const auto& c : cases)
    {
        auto& slider = child<juce::Slider> (row, c.slider);
        // Off-grid values only arise without the step; the conversion is what is tested.
        slider.setRange (slider.getMinimum(), slider.getMaximum(), 0.0);
        moveSlider (slider, c.value);
        EXPECT_EQ (host.pad (8).*c.field, c.expected) << c.slider << " " << c.value;
    }

    moveSlider (child<juce::Slider> (row, "level slider"), -35.0);
    EXPECT_DOUBLE_EQ (host.engine (8).gain.load (std::memory_order_seq_cst), 0.017538469504833957);
}

TEST (PadRow, DropAcceptsExactlyOneFileWithAnAudioNameInAnyCase)
{
    testing_support::TempFolder folder;
    folder.file ("loops.wav").createDirectory();

    OpenEditor host;
    host.open();
    auto& row = host.row (9);

    const auto path = [&folder] (const char* name)
    {
        return juce::String (folder.path (name));
    };
    const std::pair<juce::StringArray, bool> cases[] = {
        { { path ("kick.WAV") }, true },
        { { path ("kick.wav") }, true },
        { { path ("Snare.Aiff") }, true },
        { { path ("hat.aif") }, true },
        { { path ("loops.wav") }, true },
        { { path ("kick.flac") }, false },
        { { path ("kick.wav.bak") }, false },
        { { path ("wav") }, false },
        { { path ("a.wav"), path ("b.wav") }, false },
        { {}, false },
    };
    for (const auto& [files, accepted] : cases)
        EXPECT_EQ (row.isInterestedInFileDrag (files), accepted) << files.joinIntoString (", ");

    const std::string lastDirectory = host.processor.parameterModel.getLastDirectory();
    row.filesDropped ({ path ("kick.WAV") }, 10, 10);
    EXPECT_EQ (host.pad (9).samplePath, folder.path ("kick.WAV"));
    EXPECT_EQ (child<juce::Label> (row, "filename label").getText(), "kick");

    row.filesDropped ({ path ("loops.wav") }, 0, 0);
    EXPECT_EQ (host.pad (9).samplePath, folder.path ("loops.wav"));
    EXPECT_EQ (host.processor.parameterModel.getLastDirectory(), lastDirectory);
}

TEST (PadRow, PreviousAndNextButtonsStepThroughTheSampleFolder)
{
    testing_support::TempFolder folder;
    const std::vector<std::vector<float>> click{ { 0.5f, -0.5f, 0.25f } };
    for (const char* name : { "a.wav", "B.WAV", "c.aif" })
        ASSERT_TRUE (testing_support::writeSampleFile (
            folder.file (name),
            juce::String (name).endsWith ("aif") ? testing_support::Format::aiff : testing_support::Format::wav, click,
            44100.0, 16));

    OpenEditor host;
    host.open();
    const std::string lastDirectory = host.processor.parameterModel.getLastDirectory();
    host.processor.parameterModel.setSamplePath (1, folder.path ("a.wav"));
    auto& row = host.row (1);

    const std::pair<const char*, const char*> steps[] = {
        { "next button", "B.WAV" },     { "next button", "c.aif" },     { "next button", "a.wav" },
        { "previous button", "c.aif" }, { "previous button", "B.WAV" }, { "previous button", "a.wav" },
    };
    for (const auto& [button, expected] : steps)
    {
        row.buttonClicked (&child<juce::TextButton> (row, button));
        EXPECT_EQ (host.pad (1).samplePath, folder.path (expected)) << button;
        EXPECT_EQ (child<juce::Label> (row, "filename label").getText(),
                   juce::File (folder.path (expected)).getFileNameWithoutExtension());
    }
    EXPECT_EQ (host.processor.parameterModel.getLastDirectory(), lastDirectory);
}

// Needs the real sample loader: the file name's colour follows the load it starts.
TEST (PadRowWithSampleLoading, FileNameColourFollowsTheLoadOfADroppedFile)
{
    testing_support::TempFolder folder;
    ASSERT_TRUE (testing_support::writeSampleFile (folder.file ("kick.wav"), testing_support::Format::wav,
                                                   { { 0.5f, 0.25f, 0.0f, -0.25f } }, 44100.0, 16));
    folder.file ("loops.wav").createDirectory();

    OpenEditor host;
    host.processor.parameterModel.setSamplePath (0, folder.path ("kick.wav"));
    host.open();
    auto& loadedLabel = child<juce::Label> (host.row (0), "filename label");
    auto& emptyLabel = child<juce::Label> (host.row (1), "filename label");
    EXPECT_EQ (loadedLabel.findColour (juce::Label::textColourId), lightGrey);
    EXPECT_EQ (emptyLabel.findColour (juce::Label::textColourId), red);

    auto& row = host.row (1);
    row.filesDropped ({ juce::String (folder.path ("kick.wav")) }, 0, 0);
    runMessageLoop (settleMs);
    EXPECT_EQ (emptyLabel.findColour (juce::Label::textColourId), lightGrey);

    row.filesDropped ({ juce::String (folder.path ("loops.wav")) }, 0, 0);
    runMessageLoop (settleMs);
    EXPECT_EQ (emptyLabel.findColour (juce::Label::textColourId), red);
    EXPECT_EQ (host.engine (1).buffer.load (std::memory_order_seq_cst)->buffer.getNumSamples(), 0);
    EXPECT_NE (testing_support::readLog().find ("Failed to load sample " + folder.path ("loops.wav") +
                                                " for pad 1 with sequenceNo "),
               std::string::npos);
}
