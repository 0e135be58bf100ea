#include "DrumPadComponent.h"

#include "../engine/ParameterModel.h"
#include "../engine/PlayHandler.h"
#include "../engine/Shared.h"
#include "FileWalker.h"

#include <array>
#include <cstdint>

namespace
{
const std::array<const char*, 12> NOTE_NAMES{ "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B" };

constexpr int rowWidth = 832;
constexpr int rowHeight = 24;

// Slider text boxes, in pixels.
constexpr int textBoxWidth = 80;
constexpr int textBoxHeight = 20;

constexpr float labelFontHeight = 15.0f;

// Background of the browse dialog, ARGB.
constexpr juce::uint32 browseDialogColour = 0xFF777777;

const juce::String playSymbol = juce::String::charToString (0x25B6);

template <typename Widget>
std::unique_ptr<Widget> addChild (juce::Component& row, const juce::String& componentName)
{
    auto widget = std::make_unique<Widget> (componentName);
    row.addAndMakeVisible (*widget);
    return widget;
}

std::unique_ptr<juce::TextButton> makeButton (DrumPadComponent& row,
                                              const juce::String& componentName,
                                              const juce::String& tooltip,
                                              const juce::String& text,
                                              juce::Rectangle<int> bounds)
{
    auto button = addChild<juce::TextButton> (row, componentName);
    button->setTooltip (tooltip);
    button->setButtonText (text);
    button->addListener (&row);
    button->setBounds (bounds);
    return button;
}

std::unique_ptr<juce::ComboBox> makeComboBox (DrumPadComponent& row,
                                              const juce::String& componentName,
                                              const juce::StringArray& items,
                                              juce::Rectangle<int> bounds)
{
    auto comboBox = addChild<juce::ComboBox> (row, componentName);
    comboBox->setEditableText (false);
    comboBox->setJustificationType (juce::Justification::centredLeft);
    comboBox->setTextWhenNothingSelected (TRANS ("-"));
    comboBox->setTextWhenNoChoicesAvailable (TRANS ("(no choices)"));
    for (int index = 0; index < items.size(); ++index)
        comboBox->addItem (TRANS (items[index]), index + 1);
    comboBox->addListener (&row);
    comboBox->setBounds (bounds);
    return comboBox;
}

std::unique_ptr<juce::Slider> makeSlider (DrumPadComponent& row,
                                          const juce::String& componentName,
                                          double minimum,
                                          double maximum,
                                          double step,
                                          juce::Rectangle<int> bounds)
{
    auto slider = addChild<juce::Slider> (row, componentName);
    slider->setRange (minimum, maximum, step);
    slider->setSliderStyle (juce::Slider::LinearBar);
    slider->setTextBoxStyle (juce::Slider::TextBoxLeft, false, textBoxWidth, textBoxHeight);
    slider->addListener (&row);
    slider->setBounds (bounds);
    return slider;
}

std::unique_ptr<juce::Label>
makeLabel (DrumPadComponent& row, const juce::String& componentName, juce::Rectangle<int> bounds)
{
    auto label = addChild<juce::Label> (row, componentName);
    label->setText (TRANS ("-"), juce::dontSendNotification);
    label->setFont (juce::Font (labelFontHeight, juce::Font::plain).withTypefaceStyle ("Regular"));
    label->setJustificationType (juce::Justification::centredLeft);
    label->setEditable (false, false, false);
    label->setColour (juce::TextEditor::textColourId, juce::Colours::black);
    label->setColour (juce::TextEditor::backgroundColourId, juce::Colour (0x00000000));
    label->setBounds (bounds);
    return label;
}

// A model value outside the combo box's items selects nothing; computed without overflow for any
// value a state text can carry.
int itemIndexFor (int64_t position, const juce::ComboBox& comboBox)
{
    return position >= 0 && position < comboBox.getNumItems() ? (int) position : -1;
}

juce::String fromUtf8 (const std::string& text)
{
    return juce::String::fromUTF8 (text.data(), (int) text.size());
}
} // namespace

