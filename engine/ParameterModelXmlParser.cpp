#include "ParameterModelXmlParser.h"

#include "EditorWrapper.h"
#include "ParameterModel.h"
#include "Shared.h"

#include <juce_core/juce_core.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

namespace
{
// JUCE's XML reader descends one stack frame pair (about 350 bytes) per nesting level, so deep
// nesting overflows the stack: 2000 levels are enough on a 512 kB thread, the size hosts on some
// systems give their worker threads. A written state nests two deep.
constexpr int maxNesting = 256;

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

using Chars = juce::String::CharPointerType;

bool startsWith (Chars p, const char* prefix)
{
    return juce::CharacterFunctions::compareUpTo (p, juce::CharPointer_ASCII (prefix), (int) std::strlen (prefix)) == 0;
}

// Moves past the next `marker`; to the end, returning false, when there is none.
bool skipPast (Chars& p, const char* marker)
{
    const int at = p.indexOf (juce::CharPointer_ASCII (marker));
    p = at < 0 ? p.findTerminatingNull() : p + (at + (int) std::strlen (marker));
    return at >= 0;
}

// The walk below follows JUCE 7's XmlDocument step by step, without its recursion: white space,
// comments and processing instructions between tokens; false when the text runs out.
bool skipToToken (Chars& p)
{
    for (;;)
    {
        p.incrementToEndOfWhitespace();
        if (p.isEmpty())
            return false;
        if (startsWith (p, "<!--") || startsWith (p, "<?"))
        {
            const bool comment = p[1] == '!';
            p += comment ? 4 : 2;
            if (! skipPast (p, comment ? "-->" : "?>"))
                return false;
            continue;
        }
        return true;
    }
}

bool isNameCharacter (juce::juce_wchar c)
{
    if (c >= 160)
        return juce::CharacterFunctions::isLetterOrDigit (c);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
           c == ':' || c == '.';
}

// A reference, from its '&', as far as the reader takes it (which may be past a closing quote).
void skipReference (Chars& p)
{
    ++p;
    for (const char* name : { "amp;", "quot;", "apos;", "lt;", "gt;" })
    {
        if (p.compareIgnoreCaseUpTo (juce::CharPointer_ASCII (name), (int) std::strlen (name)) == 0)
        {
            p += (int) std::strlen (name);
            return;
        }
    }

    if (*p != '#')
    {
        skipPast (p, ";");
        return;
    }

    ++p;
    if (*p == 'x' || *p == 'X')
    {
        ++p;
        for (int digits = 0; *p != ';' && juce::CharacterFunctions::getHexDigitValue (*p) >= 0 && ++digits <= 8;)
            ++p;
    }
    else if (*p >= '0' && *p <= '9')
    {
        for (int digits = 0; *p != ';' && *p != 0 && ++digits <= 12;)
            ++p;
    }
    else
    {
        return;
    }
    if (*p != 0)
        ++p;
}

enum class Tag
{
    opened, // its content follows
    ended,  // by "/>", or by what the reader takes as the element's end
    nameless,
    outOfText
};

// A start tag, from just after its '<'.
Tag readTag (Chars& p)
{
    if (! isNameCharacter (*p) && (! skipToToken (p) || ! isNameCharacter (*p)))
        return Tag::nameless;

    while (isNameCharacter (*p))
        ++p;

    for (;;)
    {
        if (! skipToToken (p))
            return Tag::outOfText;
        if (*p == '>' || startsWith (p, "/>"))
        {
            const bool opened = *p == '>';
            p += opened ? 1 : 2;
            return opened ? Tag::opened : Tag::ended;
        }
        if (! isNameCharacter (*p))
            return Tag::ended;

        while (isNameCharacter (*p))
            ++p;
        if (! skipToToken (p))
            return Tag::outOfText;
        if (*p++ != '=')
            return Tag::ended;
        if (! skipToToken (p))
            return Tag::outOfText;

        const auto quote = *p;
        if (quote != '"' && quote != '\'')
            return Tag::ended;
        for (++p; *p != quote; *p == '&' ? skipReference (p) : (void) ++p)
            if (*p == 0)
                return Tag::outOfText;
        ++p;
    }
}

// How deep the reader's recursion goes on this text, counted up to just past the limit.
int nestingDepth (const juce::String& text)
{
    Chars p = text.getCharPointer();
    if (! skipToToken (p) || *p != '<' || readTag (++p) != Tag::opened)
        return 0;

    int depth = 1, deepest = 1;
    while (depth > 0 && deepest <= maxNesting)
    {
        const Chars before = p;
        if (! skipToToken (p))
            break;

        if (*p == '<' && p[1] == '/')
        {
            // The reader takes any end tag as the current element's.
            const int end = p.indexOf ((juce::juce_wchar) '>');
            p = end < 0 ? p : p + (end + 1);
            --depth;
        }
        else if (*p == '<' && startsWith (p + 1, "![CDATA["))
        {
            if (! skipPast (p, "]]>"))
                break;
        }
        else if (*p == '<')
        {
            const Tag tag = readTag (++p);
            if (tag == Tag::outOfText)
                break;
            if (tag == Tag::opened)
                deepest = std::max (deepest, ++depth);
            if (tag == Tag::nameless)
                --depth;
        }
        else
        {
            // Text, up to the next markup that isn't a comment.
            for (p = before; *p != 0 && (*p != '<' || startsWith (p, "<!--"));)
            {
                if (*p == '&')
                    skipReference (p);
                else if (*p != '<')
                    ++p;
                else if (p += 4; ! skipPast (p, "-->"))
                    break;
            }
            if (*p == 0)
                break;
        }
    }
    return deepest;
}

// Why JUCE's XML reader can't be given the text, or null when it can. The reader has faults that a
// written state never meets, so a text that could meet one is refused whole:
// - DTD entities expand into markup that is parsed again, without a bound on depth or growth;
// - a processing instruction followed by text inside an element makes it loop for ever;
// - a reference ending the text ("&#x41" without its ';') makes it read past the text's end, and so
//   does one ending the markup it parses out of an unknown reference like "&<a b='&#x41;";
// - it scans from every '&' to the next ';', which makes lone ampersands quadratic;
// - it descends one stack frame pair per nesting level.
// The first checks look at the raw characters, markup inside values and comments included: they
// may refuse a well-formed text, never pass one that trips the reader. `xml` is the same text as
// the reader is given it.
const char* refusal (const std::string& text, const juce::String& xml)
{
    if (text.find ("<!DOCTYPE") != std::string::npos)
        return "it declares a document type";

    // The declaration, first in the text, is the only processing instruction a state has.
    const size_t declaration = text.find ("<?");
    if (declaration != std::string::npos &&
        (text.find_first_not_of (" \t\n\r") != declaration || text.find ("<?", declaration + 2) != std::string::npos))
        return "it holds a processing instruction after the declaration";

    size_t openReference = std::string::npos;
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == '&' && i + 1 < text.size() && text[i + 1] == '<')
            return "a reference runs into markup";
        if (text[i] == '&' && openReference == std::string::npos)
            openReference = i;
        else if (text[i] == ';')
            openReference = std::string::npos;
        if (openReference != std::string::npos && i - openReference > maxReferenceLength)
            return "a reference is not closed";
    }
    if (openReference != std::string::npos)
        return "a reference is not closed";

    if (nestingDepth (xml) > maxNesting)
        return "its elements nest too deep";
    return nullptr;
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
    const std::string text = decodeText (data, size);
    if (text.empty())
        return;

    const auto xml = juce::String::fromUTF8 (text.data(), static_cast<int> (text.size()));
    if (const char* reason = refusal (text, xml))
    {
        logLine ("State text refused: ", reason, ".");
        return;
    }

    const auto root = juce::XmlDocument (xml).getDocumentElement();
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
