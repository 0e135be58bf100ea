#include "TestSupport.h"

#include "engine/PluginProcessor.h"

#include <gtest/gtest.h>

namespace
{
using Pad = ParameterModel::DrumPadParameters;

std::string document (const std::string& children, const std::string& root = "BolvaneState")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<" + root + ">" + children + "</" + root + ">\r\n";
}

void restore (BolvanePluginAudioProcessor& processor, const std::string& text)
{
    processor.setStateInformation (text.data(), static_cast<int> (text.size()));
}

std::string savedState (BolvanePluginAudioProcessor& processor)
{
    juce::MemoryBlock block;
    processor.getStateInformation (block);
    return block.toString().toStdString();
}

// Every pad away from its defaults, so a value read as 0 or as the default shows.
void setAllPadsToOne (ParameterModel& model)
{
    for (int pad = 0; pad < 12; ++pad)
    {
        model.setCutGroup (pad, 1);
        model.setPitch (pad, 1);
        model.setDecay (pad, 1);
        model.setPan (pad, 1);
        model.setLevel (pad, 1);
        model.setOutput (pad, 1);
    }
}

const std::string replacement = "\xEF\xBF\xBD";
} // namespace

TEST (StateReading, IntegersAreReadFromTheirLeadingDigitsAndClamped)
{
    struct Case
    {
        const char* attribute;
        const char* value;
        int32_t Pad::*field;
        int32_t expected;
    };
    const Case cases[] = {
        { "Pitch", "30", &Pad::pitch, 24 },
        { "Pitch", "-99", &Pad::pitch, -24 },
        { "Pitch", "2.7", &Pad::pitch, 2 },
        { "Pitch", "", &Pad::pitch, 0 },
        { "Pitch", "abc", &Pad::pitch, 0 },
        { "Pitch", " \t+7 semitones", &Pad::pitch, 7 },
        { "Pitch", "- 5", &Pad::pitch, 0 },
        { "Pitch", "99999999999999999999", &Pad::pitch, 24 },
        { "Pitch", "-99999999999999999999", &Pad::pitch, -24 },
        { "Pan", "-30", &Pad::pan, -25 },
        { "Pan", "25", &Pad::pan, 25 },
        { "Level", "100", &Pad::level, 30 },
        { "Level", "-71", &Pad::level, -70 },
        { "Level", "-70", &Pad::level, -70 },
        { "CutGroup", "2.7", &Pad::cutGroup, 2 },
        { "CutGroup", "", &Pad::cutGroup, 0 },
        { "CutGroup", "-1", &Pad::cutGroup, -1 },
        { "CutGroup", "3", &Pad::cutGroup, 3 },
        { "CutGroup", "4", &Pad::cutGroup, -1 },
        { "CutGroup", "-2", &Pad::cutGroup, -1 },
        { "CutGroup", "2147483648", &Pad::cutGroup, -1 },
        { "Decay", "75", &Pad::decay, 75 },
        { "Decay", "-5", &Pad::decay, 0 },
        { "Decay", "250", &Pad::decay, 100 },
        { "Output", "abc", &Pad::output, 0 },
        { "Output", "5", &Pad::output, 5 },
        { "Output", "6", &Pad::output, 0 },
        { "Output", "-1", &Pad::output, 0 },
    };

    for (const auto& c : cases)
    {
        BolvanePluginAudioProcessor processor;
        setAllPadsToOne (processor.parameterModel);
        restore (processor, document (std::string ("<DrumPad ") + c.attribute + "=\"" + c.value + "\"/>"));
        EXPECT_EQ (processor.parameterModel.getPad (0).*c.field, c.expected) << c.attribute << "=\"" << c.value << "\"";
    }
}

TEST (StateReading, ValuesOutsideTheEngineRangesReachTheEngineAsItsFallbacks)
{
    BolvanePluginAudioProcessor processor;
    restore (processor, document ("<DrumPad CutGroup=\"7\" Output=\"12\" Decay=\"-40\"/>"
                                  "<DrumPad CutGroup=\"-9\" Output=\"-3\" Decay=\"300\"/>"));

    const auto& pads = processor.audioRenderer.pads;
    EXPECT_EQ (pads[0].cutGroup.load(), -1);
    EXPECT_EQ (pads[0].output.load(), 0);
    EXPECT_EQ (pads[0].decayFactor.load(), 1e-20);
    EXPECT_EQ (pads[1].cutGroup.load(), -1);
    EXPECT_EQ (pads[1].output.load(), 0);
    EXPECT_EQ (pads[1].decayFactor.load(), 1.0);
}