DrumPadComponent::DrumPadComponent()
    : fileFilter (FILE_FILTER_PATTERNS, juce::String(), FILE_FILTER_DESCRIPTION)
{
    logLine ("Constructing DrumPadComponent.");

    muteButton = makeButton (*this, "mute button", TRANS ("Mute"), TRANS ("m"), { 32, 0, 24, 24 });
    soloButton = makeButton (*this, "solo button", TRANS ("Solo"), TRANS ("s"), { 56, 0, 24, 24 });
    playButton = makeButton (*this, "play button", TRANS ("Play"), playSymbol, { 80, 0, 24, 24 });
    groupComboBox = makeComboBox (*this, "group combo box", { "-", "1", "2", "3", "4" }, { 112, 0, 40, 24 });
    filenameLabel = makeLabel (*this, "filename label", { 160, 0, 268, 24 });
    previousButton = makeButton (*this, "previous button", TRANS ("Load previous"), TRANS ("<"), { 432, 0, 24, 24 });
    browseButton = makeButton (*this, "browse button", TRANS ("Browse"), TRANS ("..."), { 456, 0, 24, 24 });
    nextButton = makeButton (*this, "next button", TRANS ("Load next"), TRANS (">"), { 480, 0, 24, 24 });
    pitchSlider = makeSlider (*this, "pitch slider", -12.0, 12.0, 0.5, { 512, 0, 48, 24 });
    decaySlider = makeSlider (*this, "decay slider", 0.0, 100.0, 2.0, { 568, 0, 50, 24 });
    panSlider = makeSlider (*this, "pan slider", -100.0, 100.0, 4.0, { 626, 0, 50, 24 });
    levelSlider = makeSlider (*this, "level slider", -35.0, 15.0, 0.5, { 684, 0, 100, 24 });
    outputComboBox = makeComboBox (*this, "output combo box", { "1", "2", "3", "4", "5", "6" }, { 792, 0, 40, 24 });
    noteLabel = makeLabel (*this, "note label", { 0, 0, 32, 24 });

    setSize (rowWidth, rowHeight);

    filenameLabel->setColour (juce::Label::backgroundColourId, BolvaneLookAndFeel::BOLVANE_BLACK);
    filenameLabel->setColour (juce::Label::textColourId, BolvaneLookAndFeel::BOLVANE_WHITE);

    logLine ("DrumPadComponent constructed.");
}

DrumPadComponent::~DrumPadComponent()
{
    // A browse still waiting in its modal loop must not come back to this row: end the loop, and
    // the browse sees the row gone when it resumes.
    if (openDialog != nullptr)
        openDialog->exitModalState (0);

    muteButton.reset();
    soloButton.reset();
    playButton.reset();
    groupComboBox.reset();
    filenameLabel.reset();
    previousButton.reset();
    browseButton.reset();
    nextButton.reset();
    pitchSlider.reset();
    decaySlider.reset();
    panSlider.reset();
    levelSlider.reset();
    outputComboBox.reset();
    noteLabel.reset();
}

void DrumPadComponent::paint (juce::Graphics&) {}

void DrumPadComponent::resized() {}

bool DrumPadComponent::isInterestedInFileDrag (const juce::StringArray& files)
{
    // The filter matches names without regard to case on every platform.
    return files.size() == 1 && fileFilter.isFileSuitable (juce::File (files[0]));
}

void DrumPadComponent::buttonClicked (juce::Button* button)
{
    if (button == muteButton.get())
    {
        parameterModel->setMuted (padIndex, ! parameterModel->getPad (padIndex).muted);
    }
    else if (button == soloButton.get())
    {
        parameterModel->setSoloed (padIndex, ! parameterModel->getPad (padIndex).soloed);
    }
    else if (button == playButton.get())
    {
        playHandler->playPad (padIndex);
    }
    else if (button == previousButton.get())
    {
        const auto path = FileWalker::getPreviousFile (parameterModel->getPad (padIndex).samplePath);
        parameterModel->setSamplePath (padIndex, path);
    }
    else if (button == browseButton.get())
    {
        browseForSample();
    }
    else if (button == nextButton.get())
    {
        const auto path = FileWalker::getNextFile (parameterModel->getPad (padIndex).samplePath);
        parameterModel->setSamplePath (padIndex, path);
    }
}

void DrumPadComponent::comboBoxChanged (juce::ComboBox* comboBox)
{
    const int index = comboBox->getSelectedItemIndex();

    // Nothing selected: the model holds a value the items can't show (only a state text brings
    // one). Writing -1 back would turn it into another value out of range, so it stays.
    if (index < 0)
        return;

    if (comboBox == groupComboBox.get())
        parameterModel->setCutGroup (padIndex, index - 1);
    else if (comboBox == outputComboBox.get())
        parameterModel->setOutput (padIndex, index);
}

void DrumPadComponent::sliderValueChanged (juce::Slider* slider)
{
    // Slider units to model units; the conversion to int truncates toward zero.
    const double value = slider->getValue();

    if (slider == pitchSlider.get())
        parameterModel->setPitch (padIndex, static_cast<int> (value + value));
    else if (slider == decaySlider.get())
        parameterModel->setDecay (padIndex, static_cast<int> (value));
    else if (slider == panSlider.get())
        parameterModel->setPan (padIndex, static_cast<int> (value * 0.25));
    else if (slider == levelSlider.get())
        parameterModel->setLevel (padIndex, static_cast<int> (value + value));
}

void DrumPadComponent::filesDropped (const juce::StringArray& files, int, int)
{
    parameterModel->setSamplePath (padIndex, files[0].toStdString());
}

