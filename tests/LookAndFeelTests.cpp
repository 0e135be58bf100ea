#include "editor/BolvaneLookAndFeel.h"

#include <gtest/gtest.h>

#include <map>

namespace
{
using Style = juce::Slider::SliderStyle;
constexpr juce::uint32 nocolor = 0xFF0000FF, field = 0xFF282828, bar = 0xFF0078B4;
// Half a pixel of bar over the field: (40 + 0) / 2, (40 + 120) / 2, (40 + 180) / 2.
constexpr juce::uint32 halfBar = 0xFF14506E;

// Bounds of the pixels with any alpha, and their highest alpha.
juce::String ink (const juce::Image& image)
{
    juce::Rectangle<int> bounds;
    int maxAlpha = 0;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (const int alpha = image.getPixelAt (x, y).getAlpha(); alpha != 0)
            {
                bounds = bounds.getUnion ({ x, y, 1, 1 });
                maxAlpha = std::max (maxAlpha, alpha);
            }
    return bounds.toString() + " alpha " + juce::String (maxAlpha);
}

int differingPixels (const juce::Image& a, const juce::Image& b)
{
    int differing = 0;
    for (int y = 0; y < b.getHeight(); ++y)
        for (int x = 0; x < b.getWidth(); ++x)
            differing += a.getPixelAt (x, y) != b.getPixelAt (x, y) ? 1 : 0;
    return differing;
}

// The outline is clear throughout, so only the body and the arrow show.
juce::Image drawBox (BolvaneLookAndFeel& lookAndFeel, juce::ComboBox& box, juce::uint32 body, juce::uint32 arrow)
{
    box.setColour (juce::ComboBox::backgroundColourId, juce::Colour (body));
    box.setColour (juce::ComboBox::outlineColourId, juce::Colour (0x00000000));
    box.setColour (juce::ComboBox::arrowColourId, juce::Colour (arrow));
    juce::Image image (juce::Image::ARGB, box.getWidth(), box.getHeight(), true);
    juce::Graphics g (image);
    lookAndFeel.drawComboBox (g, box.getWidth(), box.getHeight(), false, 0, 0, 0, 0, box);
    return image;
}

// The area lies inside a larger image, so its edges show.
juce::Image
drawSlider (juce::LookAndFeel_V4& drawer, juce::Slider& slider, juce::Rectangle<int> area, float pos, Style style)
{
    juce::Image image (juce::Image::ARGB, 120, 120, true);
    juce::Graphics g (image);
    drawer.drawLinearSlider (g, area.getX(), area.getY(), area.getWidth(), area.getHeight(), pos, (float) area.getX(),
                             (float) area.getRight(), style, slider);
    return image;
}
} // namespace

TEST (ColourTable, Writes129IdsOf48PaletteColoursAnd81Markers)
{
    // The ids initializeColours writes: every id the framework's constructor set is overwritten
    // with a sentinel first, so only what the table writes again loses it.
    const juce::uint32 sentinel = 0x12345678;
    const juce::LookAndFeel_V4 framework;
    BolvaneLookAndFeel lookAndFeel;
    for (int id = 0x1000000; id < 0x1100000; ++id)
        if (framework.isColourSpecified (id) || lookAndFeel.isColourSpecified (id))
            lookAndFeel.setColour (id, juce::Colour (sentinel));
    lookAndFeel.initializeColours();

    // How many ids each colour gets: 48 palette entries, 81 markers.
    std::map<juce::uint32, int> idsPerColour;
    for (int id = 0x1000000; id < 0x1100000; ++id)
        if (const auto argb = lookAndFeel.findColour (id).getARGB();
            lookAndFeel.isColourSpecified (id) && argb != sentinel)
            ++idsPerColour[argb];
    const std::map<juce::uint32, int> expected{ { 0x00000000, 8 }, { 0xFF282828, 8 },  { 0xFF3C3C3C, 6 },
                                                { 0xFF555555, 3 }, { 0xFFB4B4B4, 14 }, { 0xFFEBEBEB, 8 },
                                                { 0xFF0078B4, 1 }, { nocolor, 81 } };
    EXPECT_EQ (idsPerColour, expected);

    // A sample from either part of the table: the colours of tooltips, menus, buttons and labels.
    const std::pair<int, juce::uint32> sample[] = {
        { juce::TooltipWindow::backgroundColourId, 0xFF282828 },
        { juce::TooltipWindow::textColourId, 0xFFB4B4B4 },
        { juce::PopupMenu::highlightedBackgroundColourId, 0xFF3C3C3C },
        { juce::TextButton::buttonColourId, 0xFF3C3C3C },
        { juce::ComboBox::textColourId, 0xFFEBEBEB },
        { juce::Label::textColourId, 0xFFB4B4B4 },
        { juce::TreeView::evenItemsColourId, nocolor },
    };
    for (const auto& [id, argb] : sample)
        EXPECT_EQ (lookAndFeel.findColour (id).getARGB(), argb) << std::hex << id;
}