TEST (StateReading, FlagsAreTrueWhenTheirFirstCharacterSaysSo)
{
    struct Case
    {
        const char* value;
        bool expected;
    };
    const Case cases[] = {
        { " true", true },  { "10", true }, { "Y", true }, { "yes", true }, { "t", true },   { "\n\t1", true },
        { "false", false }, { "0", false }, { "", false }, { "2", false },  { "no", false }, { "x1", false },
    };

    for (const auto& c : cases)
    {
        BolvanePluginAudioProcessor processor;
        processor.parameterModel.setMuted (0, ! c.expected);
        restore (processor, document (std::string ("<DrumPad Muted=\"") + c.value + "\"/>"));
        EXPECT_EQ (processor.parameterModel.getPad (0).muted, c.expected) << '"' << c.value << '"';
    }
}

TEST (StateReading, ARestoredSoloRunsTheWholeSoloRule)
{
    BolvanePluginAudioProcessor processor;
    restore (processor, document ("<DrumPad/><DrumPad/><DrumPad Soloed=\"Y\" Muted=\"1\" Level=\"12\"/>"));

    EXPECT_EQ (processor.parameterTranslator.getSoloMask(), 1u << 2);
    for (int pad = 0; pad < 12; ++pad)
        EXPECT_EQ (processor.audioRenderer.pads[(size_t) pad].gain.load(), pad == 2 ? 2.0 : 0.0) << pad;
}

TEST (StateReading, OnlyTheChildrenPresentChangeTheirPads)
{
    BolvanePluginAudioProcessor processor;
    setAllPadsToOne (processor.parameterModel);
    processor.parameterModel.setLastDirectory ("/before");

    restore (processor,
             document ("<DrumPad Pitch=\"2\"/><DrumPad Pitch=\"4\"/><DrumPad Pitch=\"6\"/><DrumPad Pitch=\"8\"/>"
                       "<DrumPad Pitch=\"10\" Level=\"-3\"/><LastDirectory>/after</LastDirectory>"));

    for (int pad = 0; pad < 12; ++pad)
    {
        const auto p = processor.parameterModel.getPad (pad);
        EXPECT_EQ (p.pitch, pad < 5 ? 2 * (pad + 1) : 1) << pad;
        EXPECT_EQ (p.level, pad == 4 ? -3 : 1) << pad;
        EXPECT_EQ (p.decay, 1) << pad;
    }
    EXPECT_EQ (processor.parameterModel.getLastDirectory(), "/after");
}

TEST (StateReading, ChildrenCountByPositionWhateverTheirNames)
{
    struct Case
    {
        const char* what;
        std::string text;
        std::vector<int> pitches; // pads 0 to 4
    };
    const Case cases[] = {
        { "other root and child names",
          document ("<Pad Pitch=\"3\"/><x Pitch=\"5\"/><DrumPad Pitch=\"7\"/>", "Kit"),
          { 3, 5, 7, 1, 1 } },
        { "a text run uses up a position",
          document ("stray<DrumPad Pitch=\"3\"/>more text<DrumPad Pitch=\"5\"/>"),
          { 1, 3, 1, 5, 1 } },
        { "white space and comments don't",
          document ("\r\n  <!-- pad one -->\r\n  <DrumPad Pitch=\"3\"/>\t<!-- x --> <DrumPad Pitch=\"5\"/>"),
          { 3, 5, 1, 1, 1 } },
        { "a CDATA section with text does, one with white space doesn't",
          document ("<![CDATA[a]]><DrumPad Pitch=\"3\"/><![CDATA[ ]]><DrumPad Pitch=\"5\"/>"),
          { 1, 3, 5, 1, 1 } },
        { "an element without the attributes uses up its position",
          document (
              "<DrumPad/><LastDirectory>/x</LastDirectory><DrumPad pitch=\"9\" PITCH=\"9\"/><DrumPad Pitch=\"3\"/>"),
          { 1, 1, 1, 3, 1 } },
    };

    for (const auto& c : cases)
    {
        BolvanePluginAudioProcessor processor;
        setAllPadsToOne (processor.parameterModel);
        restore (processor, c.text);
        for (int pad = 0; pad < 5; ++pad)
            EXPECT_EQ (processor.parameterModel.getPad (pad).pitch, c.pitches[(size_t) pad])
                << c.what << ", pad " << pad;
    }
}

