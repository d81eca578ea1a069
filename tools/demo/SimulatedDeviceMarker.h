#pragma once

#include <QObject>
#include <QString>

class K27SubScreen;
class MainScreen;

// Marks a main window and its device windows as working against simulated devices: the status
// bar says so for the whole run, and every device window's title (and so its tab) starts with
// the same words, also after the window has changed its title to the device's serial number.
class SimulatedDeviceMarker : public QObject
{
    Q_OBJECT

public:
    explicit SimulatedDeviceMarker(QObject *parent = nullptr);

    // Marks the main window, the device windows it holds and every one it adds later.
    void mark(MainScreen *mainScreen);
    void markDeviceWindow(K27SubScreen *window);

    // The words every marked title starts with.
    static QString marker();
    // A title with the marker in front (once).
    static QString markedTitle(const QString &title);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
