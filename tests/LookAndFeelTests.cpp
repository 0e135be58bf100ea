#include "editor/BolvaneLookAndFeel.h"

#include <juce_audio_utils/juce_audio_utils.h>
#include <juce_gui_extra/juce_gui_extra.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace
{
constexpr juce::uint32 nocolor = 0xFF0000FF;

// Where the framework numbers its colour ids.
constexpr int firstColourId = 0x1000000;
constexpr int endColourId = 0x1100000;

// The ids initializeColours writes: every colour the framework's constructor set is overwritten
// with a sentinel first, so only what the table writes again loses it.
std::vector<int> idsOfTheTable()
{
    const juce::uint32 sentinel = 0x12345678;
    const juce::LookAndFeel_V4 framework;
    BolvaneLookAndFeel lookAndFeel;
    for (int id = firstColourId; id < endColourId; ++id)
        if (framework.isColourSpecified (id) || lookAndFeel.isColourSpecified (id))
            lookAndFeel.setColour (id, juce::Colour (sentinel));
    lookAndFeel.initializeColours();

    std::vector<int> ids;
    for (int id = firstColourId; id < endColourId; ++id)
        if (lookAndFeel.isColourSpecified (id) && lookAndFeel.findColour (id).getARGB() != sentinel)
            ids.push_back (id);
    return ids;
}

struct Ink
{
    int minX = 1000, minY = 1000, maxX = -1, maxY = -1;
    int maxAlpha = 0;
};

Ink findInk (const juce::Image& image)
{
    Ink ink;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
        {
            const int alpha = image.getPixelAt (x, y).getAlpha();
            if (alpha == 0)
                continue;
            ink.minX = std::min (ink.minX, x);
            ink.maxX = std::max (ink.maxX, x);
            ink.minY = std::min (ink.minY, y);
            ink.maxY = std::max (ink.maxY, y);
            ink.maxAlpha = std::max (ink.maxAlpha, alpha);
        }
    return ink;
}

juce::Image drawBox (BolvaneLookAndFeel& lookAndFeel, juce::ComboBox& box)
{
    juce::Image image (juce::Image::ARGB, box.getWidth(), box.getHeight(), true);
    juce::Graphics g (image);
    lookAndFeel.drawComboBox (g, box.getWidth(), box.getHeight(), false, 0, 0, 0, 0, box);
    return image;
}

// Only the arrow shows: clear body and outline, opaque white arrow.
void showOnlyArrow (juce::ComboBox& box)
{
    box.setColour (juce::ComboBox::backgroundColourId, juce::Colour (0x00000000));
    box.setColour (juce::ComboBox::outlineColourId, juce::Colour (0x00000000));
    box.setColour (juce::ComboBox::arrowColourId, juce::Colour (0xFFFFFFFF));
}

// Only the body shows, opaque.
void showOnlyBody (juce::ComboBox& box)
{
    box.setColour (juce::ComboBox::backgroundColourId, juce::Colour (0xFFFF0000));
    box.setColour (juce::ComboBox::outlineColourId, juce::Colour (0x00000000));
    box.setColour (juce::ComboBox::arrowColourId, juce::Colour (0x00000000));
}

void expectColourNear (juce::Colour actual, juce::uint32 expected, int tolerance, const std::string& where)
{
    const juce::Colour wanted (expected);
    EXPECT_NEAR (actual.getAlpha(), wanted.getAlpha(), tolerance) << where;
    EXPECT_NEAR (actual.getRed(), wanted.getRed(), tolerance) << where;
    EXPECT_NEAR (actual.getGreen(), wanted.getGreen(), tolerance) << where;
    EXPECT_NEAR (actual.getBlue(), wanted.getBlue(), tolerance) << where;
}
} // namespace

