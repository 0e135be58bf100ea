#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The one look-and-feel every window of the plug-in draws with: the palette, its colour table, and
// the plug-in's own combo box and bar slider drawing.
class BolvaneLookAndFeel : public juce::LookAndFeel_V4
{
public:
    BolvaneLookAndFeel();
    ~BolvaneLookAndFeel() override;

    void drawComboBox (juce::Graphics& g,
                       int width,
                       int height,
                       bool isButtonDown,
                       int buttonX,
                       int buttonY,
                       int buttonW,
                       int buttonH,
                       juce::ComboBox& box) override;
    void positionComboBoxText (juce::ComboBox& box, juce::Label& label) override;
    void drawLinearSlider (juce::Graphics& g,
                           int x,
                           int y,
                           int width,
                           int height,
                           float sliderPos,
                           float minSliderPos,
                           float maxSliderPos,
                           juce::Slider::SliderStyle style,
                           juce::Slider& slider) override;

    void initializeColours();

    // Inline, so every unit that copies a palette entry at load time sees it initialised first.

    inline static const juce::Colour BOLVANE_TRANSPARENT{ 0x00000000 };
    inline static const juce::Colour BOLVANE_BLACK{ 0xFF282828 };
    inline static const juce::Colour BOLVANE_DKGREY{ 0xFF3C3C3C };
    inline static const juce::Colour BOLVANE_MDGREY{ 0xFF555555 };
    inline static const juce::Colour BOLVANE_MLGREY{ 0xFF787878 };
    inline static const juce::Colour BOLVANE_LTGREY{ 0xFFB4B4B4 };
    inline static const juce::Colour BOLVANE_WHITE{ 0xFFEBEBEB };
    inline static const juce::Colour BOLVANE_RED{ 0xFFB42828 };
    inline static const juce::Colour BOLVANE_GREEN{ 0xFF28B428 };
    inline static const juce::Colour BOLVANE_YELLOW{ 0xFFC8A028 };
    inline static const juce::Colour BOLVANE_BLUE{ 0xFF0078B4 };
};
