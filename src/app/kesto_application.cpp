#include "app/kesto_application.h"

#include "app/user_dialogs.h"
#include "link/connection_facts.h"
#include "link/error.h"

namespace kesto {

void reportGeneralError(const QString &text)
{
    UserDialogs::instance().showMessage(text);
}

bool deliverReportingErrors(const std::function<bool()> &deliver)
{
    try {
        return deliver();
    } catch (const Error &e) {
        reportGeneralError(e.text());
    } catch (const std::exception &e) {
        reportGeneralError(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

KestoApplication::KestoApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(programTitle());
}

bool KestoApplication::notify(QObject *receiver, QEvent *event)
{
    return deliverReportingErrors([&] { return QApplication::notify(receiver, event); });
}

} // namespace kesto
