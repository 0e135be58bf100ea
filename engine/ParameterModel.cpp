#include "ParameterModel.h"

#include "EditorWrapper.h"
#include "ParameterTranslator.h"
#include "SampleBufferHandler.h"
#include "Shared.h"

#include <cstdlib>

namespace
{
std::string homeFolder()
{
    const char* home = std::getenv ("HOME");
    return home == nullptr ? std::string() : std::string (home);
}
} // namespace

ParameterModel::ParameterModel (EditorWrapper& editorWrapperToUse,
                                ParameterTranslator& parameterTranslatorToUse,
                                SampleBufferHandler& sampleBufferHandlerToUse)
    : editorWrapper (editorWrapperToUse),
      parameterTranslator (parameterTranslatorToUse),
      sampleBufferHandler (sampleBufferHandlerToUse),
      pads ((size_t) numPads),
      lastDirectory (homeFolder())
{
    logLine ("Constructing ParameterModel.");
}

ParameterModel::~ParameterModel()
{
    logLine ("Destroying ParameterModel.");
}

void ParameterModel::setSamplePath (int pad, const std::string& path)
{
    // Two paths set at once (a restore and a drop) must load in the order they were stored, so the
    // pad plays the path the model holds.
    const std::lock_guard<std::mutex> sampleLock (sampleMutex);
    {
        const std::lock_guard<std::mutex> lock (mutex);
        pads[(size_t) pad].samplePath = path;
    }
    // The row shows the new name while the file is read; its colour follows from the load.
    editorWrapper.updateRow (pad, EditorWrapper::RowUpdate::samplePath);
    sampleBufferHandler.loadSample (pad, path);
}

void ParameterModel::setMuted (int pad, bool muted)
{
    {
        const std::lock_guard<std::mutex> lock (mutex);
        pads[(size_t) pad].muted = muted;
        parameterTranslator.updateGain (pad);
    }
    editorWrapper.updateRow (pad, EditorWrapper::RowUpdate::muted);
}

void ParameterModel::setSoloed (int pad, bool soloed)
{
    {
        const std::lock_guard<std::mutex> lock (mutex);
        pads[(size_t) pad].soloed = soloed;
        parameterTranslator.updateSoloed (pad);
    }
    editorWrapper.updateRow (pad, EditorWrapper::RowUpdate::soloed);
}

void ParameterModel::setCutGroup (int pad, int cutGroup)
{
    const std::lock_guard<std::mutex> lock (mutex);
    pads[(size_t) pad].cutGroup = cutGroup;
    parameterTranslator.updateCutGroup (pad);
}

void ParameterModel::setPitch (int pad, int pitch)
{
    const std::lock_guard<std::mutex> lock (mutex);
    pads[(size_t) pad].pitch = pitch;
    parameterTranslator.updatePitch (pad);
}

void ParameterModel::setDecay (int pad, int decay)
{
    const std::lock_guard<std::mutex> lock (mutex);
    pads[(size_t) pad].decay = decay;
    parameterTranslator.updateDecay (pad);
}

void ParameterModel::setPan (int pad, int pan)
{
    const std::lock_guard<std::mutex> lock (mutex);
    pads[(size_t) pad].pan = pan;
    parameterTranslator.updatePan (pad);
}

void ParameterModel::setLevel (int pad, int level)
{
    const std::lock_guard<std::mutex> lock (mutex);
    pads[(size_t) pad].level = level;
    parameterTranslator.updateGain (pad);
}

void ParameterModel::setOutput (int pad, int output)
{
    const std::lock_guard<std::mutex> lock (mutex);
    pads[(size_t) pad].output = output;
    parameterTranslator.updateOutput (pad);
}

ParameterModel::DrumPadParameters ParameterModel::getPad (int pad) const
{
    const std::lock_guard<std::mutex> lock (mutex);
    return pads[(size_t) pad];
}

std::string ParameterModel::getLastDirectory() const
{
    const std::lock_guard<std::mutex> lock (mutex);
    return lastDirectory;
}

void ParameterModel::setLastDirectory (const std::string& directory)
{
    const std::lock_guard<std::mutex> lock (mutex);
    lastDirectory = directory;
}
