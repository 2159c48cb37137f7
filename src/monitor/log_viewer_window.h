#pragma once

#include "monitor/log_stamp.h"

#include <QDateTime>
#include <QWidget>
#include <functional>

class QPlainTextEdit;
class QPushButton;

namespace kesto {

struct AppContext;
struct AnswerFrame;

// The gear-shift log viewer: collects the controller's shift reports as text, also while it is
// hidden. Opening it asks the controller to start reporting, closing it to stop.
class LogViewerWindow : public QWidget
{
    Q_OBJECT
public:
    explicit LogViewerWindow(AppContext &ctx, QWidget *parent = nullptr);

    // The log viewer entry, F10 and the seventh tool button: "n91~", placed beside the main
    // window, shown.
    void open();
    // Writes the text to "<date>_<time>.txt" in the working directory and notes the name in the
    // text. Returns the file name; throws kesto::Error when the file cannot be written.
    QString saveLog();
    void clearLog();

    QString text() const;

    // Tests fix the clock and the locale.
    void setNowSource(std::function<QDateTime()> now) { m_now = std::move(now); }
    void setStamp(const LogStamp &stamp) { m_stamp = stamp; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void handleReport(const AnswerFrame &frame);
    void handleEnglishReport(const AnswerFrame &frame);
    void appendLine(const QString &line);
    void saveClicked();

    AppContext &m_ctx;
    QPlainTextEdit *m_memo = nullptr;
    QPushButton *m_saveButton = nullptr;
    QPushButton *m_clearButton = nullptr;
    std::function<QDateTime()> m_now;
    LogStamp m_stamp;
};

} // namespace kesto
