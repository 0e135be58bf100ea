#include "TestSupport.h"

#include "engine/ParameterModelXmlGenerator.h"
#include "engine/PluginProcessor.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

namespace
{
using Processor = BolvanePluginAudioProcessor;

std::string savedState (Processor& processor)
{
    juce::MemoryBlock block;
    processor.getStateInformation (block);
    return block.toString().toStdString();
}

void restore (Processor& processor, const std::string& text)
{
    processor.setStateInformation (text.data(), static_cast<int> (text.size()));
}

std::string document (const std::string& children, const std::string& root = "BolvaneState")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<" + root + ">" + children + "</" + root + ">\r\n";
}
} // namespace

TEST (StateText, DefaultModelSavesTheTwentyNineLinesAfterTheHostsBytesAndLogsThem)
{
    const std::string pad =
        "  <DrumPad SamplePath=\"\" CutGroup=\"-1\" Pitch=\"0\" Decay=\"100\" Pan=\"0\" Level=\"0\"\r\n"
        "           Output=\"0\" Muted=\"0\" Soloed=\"0\"/>\r\n";
    std::string expected = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<BolvaneState>\r\n";
    for (int i = 0; i < 12; ++i)
        expected += pad;
    expected += "  <LastDirectory>" + std::string (std::getenv ("HOME")) + "</LastDirectory>\r\n</BolvaneState>\r\n";

    Processor processor;
    const std::string logBefore = testing_support::readLog();
    juce::MemoryBlock block ("host", 4);
    processor.getStateInformation (block);

    EXPECT_EQ (std::string (static_cast<const char*> (block.getData()), block.getSize()), "host" + expected);
    EXPECT_EQ (testing_support::readLog().substr (logBefore.size()), "Getting state information:\n" + expected + "\n");
}

// Attributes wrap once the ones already on the line take more than 60 characters.
TEST (StateText, LongerSamplePathsMoveTheAttributeLineBreaks)
{
    const std::pair<size_t, std::string> cases[] = {
        { 0, "Output" },        { 2, "Output" },        { 3, "Level" },           { 10, "Level" },
        { 11, "Pan" },          { 22, "Pan" },          { 23, "Decay" },          { 32, "Decay" },
        { 33, "Pitch Soloed" }, { 46, "Pitch Soloed" }, { 47, "CutGroup Muted" }, { 120, "CutGroup Muted" },
    };
    const std::string continuation = "\r\n           ";

    Processor processor;
    for (const auto& [length, expected] : cases)
    {
        processor.parameterModel.setSamplePath (0, length == 0 ? "" : "/" + std::string (length - 1, 'a'));
        const std::string text = ParameterModelXmlGenerator (processor.parameterModel).generateXml();
        const std::string pad0 = text.substr (0, text.find ("/>"));

        std::string lineStarts;
        for (size_t at = pad0.find (continuation); at != std::string::npos; at = pad0.find (continuation, at + 1))
            lineStarts += (lineStarts.empty() ? "" : " ") +
                          pad0.substr (at + continuation.size(), pad0.find ('=', at) - at - continuation.size());
        EXPECT_EQ (lineStarts, expected) << "path of " << length;
    }
}

