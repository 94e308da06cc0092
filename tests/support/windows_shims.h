#pragma once
// Force-included in the Windows test programs: the system headers tamed before any test sees them
// (they define near, far, min and max as macros, which are ordinary names in our tests).
#define NOMINMAX
#include <windows.h>
#undef near
#undef far
