#include "app/monitor_tools.h"

#include "app/main_window.h"
#include "app/user_dialogs.h"
#include "i18n/caption_list.h"
#include "link/error.h"
#include "monitor/emulation_panel.h"
#include "monitor/log_viewer_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QStyle>
#include <QTimer>

namespace kesto {

namespace {
constexpr int kStartRow = 292;
constexpr int kStopRow = 293;
constexpr int kSavedRow = 294;
constexpr int kDurationRow = 295;
constexpr int kSecondsRow = 296;
const QString kCr = QStringLiteral("\r");
} // namespace

MonitorTools::MonitorTools(MainWindow &main)
    : QObject(&main), m_main(main), m_now([] { return QDateTime::currentDateTime(); })
{
    setObjectName(QStringLiteral("MonitorTools"));
    m_entry = main.findChild<QAction *>(QStringLiteral("logging1"));
    m_button = main.findChild<QAbstractButton *>(QStringLiteral("sSpeedButton6"));
    m_pollTimer = main.context().pollTimer;
    connect(m_entry, &QAction::triggered, this, &MonitorTools::toggleFileLog);
    connect(&main, &MainWindow::liveFrameApplied, this, &MonitorTools::appendRow);
    // Polling is already off here, so the log is written without a message.
    connect(&main, &MainWindow::disconnecting, this, &MonitorTools::stopFileLog);
    showLogState(false);

    AppContext &ctx = main.context();
    if (auto *viewer = ctx.windowAs<LogViewerWindow>(QStringLiteral("TForm15"))) {
        connect(main.findChild<QAction *>(QStringLiteral("Logview1")), &QAction::triggered, viewer,
                &LogViewerWindow::open);
    }
    if (auto *panel = ctx.windowAs<EmulationPanel>(QStringLiteral("TForm10"))) {
        connect(main.findChild<QAction *>(QStringLiteral("Emulation1")), &QAction::triggered, panel,
                &EmulationPanel::open);
    }
}

void MonitorTools::toggleFileLog()
{
    if (m_log.isRunning()) {
        stopFileLog();
    } else {
        startFileLog();
    }
}

void MonitorTools::startFileLog()
{
    try {
        m_log.start(m_now());
    } catch (const Error &e) {
        m_main.context().reportError(e.text());
        return;
    }
    showLogState(true);
}

void MonitorTools::stopFileLog()
{
    if (!m_log.isRunning()) {
        return;
    }
    showLogState(false);
    QString path;
    try {
        path = m_log.stop(m_now());
    } catch (const Error &e) {
        m_main.context().reportError(e.text());
        return;
    }
    if (m_pollTimer && m_pollTimer->isActive()) {
        UserDialogs::instance().showMessage(
            caption(kSavedRow) + kCr + QDir::toNativeSeparators(path) + kCr + kCr +
            caption(kDurationRow) + m_log.durationText() + QLatin1Char(' ') + caption(kSecondsRow));
    }
}

QString MonitorTools::labelText(const char *name) const
{
    const auto *label = m_main.findChild<QLabel *>(QLatin1String(name));
    return label ? label->text() : QString();
}

void MonitorTools::appendRow(const AnswerFrame &frame)
{
    if (!m_log.isRunning()) {
        return;
    }
    // The hidden SLU label stays empty until a frame has carried field 13.
    const QString slu = labelText("sLabel1");
    m_log.appendRow(frame,
                    {labelText("Label9"), labelText("Label13"), labelText("Label16"),
                     slu.isEmpty() ? std::nullopt : std::optional<QString>(slu)},
                    m_now());
}

void MonitorTools::showLogState(bool running)
{
    const QString text = caption(running ? kStopRow : kStartRow);
    const QIcon icon =
        m_main.style()->standardIcon(running ? QStyle::SP_MediaStop : QStyle::SP_MediaPlay);
    m_entry->setText(text);
    m_entry->setIcon(icon);
    if (m_button) {
        m_button->setToolTip(text);
        m_button->setIcon(icon);
    }
}

} // namespace kesto
