#include "monitor/log_viewer_window.h"

#include "app/app_context.h"
#include "config/config_file.h"
#include "i18n/caption_list.h"
#include "link/answer_frame.h"
#include "link/commands.h"
#include "link/error.h"
#include "link/receive_buffer.h"
#include "monitor/gear_shift_log.h"
#include "monitor/system_text.h"

#include <QCloseEvent>
#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>

namespace kesto {

namespace {
constexpr int kCaptionRow = 113;
constexpr int kSaveRow = 272;
constexpr int kClearRow = 273;
constexpr int kSavedToRow = 274;
} // namespace

LogViewerWindow::LogViewerWindow(AppContext &ctx, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_ctx(ctx), m_now([] { return QDateTime::currentDateTime(); })
{
    setObjectName(QStringLiteral("TForm15"));
    setWindowTitle(caption(kCaptionRow));
    setFixedSize(639, 376);

    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->setGeometry(7, 8, 625, 329);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    m_saveButton = new QPushButton(caption(kSaveRow), this);
    m_saveButton->setObjectName(QStringLiteral("Button1"));
    m_saveButton->setGeometry(7, 344, 100, 25);
    m_clearButton = new QPushButton(caption(kClearRow), this);
    m_clearButton->setObjectName(QStringLiteral("Button2"));
    m_clearButton->setGeometry(113, 344, 100, 25);

    connect(m_saveButton, &QPushButton::clicked, this, &LogViewerWindow::saveClicked);
    connect(m_clearButton, &QPushButton::clicked, this, &LogViewerWindow::clearLog);

    m_ctx.dispatcher->setHandler(
        QStringLiteral("lg"), [this](const AnswerFrame &f) { handleReport(f); }, true);
    m_ctx.dispatcher->setHandler(
        QStringLiteral("lo"), [this](const AnswerFrame &f) { handleEnglishReport(f); }, true);
    m_ctx.registerWindow(this);
}

void LogViewerWindow::open()
{
    m_ctx.send(cmd::shiftLogStart());
    if (m_ctx.mainWindow) {
        move(m_ctx.mainWindow->pos() + QPoint(20, 30));
    }
    show();
    raise();
    activateWindow();
}

QString LogViewerWindow::text() const
{
    return m_memo->toPlainText();
}

void LogViewerWindow::appendLine(const QString &line)
{
    m_memo->appendPlainText(line);
}

void LogViewerWindow::handleReport(const AnswerFrame &frame)
{
    GearShiftLog::writeReport(frame, m_now(), m_stamp,
                              [this](const QString &line) { appendLine(line); });
}

void LogViewerWindow::handleEnglishReport(const AnswerFrame &frame)
{
    if (GearShiftLog::isEnglishReport(frame)) {
        appendLine(GearShiftLog::englishLine(frame, m_now(), m_stamp));
    }
}

QString LogViewerWindow::saveLog()
{
    const QString name = GearShiftLog::saveFileName(m_now(), m_stamp);
    // One line per paragraph, each ended by CR LF; an empty text makes an empty file.
    QString content;
    if (!m_memo->document()->isEmpty()) {
        content = m_memo->toPlainText().split(QLatin1Char('\n')).join(QStringLiteral("\r\n")) +
                  QStringLiteral("\r\n");
    }
    writeFileAtomically(QDir::current().filePath(name), toSystemText(content));
    appendLine(caption(kSavedToRow) + QLatin1Char(' ') + name);
    return name;
}

void LogViewerWindow::saveClicked()
{
    try {
        saveLog();
    } catch (const Error &e) {
        if (m_ctx.reportError) {
            m_ctx.reportError(e.text());
        }
    }
}

void LogViewerWindow::clearLog()
{
    m_memo->clear();
}

void LogViewerWindow::closeEvent(QCloseEvent *event)
{
    m_ctx.send(cmd::shiftLogStop());
    event->accept();
}

} // namespace kesto
