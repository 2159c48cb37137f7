#include "firmware/firmware_update_window.h"

#include "app/app_context.h"
#include "app/user_dialogs.h"
#include "config/config_file.h"
#include "firmware/firmware_image.h"
#include "firmware/programmer_log.h"
#include "firmware/programmer_run.h"
#include "firmware/random_name.h"
#include "i18n/caption_list.h"
#include "link/connection_facts.h"
#include "link/error.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace kesto {

namespace {

constexpr int kNameLength = 16;
constexpr int kWindowWidth = 520;
constexpr int kTickMs = 1000;
// A check gives up at 59 ticks and stops a tool still running after 57; the gauge fills in 60.
constexpr int kCheckGaugeTicks = 60;
constexpr int kCheckFailTicks = 59;
constexpr int kCheckStopAfterTicks = 57;
// An update stops a tool still running after 45 ticks; the gauge fills in 47.
constexpr int kUpdateGaugeTicks = 47;
constexpr int kUpdateStopAfterTicks = 45;

// Where early controllers' owners read how to remove the upgrade ban jumper.
constexpr char kJumperInstructionsUrl[] = "https://kesto.example/firmware/jumper";

const QString kCr = QStringLiteral("\r");

Qt::WindowFlags windowFlagsFor(bool closable)
{
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (closable) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    return flags;
}

QLabel *addLabel(QVBoxLayout *layout, QWidget *parent, const char *name, int row)
{
    auto *label = new QLabel(caption(row), parent);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    layout->addWidget(label);
    return label;
}

QByteArray readWholeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw Error(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    }
    return file.readAll();
}

} // namespace

FirmwareUpdateWindow::FirmwareUpdateWindow(AppContext &ctx, QWidget *parent)
    : QWidget(parent, windowFlagsFor(true)), m_ctx(ctx), m_payload(builtInFirmwarePayload())
{
    setObjectName(QStringLiteral("TForm19"));
    setWindowTitle(caption(245));
    buildControls();
    // A fixed width (long enough for either language's lines) lets the openers centre the
    // window before it is first shown.
    setFixedWidth(kWindowWidth);
    adjustSize();

    m_checkTimer = new QTimer(this);
    m_checkTimer->setObjectName(QStringLiteral("Timer3"));
    m_checkTimer->setInterval(kTickMs);
    connect(m_checkTimer, &QTimer::timeout, this, &FirmwareUpdateWindow::checkTick);

    m_updateTimer = new QTimer(this);
    m_updateTimer->setObjectName(QStringLiteral("Timer2"));
    m_updateTimer->setInterval(kTickMs);
    connect(m_updateTimer, &QTimer::timeout, this, &FirmwareUpdateWindow::updateTick);

    showButtonForKind();
    ctx.registerWindow(this);
}

FirmwareUpdateWindow::~FirmwareUpdateWindow() = default;

void FirmwareUpdateWindow::buildControls()
{
    auto *layout = new QVBoxLayout(this);
    addLabel(layout, this, "sLabel1", 246);
    addLabel(layout, this, "sLabel2", 349);
    addLabel(layout, this, "sLabel3", 347);
    addLabel(layout, this, "sLabel4", 348);

    auto *link = new QLabel(this);
    link->setObjectName(QStringLiteral("sLabel9"));
    const QString url = QLatin1String(kJumperInstructionsUrl);
    link->setText(QStringLiteral("<a href=\"%1\">%1</a>").arg(url));
    link->setTextFormat(Qt::RichText);
    link->setOpenExternalLinks(true);
    layout->addWidget(link);
    layout->addSpacing(8);

    addLabel(layout, this, "sLabel6", 345);
    addLabel(layout, this, "sLabel7", 247);
    addLabel(layout, this, "sLabel8", 248);
    addLabel(layout, this, "sLabel10", 249);
    addLabel(layout, this, "sLabel11", 346);
    layout->addSpacing(8);

    m_status = addLabel(layout, this, "sLabel5", 250);

    m_gauge = new QProgressBar(this);
    m_gauge->setObjectName(QStringLiteral("sGauge1"));
    m_gauge->setRange(0, 100);
    m_gauge->setValue(0);
    m_gauge->setFormat(QStringLiteral("%p%"));
    layout->addWidget(m_gauge);

    m_button = new QPushButton(this);
    m_button->setObjectName(QStringLiteral("Button1"));
    connect(m_button, &QPushButton::clicked, this, &FirmwareUpdateWindow::buttonClicked);
    layout->addWidget(m_button);
}

void FirmwareUpdateWindow::prepareToShow()
{
    resetProgress();
    showButtonForKind();
}

void FirmwareUpdateWindow::resetProgress()
{
    setProgress(0);
}