TEST (ColourTable, Writes129IdsOf48PaletteColoursAnd81Markers)
{
    const BolvaneLookAndFeel lookAndFeel;
    const std::set<juce::uint32> palette{ 0x00000000, 0xFF282828, 0xFF3C3C3C, 0xFF555555, 0xFF787878, 0xFFB4B4B4,
                                          0xFFEBEBEB, 0xFFB42828, 0xFF28B428, 0xFFC8A028, 0xFF0078B4 };

    int markers = 0;
    int paletteEntries = 0;
    const std::vector<int> ids = idsOfTheTable();
    EXPECT_EQ (ids.size(), 129u);
    for (const int id : ids)
    {
        const juce::uint32 argb = lookAndFeel.findColour (id).getARGB();
        if (argb == nocolor)
            ++markers;
        else if (palette.count (argb) == 1)
            ++paletteEntries;
        else
            ADD_FAILURE() << "colour id 0x" << std::hex << id << " holds 0x" << argb << ", not in the palette";
    }

    EXPECT_EQ (markers, 81);
    EXPECT_EQ (paletteEntries, 48);
}

TEST (ColourTable, EveryComponentGetsItsColours)
{
    const BolvaneLookAndFeel lookAndFeel;

    const struct
    {
        const char* what;
        int id;
        juce::uint32 argb;
    } cases[] = {
        { "alert window background", juce::AlertWindow::backgroundColourId, 0xFF282828 },
        { "caret", juce::CaretComponent::caretColourId, 0xFFB4B4B4 },
        { "combo box outline", juce::ComboBox::outlineColourId, 0x00000000 },
        { "combo box button", juce::ComboBox::buttonColourId, nocolor },
        { "combo box arrow", juce::ComboBox::arrowColourId, 0xFFB4B4B4 },
        { "file list highlighted text", juce::DirectoryContentsDisplayComponent::highlightedTextColourId, 0xFFEBEBEB },
        { "document window text", juce::DocumentWindow::textColourId, 0xFFB4B4B4 },
        { "path box background", juce::FileBrowserComponent::currentPathBoxBackgroundColourId, 0xFF3C3C3C },
        { "file dialog title", juce::FileChooserDialogBox::titleTextColourId, 0xFFEBEBEB },
        { "label text", juce::Label::textColourId, 0xFFB4B4B4 },
        { "label editing background", juce::Label::backgroundWhenEditingColourId, 0xFF282828 },
        { "list box background", juce::ListBox::backgroundColourId, 0xFF3C3C3C },
        { "popup menu header", juce::PopupMenu::headerTextColourId, nocolor },
        { "popup menu highlight", juce::PopupMenu::highlightedBackgroundColourId, 0xFF3C3C3C },
        { "window background", juce::ResizableWindow::backgroundColourId, 0xFF555555 },
        { "scroll bar thumb", juce::ScrollBar::thumbColourId, 0xFFB4B4B4 },
        { "slider track", juce::Slider::trackColourId, 0xFF0078B4 },
        { "slider background", juce::Slider::backgroundColourId, 0xFF282828 },
        { "slider text box outline", juce::Slider::textBoxOutlineColourId, 0xFF3C3C3C },
        { "text button", juce::TextButton::buttonColourId, 0xFF3C3C3C },
        { "text button on", juce::TextButton::buttonOnColourId, nocolor },
        { "text editor highlight", juce::TextEditor::highlightColourId, 0xFF555555 },
        { "tooltip background", juce::TooltipWindow::backgroundColourId, 0xFF282828 },
        { "tooltip outline", juce::TooltipWindow::outlineColourId, 0x00000000 },
        { "boolean property", juce::BooleanPropertyComponent::outlineColourId, nocolor },
        { "bubble", juce::BubbleComponent::backgroundColourId, nocolor },
        { "code editor line numbers", juce::CodeEditorComponent::lineNumberTextId, nocolor },
        { "colour selector", juce::ColourSelector::labelTextColourId, nocolor },
        { "drawable button", juce::DrawableButton::backgroundOnColourId, nocolor },
        { "search path list", juce::FileSearchPathListComponent::backgroundColourId, nocolor },
        { "group", juce::GroupComponent::textColourId, nocolor },
        { "hyperlink", juce::HyperlinkButton::textColourId, nocolor },
        { "key mapping editor", juce::KeyMappingEditorComponent::backgroundColourId, nocolor },
        { "keyboard up-down arrow", juce::MidiKeyboardComponent::upDownButtonArrowColourId, nocolor },
        { "keyboard shadow", juce::MidiKeyboardComponent::shadowColourId, nocolor },
        { "progress bar", juce::ProgressBar::foregroundColourId, nocolor },
        { "property", juce::PropertyComponent::labelTextColourId, nocolor },
        { "side panel", juce::SidePanel::dismissButtonDownColour, nocolor },
        { "tab bar", juce::TabbedButtonBar::frontTextColourId, nocolor },
        { "tabbed component", juce::TabbedComponent::outlineColourId, nocolor },
        { "table header", juce::TableHeaderComponent::highlightColourId, nocolor },
        { "text property", juce::TextPropertyComponent::outlineColourId, nocolor },
        { "toggle button", juce::ToggleButton::tickDisabledColourId, nocolor },
        { "toolbar", juce::Toolbar::editingModeOutlineColourId, nocolor },
        { "tree view", juce::TreeView::evenItemsColourId, nocolor },
    };

    for (const auto& c : cases)
        EXPECT_EQ (lookAndFeel.findColour (c.id).getARGB(), c.argb) << c.what;
}

