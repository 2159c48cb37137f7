#include "vehicle_model.h"

#include <QtGlobal>
#include <algorithm>
#include <cmath>

namespace kesto::sim {

namespace {

constexpr int kIdleRpm = 750;
constexpr int kMaxRpm = 7200;
constexpr int kMinShiftGapMs = 1000; // no hunting: one shift per second at most
constexpr double kWarmOilTemp = 88.0;
constexpr double kWarmUpMs = 90000.0; // time constant of the oil warming up

// Engine rpm per km/h in each gear (index 1..6), reverse at index 0.
constexpr int kRpmPerKmh[7] = {100, 110, 64, 43, 32, 25, 21};

// The solenoid drive for a stored percentage, rounded up so the host's integer percent of it
// gives the stored value back.
int duty(int percent)
{
    percent = std::clamp(percent, 0, 100);
    return (percent * 255 + 99) / 100;
}

int signedCalibration(int b)
{
    return b > 150 ? b - 255 : b;
}

} // namespace

VehicleModel::VehicleModel(const ConfigImage &memory, int gearCount)
    : m_memory(memory), m_gears(gearCount)
{
    reset();
}

void VehicleModel::reset()
{
    m_values = LiveValues{};
    m_speed = 0;
    m_oilTemp = kStartOilTemp;
    m_cycleMs = 0;
    m_sinceShiftMs = kMinShiftGapMs;
    m_locked = false;
    m_kickdownArmed = true;
    m_emulating = false;
    m_events.clear();
    updateRpm();
    updateOutputs();
}

const VehicleModel::Phase &VehicleModel::phaseAt(int cycleMs)
{
    static const Phase kPhases[] = {
        {3000, 6, 0, true},     // parked
        {4000, 4, 0, true},     // selector to D, still braking
        {20000, 4, 25, false},  // drive off
        {28000, 4, 10, false},  // cruise
        {34000, 4, 100, false}, // full throttle
        {44000, 4, 0, false},   // coast
        {56000, 4, 0, true},    // brake to a stop
        {kCycleMs, 6, 0, true}, // park
    };
    for (const Phase &p : kPhases) {
        if (cycleMs < p.untilMs) {
            return p;
        }
    }
    return kPhases[0];
}

void VehicleModel::advance(int ms)
{
    while (ms > 0) {
        const int s = std::min(ms, kStepMs);
        step(s);
        ms -= s;
    }
}

QList<ShiftEvent> VehicleModel::takeShiftEvents()
{
    QList<ShiftEvent> events;
    events.swap(m_events);
    return events;
}

void VehicleModel::step(int ms)
{
    m_sinceShiftMs += ms;
    if (!m_emulating) {
        driveCycleInputs(ms);
    }
    if (m_values.rpm > 0) {
        m_oilTemp += (kWarmOilTemp - m_oilTemp) * ms / kWarmUpMs;
    }
    chooseGear();
    updateRpm();
    updateOutputs();
}

void VehicleModel::driveCycleInputs(int ms)
{
    m_cycleMs = (m_cycleMs + ms) % kCycleMs;
    const Phase &phase = phaseAt(m_cycleMs);
    changeSelector(phase.selector);
    m_values.tps = phase.tps;

    const bool driving = m_values.gear >= 1 && m_values.gear <= 6;
    double accel = (driving ? 0.2 * m_values.tps : 0.0) - 0.5 - 0.015 * m_speed;
    if (phase.brake) {
        accel -= 12.0;
    }
    m_speed = std::clamp(m_speed + accel * ms / 1000.0, 0.0, 250.0);
    m_values.speed = int(std::lround(m_speed));
}

int VehicleModel::highestGear() const
{
    switch (m_values.selector) {
    case 1:
        return 1;
    case 2:
        return 2;
    case 3:
        return std::min(3, m_gears);
    default:
        return std::clamp(m_gears, 1, 6);
    }
}

void VehicleModel::changeSelector(int selector)
{
    if (selector == m_values.selector) {
        return;
    }
    m_values.selector = selector;
    if (selector == 5) {
        shiftTo(8, 8, 0);
    } else if (selector == 6) {
        shiftTo(7, 9, 0);
    } else if (m_values.gear > 6) {
        shiftTo(1, 2, 0);
    } else if (m_values.gear > highestGear()) {
        shiftTo(highestGear(), 10, selector);
    }
}

void VehicleModel::shiftTo(int gear, int reason, int parameter)
{
    if (gear == m_values.gear) {
        return;
    }
    // The report carries the conditions that made the shift, before the new gear changes them.
    m_events.append({gear, reason, parameter, m_values.speed, m_values.rpm, m_values.tps});
    m_values.gear = gear;
    m_sinceShiftMs = 0;
    m_locked = false;
    updateRpm();
}

// Linear between the rows of a throttle-indexed map; the first and last rows hold beyond it.
int VehicleModel::mapValue(int base, int column, int tps) const
{
    const int valueBase = base + 8 * column;
    if (tps <= byte(base)) {
        return byte(valueBase);
    }
    for (int i = 1; i < 8; ++i) {
        const int t0 = byte(base + i - 1);
        const int t1 = byte(base + i);
        if (tps <= t1 && t1 > t0) {
            const int v0 = byte(valueBase + i - 1);
            const int v1 = byte(valueBase + i);
            return v0 + (v1 - v0) * (tps - t0) / (t1 - t0);
        }
    }
    return byte(valueBase + 7);
}

int VehicleModel::shiftUpSpeed(int gear) const
{
    return gear >= 1 && gear <= 5 ? mapValue(20 + 24 * (gear - 1), 1, m_values.tps) : 255;
}

int VehicleModel::shiftDownSpeed(int gear) const
{
    return gear >= 2 && gear <= 6 ? mapValue(20 + 24 * (gear - 2), 2, m_values.tps) : 0;
}

void VehicleModel::chooseGear()
{
    const int g = m_values.gear;
    if (g < 1 || g > 6 || m_values.selector > 4) {
        return;
    }
    if (g > highestGear()) {
        shiftTo(highestGear(), 10, m_values.selector);
        return;
    }
    if (m_values.driveMode == 0 || m_sinceShiftMs < kMinShiftGapMs) {
        return;
    }
    const int speed = m_values.speed;
    const int fullThrottleTps = byte(10);
    const bool fullThrottle = fullThrottleTps > 0 && m_values.tps >= fullThrottleTps;
    if (!fullThrottle) {
        m_kickdownArmed = true;
    }
    if (fullThrottle) {
        // Full throttle ignores the maps: up at a fixed rpm, kickdown below a fixed speed as
        // long as the lower gear stays under its own shift rpm. Once it shifts up again the
        // kickdown waits for the pedal to come back, or the two would take turns.
        const int upRpm = byte(140 + g - 1) * 50;
        if (g < highestGear() && g <= 5 && upRpm > 0 && m_values.rpm >= upRpm) {
            m_kickdownArmed = false;
            shiftTo(g + 1, 3, upRpm);
            return;
        }
        if (g >= 2 && m_kickdownArmed) {
            const int kickdownSpeed = byte(145 + g - 2);
            const int lowerRpm = speed * kRpmPerKmh[g - 1];
            if (speed < kickdownSpeed && lowerRpm < byte(140 + g - 2) * 50 - 500) {
                shiftTo(g - 1, 7, kickdownSpeed);
            }
        }
        return;
    }
    if (g < highestGear()) {
        const int up = shiftUpSpeed(g);
        if (speed > up) {
            shiftTo(g + 1, 5, up);
            return;
        }
    }
    if (g >= 2) {
        const int down = shiftDownSpeed(g);
        if (speed < down) {
            shiftTo(g - 1, 4, down);
        }
    }
}

void VehicleModel::updateRpm()
{
    if (m_emulating) {
        return; // the emulated tacho signal is the rpm
    }
    const int g = m_values.gear;
    int rpm;
    if (g == 7) {
        rpm = kIdleRpm + 45 * m_values.tps;
    } else {
        const int ratio = g == 8 ? kRpmPerKmh[0] : kRpmPerKmh[std::clamp(g, 1, 6)];
        // The torque converter slips most when pulling away.
        const int slip = m_locked ? 0 : int((300 + 20 * m_values.tps) * 30 / (30 + m_speed));
        rpm = int(m_speed * ratio) + slip;
    }
    m_values.rpm = std::clamp(rpm, kIdleRpm, kMaxRpm);
}

void VehicleModel::updateOutputs()
{
    LiveValues &v = m_values;
    const int tps = v.tps;

    const bool invertSlt = byte(352) == 1;
    const int sltByte = mapValue(155, 1, tps);
    v.slt = byte(211) == 1 ? duty(invertSlt ? 100 - sltByte : sltByte) : 0;
    v.sln = byte(212) == 1 ? duty(mapValue(195, 1, tps)) : 0;

    if (byte(214) == 1) {
        const int column = std::clamp((v.speed + 15) / 30, 0, 4);
        const int row = std::clamp((tps + 12) / 25, 0, 4);
        v.slc = duty(byte(260 + 5 * column + row));
    } else {
        v.slc = 0;
    }

    const bool forward = v.gear >= 1 && v.gear <= 6 && v.selector <= 4;
    if (byte(213) == 1 && forward && v.gear >= byte(11)) {
        const bool lastGear = byte(326) == 1 && v.gear == m_gears;
        const int base = lastGear ? 302 : 171;
        const int levels = lastGear ? 335 : 327;
        const int lock = mapValue(base, 1, tps);
        const int unlock = mapValue(base, 2, tps);
        if (!m_locked && lock < 255 && v.speed >= lock) {
            m_locked = true;
        } else if (m_locked && v.speed < unlock) {
            m_locked = false;
        }
        int row = 0;
        for (int i = 1; i < 8; ++i) {
            if (byte(base + i) <= tps && byte(base + i) >= byte(base + row)) {
                row = i;
            }
        }
        const int level = byte(levels + row);
        const bool flex = byte(343) == 1 && level != 255;
        v.lockup = m_locked ? (flex ? level : 1) : 0;
        v.slu = m_locked ? (flex ? level : 255) : 0;
    } else {
        m_locked = false;
        v.lockup = 0;
        v.slu = 0;
    }
    v.oilTemp = int(std::lround(m_oilTemp));
}

void VehicleModel::setEmulating(bool on)
{
    if (on == m_emulating) {
        return;
    }
    m_emulating = on;
    if (!on) {
        m_cycleMs = 0; // the drive cycle starts over from the parked phase
        updateRpm();
    }
    updateOutputs();
}

void VehicleModel::emulateSelector(int selector)
{
    if (!m_emulating || selector < 1 || selector > 6) {
        return;
    }
    changeSelector(selector);
    updateOutputs();
}

void VehicleModel::emulateShiftMode()
{
    if (!m_emulating) {
        return;
    }
    m_values.driveMode = m_values.driveMode == 1 ? 0 : 1;
}

void VehicleModel::emulateGearUp()
{
    const int g = m_values.gear;
    if (m_emulating && m_values.driveMode == 0 && g >= 1 && g < highestGear()) {
        shiftTo(g + 1, 10, 0);
        updateOutputs();
    }
}

void VehicleModel::emulateGearDown()
{
    const int g = m_values.gear;
    if (m_emulating && m_values.driveMode == 0 && g >= 2 && g <= 6) {
        shiftTo(g - 1, 10, 0);
        updateOutputs();
    }
}

void VehicleModel::emulateTps(int delta)
{
    if (!m_emulating) {
        return;
    }
    m_values.tps = delta == 0 ? 0 : std::clamp(m_values.tps + delta, 0, 100);
    updateOutputs();
}

void VehicleModel::emulateRpm(int delta)
{
    if (!m_emulating) {
        return;
    }
    m_values.rpm = delta == 0 ? 0 : std::clamp(m_values.rpm + delta, 0, 8000);
}

void VehicleModel::emulateSpeed(int delta)
{
    if (!m_emulating) {
        return;
    }
    m_speed = delta == 0 ? 0 : std::clamp(m_speed + delta, 0.0, 250.0);
    m_values.speed = int(std::lround(m_speed));
    updateOutputs();
}

int VehicleModel::rawTps() const
{
    const int low = byte(0);
    const int high = byte(1);
    return low + (high - low) * m_values.tps / 100;
}

int VehicleModel::sensorCentivolts(int *row) const
{
    auto volts = [](int k) { return k < 16 ? 31 * k : 500; };
    const int t = m_values.oilTemp;
    for (int k = 0; k < 16; ++k) {
        const int t0 = signedCalibration(byte(285 + k));
        const int t1 = signedCalibration(byte(286 + k));
        if ((t <= t0 && t >= t1) || (t >= t0 && t <= t1)) {
            if (row) {
                *row = k;
            }
            if (t0 == t1) {
                return volts(k);
            }
            return volts(k) + (volts(k + 1) - volts(k)) * (t0 - t) / (t0 - t1);
        }
    }
    const bool nearFirst =
        std::abs(t - signedCalibration(byte(285))) <= std::abs(t - signedCalibration(byte(301)));
    if (row) {
        *row = nearFirst ? 0 : 16;
    }
    return nearFirst ? volts(0) : volts(16);
}

} // namespace kesto::sim
