#pragma once
// Where clockMs gets its milliseconds: the port's clock counted from start-up, or a test's clock
// put in its place (and portClockMs put back after).
double portClockMs();
extern double (*clockSource)();
