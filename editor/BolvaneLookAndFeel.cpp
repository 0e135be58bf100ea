#include "BolvaneLookAndFeel.h"

#include <juce_audio_utils/juce_audio_utils.h>
#include <juce_gui_extra/juce_gui_extra.h>

namespace
{
// Marks every colour slot the palette leaves unchosen: a pure blue no palette entry is near, so a
// widget drawn with one stands out at once.
const juce::Colour BOLVANE_NOCOLOR{ 0xFF0000FF };

// A combo box keeps its arrow in the rightmost 20 px (the framework's 30 px less 10), leaving its
// text that much more room; the arrow is drawn in the first 15 of them.
constexpr int comboArrowSpace = 20;
constexpr int comboArrowZoneWidth = 15;
} // namespace

BolvaneLookAndFeel::BolvaneLookAndFeel()
{
    initializeColours();
}

BolvaneLookAndFeel::~BolvaneLookAndFeel() = default;

void BolvaneLookAndFeel::initializeColours()
{
    setColour (juce::AlertWindow::backgroundColourId, BOLVANE_BLACK);
    setColour (juce::AlertWindow::textColourId, BOLVANE_LTGREY);
    setColour (juce::AlertWindow::outlineColourId, BOLVANE_BLACK);

    setColour (juce::CaretComponent::caretColourId, BOLVANE_LTGREY);

    setColour (juce::ComboBox::textColourId, BOLVANE_WHITE);
    setColour (juce::ComboBox::backgroundColourId, BOLVANE_DKGREY);
    setColour (juce::ComboBox::outlineColourId, BOLVANE_TRANSPARENT);
    setColour (juce::ComboBox::buttonColourId, BOLVANE_NOCOLOR);
    setColour (juce::ComboBox::arrowColourId, BOLVANE_LTGREY);
    setColour (juce::ComboBox::focusedOutlineColourId, BOLVANE_NOCOLOR);

    setColour (juce::DirectoryContentsDisplayComponent::highlightColourId, BOLVANE_BLACK);
    setColour (juce::DirectoryContentsDisplayComponent::textColourId, BOLVANE_LTGREY);
    setColour (juce::DirectoryContentsDisplayComponent::highlightedTextColourId, BOLVANE_WHITE);

    setColour (juce::DocumentWindow::textColourId, BOLVANE_LTGREY);

    setColour (juce::FileBrowserComponent::currentPathBoxBackgroundColourId, BOLVANE_DKGREY);
    setColour (juce::FileBrowserComponent::currentPathBoxTextColourId, BOLVANE_LTGREY);
    setColour (juce::FileBrowserComponent::currentPathBoxArrowColourId, BOLVANE_LTGREY);
    setColour (juce::FileBrowserComponent::filenameBoxBackgroundColourId, BOLVANE_BLACK);
    setColour (juce::FileBrowserComponent::filenameBoxTextColourId, BOLVANE_LTGREY);

    setColour (juce::FileChooserDialogBox::titleTextColourId, BOLVANE_WHITE);

    setColour (juce::Label::backgroundColourId, BOLVANE_TRANSPARENT);
    setColour (juce::Label::textColourId, BOLVANE_LTGREY);
    setColour (juce::Label::outlineColourId, BOLVANE_TRANSPARENT);
    setColour (juce::Label::backgroundWhenEditingColourId, BOLVANE_BLACK);
    setColour (juce::Label::textWhenEditingColourId, BOLVANE_WHITE);
    setColour (juce::Label::outlineWhenEditingColourId, BOLVANE_TRANSPARENT);

    setColour (juce::ListBox::backgroundColourId, BOLVANE_DKGREY);
    setColour (juce::ListBox::outlineColourId, BOLVANE_TRANSPARENT);
    setColour (juce::ListBox::textColourId, BOLVANE_LTGREY);

    setColour (juce::PopupMenu::textColourId, BOLVANE_LTGREY);
    setColour (juce::PopupMenu::headerTextColourId, BOLVANE_NOCOLOR);
    setColour (juce::PopupMenu::backgroundColourId, BOLVANE_BLACK);
    setColour (juce::PopupMenu::highlightedTextColourId, BOLVANE_WHITE);
    setColour (juce::PopupMenu::highlightedBackgroundColourId, BOLVANE_DKGREY);

    setColour (juce::ResizableWindow::backgroundColourId, BOLVANE_MDGREY);

    setColour (juce::ScrollBar::backgroundColourId, BOLVANE_NOCOLOR);
    setColour (juce::ScrollBar::thumbColourId, BOLVANE_LTGREY);
    setColour (juce::ScrollBar::trackColourId, BOLVANE_NOCOLOR);

    setColour (juce::Slider::backgroundColourId, BOLVANE_BLACK);
    setColour (juce::Slider::thumbColourId, BOLVANE_NOCOLOR);
    setColour (juce::Slider::trackColourId, BOLVANE_BLUE);
    setColour (juce::Slider::rotarySliderFillColourId, BOLVANE_NOCOLOR);
    setColour (juce::Slider::rotarySliderOutlineColourId, BOLVANE_NOCOLOR);
    setColour (juce::Slider::textBoxTextColourId, BOLVANE_WHITE);
    setColour (juce::Slider::textBoxBackgroundColourId, BOLVANE_NOCOLOR);
    setColour (juce::Slider::textBoxHighlightColourId, BOLVANE_MDGREY);
    setColour (juce::Slider::textBoxOutlineColourId, BOLVANE_DKGREY);

    setColour (juce::TextButton::buttonColourId, BOLVANE_DKGREY);
    setColour (juce::TextButton::buttonOnColourId, BOLVANE_NOCOLOR);
    setColour (juce::TextButton::textColourOffId, BOLVANE_WHITE);
    setColour (juce::TextButton::textColourOnId, BOLVANE_NOCOLOR);

    setColour (juce::TextEditor::backgroundColourId, BOLVANE_NOCOLOR);
    setColour (juce::TextEditor::textColourId, BOLVANE_LTGREY);
    setColour (juce::TextEditor::highlightColourId, BOLVANE_MDGREY);
    setColour (juce::TextEditor::highlightedTextColourId, BOLVANE_WHITE);
    setColour (juce::TextEditor::outlineColourId, BOLVANE_TRANSPARENT);
    setColour (juce::TextEditor::focusedOutlineColourId, BOLVANE_TRANSPARENT);
    setColour (juce::TextEditor::shadowColourId, BOLVANE_NOCOLOR);

    setColour (juce::TooltipWindow::backgroundColourId, BOLVANE_BLACK);
    setColour (juce::TooltipWindow::textColourId, BOLVANE_LTGREY);
    setColour (juce::TooltipWindow::outlineColourId, BOLVANE_TRANSPARENT);

    // Widgets the plug-in never shows: should one ever appear, it shows up in the marker colour.
    const int unchosen[] = {
        juce::BooleanPropertyComponent::backgroundColourId,
        juce::BooleanPropertyComponent::outlineColourId,

        juce::BubbleComponent::backgroundColourId,
        juce::BubbleComponent::outlineColourId,

        juce::CodeEditorComponent::backgroundColourId,
        juce::CodeEditorComponent::highlightColourId,
        juce::CodeEditorComponent::defaultTextColourId,
        juce::CodeEditorComponent::lineNumberBackgroundId,
        juce::CodeEditorComponent::lineNumberTextId,

        juce::ColourSelector::backgroundColourId,
        juce::ColourSelector::labelTextColourId,

        juce::DrawableButton::textColourId,
        juce::DrawableButton::backgroundColourId,
        juce::DrawableButton::backgroundOnColourId,
        juce::DrawableButton::textColourOnId,

        juce::FileSearchPathListComponent::backgroundColourId,

        juce::GroupComponent::outlineColourId,
        juce::GroupComponent::textColourId,

        juce::HyperlinkButton::textColourId,

        juce::KeyMappingEditorComponent::backgroundColourId,
        juce::KeyMappingEditorComponent::textColourId,

        juce::MidiKeyboardComponent::blackNoteColourId,
        juce::MidiKeyboardComponent::whiteNoteColourId,
        juce::MidiKeyboardComponent::keySeparatorLineColourId,
        juce::MidiKeyboardComponent::mouseOverKeyOverlayColourId,
        juce::MidiKeyboardComponent::keyDownOverlayColourId,
        juce::MidiKeyboardComponent::textLabelColourId,
        juce::MidiKeyboardComponent::upDownButtonBackgroundColourId,
        juce::MidiKeyboardComponent::upDownButtonArrowColourId,
        juce::MidiKeyboardComponent::shadowColourId,

        juce::ProgressBar::backgroundColourId,
        juce::ProgressBar::foregroundColourId,

        juce::PropertyComponent::backgroundColourId,
        juce::PropertyComponent::labelTextColourId,

        juce::SidePanel::backgroundColour,
        juce::SidePanel::titleTextColour,
        juce::SidePanel::shadowBaseColour,
        juce::SidePanel::dismissButtonNormalColour,
        juce::SidePanel::dismissButtonOverColour,
        juce::SidePanel::dismissButtonDownColour,

        juce::TabbedButtonBar::tabOutlineColourId,
        juce::TabbedButtonBar::tabTextColourId,
        juce::TabbedButtonBar::frontOutlineColourId,
        juce::TabbedButtonBar::frontTextColourId,

        juce::TabbedComponent::backgroundColourId,
        juce::TabbedComponent::outlineColourId,

        juce::TableHeaderComponent::textColourId,
        juce::TableHeaderComponent::backgroundColourId,
        juce::TableHeaderComponent::outlineColourId,
        juce::TableHeaderComponent::highlightColourId,

        juce::TextPropertyComponent::backgroundColourId,
        juce::TextPropertyComponent::textColourId,
        juce::TextPropertyComponent::outlineColourId,

        juce::ToggleButton::textColourId,
        juce::ToggleButton::tickColourId,
        juce::ToggleButton::tickDisabledColourId,

        juce::Toolbar::backgroundColourId,
        juce::Toolbar::separatorColourId,
        juce::Toolbar::buttonMouseOverBackgroundColourId,
        juce::Toolbar::buttonMouseDownBackgroundColourId,
        juce::Toolbar::labelTextColourId,
        juce::Toolbar::editingModeOutlineColourId,

        juce::TreeView::backgroundColourId,
        juce::TreeView::linesColourId,
        juce::TreeView::dragAndDropIndicatorColourId,
        juce::TreeView::selectedItemBackgroundColourId,
        juce::TreeView::oddItemsColourId,
        juce::TreeView::evenItemsColourId,
    };

    for (const int colourId : unchosen)
        setColour (colourId, BOLVANE_NOCOLOR);
}