TEST (ComboBoxDrawing, ArrowSitsInTheRightmost20PixelsAndTheTextTakesTheRest)
{
    BolvaneLookAndFeel lookAndFeel;
    juce::ComboBox box;
    box.setLookAndFeel (&lookAndFeel);
    box.setBounds (0, 0, 40, 24);
    showOnlyArrow (box);

    // A 2 px stroke through (23, 10), (27, 15), (32, 10) with butt ends and a mitred tip covers
    // x 22.2 to 32.7 and y 9.3 to 16.5.
    const Ink ink = findInk (drawBox (lookAndFeel, box));
    EXPECT_EQ (ink.minX, 22);
    EXPECT_EQ (ink.maxX, 32);
    EXPECT_EQ (ink.minY, 9);
    EXPECT_EQ (ink.maxY, 16);

    ASSERT_EQ (box.getNumChildComponents(), 1);
    const auto* label = dynamic_cast<juce::Label*> (box.getChildComponent (0));
    ASSERT_NE (label, nullptr);
    EXPECT_EQ (label->getBounds(), juce::Rectangle<int> (1, 1, 20, 22));
    // The framework's box font: 0.85 of the height, at most 16.
    EXPECT_FLOAT_EQ (label->getFont().getHeight(), 16.0f);

    box.setLookAndFeel (nullptr);
}

TEST (ComboBoxDrawing, OddHeightTruncatesTheArrowCentre)
{
    BolvaneLookAndFeel lookAndFeel;
    juce::ComboBox even, odd;
    even.setBounds (0, 0, 40, 24);
    odd.setBounds (0, 0, 40, 25);
    showOnlyArrow (even);
    showOnlyArrow (odd);

    // 25 / 2 truncates to 12, the centre of a 24 px box: the arrows match pixel for pixel.
    const juce::Image evenImage = drawBox (lookAndFeel, even);
    const juce::Image oddImage = drawBox (lookAndFeel, odd);
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 40; ++x)
        {
            const juce::uint32 expected = y < 24 ? evenImage.getPixelAt (x, y).getARGB() : 0;
            ASSERT_EQ (oddImage.getPixelAt (x, y).getARGB(), expected) << x << ", " << y;
        }
}

