#include "TestSupport.h"

#include "engine/ParameterModelXmlGenerator.h"
#include "engine/PluginProcessor.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
std::string savedState (BolvanePluginAudioProcessor& processor)
{
    juce::MemoryBlock block;
    processor.getStateInformation (block);
    return block.toString().toStdString();
}

void restore (BolvanePluginAudioProcessor& processor, const std::string& text)
{
    processor.setStateInformation (text.data(), static_cast<int> (text.size()));
}

std::vector<std::string> splitCrLf (const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find ("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back (text.substr (start, end - start));
    lines.push_back (text.substr (start));
    return lines;
}

const std::string home = std::getenv ("HOME");
} // namespace

TEST (StateText, DefaultModelWritesTheTwentyNineLinesByteForByte)
{
    BolvanePluginAudioProcessor processor;

    const std::string pad =
        "  <DrumPad SamplePath=\"\" CutGroup=\"-1\" Pitch=\"0\" Decay=\"100\" Pan=\"0\" Level=\"0\"\r\n"
        "           Output=\"0\" Muted=\"0\" Soloed=\"0\"/>\r\n";
    std::string expected = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                           "\r\n"
                           "<BolvaneState>\r\n";
    for (int i = 0; i < 12; ++i)
        expected += pad;
    expected += "  <LastDirectory>" + home +
                "</LastDirectory>\r\n"
                "</BolvaneState>\r\n";

    const std::string text = ParameterModelXmlGenerator (processor.parameterModel).generateXml();
    EXPECT_EQ (text, expected);
    EXPECT_EQ (splitCrLf (text).size(), 30u); // 29 lines, each ending in CR LF
}

TEST (StateText, EveryValueIsWrittenInPlainDecimal)
{
    BolvanePluginAudioProcessor processor;
    auto& model = processor.parameterModel;
    model.setCutGroup (11, 3);
    model.setPitch (11, -24);
    model.setDecay (11, 0);
    model.setPan (11, 25);
    model.setLevel (11, -70);
    model.setOutput (11, 5);
    model.setMuted (11, true);
    model.setSoloed (11, true);
    model.setLastDirectory ("");

    const auto lines = splitCrLf (savedState (processor));
    ASSERT_EQ (lines.size(), 30u);
    EXPECT_EQ (lines[25],
               "  <DrumPad SamplePath=\"\" CutGroup=\"3\" Pitch=\"-24\" Decay=\"0\" Pan=\"25\" Level=\"-70\"");
    EXPECT_EQ (lines[26], "           Output=\"5\" Muted=\"1\" Soloed=\"1\"/>");
    EXPECT_EQ (lines[27], "  <LastDirectory></LastDirectory>");
}

// Attributes wrap once the ones already on the line take more than 60 characters. A continuation
// line holds ten spaces of indent, then each attribute with its own leading space.
TEST (StateText, LongerSamplePathsMoveTheAttributeLineBreaks)
{
    struct Case
    {
        size_t pathLength;
        std::vector<std::string> continuationStarts;
    };
    const Case cases[] = {
        { 0, { "Output" } },
        { 2, { "Output" } },
        { 3, { "Level" } },
        { 10, { "Level" } },
        { 11, { "Pan" } },
        { 22, { "Pan" } },
        { 23, { "Decay" } },
        { 32, { "Decay" } },
        { 33, { "Pitch", "Soloed" } },
        { 46, { "Pitch", "Soloed" } },
        { 47, { "CutGroup", "Muted" } },
        { 120, { "CutGroup", "Muted" } },
    };

    BolvanePluginAudioProcessor processor;
    for (const auto& c : cases)
    {
        const std::string path = c.pathLength == 0 ? std::string() : "/" + std::string (c.pathLength - 1, 'a');
        processor.parameterModel.setSamplePath (0, path);

        const auto lines = splitCrLf (ParameterModelXmlGenerator (processor.parameterModel).generateXml());
        ASSERT_EQ (lines[3].rfind ("  <DrumPad SamplePath=\"" + path + "\"", 0), 0u) << c.pathLength;
        for (size_t i = 0; i < c.continuationStarts.size(); ++i)
            EXPECT_EQ (lines[4 + i].rfind ("           " + c.continuationStarts[i] + "=\"", 0), 0u)
                << "path of " << c.pathLength << ": " << lines[4 + i];
        EXPECT_EQ (lines[4 + c.continuationStarts.size()].rfind ("  <DrumPad ", 0), 0u) << c.pathLength;
    }
}

