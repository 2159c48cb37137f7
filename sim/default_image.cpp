#include "default_image.h"

#include <initializer_list>

namespace kesto::sim {

namespace {

void put(ConfigImage &image, int first, std::initializer_list<int> values)
{
    int a = first;
    for (int v : values) {
        image.set(a++, v);
    }
}

void fill(ConfigImage &image, int first, int last, int value)
{
    for (int a = first; a <= last; ++a) {
        image.set(a, value);
    }
}

constexpr std::initializer_list<int> kThrottleAxis = {0, 6, 13, 20, 33, 47, 60, 73};

} // namespace

ConfigImage buildDefaultImage()
{
    ConfigImage m;
    fill(m, 0, kImageSize - 1, 255);

    // TPS calibration: raw sensor readings for 0 % and 100 %.
    put(m, 0, {18, 230});

    // Main options, addresses 2..19: 17" 235/45 tyres, final drive 3.9, 12 pulses, 6 cylinders,
    // delays 1000 ms, full throttle from 95 %, lockup from 3rd gear, 5 gears, 2 s lockup delay,
    // rpm factor 100.0, speed scale L 10.
    put(m, 2, {17, 47, 45, 39, 12, 6, 100, 100, 95, 3, 5, 2, 0, 0, 100, 0, 10, 0});

    // Shift maps 1-2 .. 5-6: throttle axis, upshift speeds, downshift speeds.
    const std::initializer_list<int> up[5] = {
        {14, 14, 14, 14, 20, 32, 42, 50},     {24, 25, 27, 30, 39, 58, 77, 93},
        {44, 44, 44, 47, 66, 93, 119, 143},   {60, 62, 66, 72, 90, 125, 150, 170},
        {80, 82, 88, 95, 115, 150, 175, 195},
    };
    const std::initializer_list<int> down[5] = {
        {5, 5, 6, 8, 15, 26, 38, 45},         {19, 20, 22, 26, 32, 51, 69, 80},
        {34, 34, 34, 36, 59, 89, 111, 131},   {50, 52, 55, 60, 80, 115, 140, 155},
        {70, 72, 76, 84, 100, 138, 160, 180},
    };
    for (int map = 0; map < 5; ++map) {
        const int base = 20 + 24 * map;
        put(m, base, kThrottleAxis);
        put(m, base + 8, up[map]);
        put(m, base + 16, down[map]);
    }

    // Full throttle: upshift rpm in steps of 50 (6000, 6200, 6400...), kickdown speeds.
    put(m, 140, {120, 124, 128, 128, 128, 50, 120, 170, 170, 170});

    // SLT and SLN maps: throttle axis, then 100 - pressure %.
    put(m, 155, kThrottleAxis);
    put(m, 163, {2, 22, 35, 48, 70, 90, 100, 100});
    put(m, 195, kThrottleAxis);
    put(m, 203, {2, 22, 35, 48, 80, 90, 100, 100});

    // Lockup map and its SLU levels.
    put(m, 171, kThrottleAxis);
    put(m, 179, {48, 49, 51, 55, 71, 110, 255, 255});
    put(m, 187, {44, 45, 47, 49, 58, 81, 255, 255});
    put(m, 327, {100, 100, 150, 150, 200, 200, 255, 255});

    // Main options 211..259.
    put(m, 211, {1, 1, 1, 1, 1, 1, 0, 2, 3, 0, 0, 0, 0, 10, 0, 100, 0, 0, 0, 0});
    put(m, 231, {105, 95, 0, 0, 1, 0, 0, 0, 0, 50, 0, 0, 0, 0, 0, 0, 10, 128, 5, 0});
    // Solenoid patterns (PN/R, D1/D2, D3/D4, D5/D6), delay 300 ms, PWM 50/40/60 %.
    put(m, 251, {0x21, 0x31, 0x42, 0x0C, 30, 127, 0, 102, 153});

    // AWD table, column by column (speed 0, 30, 60, 90, 120 km/h; throttle 0..100 %).
    put(m, 260, {0,  30, 50, 70, 90, 0,  25, 40, 60, 80, 0,  20, 30,
                 50, 70, 0,  0,  25, 40, 60, 0,  0,  20, 30, 50});

    // Temperature sensor: degrees at 0.00, 0.31 ... 4.65, 5.00 V (negative as value + 255).
    put(m, 285, {150, 140, 120, 105, 95, 85, 76, 68, 60, 52, 44, 35, 26, 15, 2, 240, 215});

    // Last-gear lockup map and its SLU levels.
    put(m, 302, kThrottleAxis);
    put(m, 310, {70, 72, 75, 80, 95, 130, 255, 255});
    put(m, 318, {65, 67, 70, 74, 85, 110, 255, 255});
    put(m, 335, {100, 150, 150, 200, 200, 255, 255, 255});

    // Separate lock for the last gear.
    m.set(326, 1);

    // Main options 343..379: flex lockup, delays, selector inputs (L, 2, P, R, BTN, SU, SM, SD).
    put(m, 343, {1, 5, 0, 20, 50, 0, 50, 0, 0, 0, 0, 4, 8, 16, 2, 1, 128, 32, 64, 0});
    put(m, 363, {0, 0, 30, 30, 0, 0, 16, 0, 0, 10, 20, 0, 0, 0, 30, 0, 0});

    // A650 shift options (design defaults), then main options 606..616, A650 flag 617,
    // main options 618..622.
    put(m, 580, {20, 100, 80, 130, 212, 78, 130, 78, 117});
    put(m, 589, {120, 135, 150, 165, 190, 200, 210, 220});
    put(m, 597, {110, 114, 116, 118, 120, 122, 124, 130});
    m.set(605, 225);
    put(m, 606, {240, 0, 0, 0, 0, 1, 20, 1, 10, 20, 0});
    m.set(617, 0);
    put(m, 618, {0, 0, 10, 3, 1});

    return m;
}

} // namespace kesto::sim
