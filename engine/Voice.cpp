#include "Voice.h"

void Voice::process (float*, float*, int) {}
