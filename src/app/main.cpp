#include "link/connection_facts.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(kesto::programTitle());
    QMainWindow window;
    window.setObjectName(QStringLiteral("TForm1"));
    window.setWindowTitle(kesto::programTitle());
    window.show();
    return QApplication::exec();
}
