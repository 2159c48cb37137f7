#pragma once

#include "config/config_image.h"

#include <QList>

namespace kesto::sim {

// What one live data answer carries, in answer order.
struct LiveValues
{
    int rpm = 0;
    int speed = 0;     // km/h
    int tps = 0;       // %
    int gear = 7;      // 1..6, 7 park/neutral, 8 reverse
    int selector = 6;  // 1 L, 2, 3, 4 D, 5 R, 6 P/N
    int driveMode = 1; // 1 automatic, 0 manual
    int slt = 0;       // solenoid drives, raw 0..255
    int sln = 0;
    int lockup = 0;  // 0 open, 1 locked, or the flex level 100/150/200
    int oilTemp = 0; // degrees Celsius
    int power = 0;
    int snow = 0;
    int slc = 0;
    int slu = 0;
    int boot = 0;
};

// One gear change, as the controller reports it in its shift log.
struct ShiftEvent
{
    int gear;
    int reason; // 0..11
    int parameter;
    int speed;
    int rpm;
    int tps;
};

// A small car behind the controller. Out of emulation it drives a fixed 60-second cycle (park,
// drive off, cruise, kickdown, coast, brake, park); in emulation the host's emulated inputs set
// selector, throttle, rpm and speed. Either way the gear follows the shift maps of the memory
// it reads, so the same inputs and the same memory always give the same answers.
class VehicleModel
{
public:
    static constexpr int kCycleMs = 60000;
    static constexpr int kStepMs = 100;
    static constexpr int kTpsStep = 5;
    static constexpr int kRpmStep = 250;
    static constexpr int kSpeedStep = 5;
    static constexpr int kStartOilTemp = 30;

    VehicleModel(const ConfigImage &memory, int gearCount);

    void reset();
    void setGearCount(int gears) { m_gears = gears; }

    // Simulated time passes in steps of at most kStepMs.
    void advance(int ms);
    const LiveValues &values() const { return m_values; }
    // Shift events since the last call.
    QList<ShiftEvent> takeShiftEvents();

    // Emulation: inputs come from the host while it is on.
    void setEmulating(bool on);
    bool isEmulating() const { return m_emulating; }
    void emulateSelector(int selector); // 1..6
    void emulateShiftMode();            // automatic <-> manual
    void emulateGearUp();
    void emulateGearDown();
    void emulateTps(int delta);   // 0 delta: zero
    void emulateRpm(int delta);   // 0 delta: zero
    void emulateSpeed(int delta); // 0 delta: zero

    // The 0..100 % throttle as a raw sensor reading by the TPS calibration bytes.
    int rawTps() const;
    // The oil temperature as sensor volts x 100 by the temperature calibration, and the row of
    // the calibration it falls in.
    int sensorCentivolts(int *row = nullptr) const;

private:
    struct Phase
    {
        int untilMs;
        int selector;
        int tps;
        bool brake;
    };
    static const Phase &phaseAt(int cycleMs);

    void step(int ms);
    void driveCycleInputs(int ms);
    void changeSelector(int selector);
    void shiftTo(int gear, int reason, int parameter);
    void chooseGear();
    int highestGear() const;
    int mapValue(int base, int column, int tps) const;
    int shiftUpSpeed(int gear) const;
    int shiftDownSpeed(int gear) const;
    void updateRpm();
    void updateOutputs();
    int byte(int address) const { return m_memory.at(address); }

    const ConfigImage &m_memory;
    int m_gears;
    LiveValues m_values;
    double m_speed = 0; // exact speed for the physics
    double m_oilTemp = kStartOilTemp;
    int m_cycleMs = 0;
    int m_sinceShiftMs = 0;
    bool m_locked = false;
    bool m_kickdownArmed = true;
    bool m_emulating = false;
    QList<ShiftEvent> m_events;
};

} // namespace kesto::sim
