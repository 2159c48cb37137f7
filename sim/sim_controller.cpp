#include "sim_controller.h"

#include "default_image.h"

#include <QFile>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace kesto::sim {

namespace {

constexpr int kLastAddress = kImageSize - 1;
constexpr int kLastPage = kImageSize - kPageSize;

// Decimal numbers separated by commas, nothing else: no signs, no blanks, no empty fields.
bool parseNumbers(const QByteArray &text, QList<int> &numbers)
{
    numbers.clear();
    for (const QByteArray &part : text.split(',')) {
        if (part.isEmpty() || part.size() > 6) {
            return false;
        }
        int value = 0;
        for (char c : part) {
            if (c < '0' || c > '9') {
                return false;
            }
            value = value * 10 + (c - '0');
        }
        numbers.append(value);
    }
    return true;
}

QByteArray joined(const QList<int> &values)
{
    QByteArray text;
    for (int v : values) {
        if (!text.isEmpty()) {
            text += ',';
        }
        text += QByteArray::number(v);
    }
    return text;
}

QString printable(const QByteArray &bytes)
{
    QString text;
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 32 && u < 127) {
            text += QLatin1Char(c);
        } else {
            text += QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
        }
    }
    return text;
}

} // namespace

SimController::SimController(const SimOptions &options, QObject *parent)
    : QObject(parent), m_options(options), m_memory(buildDefaultImage()),
      m_model(m_memory, options.gears), m_random(options.seed), m_modelTimer(new QTimer(this)),
      m_deliveryTimer(new QTimer(this)), m_rebootTimer(new QTimer(this))
{
    m_clock.start();
    m_deliveryTimer->setSingleShot(true);
    m_deliveryTimer->setTimerType(Qt::PreciseTimer);
    connect(m_deliveryTimer, &QTimer::timeout, this, &SimController::deliverPending);
    m_rebootTimer->setSingleShot(true);
    connect(m_rebootTimer, &QTimer::timeout, this, &SimController::finishReboot);
    connect(m_modelTimer, &QTimer::timeout, this, [this] { advanceModel(m_options.modelTickMs); });
    if (m_options.modelTickMs > 0) {
        m_modelTimer->start(m_options.modelTickMs);
    }
    if (!m_options.logFile.isEmpty()) {
        m_log = std::make_unique<QFile>(m_options.logFile);
        if (!m_log->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            qWarning("kesto-sim: cannot write the log %s: %s", qPrintable(m_options.logFile),
                     qPrintable(m_log->errorString()));
            m_log.reset();
        }
    }
}

SimController::~SimController() = default;

ConfigImage SimController::defaultImage()
{
    return buildDefaultImage();
}

void SimController::setSilent(bool silent)
{
    m_silent = silent;
    if (silent) {
        m_outQueue.clear();
        m_deliveryTimer->stop();
    }
}

void SimController::resetLine()
{
    m_input.clear();
    m_outQueue.clear();
    m_deliveryTimer->stop();
}

void SimController::feed(const QByteArray &bytes)
{
    qsizetype from = 0;
    while (from < bytes.size()) {
        const qsizetype tilde = bytes.indexOf('~', from);
        if (tilde < 0) {
            m_input += bytes.mid(from);
            if (m_input.size() > kMaxCommandLength) {
                reject(
                    m_input.left(40),
                    QStringLiteral("no \"~\" within %1 bytes, discarded").arg(kMaxCommandLength));
                m_input.clear();
            }
            return;
        }
        m_input += bytes.mid(from, tilde - from + 1);
        from = tilde + 1;
        QByteArray command;
        command.swap(m_input);
        handleCommand(command);
    }
}

void SimController::advanceModel(int ms)
{
    if (m_rebooting || ms <= 0) {
        return;
    }
    m_model.setGearCount(m_options.gears);
    m_model.advance(ms);
    sendShiftEvents();
}

void SimController::reject(const QByteArray &command, const QString &reason)
{
    logLine('!', command, reason);
    emit commandRejected(command, reason);
}

