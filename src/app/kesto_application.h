#pragma once

#include <QApplication>
#include <functional>

namespace kesto {

// The general error handler: the error's text in a message box captioned with the program
// title. The program then goes on with the next event.
void reportGeneralError(const QString &text);

// Runs one delivery; a kesto::Error or std::exception escaping it goes to the general error
// handler and the delivery counts as not handled.
bool deliverReportingErrors(const std::function<bool()> &deliver);

// The application object: every event handler that throws ends in the general error handler
// instead of ending the program.
class KestoApplication : public QApplication
{
    Q_OBJECT
public:
    KestoApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};

} // namespace kesto
