#pragma once

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>

namespace kesto::test {

// A stand-in for the programmer: a shell script that records how it was called, copies the image
// it is asked to write, writes the log planned for its step and rate into "kestocheck" in its
// working directory, and optionally lingers (a hung programmer) before it exits.
class FakeProgrammer
{
public:
    FakeProgrammer()
    {
        m_script = m_dir.filePath(QStringLiteral("avrdude"));
        QFile f(m_script);
        f.open(QIODevice::WriteOnly);
        f.write(QByteArrayLiteral("#!/bin/sh\n"
                                  "ctl='") +
                m_dir.path().toLocal8Bit() +
                QByteArrayLiteral(
                    "'\n"
                    "printf '%s\\n' \"$PWD\" >> \"$ctl/cwd\"\n"
                    "printf '%s\\n' \"$*\" >> \"$ctl/calls\"\n"
                    "step=check\n"
                    "for a in \"$@\"; do\n"
                    "  case \"$a\" in\n"
                    "    flash:w:*) step=write; cp \"${a#flash:w:}\" \"$ctl/written.hex\" ;;\n"
                    "  esac\n"
                    "done\n"
                    "case \"$*\" in *-b57600*) baud=57600 ;; *) baud=115200 ;; esac\n"
                    "key=\"$step-$baud\"\n"
                    "[ -f \"$ctl/$key.log\" ] && cat \"$ctl/$key.log\" > kestocheck\n"
                    "[ -f \"$ctl/$key.linger\" ] && exec sleep \"$(cat \"$ctl/$key.linger\")\"\n"
                    "exit 0\n"));
        f.close();
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    QString path() const { return m_script; }

    // What the programmer writes to its log for a step ("check" or "write") at a rate.
    void plan(const QString &step, int baud, const QString &log)
    {
        writeControl(QStringLiteral("%1-%2.log").arg(step).arg(baud), log.toLocal8Bit());
    }
    void linger(const QString &step, int baud, int seconds)
    {
        writeControl(QStringLiteral("%1-%2.linger").arg(step).arg(baud),
                     QByteArray::number(seconds));
    }

    QStringList calls() const { return readLines(QStringLiteral("calls")); }
    QStringList workingDirectories() const { return readLines(QStringLiteral("cwd")); }
    QByteArray writtenImage() const
    {
        QFile f(m_dir.filePath(QStringLiteral("written.hex")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    void writeControl(const QString &name, const QByteArray &content)
    {
        QFile f(m_dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    QStringList readLines(const QString &name) const
    {
        QFile f(m_dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly)) {
            return {};
        }
        return QString::fromLocal8Bit(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    QTemporaryDir m_dir;
    QString m_script;
};

} // namespace kesto::test
