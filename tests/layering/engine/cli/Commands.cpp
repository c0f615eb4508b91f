// Reaches below the library into the engine.
#include "engine/CCalcNWay.h"
