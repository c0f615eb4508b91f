#pragma once
// A model header reaching up into the desktop program: the layer check must refuse it.
#include "app/modMain.h"
