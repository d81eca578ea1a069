// The floor of the program's start: a Qt Widgets window with one text, as little as a program
// can show. It writes "shown" on standard output once the window has painted, then ends; the
// start-up benchmark times a run of it from its start until that line.

#include "FloorWindowShown.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QLabel label(QStringLiteral("Hello, world"));
    return FloorWindowShown::run(label);
}
