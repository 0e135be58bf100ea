#include "ParameterTranslator.h"

#include "AudioRenderer.h"
#include "ParameterModel.h"

#include <cmath>

namespace
{
constexpr double halfPi = 1.5707963267948966;
}

ParameterTranslator::ParameterTranslator (AudioRenderer& rendererToUse, ParameterModel& modelToUse)
    : renderer (rendererToUse),
      model (modelToUse)
{
}

void ParameterTranslator::updateGain (int pad)
{
    const auto& p = model.pads[(size_t) pad];
    const bool audible = p.soloed || (soloMask == 0 && ! p.muted);
    const double gain = audible ? std::pow (2.0, static_cast<double> (p.level) / 12.0) : 0.0;
    renderer.pads[(size_t) pad].gain.exchange (gain, std::memory_order_seq_cst);
}

void ParameterTranslator::updateSoloed (int pad)
{
    const uint32_t old = soloMask;
    const uint32_t bit = 1u << pad;

    if (model.pads[(size_t) pad].soloed)
        soloMask = old | bit;
    else if ((old & bit) != 0)
        soloMask = old - bit;

    // Only the first solo and the end of the last one change other pads' audibility.
    if ((old == 0) != (soloMask == 0))
    {
        for (int other = 0; other < AudioRenderer::numPads; ++other)
            updateGain (other);
    }
    else
    {
        updateGain (pad);
    }
}

void ParameterTranslator::updatePitch (int pad)
{
    const double pitch = static_cast<double> (model.pads[(size_t) pad].pitch);
    renderer.pads[(size_t) pad].pitchRatio.exchange (std::pow (2.0, pitch / 24.0), std::memory_order_seq_cst);
}

void ParameterTranslator::updateDecay (int pad)
{
    const double decay = static_cast<double> (model.pads[(size_t) pad].decay);
    const double factor = std::pow (10.0, ((std::pow (decay / 100.0, 0.25) + -1.0) * 100.0) / 5.0);
    renderer.pads[(size_t) pad].decayFactor.exchange (factor, std::memory_order_seq_cst);
}

void ParameterTranslator::updatePan (int pad)
{
    const double position = static_cast<double> (model.pads[(size_t) pad].pan + 25);
    renderer.pads[(size_t) pad].panAngle.exchange ((position / 50.0) * halfPi, std::memory_order_seq_cst);
}

void ParameterTranslator::updateCutGroup (int pad)
{
    renderer.pads[(size_t) pad].cutGroup.exchange (model.pads[(size_t) pad].cutGroup, std::memory_order_seq_cst);
}

void ParameterTranslator::updateOutput (int pad)
{
    renderer.pads[(size_t) pad].output.exchange (model.pads[(size_t) pad].output, std::memory_order_seq_cst);
}
