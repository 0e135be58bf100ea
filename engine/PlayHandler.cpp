#include "PlayHandler.h"

#include "AudioRenderer.h"
#include "EditorWrapper.h"

PlayHandler::PlayHandler (EditorWrapper& editorWrapperToUse, AudioRenderer& audioRendererToUse)
    : editorWrapper (editorWrapperToUse),
      audioRenderer (audioRendererToUse)
{
    startTimer (timerPeriodMs);
}

PlayHandler::~PlayHandler() = default;

void PlayHandler::playPad (int pad)
{
    // A click the renderer has not started yet is overwritten: only the last one plays.
    audioRenderer.pendingPadTrigger.store (pad, std::memory_order_seq_cst);
}

void PlayHandler::timerCallback()
{
    for (int pad = 0; pad < AudioRenderer::numPads; ++pad)
    {
        const bool lit = audioRenderer.pads[(size_t) pad].lightCounter.load (std::memory_order_seq_cst) > 0;
        editorWrapper.playingUpdated (pad, lit);
    }
}
