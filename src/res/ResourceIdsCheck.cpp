// Compiles the build-time checks of the resource identifiers.
#include "res/ResourceIdsCheck.h"
