#include "config/config_transfer.h"

#include "config/config_file.h"
#include "config/config_image.h"
#include "i18n/caption_list.h"
#include "link/answer_frame.h"
#include "link/commands.h"
#include "link/error.h"
#include "link/receive_buffer.h"

#include <QTimer>

namespace kesto {

namespace {
constexpr int kLastPage = kImageSize - kPageSize; // 690
constexpr int kUploadDone = kImageSize;           // the controller has every page

// Caption rows of the messages a transfer shows.
constexpr int kRowIncorrectFile = 222;
constexpr int kRowUploaded = 223;
constexpr int kRowConfirmUpload = 462;
constexpr int kRowNoAnswer = 494;
constexpr int kRowStopped = 495;
} // namespace

ConfigTransfer::ConfigTransfer(Dispatcher &dispatcher, Send send, QTimer *pollTimer,
                               QTimer *watchdogTimer, TransferView &view, QObject *parent)
    : QObject(parent), m_dispatcher(dispatcher), m_send(std::move(send)), m_pollTimer(pollTimer),
      m_watchdogTimer(watchdogTimer), m_view(view), m_answerTimer(new QTimer(this))
{
    m_answerTimer->setObjectName(QStringLiteral("TransferAnswerTimer"));
    m_answerTimer->setSingleShot(true);
    m_answerTimer->setInterval(kAnswerTimeoutMs);
    connect(m_answerTimer, &QTimer::timeout, this, &ConfigTransfer::answerTimedOut);

    dispatcher.setHandler(QStringLiteral("EG"), [this](const AnswerFrame &f) { handlePage(f); });
    dispatcher.setHandler(QStringLiteral("EH"),
                          [this](const AnswerFrame &f) { handleNextPage(f); });
}

ConfigTransfer::~ConfigTransfer()
{
    m_dispatcher.removeHandler(QStringLiteral("EG"));
    m_dispatcher.removeHandler(QStringLiteral("EH"));
}

void ConfigTransfer::startSave()
{
    if (isRunning()) {
        return;
    }
    m_state = State::ReadingPages;
    m_readText.clear();
    m_readText.reserve(kImageTextSize);
    m_pollTimer->stop();
    m_watchdogTimer->stop();
    m_progress = 0;
    sendAndWait(cmd::pageRead(0));
    // The gauge keeps the text of the previous transfer until the first page arrives.
    m_view.setProgressValue(0);
    m_view.coverMainWindow();
    m_view.setProgressShown(true);
    m_view.setMainWindowEnabled(false);
}

void ConfigTransfer::handlePage(const AnswerFrame &frame)
{
    // A page that arrives after the save ended (late, or unasked) must not start reading again.
    if (m_state != State::ReadingPages) {
        return;
    }
    int address = 0;
    QString page;
    try {
        for (int i = 1; i <= kPageSize; ++i) {
            page += byteToHex(frame.intField(i));
        }
        address = frame.intField(0);
    } catch (const Error &e) {
        stopWithError(e.text());
        return;
    }
    m_readText += page;
    m_progress += kPageSize;
    m_view.setProgressValue(m_progress);
    m_view.setProgressText(percentText(m_progress));
    if (address < kLastPage) {
        sendAndWait(cmd::pageRead(address + kPageSize));
    } else if (address == kLastPage) {
        finishSave();
    }
    // Past the last page nothing is asked; the answer time-out ends the save.
}

void ConfigTransfer::finishSave()
{
    m_answerTimer->stop();
    m_state = State::ChoosingSaveFile;
    m_view.setProgressShown(false);
    m_view.setMainWindowEnabled(true);
    QString failure;
    const QString path = m_view.chooseSaveFile();
    if (!path.isEmpty()) {
        try {
            writeHexFile(path, m_readText);
        } catch (const Error &e) {
            failure = e.text();
        }
    }
    endTransfer();
    if (!failure.isEmpty()) {
        m_view.showMessage(caption(kRowStopped) + failure);
    }
}

void ConfigTransfer::startUpload()
{
    if (isRunning()) {
        return;
    }
    m_state = State::ChoosingUploadFile; // no second transfer from inside the question
    if (!m_view.confirmUpload(caption(kRowConfirmUpload))) {
        m_state = State::Idle;
        return;
    }
    m_pollTimer->stop();
    m_watchdogTimer->stop();
    m_view.setMainWindowEnabled(false);
    m_view.setProgressValue(0);
    m_view.coverMainWindow();

    m_uploadText.clear();
    FileText file;
    try {
        const QString path = m_view.chooseUploadFile();
        if (!path.isEmpty()) {
            file = FileText::fromFile(path);
        }
        switch (recognizeUpload(file)) {
        case UploadKind::Rejected:
            m_view.showMessage(caption(kRowIncorrectFile));
            endTransfer();
            return;
        case UploadKind::DecimalLines:
            m_uploadText = decimalLinesToImageText(file.lines);
            break;
        case UploadKind::HexText:
            m_uploadText = file.text;
            break;
        }
    } catch (const Error &e) {
        stopWithError(e.text());
        return;
    }

    m_state = State::WritingPages;
    m_view.setProgressShown(true);
    m_view.setProgressValue(0);
    m_view.setProgressText(percentText(0));
    sendUploadPage(QStringLiteral("0"), 0);
}

void ConfigTransfer::handleNextPage(const AnswerFrame &frame)
{
    if (m_state != State::WritingPages) {
        return;
    }
    int address = 0;
    try {
        address = toInt(frame.payload);
    } catch (const Error &e) {
        stopWithError(e.text());
        return;
    }
    if (address == kUploadDone) {
        endTransfer();
        m_view.showMessage(caption(kRowUploaded));
        return;
    }
    m_view.setProgressValue(address);
    m_view.setProgressText(percentText(address));
    // The controller decides the page; its address goes back exactly as it came.
    sendUploadPage(frame.payload, address);
}

void ConfigTransfer::sendUploadPage(const QString &addressText, int address)
{
    QList<int> values;
    values.reserve(kPageSize);
    for (int i = 0; i < kPageSize; ++i) {
        values << ImageText::byteAt(m_uploadText, address + i);
    }
    sendAndWait(cmd::pageWrite(addressText, values));
}

void ConfigTransfer::sendAndWait(const QByteArray &command)
{
    m_send(command);
    m_answerTimer->start();
}

void ConfigTransfer::answerTimedOut()
{
    if (m_state != State::ReadingPages && m_state != State::WritingPages) {
        return;
    }
    endTransfer();
    m_view.showMessage(caption(kRowNoAnswer));
}

void ConfigTransfer::endTransfer()
{
    m_answerTimer->stop();
    m_view.setProgressShown(false);
    m_view.setMainWindowEnabled(true);
    m_pollTimer->start();
    m_watchdogTimer->start();
    m_state = State::Idle;
}

void ConfigTransfer::stopWithError(const QString &errorText)
{
    endTransfer();
    m_view.showMessage(caption(kRowStopped) + errorText);
}

QString ConfigTransfer::percentText(int value)
{
    return QString::number(value * 100 / kImageSize) + QLatin1Char('%');
}

} // namespace kesto