TEST (StateText, SpecialCharactersAreEscapedAndReadBackUnchanged)
{
    struct Case
    {
        std::string path;
        std::string written;
    };
    const Case cases[] = {
        { "/s/caf\xC3\xA9.wav", "/s/caf&#233;.wav" },
        { "/s/a&b", "/s/a&amp;b" },
        { "/s/a^b", "/s/a&#94;b" },
        { "/s/\"q\"", "/s/&quot;q&quot;" },
        { "/s/it's", "/s/it's" },
        { "/s/<x>", "/s/&lt;x&gt;" },
        { "/s/a`b", "/s/a&#96;b" },
        { "/s/tab\there", "/s/tab&#9;here" },
        { "/s/del\x7F", "/s/del&#127;" },
        { "/s/\xF0\x9F\xA5\x81", "/s/&#129345;" },
    };

    for (const auto& c : cases)
    {
        BolvanePluginAudioProcessor writer;
        writer.parameterModel.setSamplePath (4, c.path);
        const std::string text = savedState (writer);
        EXPECT_NE (text.find ("<DrumPad SamplePath=\"" + c.written + "\""), std::string::npos) << c.written;
        for (const char byte : text)
            EXPECT_LT (static_cast<unsigned char> (byte), 0x80) << c.written;

        BolvanePluginAudioProcessor reader;
        restore (reader, text);
        EXPECT_EQ (reader.parameterModel.getPad (4).samplePath, c.path);
    }
}

TEST (StateText, LastDirectoryKeepsLineBreaksAndEscapesTheRest)
{
    BolvanePluginAudioProcessor writer;
    const std::string folder = "/f/\xC3\xA9&<\nx";
    writer.parameterModel.setLastDirectory (folder);
    const std::string text = savedState (writer);
    EXPECT_NE (text.find ("  <LastDirectory>/f/&#233;&amp;&lt;\nx</LastDirectory>\r\n"), std::string::npos);

    BolvanePluginAudioProcessor reader;
    restore (reader, text);
    EXPECT_EQ (reader.parameterModel.getLastDirectory(), folder);
}

TEST (StateText, SavingAppendsTheTextToTheHostsBlockAndLogsIt)
{
    BolvanePluginAudioProcessor processor;
    const std::string text = ParameterModelXmlGenerator (processor.parameterModel).generateXml();
    const auto linesBefore = testing_support::readLogLines().size();

    juce::MemoryBlock block ("host", 4);
    processor.getStateInformation (block);

    ASSERT_EQ (block.getSize(), 4 + text.size());
    EXPECT_EQ (std::string (static_cast<const char*> (block.getData()), block.getSize()), "host" + text);

    const std::string log = testing_support::readLog();
    EXPECT_NE (log.find ("Getting state information:\n" + text + "\n"), std::string::npos);
    EXPECT_EQ (testing_support::readLogLines().size(), linesBefore + 1 + 30);
}

TEST (StateText, AFullStateReadsBackToTheSameText)
{
    BolvanePluginAudioProcessor writer;
    auto& model = writer.parameterModel;
    for (int pad = 0; pad < 12; ++pad)
    {
        model.setSamplePath (pad, "/nowhere/kit/pad " + std::to_string (pad) + ".wav");
        model.setCutGroup (pad, pad % 5 - 1);
        model.setPitch (pad, pad * 4 - 24);
        model.setDecay (pad, pad * 9);
        model.setPan (pad, pad * 4 - 22);
        model.setLevel (pad, pad * 9 - 70);
        model.setOutput (pad, pad % 6);
        model.setMuted (pad, pad % 2 == 0);
        model.setSoloed (pad, pad % 3 == 0);
    }
    model.setLastDirectory ("/nowhere/kit");
    const std::string text = savedState (writer);

    BolvanePluginAudioProcessor reader;
    restore (reader, text);
    EXPECT_EQ (savedState (reader), text);
}