void SimController::handleCommand(const QByteArray &command)
{
    m_received.append(command);
    logLine('>', command);
    if (m_rebooting) {
        reject(command, QStringLiteral("rebooting"));
        return;
    }

    QByteArray body = command.chopped(1);
    // A stray line break or blank in front of a command is line noise, not part of it.
    qsizetype start = 0;
    while (start < body.size() && static_cast<unsigned char>(body.at(start)) <= 32) {
        ++start;
    }
    body = body.mid(start);

    // Commands without arguments.
    if (body == "q1") {
        QByteArray z1 = m_options.version.toLatin1() + ',' + QByteArray::number(m_options.serial);
        if (m_options.build >= 0) {
            z1 += ',' + QByteArray::number(m_options.build);
        }
        answer("z1", z1);
        answer("z2",
               QByteArray::number(m_options.gears) + ',' + QByteArray::number(m_options.warn));
        answer("z3", joined(m_options.features));
        return;
    }
    if (body == "getver") {
        if (m_options.answerVe) {
            answer("ve", {});
        }
        return;
    }
    if (body == "q2") {
        sendLiveData();
        return;
    }
    if (body == "er") {
        answer("er", {});
        return;
    }
    if (body == "w5") {
        answer("x6", QByteArray::number(m_model.values().tps) + ',' +
                         QByteArray::number(m_model.rawTps()));
        return;
    }
    if (body == "r8") {
        int row = 0;
        const int centivolts = m_model.sensorCentivolts(&row);
        answer("r9", QByteArray::number(centivolts) + ',' + QByteArray::number(row));
        return;
    }
    if (body == "r5") {
        QByteArray payload;
        answerBytes(285, 301, payload);
        answer("EF", payload);
        return;
    }
    if (body == "n91" || body == "n90") {
        m_model.takeShiftEvents(); // the log starts with the next shift
        m_shiftLog = body == "n91";
        return;
    }
    if (body == "m1" || body == "m2") {
        m_model.setEmulating(body == "m1");
        return;
    }
    if (body == "w1" || body == "w2" || body == "w4" || body == "q7") {
        return; // navigation notices: nothing to do
    }

    // Emulated inputs.
    using Emulation = void (*)(VehicleModel &);
    static const struct
    {
        const char *name;
        Emulation apply;
    } kEmulation[] = {
        {"n61", [](VehicleModel &m) { m.emulateSelector(1); }},
        {"n62", [](VehicleModel &m) { m.emulateSelector(2); }},
        {"n63", [](VehicleModel &m) { m.emulateSelector(3); }},
        {"n64", [](VehicleModel &m) { m.emulateSelector(4); }},
        {"n65", [](VehicleModel &m) { m.emulateSelector(5); }},
        {"n66", [](VehicleModel &m) { m.emulateSelector(6); }},
        {"n5", [](VehicleModel &m) { m.emulateShiftMode(); }},
        {"n3", [](VehicleModel &m) { m.emulateGearUp(); }},
        {"n4", [](VehicleModel &m) { m.emulateGearDown(); }},
        {"m9", [](VehicleModel &m) { m.emulateTps(VehicleModel::kTpsStep); }},
        {"n1", [](VehicleModel &m) { m.emulateTps(-VehicleModel::kTpsStep); }},
        {"n2", [](VehicleModel &m) { m.emulateTps(0); }},
        {"m3", [](VehicleModel &m) { m.emulateRpm(VehicleModel::kRpmStep); }},
        {"m4", [](VehicleModel &m) { m.emulateRpm(-VehicleModel::kRpmStep); }},
        {"m5", [](VehicleModel &m) { m.emulateRpm(0); }},
        {"m6", [](VehicleModel &m) { m.emulateSpeed(VehicleModel::kSpeedStep); }},
        {"m7", [](VehicleModel &m) { m.emulateSpeed(-VehicleModel::kSpeedStep); }},
        {"m8", [](VehicleModel &m) { m.emulateSpeed(0); }},
    };
    for (const auto &e : kEmulation) {
        if (body == e.name) {
            if (!m_model.isEmulating()) {
                reject(command, QStringLiteral("emulated input while emulation is off"));
                return;
            }
            e.apply(m_model);
            sendShiftEvents();
            return;
        }
    }

    // Commands with numbers.
    QList<int> n;
    const auto numbersAfter = [&](int prefixLength) {
        return parseNumbers(body.mid(prefixLength), n);
    };
    if (body.startsWith("ee,")) {
        if (!numbersAfter(3) || n.size() < 3 || n.size() % 2 == 0) {
            reject(command, QStringLiteral("read request needs a type code and address pairs"));
            return;
        }
        const int code = n.at(0);
        const bool typeOk = (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z') ||
                            (code >= 'a' && code <= 'z');
        if (!typeOk) {
            reject(command, QStringLiteral("no answer type for code %1").arg(code));
            return;
        }
        QByteArray payload;
        for (int i = 1; i < n.size(); i += 2) {
            if (n.at(i) > n.at(i + 1) || n.at(i + 1) > kLastAddress) {
                reject(command, QStringLiteral("address range %1..%2 outside 0..699")
                                    .arg(n.at(i))
                                    .arg(n.at(i + 1)));
                return;
            }
            answerBytes(n.at(i), n.at(i + 1), payload);
        }
        answer(QByteArray("E") + char(code), payload);
        return;
    }

    const auto store = [&](int first, const QList<int> &values) {
        bool clipped = false;
        for (int i = 0; i < values.size(); ++i) {
            clipped = clipped || values.at(i) > 255;
            m_memory.set(first + i, values.at(i) & 0xFF);
        }
        if (clipped) {
            logLine('!', command,
                    QStringLiteral("values above 255 stored as their low eight bits"));
        }
    };

    if (body.startsWith("k1,")) {
        if (!numbersAfter(3) || n.size() < 2) {
            reject(command, QStringLiteral("write needs an address and values"));
            return;
        }
        const int first = n.takeFirst();
        if (first + n.size() - 1 > kLastAddress) {
            reject(command, QStringLiteral("write past address 699"));
            return;
        }
        store(first, n);
        return;
    }
    if (body.startsWith("ss")) {
        if (!numbersAfter(2) || n.size() < 3) {
            reject(command, QStringLiteral("options block needs an index, an address and values"));
            return;
        }
        const int index = n.takeFirst();
        const int first = n.takeFirst();
        if (first + n.size() - 1 > kLastAddress) {
            reject(command, QStringLiteral("options block past address 699"));
            return;
        }
        store(first, n);
        answer("ss", QByteArray::number(index) + ',' + QByteArray::number(first) + ',' +
                         QByteArray::number(n.size()));
        return;
    }
    if (body.startsWith("EG")) {
        if (!numbersAfter(2) || n.size() != 1 || n.at(0) > kLastPage) {
            reject(command, QStringLiteral("page read needs one address 0..690"));
            return;
        }
        QByteArray payload = QByteArray::number(n.at(0));
        answerBytes(n.at(0), n.at(0) + kPageSize - 1, payload);
        answer("EG", payload);
        return;
    }
    if (body.startsWith("EH")) {
        if (!numbersAfter(2) || n.size() != 1 + kPageSize || n.at(0) > kLastPage) {
            reject(command, QStringLiteral("page write needs an address 0..690 and ten values"));
            return;
        }
        const int first = n.takeFirst();
        store(first, n);
        const int next = first + kPageSize;
        answer("EH", QByteArray::number(next));
        if (next >= kImageSize) {
            // The new configuration takes effect by a restart: a short silence, then a fresh car.
            m_rebooting = true;
            m_rebootTimer->start(std::max(0, m_options.rebootMs));
        }
        return;
    }

    reject(command, QStringLiteral("unknown command"));
}

void SimController::answerBytes(int first, int last, QByteArray &payload) const
{
    for (int a = first; a <= last; ++a) {
        if (!payload.isEmpty()) {
            payload += ',';
        }
        payload += QByteArray::number(m_memory.at(a));
    }
}

void SimController::sendLiveData()
{
    const LiveValues &v = m_model.values();
    answer("z4", joined({v.rpm, v.speed, v.tps, v.gear, v.selector, v.driveMode, v.slt, v.sln,
                         v.lockup, v.oilTemp, v.power, v.snow, v.slc, v.slu, v.boot}));
}

void SimController::sendShiftEvents()
{
    const QList<ShiftEvent> events = m_model.takeShiftEvents();
    if (!m_shiftLog) {
        return;
    }
    for (const ShiftEvent &e : events) {
        answer("lg", joined({e.gear, e.reason, e.parameter, e.speed, e.rpm, e.tps}));
    }
}

void SimController::finishReboot()
{
    m_rebooting = false;
    m_shiftLog = false;
    m_model.reset();
    logLine('*', "rebooted");
}

void SimController::answer(const QByteArray &type, const QByteArray &payload)
{
    const QByteArray frame = type + payload + '~';
    if (m_silent) {
        logLine('<', frame, QStringLiteral("not sent: silent"));
        return;
    }
    if (m_options.silentAfter >= 0 && m_answerCount >= m_options.silentAfter) {
        logLine('<', frame, QStringLiteral("not sent: silent after %1").arg(m_options.silentAfter));
        return;
    }
    ++m_answerCount;
    if (m_options.drop > 0 && m_random.generateDouble() < m_options.drop) {
        logLine('<', frame, QStringLiteral("dropped"));
        return;
    }
    QByteArray bytes = frame;
    QStringList faults;
    if (m_options.corrupt > 0 && m_random.generateDouble() < m_options.corrupt) {
        // One character before the "~" becomes another printable one; framing survives.
        const int pos = int(m_random.bounded(quint32(frame.size() - 1)));
        char c;
        do {
            c = char(33 + m_random.bounded(93)); // '!'..'}'
        } while (c == bytes.at(pos));
        bytes[pos] = c;
        faults << QStringLiteral("corrupted");
    }
    if (m_options.noise > 0 && m_random.generateDouble() < m_options.noise) {
        QByteArray noise;
        const int count = 1 + int(m_random.bounded(8));
        while (noise.size() < count) {
            const char c = char(1 + m_random.bounded(255));
            if (c != '~') {
                noise += c;
            }
        }
        bytes.prepend(noise);
        faults << QStringLiteral("noise in front");
    }
    logLine('<', bytes, faults.join(QStringLiteral(", ")));
    deliver(bytes);
}

void SimController::deliver(const QByteArray &bytes)
{
    if (m_options.chunk <= 0 && m_options.wireRate <= 0) {
        emit output(bytes);
        return;
    }
    if (m_outQueue.isEmpty() && m_options.wireRate > 0) {
        // A new run of bytes starts when the line is free again.
        const qint64 byteNs = 11'000'000'000LL / m_options.wireRate;
        const qint64 lineFree = m_lineStartNs + m_lineSent * byteNs;
        m_lineStartNs = std::max(m_clock.nsecsElapsed(), lineFree);
        m_lineSent = 0;
    }
    m_outQueue += bytes;
    if (!m_deliveryTimer->isActive()) {
        m_deliveryTimer->start(0);
    }
}

void SimController::deliverPending()
{
    if (m_outQueue.isEmpty()) {
        return;
    }
    qint64 n = m_outQueue.size();
    qint64 waitNs = 0;
    if (m_options.wireRate > 0) {
        // 8N2: start bit, eight data bits, two stop bits. A byte is handed over once it has
        // fully crossed the line.
        const qint64 byteNs = 11'000'000'000LL / m_options.wireRate;
        const qint64 elapsed = m_clock.nsecsElapsed() - m_lineStartNs;
        n = std::min(n, elapsed / byteNs - m_lineSent);
        waitNs = m_lineStartNs + (m_lineSent + std::max<qint64>(n, 0) + 1) * byteNs -
                 m_clock.nsecsElapsed();
    }
    if (m_options.chunk > 0) {
        n = std::min<qint64>(n, m_options.chunk);
    }
    if (n > 0) {
        const QByteArray piece = m_outQueue.left(n);
        m_outQueue.remove(0, n);
        m_lineSent += n;
        emit output(piece);
    }
    if (!m_outQueue.isEmpty()) {
        int waitMs = int((std::max<qint64>(waitNs, 0) + 999'999) / 1'000'000);
        if (m_options.chunk > 0) {
            waitMs = std::max(waitMs, kChunkGapMs);
        }
        m_deliveryTimer->start(waitMs);
    }
}

void SimController::logLine(char direction, const QByteArray &text, const QString &note)
{
    if (!m_log) {
        return;
    }
    QString line =
        QString::asprintf("%10.3f %c ", m_clock.elapsed() / 1000.0, direction) + printable(text);
    if (!note.isEmpty()) {
        line += QStringLiteral("  (") + note + QLatin1Char(')');
    }
    line += QLatin1Char('\n');
    m_log->write(line.toUtf8());
    m_log->flush();
}

} // namespace kesto::sim
