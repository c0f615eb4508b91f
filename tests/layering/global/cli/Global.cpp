// The command line reaching the desktop program's global objects: the layer check must refuse it.
#include "app/modMain.h"
