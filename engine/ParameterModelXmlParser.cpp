#include "ParameterModelXmlParser.h"

#include "EditorWrapper.h"
#include "ParameterModel.h"

#include <juce_core/juce_core.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

namespace
{
// A written state is 7-bit ASCII of at most about 330 kB: thirteen paths of up to 4096 bytes, each
// byte written as up to six characters ("&quot;"). A text far beyond that is not ours, and refusing
// it bounds the reader's time and memory.
constexpr size_t maxTextBytes = 1 << 20;

// JUCE's XML reader descends one stack frame pair (about 350 bytes) per nesting level, so deep
// nesting overflows the stack: 2000 levels are enough on a 512 kB thread, the size hosts on some
// systems give their worker threads. Nesting can't exceed the number of start tags, and a written
// state holds 14. Capping start tags at 256 keeps the reader under 100 kB of stack and its tree small.
constexpr int maxStartTags = 256;

// Every reference the reader knows without a DTD ("&quot;", "&#1114111;") closes within ten
// characters; a megabyte of lone ampersands, each scanned to the end, takes it minutes.
constexpr size_t maxReferenceLength = 32;

constexpr const char* replacementCharacter = "\xEF\xBF\xBD";

// What may follow a UTF-8 lead byte: the number of continuation bytes, and the range the first of
// them must lie in so the sequence is neither overlong, a surrogate nor beyond U+10FFFF.
struct SequenceRule
{
    size_t continuationBytes;
    unsigned char low;
    unsigned char high;
};

SequenceRule ruleFor (unsigned char lead)
{
    if (lead >= 0xC2 && lead <= 0xDF)
        return { 1, 0x80, 0xBF };
    if (lead == 0xE0)
        return { 2, 0xA0, 0xBF };
    if (lead == 0xED)
        return { 2, 0x80, 0x9F };
    if (lead >= 0xE1 && lead <= 0xEF)
        return { 2, 0x80, 0xBF };
    if (lead == 0xF0)
        return { 3, 0x90, 0xBF };
    if (lead >= 0xF1 && lead <= 0xF3)
        return { 3, 0x80, 0xBF };
    if (lead == 0xF4)
        return { 3, 0x80, 0x8F };
    return { 0, 0, 0 };
}

// Decodes UTF-8 the way the Unicode standard recommends for ill-formed input: each maximal subpart
// of an ill-formed sequence becomes one U+FFFD, so no stray byte is read as markup (JUCE's own
// decoder turns some into ASCII, 0xBC into '<').
std::string sanitiseUtf8 (const unsigned char* bytes, size_t length)
{
    std::string text;
    text.reserve (length);

    for (size_t i = 0; i < length;)
    {
        if (bytes[i] < 0x80)
        {
            text += static_cast<char> (bytes[i++]);
            continue;
        }

        const SequenceRule rule = ruleFor (bytes[i]);
        size_t taken = 1;
        while (taken <= rule.continuationBytes && i + taken < length)
        {
            const unsigned char next = bytes[i + taken];
            const unsigned char low = taken == 1 ? rule.low : 0x80;
            const unsigned char high = taken == 1 ? rule.high : 0xBF;
            if (next < low || next > high)
                break;
            ++taken;
        }

        if (rule.continuationBytes > 0 && taken == rule.continuationBytes + 1)
            text.append (reinterpret_cast<const char*> (bytes + i), taken);
        else
            text += replacementCharacter;
        i += taken;
    }

    return text;
}

// Bytes before the first zero byte, at most size.
size_t textLength (const void* data, int size)
{
    if (data == nullptr || size <= 0)
        return 0;

    const auto* bytes = static_cast<const char*> (data);
    const auto* zero = static_cast<const char*> (std::memchr (bytes, 0, static_cast<size_t> (size)));
    return zero != nullptr ? static_cast<size_t> (zero - bytes) : static_cast<size_t> (size);
}

bool isSpace (char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Whether JUCE's XML reader takes the text in bounded time, memory and stack, and within the text.
// It has faults that a written state never meets, so a text that could meet one is refused whole:
// - DTD entities expand into markup that is parsed again, without a bound on depth or growth;
// - a processing instruction followed by text inside an element makes it loop for ever;
// - a reference ending the text ("&#x41" without its ';') makes it read past the text's end, and so
//   does one ending the markup it parses out of an unknown reference like "&<a b='&#x41;";
// - it scans from every '&' to the next ';', which makes lone ampersands quadratic;
// - it descends one stack frame pair per nesting level.
// The checks look at the raw characters, markup inside values and comments included: they may
// refuse a well-formed text, never pass one that trips the reader.
bool isSafeToParse (const std::string& text)
{
    if (text.size() > maxTextBytes)
        return false;

    if (text.find ("<!DOCTYPE") != std::string::npos)
        return false;

    // The declaration, first in the text, is the only processing instruction a state has.
    const size_t declaration = text.find ("<?");
    if (declaration != std::string::npos &&
        (text.find_first_not_of (" \t\n\r") != declaration || text.find ("<?", declaration + 2) != std::string::npos))
        return false;

    int startTags = 0;
    size_t openReference = std::string::npos;

    for (size_t i = 0; i < text.size(); ++i)
    {
        const char c = text[i];
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';

        if (c == '<')
        {
            // Only a '<' followed by neither '/', '!' nor '?' can open an element.
            if (next != '/' && next != '!' && next != '?' && ++startTags > maxStartTags)
                return false;
        }
        else if (c == '&')
        {
            if (next == '<')
                return false;
            if (openReference == std::string::npos)
                openReference = i;
        }
        else if (c == ';')
        {
            openReference = std::string::npos;
        }

        if (openReference != std::string::npos && i - openReference > maxReferenceLength)
            return false;
    }

    return openReference == std::string::npos;
}

size_t skipSpace (const std::string& value)
{
    size_t i = 0;
    while (i < value.size() && isSpace (value[i]))
        ++i;
    return i;
}

// The integer at the start of a value: "2.7" is 2, "12 dB" is 12, "" and "abc" are 0. Values beyond
// the int range saturate instead of wrapping, so the clamps below see their sign.
int readLeadingInteger (const juce::String& attributeValue)
{
    const std::string value = attributeValue.toStdString();
    size_t i = skipSpace (value);

    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-'))
        negative = value[i++] == '-';

    constexpr int64_t saturation = int64_t (INT_MAX) + 1;
    int64_t magnitude = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i)
        magnitude = std::min (magnitude * 10 + (value[i] - '0'), saturation);

    return static_cast<int> (std::clamp (negative ? -magnitude : magnitude, int64_t (INT_MIN), int64_t (INT_MAX)));
}

// "1", "true", "yes", " Y" are true; "0", "false", "2" and "" are false.
bool readBoolean (const juce::String& attributeValue)
{
    const std::string value = attributeValue.toStdString();
    const size_t i = skipSpace (value);
    return i < value.size() && std::strchr ("1tTyY", value[i]) != nullptr;
}

// A cut group or output the engine has no slot or channel pair for falls back as the engine's own
// fallback does (no group, first pair), and stays one the editor's combo boxes can show.
int orFallback (int value, int lowest, int highest, int fallback)
{
    return value < lowest || value > highest ? fallback : value;
}

void applyPad (const juce::XmlElement& element, int pad, ParameterModel& model, EditorWrapper& editorWrapper)
{
    using Update = EditorWrapper::RowUpdate;

    if (element.hasAttribute ("SamplePath"))
        model.setSamplePath (pad, element.getStringAttribute ("SamplePath").toStdString());

    if (element.hasAttribute ("CutGroup"))
    {
        model.setCutGroup (pad, orFallback (readLeadingInteger (element.getStringAttribute ("CutGroup")), -1, 3, -1));
        editorWrapper.updateRow (pad, Update::cutGroup);
    }

    if (element.hasAttribute ("Pitch"))
    {
        model.setPitch (pad, std::clamp (readLeadingInteger (element.getStringAttribute ("Pitch")), -24, 24));
        editorWrapper.updateRow (pad, Update::pitch);
    }

    if (element.hasAttribute ("Decay"))
    {
        // Below 0 the decay curve has no real value, above 100 the sound would swell.
        model.setDecay (pad, std::clamp (readLeadingInteger (element.getStringAttribute ("Decay")), 0, 100));
        editorWrapper.updateRow (pad, Update::decay);
    }

    if (element.hasAttribute ("Pan"))
    {
        model.setPan (pad, std::clamp (readLeadingInteger (element.getStringAttribute ("Pan")), -25, 25));
        editorWrapper.updateRow (pad, Update::pan);
    }

    if (element.hasAttribute ("Level"))
    {
        model.setLevel (pad, std::clamp (readLeadingInteger (element.getStringAttribute ("Level")), -70, 30));
        editorWrapper.updateRow (pad, Update::level);
    }

    if (element.hasAttribute ("Output"))
    {
        model.setOutput (pad, orFallback (readLeadingInteger (element.getStringAttribute ("Output")), 0, 5, 0));
        editorWrapper.updateRow (pad, Update::output);
    }

    // These two refresh their own buttons.
    if (element.hasAttribute ("Muted"))
        model.setMuted (pad, readBoolean (element.getStringAttribute ("Muted")));

    if (element.hasAttribute ("Soloed"))
        model.setSoloed (pad, readBoolean (element.getStringAttribute ("Soloed")));
}
} // namespace