TEST (StateReading, ChildrenAfterTheTwelfthAreNoPads)
{
    std::string children;
    for (int i = 0; i < 14; ++i)
        children += "<DrumPad Pitch=\"" + std::to_string (i) + "\"/>";
    children += "<lastDIRECTORY>/found</lastDIRECTORY>";

    BolvanePluginAudioProcessor processor;
    restore (processor, document (children));

    for (int pad = 0; pad < 12; ++pad)
        EXPECT_EQ (processor.parameterModel.getPad (pad).pitch, pad);
    EXPECT_EQ (processor.parameterModel.getLastDirectory(), "/found");
}

TEST (StateReading, LastDirectoryIsFoundByNameIgnoringCase)
{
    struct Case
    {
        std::string children;
        std::string expected;
    };
    const Case cases[] = {
        { "<lastdirectory>/lower</lastdirectory>", "/lower" },
        { "<LastDirectory></LastDirectory>", "" },
        { "<LastDirectory/>", "" },
        { "<DrumPad/>", "/before" },
        { "<LastDirectory>/a/caf&#233;&amp;<i>/deeper</i></LastDirectory><LastDirectory>/second</LastDirectory>",
          "/a/caf\xC3\xA9&/deeper" },
    };

    for (const auto& c : cases)
    {
        BolvanePluginAudioProcessor processor;
        processor.parameterModel.setLastDirectory ("/before");
        restore (processor, document (c.children));
        EXPECT_EQ (processor.parameterModel.getLastDirectory(), c.expected) << c.children;
    }
}

// A restore either applies what is valid or nothing; it never crashes, hangs or grows without bound.
TEST (StateReading, TextsTheReaderRefusesChangeNothing)
{
    const std::string valid = document ("<DrumPad Pitch=\"5\"/><LastDirectory>/changed</LastDirectory>");
    std::string deep = "<BolvaneState><DrumPad Pitch=\"5\"/>";
    for (int i = 0; i < 100000; ++i)
        deep += "<a>";
    std::string manyChildren = "<BolvaneState>";
    for (int i = 0; i < 5000; ++i)
        manyChildren += "<DrumPad Pitch=\"5\"/>";
    manyChildren += "</BolvaneState>";

    const std::pair<const char*, std::string> cases[] = {
        { "empty", "" },
        { "not XML", "Pitch=5" },
        { "truncated", valid.substr (0, valid.size() / 2) },
        { "unclosed root", "<BolvaneState><DrumPad Pitch=\"5\"/>" },
        { "DTD", "<!DOCTYPE s [<!ENTITY e \"x\">]><BolvaneState><DrumPad Pitch=\"5\"/></BolvaneState>" },
        { "100000 levels deep", deep },
        { "5000 children", manyChildren },
        { "a megabyte of lone ampersands",
          "<BolvaneState><DrumPad Pitch=\"5\"/>" + std::string (1 << 20, '&') + "</BolvaneState>" },
        { "over a megabyte", document ("<DrumPad Pitch=\"5\"/><!--" + std::string (1 << 20, ' ') + "-->") },
        // The reader loops for ever on these, or reads past the text's end.
        { "an instruction followed by text", "<BolvaneState><DrumPad Pitch=\"5\"/><?pi?>text</BolvaneState>" },
        { "a reference ending the text", "<BolvaneState><DrumPad Pitch=\"5\"/>&#x41" },
        { "markup in an unknown reference", "<BolvaneState><DrumPad Pitch=\"5\"/>&<a b='&#x41;</BolvaneState>" },
    };

    for (const auto& [what, text] : cases)
    {
        BolvanePluginAudioProcessor processor;
        setAllPadsToOne (processor.parameterModel);
        const std::string before = savedState (processor);
        restore (processor, text);
        EXPECT_EQ (savedState (processor), before) << what;
    }
}

TEST (StateReading, NestingWellBeyondAStateIsStillRead)
{
    std::string children = "<DrumPad Pitch=\"5\">";
    for (int i = 0; i < 200; ++i)
        children += "<a>";
    for (int i = 0; i < 200; ++i)
        children += "</a>";
    children += "</DrumPad>";

    BolvanePluginAudioProcessor processor;
    restore (processor, document (children));
    EXPECT_EQ (processor.parameterModel.getPad (0).pitch, 5);
}