TEST (ComboBoxDrawing, CornersAreSquareOnlyInsideAChoicePropertyComponent)
{
    BolvaneLookAndFeel lookAndFeel;

    juce::ComboBox alone;
    alone.setBounds (0, 0, 40, 24);

    juce::Value value;
    juce::ChoicePropertyComponent property (value, "choice", { "a", "b" }, { 1, 2 });
    juce::Component inner;
    juce::ComboBox nested;
    property.addAndMakeVisible (inner);
    inner.addAndMakeVisible (nested);
    nested.setBounds (0, 0, 40, 24);

    juce::ComboBox* ownBox = nullptr;
    for (auto* child : property.getChildren())
        if (auto* box = dynamic_cast<juce::ComboBox*> (child))
            ownBox = box;
    ASSERT_NE (ownBox, nullptr);
    ownBox->setBounds (0, 0, 40, 24);

    const struct
    {
        const char* what;
        juce::ComboBox& box;
        bool square;
    } cases[] = {
        { "standalone", alone, false },
        { "the property's own box", *ownBox, true },
        { "two levels inside the property", nested, true },
    };

    for (const auto& c : cases)
    {
        showOnlyBody (c.box);
        const juce::Image image = drawBox (lookAndFeel, c.box);
        // A 3 px corner leaves the outermost pixel mostly uncovered.
        const int cornerAlpha = image.getPixelAt (0, 0).getAlpha();
        if (c.square)
            EXPECT_EQ (cornerAlpha, 255) << c.what;
        else
            EXPECT_LT (cornerAlpha, 128) << c.what;
        EXPECT_EQ (image.getPixelAt (20, 12).getAlpha(), 255) << c.what;
    }
}

TEST (ComboBoxDrawing, ArrowFadesWhenTheBoxOrAnAncestorIsDisabled)
{
    BolvaneLookAndFeel lookAndFeel;
    juce::Component parent;
    juce::ComboBox box;
    parent.addAndMakeVisible (box);
    box.setBounds (0, 0, 40, 24);
    showOnlyArrow (box);

    const struct
    {
        const char* what;
        bool boxEnabled;
        bool parentEnabled;
        int alpha;
    } cases[] = {
        { "enabled", true, true, 0xE6 },
        { "box disabled", false, true, 0x33 },
        { "parent disabled", true, false, 0x33 },
    };

    for (const auto& c : cases)
    {
        box.setEnabled (c.boxEnabled);
        parent.setEnabled (c.parentEnabled);
        // The fully covered pixels of the stroke carry the arrow colour's own alpha.
        EXPECT_EQ (findInk (drawBox (lookAndFeel, box)).maxAlpha, c.alpha) << c.what;
    }
}

TEST (SliderDrawing, HorizontalBarFillsAFieldAndGrowsFromTheLeft)
{
    BolvaneLookAndFeel lookAndFeel;
    juce::Slider slider (juce::Slider::LinearBar, juce::Slider::NoTextBox);
    slider.setLookAndFeel (&lookAndFeel); // the palette's field and bar colours

    // Drawing area (5, 3, 100, 20) in a larger image, so the edges of the area can be seen.
    const auto draw = [&] (float sliderPos, juce::Slider::SliderStyle styleArgument)
    {
        juce::Image image (juce::Image::ARGB, 110, 26, true);
        juce::Graphics g (image);
        lookAndFeel.drawLinearSlider (g, 5, 3, 100, 20, sliderPos, 5.0f, 105.0f, styleArgument, slider);
        return image;
    };

    const juce::uint32 field = 0xFF282828;
    const juce::uint32 bar = 0xFF0078B4;
    // Half a pixel of bar over the field: (40 + 0) / 2, (40 + 120) / 2, (40 + 180) / 2.
    const juce::uint32 halfBarArgb = 0xFF14506E;

    const auto atMinimum = draw (5.0f, juce::Slider::LinearBar);
    for (int y = 3; y < 23; ++y)
        for (int x = 5; x < 105; ++x)
            ASSERT_EQ (atMinimum.getPixelAt (x, y).getARGB(), field) << x << ", " << y;
    EXPECT_EQ (atMinimum.getPixelAt (4, 10).getAlpha(), 0);
    EXPECT_EQ (atMinimum.getPixelAt (105, 10).getAlpha(), 0);
    EXPECT_EQ (atMinimum.getPixelAt (50, 2).getAlpha(), 0);
    EXPECT_EQ (atMinimum.getPixelAt (50, 23).getAlpha(), 0);

    // The style argument is ignored: the slider's own style says it is a bar.
    for (const auto styleArgument : { juce::Slider::LinearBar, juce::Slider::LinearHorizontal })
    {
        const auto atMaximum = draw (105.0f, styleArgument);
        for (int x = 5; x < 105; ++x)
        {
            expectColourNear (atMaximum.getPixelAt (x, 3), halfBarArgb, 2, "top edge");
            EXPECT_EQ (atMaximum.getPixelAt (x, 4).getARGB(), bar);
            EXPECT_EQ (atMaximum.getPixelAt (x, 21).getARGB(), bar);
            expectColourNear (atMaximum.getPixelAt (x, 22), halfBarArgb, 2, "bottom edge");
        }
    }

    const auto partWay = draw (45.0f, juce::Slider::LinearBar);
    EXPECT_EQ (partWay.getPixelAt (44, 12).getARGB(), bar);
    EXPECT_EQ (partWay.getPixelAt (45, 12).getARGB(), field);
}

