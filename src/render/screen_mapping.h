#pragma once
// Game coordinates (pixels of the configured resolution, y downward) to the view box.

// xScale and yScale of displayMode become 1/gcd(width, height).
void computeScreenMapping();
double mapX(double x);
double mapY(double y);
// Emits the two vertices of one segment; the caller opens and closes the GL_LINES block.
void drawSegment(double x1, double y1, double x2, double y2, double z);