bool FirmwareUpdateWindow::isBusy() const
{
    return m_checkRunning || m_updating;
}

QString FirmwareUpdateWindow::runFolder() const
{
    return m_run ? m_run->folder() : QString();
}

bool FirmwareUpdateWindow::isProgrammerRunning() const
{
    return m_run && m_run->IsProcessRunning();
}

void FirmwareUpdateWindow::showButtonForKind()
{
    if (m_kind == BootloaderKind::None) {
        m_button->setText(caption(337));
        m_button->setToolTip(caption(338));
    } else {
        m_button->setText(caption(339));
        m_button->setToolTip(caption(340));
    }
}

void FirmwareUpdateWindow::setClosable(bool closable)
{
    // Changing the flags hides a shown window; show it again where it was.
    const bool shown = isVisible();
    setWindowFlags(windowFlagsFor(closable));
    if (shown) {
        show();
    }
}

void FirmwareUpdateWindow::setProgress(int percent)
{
    m_gauge->setValue(qBound(0, percent, 100));
}

QString FirmwareUpdateWindow::statusCaption() const
{
    return caption(250);
}

QString FirmwareUpdateWindow::programmer() const
{
    return m_programmerPath.isEmpty() ? findProgrammer() : m_programmerPath;
}

QString FirmwareUpdateWindow::port() const
{
    const auto *ports = m_ctx.mainWindow
                            ? m_ctx.mainWindow->findChild<QComboBox *>(QStringLiteral("ComboBox1"))
                            : nullptr;
    return programmerPort(ports ? ports->currentText() : QString());
}

void FirmwareUpdateWindow::buttonClicked()
{
    if (isBusy()) {
        return;
    }
    if (m_kind == BootloaderKind::None) {
        startCheck();
    } else {
        startUpdate();
    }
}

void FirmwareUpdateWindow::startRun()
{
    endRun();
    m_run = new ProgrammerRun(RandomName(kNameLength), this);
    m_run->folder(); // throws when the folder could not be made
}

void FirmwareUpdateWindow::endRun()
{
    if (m_run) {
        m_run->finish();
        m_run = nullptr;
    }
}

void FirmwareUpdateWindow::abandonStep()
{
    m_checkTimer->stop();
    m_updateTimer->stop();
    endRun();
    m_checkRunning = false;
    m_slowRetryMade = false;
    m_updating = false;
    m_ticks = 0;
    setProgress(0);
    m_status->setText(statusCaption());
    m_button->setEnabled(true);
    setClosable(true);
}

void FirmwareUpdateWindow::startCheck()
{
    const QString tool = programmer();
    if (tool.isEmpty()) {
        UserDialogs::instance().showMessage(caption(496));
        return;
    }
    m_button->setEnabled(false);
    m_status->setText(statusCaption() + QLatin1Char(' ') + caption(343));
    setClosable(false);
    m_checkTimer->start();
    try {
        startRun();
        m_checkRunning = true;
        m_slowRetryMade = false;
        m_run->RunProgram(tool, checkArguments(port(), BootloaderKind::New));
    } catch (...) {
        abandonStep();
        throw;
    }
}

void FirmwareUpdateWindow::checkTick()
{
    ++m_ticks;
    setProgress(m_ticks * 100 / kCheckGaugeTicks);
    const std::optional<QString> log = m_run ? m_run->readLog() : std::nullopt;
    const bool running = isProgrammerRunning();

    if (log && programmer_log::reachedBootloader(*log)) {
        finishCheckFound();
        return;
    }

    // A tool that has ended without reaching the bootloader (with a log that says why, or
    // without one) has failed as surely as one that reports a failure.
    const bool failed =
        (log && programmer_log::reportsFailure(*log)) || m_ticks >= kCheckFailTicks || !running;
    if (failed) {
        if (running) {
            m_run->stop();
        } else if (m_checkRunning && !m_slowRetryMade) {
            // The first try's log must not fail the retry before it has begun.
            m_run->removeLog();
            m_run->RunProgram(programmer(), checkArguments(port(), BootloaderKind::Old));
            m_slowRetryMade = true;
        } else if (m_checkRunning) {
            finishCheckFailed();
            return;
        }
    }
    if (m_ticks > kCheckStopAfterTicks && m_run) {
        m_run->stop();
    }
}

void FirmwareUpdateWindow::finishCheckFound()
{
    m_checkTimer->stop();
    setClosable(true);
    endRun();
    m_status->setText(statusCaption());
    setProgress(0);
    m_ticks = 0;
    m_button->setEnabled(true);
    if (m_checkRunning) {
        m_kind = m_slowRetryMade ? BootloaderKind::Old : BootloaderKind::New;
    }
    m_checkRunning = false;
    m_slowRetryMade = false;
    showButtonForKind();
    const int found = m_kind == BootloaderKind::New ? 352 : 353;
    UserDialogs::instance().showMessage(caption(found) + kCr + caption(354));
}