TEST (ComboBoxDrawing, ArrowSitsInTheRightmost20PixelsFadesWhenDisabledAndLeavesTheTextTheRest)
{
    BolvaneLookAndFeel lookAndFeel;
    juce::Component parent;
    juce::ComboBox box, odd;
    parent.addAndMakeVisible (box);
    box.setLookAndFeel (&lookAndFeel);
    box.setBounds (0, 0, 40, 24);
    odd.setBounds (0, 0, 40, 25);

    // A 2 px stroke through (23, 10), (27, 15), (32, 10), butt ends and a mitred tip: x 22.2 to
    // 32.7, y 9.3 to 16.5, at alpha 0.9. At a height of 25 the centre truncates to 12: the same arrow.
    const juce::Image even = drawBox (lookAndFeel, box, 0x00000000, 0xFFFFFFFF);
    const juce::Image oddImage = drawBox (lookAndFeel, odd, 0x00000000, 0xFFFFFFFF);
    EXPECT_EQ (ink (even), "22 9 11 8 alpha 230");
    EXPECT_EQ (differingPixels (oddImage, even), 0);

    // Disabled, itself or through an ancestor: alpha 0.2.
    box.setEnabled (false);
    EXPECT_EQ (ink (drawBox (lookAndFeel, box, 0x00000000, 0xFFFFFFFF)), "22 9 11 8 alpha 51");
    box.setEnabled (true);
    parent.setEnabled (false);
    EXPECT_EQ (ink (drawBox (lookAndFeel, box, 0x00000000, 0xFFFFFFFF)), "22 9 11 8 alpha 51");

    const auto* label = dynamic_cast<juce::Label*> (box.getChildComponent (0));
    ASSERT_NE (label, nullptr);
    EXPECT_EQ (label->getBounds(), juce::Rectangle<int> (1, 1, 20, 22));
    EXPECT_FLOAT_EQ (label->getFont().getHeight(), 16.0f); // the framework's: 0.85 of the height, at most 16

    // A 3 px corner leaves the outermost pixel mostly uncovered. Inside a ChoicePropertyComponent,
    // here two levels down, the corners are square.
    juce::Value value;
    juce::ChoicePropertyComponent property (value, "choice", { "a", "b" }, { 1, 2 });
    juce::Component inner;
    property.addAndMakeVisible (inner);
    inner.addAndMakeVisible (odd);
    EXPECT_LT (drawBox (lookAndFeel, box, 0xFFFF0000, 0x00000000).getPixelAt (0, 0).getAlpha(), 128);
    EXPECT_EQ (drawBox (lookAndFeel, odd, 0xFFFF0000, 0x00000000).getPixelAt (0, 0).getAlpha(), 255);
    EXPECT_EQ (drawBox (lookAndFeel, odd, 0xFFFF0000, 0x00000000).getPixelAt (20, 12).getAlpha(), 255);
}

TEST (SliderDrawing, BarsGetAFieldBehindTheBarAndOtherStylesDrawAsTheFrameworksDo)
{
    BolvaneLookAndFeel lookAndFeel;
    juce::Slider horizontal (Style::LinearBar, juce::Slider::NoTextBox);
    juce::Slider vertical (Style::LinearBarVertical, juce::Slider::NoTextBox);
    horizontal.setLookAndFeel (&lookAndFeel); // the palette's field and bar colours
    vertical.setLookAndFeel (&lookAndFeel);
    const juce::Rectangle<int> wide (5, 3, 100, 20), tall (5, 3, 20, 100);

    // Down both end columns. Empty: the field alone. Full, whatever the style argument says: the
    // bar, half a pixel short of the top and bottom.
    const juce::Image horizontals[] = { drawSlider (lookAndFeel, horizontal, wide, 5.0f, Style::LinearBar),
                                        drawSlider (lookAndFeel, horizontal, wide, 105.0f, Style::LinearBar),
                                        drawSlider (lookAndFeel, horizontal, wide, 105.0f, Style::LinearHorizontal) };
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ (ink (horizontals[i]), "5 3 100 20 alpha 255");
        for (int y = 3; y < 23; ++y)
            for (const int x : { 5, 104 })
                EXPECT_EQ (horizontals[i].getPixelAt (x, y).getARGB(), i == 0              ? field
                                                                       : y == 3 || y == 22 ? halfBar
                                                                                           : bar)
                    << i << ": " << x << ", " << y;
    }
    const juce::Image partWay = drawSlider (lookAndFeel, horizontal, wide, 45.0f, Style::LinearBar);
    EXPECT_EQ (partWay.getPixelAt (44, 12).getARGB(), bar);
    EXPECT_EQ (partWay.getPixelAt (45, 12).getARGB(), field);

    // Vertical: from the position down to the bottom, half a pixel in from the sides.
    const juce::Image upright = drawSlider (lookAndFeel, vertical, tall, 33.0f, Style::LinearBarVertical);
    EXPECT_EQ (ink (upright), "5 3 20 100 alpha 255");
    for (int y = 3; y < 103; ++y)
        for (const int x : { 5, 15, 24 })
            EXPECT_EQ (upright.getPixelAt (x, y).getARGB(), y < 33 ? field : x == 15 ? bar : halfBar) << x << ", " << y;

    // Non-bar sliders, even given a bar style argument, look exactly as the framework draws them.
    juce::LookAndFeel_V4 framework;
    const juce::Rectangle<int> area (10, 10, 100, 100);
    for (const auto style : { Style::LinearHorizontal, Style::LinearVertical })
    {
        juce::Slider slider (style, juce::Slider::NoTextBox);
        const juce::Image expected = drawSlider (framework, slider, area, 60.0f, style);
        for (const auto argument : { style, Style::LinearBar })
            EXPECT_EQ (differingPixels (drawSlider (lookAndFeel, slider, area, 60.0f, argument), expected), 0) << style;
    }
}
