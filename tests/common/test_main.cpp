#include "test_main.h"

#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace kesto::test {

void prepareEnvironment()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Settings and standard paths of a test never touch the user's own.
    static QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
    QStandardPaths::setTestModeEnabled(true);
    // Test mode alone sends QSettings to one folder shared by every test process (~/.qttest),
    // where tests running side by side overwrite each other's values.
    for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        QSettings::setPath(format, QSettings::UserScope, home.filePath(QStringLiteral("config")));
    }
}

int runTests(QObject *testObject, int argc, char **argv)
{
    return QTest::qExec(testObject, argc, argv);
}

} // namespace kesto::test
