#include "SampleBufferHandler.h"

#include "AudioRenderer.h"
#include "EditorWrapper.h"

SampleBufferHandler::SampleBufferHandler (EditorWrapper& editorWrapperToUse, AudioRenderer& audioRendererToUse)
    : sampleBuffers ((size_t) AudioRenderer::numPads),
      editorWrapper (editorWrapperToUse),
      audioRenderer (audioRendererToUse)
{
    for (size_t pad = 0; pad < sampleBuffers.size(); ++pad)
    {
        auto& entry = sampleBuffers[pad].emplace_back();
        entry.buffer.setSize (2, 0);
        audioRenderer.pads[pad].buffer.store (&entry, std::memory_order_release);
    }
}

SampleBufferHandler::~SampleBufferHandler() = default;

void SampleBufferHandler::loadSample (int, const std::string&) {}

void SampleBufferHandler::freeUnusedEntries() {}
