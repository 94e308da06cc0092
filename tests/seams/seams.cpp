#include "seams/seams.h"

#include "platform/clock_seam.h"
#include "platform/keys_seam.h"

void setKeySource(bool (*down)(int), bool (*focused)()) {
    keySource = down != nullptr ? KeySource{down, focused} : kPortKeySource;
}

void setClockSource(double (*source)()) {
    clockSource = source != nullptr ? source : portClockMs;
}