void DrumPadComponent::initialize (int pad, ParameterModel& model, PlayHandler& handler)
{
    padIndex = pad;
    parameterModel = &model;
    playHandler = &handler;

    noteLabel->setText (NOTE_NAMES[(size_t) (pad % 12)], juce::dontSendNotification);

    cutGroupUpdated();
    pitchUpdated();
    decayUpdated();
    panUpdated();
    levelUpdated();
    outputUpdated();
    mutedUpdated();
    soloedUpdated();
    samplePathUpdated();
}

void DrumPadComponent::samplePathUpdated()
{
    // Only the name: whether the file exists shows in the colour once the load has run.
    const juce::File file (fromUtf8 (parameterModel->getPad (padIndex).samplePath));
    filenameLabel->setText (file.getFileNameWithoutExtension(), juce::dontSendNotification);
    filenameLabel->setTooltip (file.getFullPathName());
}

void DrumPadComponent::mutedUpdated()
{
    const bool muted = parameterModel->getPad (padIndex).muted;
    muteButton->setColour (juce::TextButton::buttonColourId, muted ? MUTED_COLOUR : BUTTON_COLOUR);
}

void DrumPadComponent::soloedUpdated()
{
    const bool soloed = parameterModel->getPad (padIndex).soloed;
    soloButton->setColour (juce::TextButton::buttonColourId, soloed ? SOLOED_COLOUR : BUTTON_COLOUR);
}

void DrumPadComponent::playingUpdated (bool playing)
{
    playButton->setColour (juce::TextButton::buttonColourId, playing ? PLAYING_COLOUR : BUTTON_COLOUR);
}

void DrumPadComponent::sampleLoadedUpdated (bool loaded)
{
    filenameLabel->setColour (juce::Label::textColourId, loaded ? LOADED_COLOUR : NOT_LOADED_COLOUR);
}

// The value operations notify asynchronously: once the message loop runs, a widget whose shown
// value changed writes it back through the callbacks, snapped to its step and range.

void DrumPadComponent::cutGroupUpdated()
{
    const int64_t position = (int64_t) parameterModel->getPad (padIndex).cutGroup + 1;
    groupComboBox->setSelectedItemIndex (itemIndexFor (position, *groupComboBox), juce::sendNotificationAsync);
}

void DrumPadComponent::pitchUpdated()
{
    const double semitones = static_cast<double> (parameterModel->getPad (padIndex).pitch) * 0.5;
    pitchSlider->setValue (semitones, juce::sendNotificationAsync);
}

void DrumPadComponent::decayUpdated()
{
    decaySlider->setValue (static_cast<double> (parameterModel->getPad (padIndex).decay), juce::sendNotificationAsync);
}

void DrumPadComponent::panUpdated()
{
    // In double, so no pan a state text can carry overflows; the same value for every pan in range.
    const double position = static_cast<double> (parameterModel->getPad (padIndex).pan) * 4.0;
    panSlider->setValue (position, juce::sendNotificationAsync);
}

void DrumPadComponent::levelUpdated()
{
    const double decibels = static_cast<double> (parameterModel->getPad (padIndex).level) * 0.5;
    levelSlider->setValue (decibels, juce::sendNotificationAsync);
}

void DrumPadComponent::outputUpdated()
{
    const int64_t position = parameterModel->getPad (padIndex).output;
    outputComboBox->setSelectedItemIndex (itemIndexFor (position, *outputComboBox), juce::sendNotificationAsync);
}

void DrumPadComponent::browseForSample()
{
    const auto pad = parameterModel->getPad (padIndex);
    const std::string startPath = pad.samplePath.empty() ? parameterModel->getLastDirectory() : pad.samplePath;

    logLine ("Browsing at path: ", startPath);

    // The browser lists on a thread of its own while the dialog is open; its filter lives here
    // rather than in the row, which may be destroyed before the dialog.
    const juce::WildcardFileFilter dialogFilter = fileFilter;
    juce::FileBrowserComponent browser (juce::FileBrowserComponent::openMode |
                                            juce::FileBrowserComponent::canSelectFiles,
                                        juce::File (fromUtf8 (startPath)), &dialogFilter, nullptr);
    juce::FileChooserDialogBox dialog ("Load Sample", "Select sample to load.", browser, false,
                                       juce::Colour (browseDialogColour), nullptr);
    dialog.setAlwaysOnTop (true);

    // The modal loop serves every other event meanwhile: the editor, or the whole plug-in, may be
    // closed before it returns.
    const juce::Component::SafePointer<DrumPadComponent> row (this);
    openDialog = &dialog;
    const bool confirmed = dialog.show();

    if (row == nullptr)
        return;

    openDialog = nullptr;

    // Where the user last looked, whether or not a file was taken.
    parameterModel->setLastDirectory (browser.getRoot().getFullPathName().toStdString());

    if (confirmed)
        parameterModel->setSamplePath (padIndex, browser.getSelectedFile (0).getFullPathName().toStdString());
}
