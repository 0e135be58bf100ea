#pragma once

#include <cstdint>

class AudioRenderer;
class ParameterModel;

// Turns a pad's model settings into engine values and stores them, one atomic field at a time,
// into the pad's record in the renderer. Keeps the solo mask for the audibility rule. Called by
// ParameterModel with the model's lock held.
class ParameterTranslator
{
public:
    ParameterTranslator (AudioRenderer& renderer, ParameterModel& model);

    void updateGain (int pad);
    void updateSoloed (int pad);
    void updatePitch (int pad);
    void updateDecay (int pad);
    void updatePan (int pad);
    void updateCutGroup (int pad);
    void updateOutput (int pad);

    uint32_t getSoloMask() const { return soloMask; }

private:
    AudioRenderer& renderer;
    ParameterModel& model;

    // Bit k set while pad k is soloed.
    uint32_t soloMask = 0;
};