TEST (StateReading, IllFormedUtf8BecomesReplacementCharactersAndTheRestApplies)
{
    struct Case
    {
        std::string bytes;
        std::string decoded;
    };
    // One U+FFFD per maximal ill-formed subpart.
    const Case cases[] = {
        { "\xBC", replacement },                                     // a lone continuation byte, never '<'
        { "\xC0\xBC", replacement + replacement },                   // an overlong '<'
        { "\xE2\x82", replacement },                                 // a sequence cut short
        { "\xED\xA0\x80", replacement + replacement + replacement }, // a surrogate
        { "\xF4\x90\x80\x80", replacement + replacement + replacement + replacement }, // beyond U+10FFFF
        { "\xE9t\xE9", replacement + "t" + replacement },                              // Latin-1
        { "\xE2\x82\xAC", "\xE2\x82\xAC" },                                            // a well-formed euro sign stays
    };

    for (const auto& c : cases)
    {
        BolvanePluginAudioProcessor processor;
        restore (processor, document ("<DrumPad SamplePath=\"/p/" + c.bytes + "\" Pitch=\"4\"/>"));
        EXPECT_EQ (processor.parameterModel.getPad (0).samplePath, "/p/" + c.decoded);
        EXPECT_EQ (processor.parameterModel.getPad (0).pitch, 4);
    }
}

TEST (StateReading, TheHostsBytesAreReadUpToTheFirstZeroByteOrTheirSize)
{
    const std::string text = document ("<DrumPad Pitch=\"5\"/>");
    std::string withTrailer = text;
    withTrailer += '\0';
    withTrailer += "<garbage";
    std::string cutByZero = text;
    cutByZero[20] = '\0';

    struct Case
    {
        const char* what;
        const void* data;
        int size;
        int expectedPitch;
        std::string loggedText;
    };
    const Case cases[] = {
        { "size 0", text.data(), 0, 1, "" },
        { "negative size", text.data(), -5, 1, "" },
        { "no data", nullptr, 100, 1, "" },
        { "zero byte after the text", withTrailer.data(), static_cast<int> (withTrailer.size()), 5, text },
        { "zero byte inside the text", cutByZero.data(), static_cast<int> (cutByZero.size()), 1, text.substr (0, 20) },
        { "size short of the text", text.data(), 30, 1, text.substr (0, 30) },
    };

    for (const auto& c : cases)
    {
        BolvanePluginAudioProcessor processor;
        setAllPadsToOne (processor.parameterModel);
        const std::string logBefore = testing_support::readLog();

        processor.setStateInformation (c.data, c.size);

        EXPECT_EQ (processor.parameterModel.getPad (0).pitch, c.expectedPitch) << c.what;
        EXPECT_EQ (testing_support::readLog().substr (logBefore.size()),
                   "Setting state information:\n" + c.loggedText + "\n")
            << c.what;
    }
}

// These need SampleBufferHandler::loadSample to decode files.
TEST (StateRestoreLoadsSamples, EveryNamedSampleIsLoadedFirstAndTheRowsFollow)
{
    testing_support::TempFolder folder;
    const auto file = folder.file ("kick.wav");
    ASSERT_TRUE (
        testing_support::writeSampleFile (file, testing_support::Format::wav, { { 0.5f, 0.25f, 0.0f } }, 44100.0, 16));
    const std::string path = file.getFullPathName().toStdString();

    BolvanePluginAudioProcessor processor;
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditor());
    restore (processor, document ("<DrumPad SamplePath=\"" + path + "\" Pitch=\"4\"/><DrumPad/><DrumPad SamplePath=\"" +
                                  path + "\"/><DrumPad SamplePath=\"/nowhere.wav\"/>"));

    for (const int pad : { 0, 2 })
    {
        const auto* entry = processor.audioRenderer.pads[(size_t) pad].buffer.load();
        ASSERT_NE (entry, nullptr);
        EXPECT_EQ (entry->buffer.getNumSamples(), 3) << pad;
        EXPECT_TRUE (processor.editorWrapper.sampleLoaded[(size_t) pad].load()) << pad;
    }
    EXPECT_EQ (processor.audioRenderer.pads[3].buffer.load()->buffer.getNumSamples(), 0);
    EXPECT_FALSE (processor.editorWrapper.sampleLoaded[3].load());

    const std::string log = testing_support::readLog();
    EXPECT_NE (log.find ("Loaded sample " + path + " for pad 0 with sequenceNo 2\n"), std::string::npos);
    EXPECT_NE (log.find ("Loaded sample " + path + " for pad 2 with sequenceNo 2\n"), std::string::npos);
    EXPECT_NE (log.find ("Failed to load sample /nowhere.wav for pad 3 with sequenceNo 2\n"), std::string::npos);
    EXPECT_LT (log.find ("for pad 0 with sequenceNo 2"), log.find ("for pad 2 with sequenceNo 2"));

    // Restoring the same path loads it again.
    restore (processor, document ("<DrumPad SamplePath=\"" + path + "\"/>"));
    EXPECT_EQ (processor.audioRenderer.pads[0].buffer.load()->sequenceNo, 3);
    editor.reset();
}