void BolvaneLookAndFeel::drawComboBox (
    juce::Graphics& g, int width, int height, bool, int, int, int, int, juce::ComboBox& box)
{
    // Square corners where the box sits in a property panel row, as the framework does.
    const float cornerSize = box.findParentComponentOfClass<juce::ChoicePropertyComponent>() != nullptr ? 0.0f : 3.0f;
    const juce::Rectangle<int> boxBounds (0, 0, width, height);

    g.setColour (box.findColour (juce::ComboBox::backgroundColourId));
    g.fillRoundedRectangle (boxBounds.toFloat(), cornerSize);

    g.setColour (box.findColour (juce::ComboBox::outlineColourId));
    g.drawRoundedRectangle (boxBounds.toFloat().reduced (0.5f, 0.5f), cornerSize, 1.0f);

    const juce::Rectangle<int> arrowZone (width - comboArrowSpace, 0, comboArrowZoneWidth, height);
    juce::Path path;
    path.startNewSubPath ((float) arrowZone.getX() + 3.0f, (float) arrowZone.getCentreY() - 2.0f);
    path.lineTo ((float) arrowZone.getCentreX(), (float) arrowZone.getCentreY() + 3.0f);
    path.lineTo ((float) arrowZone.getRight() - 3.0f, (float) arrowZone.getCentreY() - 2.0f);

    // isEnabled() is false as soon as any ancestor is disabled.
    g.setColour (box.findColour (juce::ComboBox::arrowColourId).withAlpha (box.isEnabled() ? 0.9f : 0.2f));
    g.strokePath (path, juce::PathStrokeType (2.0f));
}