TEST (SliderDrawing, VerticalBarFillsFromItsPositionDownToTheBottom)
{
    BolvaneLookAndFeel lookAndFeel;
    juce::Slider slider (juce::Slider::LinearBarVertical, juce::Slider::NoTextBox);
    slider.setLookAndFeel (&lookAndFeel); // the palette's field and bar colours

    juce::Image image (juce::Image::ARGB, 20, 100, true);
    {
        juce::Graphics g (image);
        lookAndFeel.drawLinearSlider (g, 0, 0, 20, 100, 30.0f, 100.0f, 0.0f, juce::Slider::LinearBarVertical, slider);
    }

    const juce::uint32 halfBarArgb = 0xFF14506E; // half a pixel of bar over the field
    for (int y = 0; y < 100; ++y)
    {
        const bool barRow = y >= 30;
        EXPECT_EQ (image.getPixelAt (10, y).getARGB(), barRow ? 0xFF0078B4 : 0xFF282828) << y;
        if (barRow)
        {
            expectColourNear (image.getPixelAt (0, y), halfBarArgb, 2, "left edge");
            expectColourNear (image.getPixelAt (19, y), halfBarArgb, 2, "right edge");
        }
        else
        {
            EXPECT_EQ (image.getPixelAt (0, y).getARGB(), 0xFF282828u) << y;
        }
    }
}

TEST (SliderDrawing, NonBarSlidersLookAsTheFrameworkDrawsThem)
{
    BolvaneLookAndFeel lookAndFeel;
    juce::LookAndFeel_V4 framework;

    for (const auto style : { juce::Slider::LinearHorizontal, juce::Slider::LinearVertical })
    {
        juce::Slider slider (style, juce::Slider::NoTextBox);
        slider.setBounds (0, 0, 120, 120);
        // The same colours for both, taken from the slider itself.
        slider.setColour (juce::Slider::backgroundColourId, juce::Colour (0xFF102030));
        slider.setColour (juce::Slider::trackColourId, juce::Colour (0xFF405060));
        slider.setColour (juce::Slider::thumbColourId, juce::Colour (0xFF708090));

        const auto draw = [&] (juce::LookAndFeel_V4& drawer, juce::Slider::SliderStyle styleArgument)
        {
            juce::Image image (juce::Image::ARGB, 120, 120, true);
            juce::Graphics g (image);
            drawer.drawLinearSlider (g, 10, 10, 100, 100, 60.0f, 10.0f, 110.0f, styleArgument, slider);
            return image;
        };

        const juce::Image expected = draw (framework, style);
        // A bar style argument doesn't make a non-bar slider draw as a bar.
        for (const auto styleArgument : { style, juce::Slider::LinearBar })
        {
            const juce::Image actual = draw (lookAndFeel, styleArgument);
            int differing = 0;
            for (int y = 0; y < 120; ++y)
                for (int x = 0; x < 120; ++x)
                    differing += actual.getPixelAt (x, y) != expected.getPixelAt (x, y) ? 1 : 0;
            EXPECT_EQ (differing, 0) << "style " << (int) style;
        }
    }
}
