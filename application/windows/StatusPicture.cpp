#include "application/windows/StatusPicture.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPixmapCache>
#include <QRectF>

namespace Application::K27 {

namespace {

const QString pictureStart = QStringLiteral(":/images/torvex_k27_serra");

// The picture's state, the part of its name after the family ("standby", "error_load", …);
// empty for a picture of no device.
QString stateOf(const QString &picturePath, bool *plus)
{
    if (!picturePath.startsWith(pictureStart) || !picturePath.endsWith(QLatin1String(".png")))
        return QString();
    QString rest = picturePath.mid(pictureStart.size());
    rest.chop(4);
    *plus = rest.startsWith(QLatin1Char('+'));
    if (*plus)
        rest.remove(0, 1);
    return rest.startsWith(QLatin1Char('_')) ? rest.mid(1) : QString();
}

// Where k27-imagegen leaves the display's second line free: the Serra Plus housing is wider
// and carries its module on the right, so its display sits further left.
QRectF wordArea(bool plus)
{
    return QRectF(plus ? 56 : 79, 112, 102, 26);
}

QColor wordColour(const QString &state)
{
    if (state == QLatin1String("standby"))
        return QColor(0xb8, 0xc4, 0xcb);
    if (state == QLatin1String("operating"))
        return QColor(0x3a, 0xa6, 0x5c);
    if (state.startsWith(QLatin1String("error")))
        return QColor(0xd7, 0x26, 0x2b);
    return QColor(0xf2, 0xa9, 0x00);
}

} // namespace

QString StatusPicture::word(const QString &picturePath)
{
    bool plus = false;
    const QString state = stateOf(picturePath, &plus);
    if (state.isEmpty())
        return QString();
    //: The device's display while it stands by, in capitals
    if (state == QLatin1String("standby"))
        return tr("READY");
    //: The device's display while the motor runs, in capitals
    if (state == QLatin1String("operating"))
        return tr("RUN");
    //: The device's display on an error, in capitals
    if (state.startsWith(QLatin1String("error")))
        return tr("ERROR");
    //: The device's display on a warning, in capitals
    return tr("WARN");
}

QPixmap StatusPicture::draw(const QString &picturePath)
{
    bool plus = false;
    const QString state = stateOf(picturePath, &plus);
    // QPixmap keeps what it decoded from a file in the pixmap cache; the pictures with their
    // word go there too, so that a status shown again is neither decoded nor drawn again.
    const QString key = QStringLiteral("k27-status-picture:") + picturePath + QLatin1Char('|')
        + word(picturePath);
    QPixmap picture;
    if (!state.isEmpty() && QPixmapCache::find(key, &picture))
        return picture;
    picture = QPixmap(picturePath);
    if (picture.isNull() || state.isEmpty())
        return picture;
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(12);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(wordColour(state));
    painter.drawText(wordArea(plus), Qt::AlignCenter, word(picturePath));
    painter.end();
    QPixmapCache::insert(key, picture);
    return picture;
}

} // namespace Application::K27
