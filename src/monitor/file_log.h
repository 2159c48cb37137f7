#pragma once

#include "link/answer_frame.h"
#include "monitor/log_stamp.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>
#include <optional>

namespace kesto {

// What a log row takes from the live data panel besides the frame: the pressures as the panel
// shows them, and the last SLU value once a frame has carried one.
struct LivePanelTexts
{
    QString slt;
    QString sln;
    QString slc;
    std::optional<QString> slu;
};

// The live data file log: a tab-separated text with a title line, a column line and one row per
// live data frame. Rows go to an unfinished file in the log folder as they arrive, flushed row by
// row, so a crash keeps everything logged so far; stop() gives the file its final name, made from
// the start and stop stamps.
class FileLog
{
public:
    static constexpr int kColumnCount = 18;
    static constexpr const char *kSluMissing = "SLU PWM";

    // folder: where logs go; "log" is the folder below the working directory.
    explicit FileLog(const QString &folder = QStringLiteral("log"),
                     const LogStamp &stamp = LogStamp());
    // A log still running when the program ends is written, not lost.
    ~FileLog();

    FileLog(const FileLog &) = delete;
    FileLog &operator=(const FileLog &) = delete;

    // Opens a fresh unfinished file (creating the folder when missing) with the two header
    // lines. Throws kesto::Error with the system's text when that fails; the log stays stopped.
    void start(const QDateTime &now);
    // One row for a live data frame. A frame lacking a field throws and adds no row. A row the
    // disk refuses is kept in memory and written with the next row or at stop.
    void appendRow(const AnswerFrame &frame, const LivePanelTexts &panel, const QDateTime &now);
    // Stops the log and renames the unfinished file to its final name, replacing a file of that
    // name. Returns the path of the written file (the folder joined with the name). When the
    // file cannot be written the log is stopped all the same and kesto::Error is thrown; the
    // unfinished file keeps what reached the disk.
    QString stop(const QDateTime &now);

    bool isRunning() const { return m_running; }
    int rowCount() const { return m_rows; }
    // 0.1 seconds per row, whatever the polling rate.
    double elapsedSeconds() const { return m_rows / 10.0; }
    // The elapsed seconds in general number format (up to 15 significant digits).
    QString durationText() const;
    QString startStamp() const { return m_startStamp; }
    QString folder() const { return m_folder; }
    // The file rows are written to while the log runs; "" when stopped.
    QString unfinishedFilePath() const;

    // "<short date>.<time>" with "." for every ":" and "/".
    QString stamp(const QDateTime &t) const;
    QString titleLine() const;
    static QString columnLine();
    // The row of one frame; rowNumber counts from 1.
    QString buildRow(const AnswerFrame &frame, const LivePanelTexts &panel, int rowNumber,
                     const QDateTime &now) const;

private:
    void writeLine(const QString &line);
    bool writePending();

    QString m_folder;
    LogStamp m_stamp;
    QFile m_file;         // unbuffered: a written row is with the system at once
    QByteArray m_pending; // bytes the disk refused so far
    QString m_startStamp;
    int m_rows = 0;
    bool m_running = false;
};

} // namespace kesto
