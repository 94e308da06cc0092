#pragma once
// The ship's outline points: angle from the nose in multiples of pi, distance as a fraction
// of shipScale. P0 is the nose (and the muzzle), P13 the tail ring's centre.
// The desktop icon is drawn from this same table at build time, so it always shows this ship.
struct ShipPoint {
    double theta;
    double r;
};
inline constexpr int kShipPointCount = 14;
inline constexpr ShipPoint kShipPoints[kShipPointCount] = {
    {0, 1.0 / 20},     {0.2, 1.0 / 65},   {1.8, 1.0 / 65},   {0.5, 1.0 / 60},   {1.5, 1.0 / 60},
    {0.625, 1.0 / 30}, {1.375, 1.0 / 30}, {0.62, 1.0 / 27},  {1.38, 1.0 / 27},  {0.74, 1.0 / 20},
    {1.26, 1.0 / 20},  {0.43, 1.0 / 27},  {1.57, 1.0 / 27},  {1, 1.0 / 350},
};
