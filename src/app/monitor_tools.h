#pragma once

#include "monitor/file_log.h"

#include <QDateTime>
#include <QObject>
#include <functional>

class QAbstractButton;
class QAction;
class QLabel;
class QTimer;

namespace kesto {

class MainWindow;
struct AnswerFrame;

// Ties the monitoring tools to the main window: the file log behind logging1, the sixth tool
// button and F9; the log viewer behind Logview1, F10 and the seventh tool button; the emulation
// panel behind Emulation1. The file log takes one row per applied live data frame, stops when the
// connection closes and is written when the program ends while it runs.
class MonitorTools : public QObject
{
    Q_OBJECT
public:
    explicit MonitorTools(MainWindow &main);

    // logging1: start when stopped, stop when running.
    void toggleFileLog();
    void startFileLog();
    // Stops and writes the log; tells the user where it went only while polling runs.
    void stopFileLog();
    const FileLog &fileLog() const { return m_log; }

    void setNowSource(std::function<QDateTime()> now) { m_now = std::move(now); }

private:
    void appendRow(const AnswerFrame &frame);
    void showLogState(bool running);
    QString labelText(const char *name) const;

    MainWindow &m_main;
    FileLog m_log;
    QAction *m_entry = nullptr;          // logging1
    QAbstractButton *m_button = nullptr; // sSpeedButton6
    QTimer *m_pollTimer = nullptr;       // Timer1
    std::function<QDateTime()> m_now;
};

} // namespace kesto
