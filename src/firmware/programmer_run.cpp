#include "firmware/programmer_run.h"

#include "firmware/programmer_command.h"
#include "link/error.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace kesto {

namespace {

QString folderTemplate(const QString &tag)
{
    const QString temp = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    return QDir(temp).filePath(QStringLiteral("kesto-%1-XXXXXX").arg(tag));
}

} // namespace

ProgrammerRun::ProgrammerRun(const QString &tag, QObject *parent)
    : QObject(parent), m_dir(folderTemplate(tag))
{
    // The programmer reports through its log file only.
    m_process.setStandardInputFile(QProcess::nullDevice());
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(QProcess::nullDevice());
#ifdef Q_OS_WIN
    m_process.setCreateProcessArgumentsModifier(
        [](QProcess::CreateProcessArguments *args) { args->flags |= CREATE_NO_WINDOW; });
#endif
}

ProgrammerRun::~ProgrammerRun()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

QString ProgrammerRun::folder() const
{
    if (!m_dir.isValid()) {
        throw Error(
            QStringLiteral("Cannot create a temporary folder. %1").arg(m_dir.errorString()));
    }
    return m_dir.path();
}

QString ProgrammerRun::filePath(const QString &name) const
{
    return QDir(folder()).filePath(name);
}

bool ProgrammerRun::RunProgram(const QString &program, const QStringList &arguments)
{
    if (program.isEmpty() || m_process.state() != QProcess::NotRunning) {
        return false;
    }
    m_process.setWorkingDirectory(folder());
    m_process.start(program, arguments, QIODevice::NotOpen);
    return m_process.state() != QProcess::NotRunning;
}

bool ProgrammerRun::IsProcessRunning() const
{
    return m_process.state() != QProcess::NotRunning;
}

void ProgrammerRun::stop()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
    }
}

std::optional<QString> ProgrammerRun::readLog() const
{
    if (!m_dir.isValid()) {
        return std::nullopt;
    }
    QFile file(filePath(QLatin1String(kProgrammerLogName)));
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return QString::fromLocal8Bit(file.readAll());
}

void ProgrammerRun::removeLog()
{
    if (m_dir.isValid()) {
        QFile::remove(filePath(QLatin1String(kProgrammerLogName)));
    }
}

void ProgrammerRun::finish()
{
    if (m_finishing) {
        return;
    }
    m_finishing = true;
    if (m_process.state() == QProcess::NotRunning) {
        removeFolderAndDelete();
        return;
    }
    connect(&m_process, &QProcess::finished, this, &ProgrammerRun::removeFolderAndDelete);
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            removeFolderAndDelete();
        }
    });
    m_process.kill();
}

void ProgrammerRun::removeFolderAndDelete()
{
    if (m_dir.isValid()) {
        m_dir.remove();
    }
    deleteLater();
}

} // namespace kesto
