#pragma once

// The end of the start-up floors: shows the window, writes "shown" on standard output once it
// has painted and ends the program. The start-up benchmark times a floor's run from its start
// until that line.

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace FloorWindowShown {

inline int run(QWidget &window)
{
    window.show();
    QTimer::singleShot(0, &window, [&window] {
        window.repaint();
        std::fputs("shown\n", stdout);
        std::fflush(stdout);
        QApplication::quit();
    });
    return QApplication::exec();
}

} // namespace FloorWindowShown