TEST (StateText, AFullStateIsWrittenInAsciiAndPlainDecimalAndReadsBackToTheSameText)
{
    const std::pair<std::string, std::string> escaped[] = {
        { "\xC3\xA9", "&#233;" }, { "&", "&amp;" },     { "^", "&#94;" },
        { "\"", "&quot;" },       { "<>", "&lt;&gt;" }, { "\xF0\x9F\xA5\x81", "&#129345;" },
    };

    Processor writer;
    auto& model = writer.parameterModel;
    for (int pad = 0; pad < 12; ++pad)
    {
        model.setSamplePath (pad, "/k/" + (pad < 6 ? escaped[pad].first : std::to_string (pad) + ".wav"));
        model.setCutGroup (pad, pad % 4);
        model.setPitch (pad, 20 - pad * 4);
        model.setDecay (pad, 99 - pad * 9);
        model.setPan (pad, pad * 4 - 19);
        model.setLevel (pad, 29 - pad * 9);
        model.setOutput (pad, pad % 6);
        model.setMuted (pad, pad % 2 == 1);
        model.setSoloed (pad, pad % 3 == 2);
    }
    model.setLastDirectory ("/k/caf\xC3\xA9 & co");

    const std::string text = savedState (writer);
    for (const auto& [raw, written] : escaped)
        EXPECT_NE (text.find ("<DrumPad SamplePath=\"/k/" + written + "\""), std::string::npos) << written;
    EXPECT_TRUE (juce::CharPointer_ASCII::isValidString (text.data(), (int) text.size()));
    EXPECT_EQ (text.substr (text.rfind ("  <DrumPad")),
               "  <DrumPad SamplePath=\"/k/11.wav\" CutGroup=\"3\" Pitch=\"-24\" Decay=\"0\" Pan=\"25\"\r\n"
               "           Level=\"-70\" Output=\"5\" Muted=\"1\" Soloed=\"1\"/>\r\n"
               "  <LastDirectory>/k/caf&#233; &amp; co</LastDirectory>\r\n</BolvaneState>\r\n");

    // Every named sample is loaded again, even when its path is unchanged.
    Processor reader;
    restore (reader, text);
    restore (reader, text);
    EXPECT_EQ (savedState (reader), text);
    EXPECT_EQ (reader.audioRenderer.pads[0].buffer.load()->sequenceNo, 3);

    // The restored solos run the whole solo rule: only pads 2, 5, 8 and 11 sound, muted or not.
    EXPECT_EQ (reader.parameterTranslator.getSoloMask(), 0x924u);
    for (size_t pad = 0; pad < 12; ++pad)
        EXPECT_EQ (reader.audioRenderer.pads[pad].gain.load() > 0.0, pad % 3 == 2) << pad;
}

TEST (StateText, TheHostsBytesAreReadUpToTheFirstZeroByteOrTheirSizeAndLogged)
{
    const auto expectRead = [] (const char* what, const void* data, int size, int pitch, const std::string& logged)
    {
        Processor processor;
        const std::string logBefore = testing_support::readLog();
        processor.setStateInformation (data, size);
        EXPECT_EQ (processor.parameterModel.getPad (0).pitch, pitch) << what;
        EXPECT_EQ (testing_support::readLog().substr (logBefore.size()), "Setting state information:\n" + logged + "\n")
            << what;
    };

    const std::string text = document ("<DrumPad Pitch=\"5\"/>");
    const std::string withTrailer = text + std::string (1, '\0') + "<garbage";
    std::string cutByZero = text;
    cutByZero[20] = '\0';

    expectRead ("size 0", text.data(), 0, 0, "");
    expectRead ("negative size", text.data(), -5, 0, "");
    expectRead ("no data", nullptr, 100, 0, "");
    expectRead ("zero byte after the text", withTrailer.data(), (int) withTrailer.size(), 5, text);
    expectRead ("zero byte inside the text", cutByZero.data(), (int) cutByZero.size(), 0, text.substr (0, 20));
    expectRead ("size short of the text", text.data(), 30, 0, text.substr (0, 30));
}