ParameterModelXmlParser::ParameterModelXmlParser (const void* dataToUse, int sizeToUse)
    : data (dataToUse),
      size (sizeToUse)
{
}

std::string ParameterModelXmlParser::decodeText (const void* data, int size)
{
    return sanitiseUtf8 (static_cast<const unsigned char*> (data), textLength (data, size));
}

void ParameterModelXmlParser::populateParameterModel (ParameterModel& model) const
{
    // Decoding never shortens a text, so one over the cap is refused before it is copied.
    if (textLength (data, size) > maxTextBytes)
        return;

    const std::string text = decodeText (data, size);
    if (text.empty() || ! isSafeToParse (text))
        return;

    const auto root =
        juce::XmlDocument (juce::String::fromUTF8 (text.data(), static_cast<int> (text.size()))).getDocumentElement();
    if (root == nullptr)
        return;

    // Pads are taken by position among the root's children: elements whatever their name, and text
    // runs that hold more than white space (the reader keeps white space only from CDATA sections).
    std::vector<const juce::XmlElement*> padElements;
    for (const auto* child : root->getChildIterator())
    {
        if (child->isTextElement() && ! child->getText().containsNonWhitespaceChars())
            continue;
        padElements.push_back (child);
        if (padElements.size() == static_cast<size_t> (ParameterModel::numPads))
            break;
    }

    for (size_t pad = 0; pad < padElements.size(); ++pad)
        applyPad (*padElements[pad], static_cast<int> (pad), model, model.editorWrapper);

    for (const auto* child : root->getChildIterator())
    {
        if (child->getTagName().equalsIgnoreCase ("LastDirectory"))
        {
            model.setLastDirectory (child->getAllSubText().toStdString());
            break;
        }
    }
}
