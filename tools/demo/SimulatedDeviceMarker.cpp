#include "SimulatedDeviceMarker.h"

#include "application/windows/K27SubScreen.h"
#include "application/windows/MainScreen.h"

#include <QEvent>
#include <QLabel>
#include <QStatusBar>

SimulatedDeviceMarker::SimulatedDeviceMarker(QObject *parent)
    : QObject(parent)
{
}

QString SimulatedDeviceMarker::marker()
{
    return tr("SIMULATED DEVICE");
}

QString SimulatedDeviceMarker::markedTitle(const QString &title)
{
    const QString trimmed = title.trimmed();
    if (trimmed.startsWith(marker()))
        return title;
    return trimmed.isEmpty() ? marker() : marker() + QLatin1Char(' ') + trimmed;
}

void SimulatedDeviceMarker::mark(MainScreen *mainScreen)
{
    auto *const label = new QLabel(
        tr("SIMULATED DEVICE \u2013 this is k27-demo: the devices in this window are simulated, "
           "no hardware is connected."),
        mainScreen->statusBar());
    label->setObjectName(QStringLiteral("labelSimulatedDevice"));
    label->setStyleSheet(QStringLiteral("color: white; background-color: #ef7c00; "
                                        "font-weight: bold; padding: 4px 10px;"));
    mainScreen->statusBar()->addPermanentWidget(label, 1);
    // The tabs grow with their titles: the marked ones are read in full without a width of
    // their own.

    const QList<K27SubScreen *> windows = mainScreen->deviceWindows();
    for (K27SubScreen *window : windows)
        markDeviceWindow(window);
    connect(mainScreen, &MainScreen::deviceWindowAdded, this,
            &SimulatedDeviceMarker::markDeviceWindow);
}

void SimulatedDeviceMarker::markDeviceWindow(K27SubScreen *window)
{
    window->installEventFilter(this);
    window->setWindowTitle(markedTitle(window->windowTitle()));
}

bool SimulatedDeviceMarker::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::WindowTitleChange) {
        auto *const window = qobject_cast<QWidget *>(watched);
        // Setting the marked title sends this event once more; then it is marked already.
        const QString marked = markedTitle(window->windowTitle());
        if (marked != window->windowTitle())
            window->setWindowTitle(marked);
    }
    return QObject::eventFilter(watched, event);
}