// Numbers from their leading digits, then clamped or, for cut group and output, set to their
// fallback when out of range; flags from their first character after white space.
TEST (StateReading, ValuesAreReadFromTheirLeadingCharactersAndKeptInRange)
{
    const std::string huge = "99999999999999999999";
    const std::tuple<std::string, std::string, int> cases[] = {
        { "Pitch", "30", 24 },   { "Pitch", "-99", -24 },       { "Pitch", "2.7", 2 },
        { "Pitch", "", 0 },      { "Pitch", "abc", 0 },         { "Pitch", " \t+7 dB", 7 },
        { "Pitch", "- 5", 0 },   { "Pitch", "4294967296", 24 }, { "Pitch", "-" + huge, -24 },
        { "Pan", "-30", -25 },   { "Pan", "25", 25 },           { "Level", "100", 30 },
        { "Level", "-71", -70 }, { "Level", "-70", -70 },       { "Decay", "75", 75 },
        { "Decay", "-5", 0 },    { "Decay", "250", 100 },       { "CutGroup", "2.7", 2 },
        { "CutGroup", "", 0 },   { "CutGroup", "-1", -1 },      { "CutGroup", "3", 3 },
        { "CutGroup", "4", -1 }, { "CutGroup", "-2", -1 },      { "CutGroup", "2147483648", -1 },
        { "Output", "abc", 0 },  { "Output", "5", 5 },          { "Output", "6", 0 },
        { "Output", "-1", 0 },   { "Muted", " true", 1 },       { "Muted", "10", 1 },
        { "Muted", "Y", 1 },     { "Muted", "t", 1 },           { "Muted", "\n\t1", 1 },
        { "Muted", "false", 0 }, { "Muted", "0", 0 },           { "Muted", "", 0 },
        { "Muted", "2", 0 },     { "Muted", "no", 0 },          { "Muted", "x1", 0 },
    };

    for (const auto& [attribute, value, expected] : cases)
    {
        // Pad 0 away from every value the text may give, so a value read as 0 or not at all shows.
        Processor processor;
        for (const auto set : { &ParameterModel::setCutGroup, &ParameterModel::setPitch, &ParameterModel::setDecay,
                                &ParameterModel::setPan, &ParameterModel::setLevel, &ParameterModel::setOutput })
            (processor.parameterModel.*set) (0, 1);
        processor.parameterModel.setMuted (0, expected == 0);
        restore (processor, document ("<DrumPad " + attribute + "=\"" + value + "\"/>"));

        const auto p = processor.parameterModel.getPad (0);
        const std::map<std::string, int> read{ { "CutGroup", p.cutGroup }, { "Pitch", p.pitch }, { "Decay", p.decay },
                                               { "Pan", p.pan },           { "Level", p.level }, { "Output", p.output },
                                               { "Muted", p.muted } };
        EXPECT_EQ (read.at (attribute), expected) << attribute << "=\"" << value << "\"";
    }
}

// Pads are the first twelve children by position, whatever their names; the last directory is the
// first child so named in any case. What isn't named keeps its value (pitch 0, pad 0's decay 50).
TEST (StateReading, ChildrenCountByPositionAndLastDirectoryByName)
{
    std::string fourteen;
    for (int i = 0; i < 14; ++i)
        fourteen += "<DrumPad Pitch=\"" + std::to_string (i + 2) + "\"/>";
    const std::string firstFive = fourteen.substr (0, fourteen.find ("<DrumPad Pitch=\"7\""));

    const std::tuple<std::string, std::vector<int>, std::string> cases[] = {
        { document (firstFive + "<LastDirectory>/after</LastDirectory>"), { 2, 3, 4, 5, 6, 0 }, "/after" },
        { document (fourteen + "<lastDIRECTORY>/f</lastDIRECTORY>"), { 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13 }, "/f" },
        { document ("stray<Pad Pitch=\"3\"/>more text<x Pitch=\"5\"/>", "Kit"), { 0, 3, 0, 5 }, "/before" },
        // Comments and white space take no position; a text run or an element without the attributes does.
        { document ("\r\n <!-- x --> <DrumPad/><![CDATA[ ]]><LastDirectory>/x</LastDirectory>"
                    "<DrumPad pitch=\"9\" PITCH=\"9\"/><![CDATA[a]]><x Pitch=\"7\"/>"),
          { 0, 0, 0, 0, 7 },
          "/x" },
        { document ("<LastDirectory/>"), {}, "" },
        { document ("<LastDirectory>/a/caf&#233;&amp;<i>/b</i></LastDirectory><LastDirectory>/2</LastDirectory>"),
          {},
          "/a/caf\xC3\xA9&/b" },
    };

    for (const auto& [text, pitches, lastDirectory] : cases)
    {
        Processor processor;
        processor.parameterModel.setLastDirectory ("/before");
        processor.parameterModel.setDecay (0, 50);
        restore (processor, text);
        for (size_t pad = 0; pad < 12; ++pad)
            EXPECT_EQ (processor.parameterModel.getPad ((int) pad).pitch, pad < pitches.size() ? pitches[pad] : 0)
                << text << ", pad " << pad;
        EXPECT_EQ (processor.parameterModel.getPad (0).decay, 50) << text;
        EXPECT_EQ (processor.parameterModel.getLastDirectory(), lastDirectory) << text;
    }
}

