#include "TestSupport.h"

#include "engine/Shared.h"

#include <fstream>
#include <sstream>

namespace testing_support
{
TempFolder::TempFolder()
    : folder (
          juce::File::getSpecialLocation (juce::File::userHomeDirectory)
              .getChildFile ("qm70-test-" + juce::String::toHexString (juce::Random::getSystemRandom().nextInt64())))
{
    folder.deleteRecursively();
    folder.createDirectory();
}

TempFolder::~TempFolder()
{
    folder.deleteRecursively();
}

bool writeSampleFile (const juce::File& file,
                      Format format,
                      const std::vector<std::vector<float>>& channels,
                      double sampleRate,
                      int bitsPerSample)
{
    std::unique_ptr<juce::AudioFormat> audioFormat;
    switch (format)
    {
        case Format::wav: audioFormat = std::make_unique<juce::WavAudioFormat>(); break;
        case Format::aiff: audioFormat = std::make_unique<juce::AiffAudioFormat>(); break;
        case Format::flac: audioFormat = std::make_unique<juce::FlacAudioFormat>(); break;
        case Format::ogg: audioFormat = std::make_unique<juce::OggVorbisAudioFormat>(); break;
    }

    file.deleteFile();
    auto stream = std::make_unique<juce::FileOutputStream> (file);
    if (! stream->openedOk())
        return false;

    const int numChannels = (int) channels.size();
    const int numSamples = numChannels > 0 ? (int) channels[0].size() : 0;
    const int quality = format == Format::ogg ? 8 : 0;
    std::unique_ptr<juce::AudioFormatWriter> writer (audioFormat->createWriterFor (
        stream.get(), sampleRate, (unsigned int) numChannels, bitsPerSample, {}, quality));
    if (writer == nullptr)
        return false;
    stream.release(); // the writer owns it now

    std::vector<const float*> pointers;
    for (const auto& channel : channels)
        pointers.push_back (channel.data());

    return writer->writeFromFloatArrays (pointers.data(), numChannels, numSamples);
}

std::string readLog()
{
    {
        const std::lock_guard<std::mutex> lock (loggerMutex);
        logger.flush();
    }
    const juce::File file (juce::SystemStats::getEnvironmentVariable ("HOME", {}) + juce::String (LOG_FILENAME));
    std::ifstream in (file.getFullPathName().toStdString(), std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

std::vector<std::string> readLogLines()
{
    std::vector<std::string> lines;
    std::stringstream content (readLog());
    for (std::string line; std::getline (content, line);)
        lines.push_back (line);
    return lines;
}

void runMessageLoop (int milliseconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}
} // namespace testing_support
