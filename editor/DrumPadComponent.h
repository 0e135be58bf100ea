#pragma once

#include "BolvaneLookAndFeel.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class ParameterModel;
class PlayHandler;

// Colours that show a pad's state on its row. Inline, after the palette they copy, so they are
// initialised after it in every unit.
inline const juce::Colour BUTTON_COLOUR = BolvaneLookAndFeel::BOLVANE_DKGREY;
inline const juce::Colour MUTED_COLOUR = BolvaneLookAndFeel::BOLVANE_RED;
inline const juce::Colour SOLOED_COLOUR = BolvaneLookAndFeel::BOLVANE_YELLOW;
inline const juce::Colour PLAYING_COLOUR = BolvaneLookAndFeel::BOLVANE_GREEN;
inline const juce::Colour LOADED_COLOUR = BolvaneLookAndFeel::BOLVANE_LTGREY;
inline const juce::Colour NOT_LOADED_COLOUR = BolvaneLookAndFeel::BOLVANE_RED;

// One row of the editor: the controls and displays of one pad.
class DrumPadComponent
    : public juce::Component
    , public juce::FileDragAndDropTarget
    , public juce::Button::Listener
    , public juce::ComboBox::Listener
    , public juce::Slider::Listener
{
public:
    DrumPadComponent();
    ~DrumPadComponent() override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    bool isInterestedInFileDrag (const juce::StringArray& files) override;
    void buttonClicked (juce::Button* button) override;
    void comboBoxChanged (juce::ComboBox* comboBox) override;
    void sliderValueChanged (juce::Slider* slider) override;
    void filesDropped (const juce::StringArray& files, int x, int y) override;

    void initialize (int pad, ParameterModel& model, PlayHandler& handler);

    // Display operations: each refreshes one widget from the model or from its argument.
    void samplePathUpdated();
    void mutedUpdated();
    void soloedUpdated();
    void playingUpdated (bool playing);
    void sampleLoadedUpdated (bool loaded);
    void cutGroupUpdated();
    void pitchUpdated();
    void decayUpdated();
    void panUpdated();
    void levelUpdated();
    void outputUpdated();

    void browseForSample();

private:
    int32_t padIndex = 0;
    ParameterModel* parameterModel = nullptr;
    PlayHandler* playHandler = nullptr;
    juce::WildcardFileFilter fileFilter;

    std::unique_ptr<juce::TextButton> muteButton;
    std::unique_ptr<juce::TextButton> soloButton;
    std::unique_ptr<juce::TextButton> playButton;
    std::unique_ptr<juce::ComboBox> groupComboBox;
    std::unique_ptr<juce::Label> filenameLabel;
    std::unique_ptr<juce::TextButton> previousButton;
    std::unique_ptr<juce::TextButton> browseButton;
    std::unique_ptr<juce::TextButton> nextButton;
    std::unique_ptr<juce::Slider> pitchSlider;
    std::unique_ptr<juce::Slider> decaySlider;
    std::unique_ptr<juce::Slider> panSlider;
    std::unique_ptr<juce::Slider> levelSlider;
    std::unique_ptr<juce::ComboBox> outputComboBox;
    std::unique_ptr<juce::Label> noteLabel;

    // The browse dialog while its modal loop runs, so a row destroyed meanwhile can close it.
    juce::Component::SafePointer<juce::FileChooserDialogBox> openDialog;
};