// A restore either applies what is valid or nothing; it never crashes, hangs or grows without bound.
TEST (StateReading, TextsTheReaderRefusesChangeNothing)
{
    const std::string pad = "<BolvaneState><DrumPad Pitch=\"5\"/>";
    const std::string cases[] = {
        "",
        pad, // cut short
        "<!DOCTYPE s [<!ENTITY e \"x\">]>" + pad + "</BolvaneState>",
        pad + juce::String::repeatedString ("<a>", 100000).toStdString(),
        pad + std::string (1 << 20, '&') + "</BolvaneState>",
        document ("<DrumPad Pitch=\"5\"/><!--" + std::string (1 << 20, ' ') + "-->"),
        // JUCE's reader loops for ever on these, or reads past the text's end.
        pad + "<?pi?>text</BolvaneState>",
        pad + "&#x41",
        pad + "&<a b='&#x41;</BolvaneState>",
    };

    for (const auto& text : cases)
    {
        Processor processor;
        const std::string before = savedState (processor);
        restore (processor, text);
        EXPECT_EQ (savedState (processor), before) << text.substr (0, 80);
    }
}

// One U+FFFD per maximal ill-formed subpart (a lone continuation byte, an overlong '<', a sequence
// cut short, a surrogate, one beyond U+10FFFF, Latin-1), so no stray byte is read as markup.
TEST (StateReading, IllFormedUtf8BecomesReplacementCharactersAndTheRestApplies)
{
    const std::string r = "\xEF\xBF\xBD", wellFormed = "\xE2\x82\xAC\xF0\x9F\xA5\x81";
    Processor processor;
    restore (processor, document ("<DrumPad SamplePath=\"/\xBC|\xC0\xBC|\xE2\x82|\xED\xA0\x80|\xF4\x90\x80\x80|\xE9t|" +
                                  wellFormed + "\" Pitch=\"4\"/>"));
    EXPECT_EQ (processor.parameterModel.getPad (0).samplePath,
               "/" + r + "|" + r + r + "|" + r + "|" + r + r + r + "|" + r + r + r + r + "|" + r + "t|" + wellFormed);
    EXPECT_EQ (processor.parameterModel.getPad (0).pitch, 4);
}

// The fuzzer's seeds and every input that once broke the reader: none may crash or leave a value
// out of the ranges the editor and the translator's formulas take.
TEST (StateCorpus, EveryCorpusTextLeavesTheModelInRange)
{
    const auto files = juce::File (QM70_STATE_CORPUS).findChildFiles (juce::File::findFiles, false);
    ASSERT_FALSE (files.isEmpty());

    Processor processor;
    for (const auto& file : files)
    {
        juce::MemoryBlock bytes;
        ASSERT_TRUE (file.loadFileAsData (bytes));
        processor.setStateInformation (bytes.getData(), static_cast<int> (bytes.getSize()));
        for (int pad = 0; pad < 12; ++pad)
        {
            const auto p = processor.parameterModel.getPad (pad);
            EXPECT_TRUE (p.cutGroup >= -1 && p.cutGroup <= 3 && p.pitch >= -24 && p.pitch <= 24 && p.decay >= 0 &&
                         p.decay <= 100 && p.pan >= -25 && p.pan <= 25 && p.level >= -70 && p.level <= 30 &&
                         p.output >= 0 && p.output <= 5)
                << file.getFileName() << ", pad " << pad;
        }
    }
}
