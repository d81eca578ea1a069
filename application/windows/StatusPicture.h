#pragma once

#include <QCoreApplication>
#include <QPixmap>
#include <QString>

namespace Application::K27 {

// The device pictures of the status display carry no words of their own: the word on the
// device's display ("READY", "RUN", "WARN", "ERROR") is drawn over the picture at run time, in
// the language the program speaks.
class StatusPicture
{
    Q_DECLARE_TR_FUNCTIONS(StatusPicture)

public:
    // The word for a device picture such as ":/images/torvex_k27_serra_standby.png";
    // empty for any other picture.
    static QString word(const QString &picturePath);
    // The picture with its word on the display's second line; any other picture as it is.
    static QPixmap draw(const QString &picturePath);
};

} // namespace Application::K27
