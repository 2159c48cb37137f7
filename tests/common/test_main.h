#pragma once

#include <QtTest>

namespace kesto::test {

// Shared set-up of every test executable: offscreen platform unless one is set, QStandardPaths
// test mode, settings in a temporary location, and the program's resources.
void prepareEnvironment();
int runTests(QObject *testObject, int argc, char **argv);

} // namespace kesto::test

// The one test main: a QApplication (so widget tests work) with the shared set-up.
#define KESTO_TEST_MAIN(TestClass)                                                                 \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        kesto::test::prepareEnvironment();                                                         \
        QApplication app(argc, argv);                                                              \
        TestClass tc;                                                                              \
        return kesto::test::runTests(&tc, argc, argv);                                             \
    }
