#pragma once

#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <optional>

namespace kesto {

// One run of the programmer: a fresh folder under the system's temporary location that holds
// every file of the run (image, log), and the programmer process working in it. The process is
// never waited for; its state is read on the next timer tick.
class ProgrammerRun : public QObject
{
    Q_OBJECT
public:
    // `tag` becomes part of the folder name (a RandomName, so two runs never share a name).
    explicit ProgrammerRun(const QString &tag, QObject *parent = nullptr);
    ~ProgrammerRun() override;

    // Throws kesto::Error when the folder could not be made.
    QString folder() const;
    QString filePath(const QString &name) const;

    // Starts `program` hidden, with the run's folder as working directory. Returns whether the
    // process is under way; a start that fails later leaves it not running.
    bool RunProgram(const QString &program, const QStringList &arguments);
    bool IsProcessRunning() const;
    // Kills the programmer; the next tick sees it ended.
    void stop();

    // The programmer's log, or nothing while it has not written one.
    std::optional<QString> readLog() const;
    void removeLog();

    // Ends the run: kills a programmer still running and removes the folder with every file of
    // the run as soon as the process is gone. The object deletes itself afterwards.
    void finish();

private:
    void removeFolderAndDelete();

    QTemporaryDir m_dir;
    QProcess m_process;
    bool m_finishing = false;
};

} // namespace kesto