void BolvaneLookAndFeel::positionComboBoxText (juce::ComboBox& box, juce::Label& label)
{
    label.setBounds (1, 1, box.getWidth() - comboArrowSpace, box.getHeight() - 2);
    label.setFont (getComboBoxFont (box));
}

void BolvaneLookAndFeel::drawLinearSlider (juce::Graphics& g,
                                           int x,
                                           int y,
                                           int width,
                                           int height,
                                           float sliderPos,
                                           float minSliderPos,
                                           float maxSliderPos,
                                           juce::Slider::SliderStyle style,
                                           juce::Slider& slider)
{
    // The slider's own style decides, as in the framework: the style argument may lag behind it.
    if (! slider.isBar())
    {
        juce::LookAndFeel_V4::drawLinearSlider (g, x, y, width, height, sliderPos, minSliderPos, maxSliderPos, style,
                                                slider);
        return;
    }

    // The framework draws the bar alone; a field behind it shows how far the bar can go.
    g.setColour (slider.findColour (juce::Slider::backgroundColourId));
    g.fillRect (x, y, width, height);

    g.setColour (slider.findColour (juce::Slider::trackColourId));
    g.fillRect (slider.isHorizontal()
                    ? juce::Rectangle<float> ((float) x, (float) y + 0.5f, sliderPos - (float) x, (float) height - 1.0f)
                    : juce::Rectangle<float> ((float) x + 0.5f, sliderPos, (float) width - 1.0f,
                                              (float) y + ((float) height - sliderPos)));
}