void FirmwareUpdateWindow::finishCheckFailed()
{
    m_checkTimer->stop();
    setClosable(true);
    m_status->setText(statusCaption());
    setProgress(0);
    m_ticks = 0;
    endRun();
    m_checkRunning = false;
    m_slowRetryMade = false;
    m_button->setEnabled(true);
    showButtonForKind();
    UserDialogs::instance().showMessage(caption(350) + kCr + caption(351));
}

void FirmwareUpdateWindow::startUpdate()
{
    const QString tool = programmer();
    if (tool.isEmpty()) {
        UserDialogs::instance().showMessage(caption(496));
        return;
    }
    QString plainHexFile;
    if (m_payload.isEmpty()) {
        FileDialogSpec spec;
        spec.directory = m_ctx.configFolder;
        spec.filter = QStringLiteral("Intel HEX (*.hex)|*.hex|All files (*.*)|*.*");
        spec.title = caption(497);
        plainHexFile = UserDialogs::instance().openFile(spec);
        if (plainHexFile.isEmpty()) {
            return;
        }
    }
    m_button->setEnabled(false);
    setClosable(false);
    m_status->setText(statusCaption() + QLatin1Char(' ') + caption(344));
    try {
        startRun();
        m_updating = true;
        prepareImage(plainHexFile);
        m_run->RunProgram(tool,
                          writeArguments(m_imageName + QStringLiteral(".tmp"), port(), m_kind));
        m_updateTimer->start();
    } catch (...) {
        abandonStep();
        throw;
    }
}

void FirmwareUpdateWindow::prepareImage(const QString &plainHexFile)
{
    m_imageName = RandomName(kNameLength);
    const QString image = m_run->filePath(m_imageName + QStringLiteral(".tmp"));
    if (!plainHexFile.isEmpty()) {
        writeFileAtomically(image, readWholeFile(plainHexFile));
        return;
    }
    const QString stored = m_run->filePath(m_imageName + QStringLiteral("xc"));
    writeFileAtomically(stored, m_payload);
    CopyWithoutPrefix(stored, image);
    const QStringList lines = ReorderFirmwareLines(splitFileLines(readWholeFile(image)));
    QByteArray text;
    for (const QString &line : lines) {
        text += line.toLatin1() + "\r\n";
    }
    writeFileAtomically(image, text);
}

void FirmwareUpdateWindow::updateTick()
{
    const std::optional<QString> log = m_run ? m_run->readLog() : std::nullopt;
    ++m_ticks;
    setProgress(m_ticks * 100 / kUpdateGaugeTicks);
    if (log && programmer_log::reportsFailure(*log) && isProgrammerRunning()) {
        m_run->stop();
    }
    if (!isProgrammerRunning()) {
        finishUpdate(log && programmer_log::reachedBootloader(*log) &&
                     programmer_log::flashVerified(*log));
        return;
    }
    if (m_ticks > kUpdateStopAfterTicks) {
        m_run->stop();
    }
}

void FirmwareUpdateWindow::finishUpdate(bool verified)
{
    m_updateTimer->stop();
    endRun();
    setClosable(true);
    m_ticks = 0;
    setProgress(0);
    m_status->setText(statusCaption());
    m_button->setEnabled(true);
    m_kind = BootloaderKind::None;
    m_updating = false;
    showButtonForKind();
    if (verified) {
        if (m_ctx.mainWindow) {
            m_ctx.mainWindow->setEnabled(true);
        }
        UserDialogs::instance().showMessage(caption(251) + QLatin1String(RequiredFirmwareVersion) +
                                            QLatin1Char('.') + QString::number(WriterBuild));
        close();
    } else {
        UserDialogs::instance().showMessage(caption(355) + kCr + caption(351));
    }
}

void FirmwareUpdateWindow::closeEvent(QCloseEvent *event)
{
    if (isBusy()) {
        event->ignore();
        return;
    }
    if (m_ctx.mainWindow) {
        m_ctx.mainWindow->setEnabled(true);
    }
    event->accept();
}

void FirmwareUpdateWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F4 && (event->modifiers() & Qt::AltModifier)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool FirmwareUpdateWindow::event(QEvent *event)
{
    // Alt+F4 must reach keyPressEvent (and stop there) before any shortcut sees it.
    if (event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_F4 && (key->modifiers() & Qt::AltModifier)) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void FirmwareUpdateWindow::showEvent(QShowEvent *event)
{
    showButtonForKind();
    QWidget::showEvent(event);
}

} // namespace kesto
