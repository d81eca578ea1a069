// The program as it starts (the same start-up as the program's own entry), ending at its login
// screen: it writes "shown" on standard output once the login screen has painted, then cancels
// the login, which ends the program. The start-up benchmark times a run of it from its start
// until that line.

#include "application/windows/StartUp.h"
#include "application/windows/WelcomeScreen.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    Application::K27::StartUp startUp;
    QObject::connect(&startUp, &Application::K27::StartUp::loginScreenStarting,
                     [](WelcomeScreen *screen) {
                         QTimer::singleShot(0, screen, [screen] {
                             screen->repaint();
                             std::fputs("shown\n", stdout);
                             std::fflush(stdout);
                             screen->reject();
                         });
                     });
    return startUp.run(QCoreApplication::arguments());
}
