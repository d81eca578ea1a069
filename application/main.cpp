#include "application/windows/StartUp.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    Application::K27::StartUp startUp;
    return startUp.run(QCoreApplication::arguments());
}
