#pragma once

#include "app/user_dialogs.h"

#include <QList>
#include <QStringList>

namespace kesto::test {

// Records every message and question and answers from planned queues. With an empty queue a
// question is answered No/Cancel and a file dialog is cancelled. Installs itself while alive.
class ScriptedDialogs : public UserDialogs
{
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;

    void showMessage(const QString &text) override;
    bool askYesNo(const QString &text, bool yesIsDefault = true) override;
    bool askOkCancel(const QString &text) override;
    QString openFile(const FileDialogSpec &spec) override;
    QString saveFile(const FileDialogSpec &spec) override;

    QStringList messages;   // texts of message boxes, in order
    QStringList questions;  // texts of Yes/No and OK/Cancel questions, in order
    QList<FileDialogSpec> fileDialogs; // every file dialog opened, in order

    QList<bool> answers;      // for questions
    QStringList openAnswers;  // for open dialogs ("" = cancel)
    QStringList saveAnswers;  // for save dialogs ("" = cancel)
    bool lastYesIsDefault = false;
};

} // namespace kesto::test
