#include "scripted_dialogs.h"

namespace kesto::test {

ScriptedDialogs::ScriptedDialogs()
{
    UserDialogs::install(this);
}

ScriptedDialogs::~ScriptedDialogs()
{
    UserDialogs::install(nullptr);
}

void ScriptedDialogs::showMessage(const QString &text)
{
    messages << text;
}

bool ScriptedDialogs::askYesNo(const QString &text, bool yesIsDefault)
{
    questions << text;
    lastYesIsDefault = yesIsDefault;
    return !answers.isEmpty() && answers.takeFirst();
}

bool ScriptedDialogs::askOkCancel(const QString &text)
{
    questions << text;
    return !answers.isEmpty() && answers.takeFirst();
}

QString ScriptedDialogs::openFile(const FileDialogSpec &spec)
{
    fileDialogs << spec;
    return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
}

QString ScriptedDialogs::saveFile(const FileDialogSpec &spec)
{
    fileDialogs << spec;
    return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
}

} // namespace kesto::test
