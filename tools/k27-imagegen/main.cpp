// Draws the stand-in images of the service tool's windows in the tool's colours and writes them
// into the folder named on the command line (resources/images/). The files are committed; run
// resources/generate-images.sh after changing a drawing here.

#include <QByteArray>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>
#include <QVector>
#include <cmath>
#include <functional>

namespace {

const QColor navy(0x20, 0x42, 0x53);
const QColor orange(0xef, 0x7c, 0x00);
const QColor deep(0x00, 0x21, 0x37);
const QColor white(Qt::white);

QColor withAlpha(QColor colour, qreal alpha)
{
    colour.setAlphaF(alpha);
    return colour;
}

QFont sansFont(qreal pixelSize, int weight)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(qRound(pixelSize));
    font.setWeight(weight);
    return font;
}

QImage transparentImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void setUpPainter(QPainter &painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
}

// The starter itself, seen from the front: housing, phase terminals, display and status ring.
// Drawn into the rectangle `housing`; everything scales with its width.
void drawDevice(QPainter &painter, const QRectF &housing)
{
    const qreal unit = housing.width() / 170.0;

    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(withAlpha(deep, 0.35));
    painter.drawRoundedRect(housing.translated(0, 6 * unit), 18 * unit, 18 * unit);

    QLinearGradient body(housing.topLeft(), housing.bottomRight());
    body.setColorAt(0, QColor(0xfb, 0xfc, 0xfd));
    body.setColorAt(1, QColor(0xd9, 0xe1, 0xe6));
    painter.setBrush(body);
    painter.drawRoundedRect(housing, 18 * unit, 18 * unit);

    // Terminal rows at top and bottom, three phases each.
    const qreal terminalRadius = 11 * unit;
    for (const qreal y : {housing.top() + 26 * unit, housing.bottom() - 26 * unit}) {
        for (int phase = 0; phase < 3; ++phase) {
            const QPointF centre(housing.center().x() + (phase - 1) * 44 * unit, y);
            painter.setBrush(navy);
            painter.drawEllipse(centre, terminalRadius, terminalRadius);
            painter.setBrush(QColor(0x9a, 0xab, 0xb5));
            painter.drawEllipse(centre, terminalRadius * 0.45, terminalRadius * 0.45);
        }
    }

    // Front panel with the display.
    const QRectF panel(housing.left() + 18 * unit, housing.top() + 54 * unit,
                       housing.width() - 36 * unit, housing.height() - 108 * unit);
    painter.setBrush(navy);
    painter.drawRoundedRect(panel, 10 * unit, 10 * unit);

    const QRectF display(panel.left() + 14 * unit, panel.top() + 14 * unit,
                         panel.width() - 28 * unit, 40 * unit);
    QLinearGradient screen(display.topLeft(), display.bottomLeft());
    screen.setColorAt(0, deep);
    screen.setColorAt(1, QColor(0x0a, 0x30, 0x48));
    painter.setBrush(screen);
    painter.drawRoundedRect(display, 5 * unit, 5 * unit);
    painter.setPen(orange);
    painter.setFont(sansFont(24 * unit, QFont::Bold));
    painter.drawText(display, Qt::AlignCenter, QStringLiteral("K27"));

    // Status ring with its indicator.
    const QPointF ringCentre(panel.center().x(), panel.bottom() - 44 * unit);
    const qreal ringRadius = 26 * unit;
    painter.setPen(QPen(withAlpha(white, 0.25), 5 * unit));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(ringCentre, ringRadius, ringRadius);
    painter.setPen(QPen(orange, 5 * unit, Qt::SolidLine, Qt::RoundCap));
    const QRectF ringBox(ringCentre.x() - ringRadius, ringCentre.y() - ringRadius, 2 * ringRadius,
                         2 * ringRadius);
    painter.drawArc(ringBox, 90 * 16, -250 * 16);
    painter.setPen(Qt::NoPen);
    painter.setBrush(orange);
    painter.drawEllipse(ringCentre, 7 * unit, 7 * unit);
    painter.restore();
}

QImage keyVisualXL()
{
    const int size = 480;
    QImage image = transparentImage(size, size);
    QPainter painter(&image);
    setUpPainter(painter);
    const QPointF centre(size / 2.0, size / 2.0);

    // Outer orange arc, open at the lower left like a gauge.
    painter.setPen(QPen(orange, 9, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(10, 10, size - 20, size - 20), 225 * 16, -300 * 16);
    painter.setPen(QPen(withAlpha(orange, 0.35), 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(QRectF(10, 10, size - 20, size - 20), 225 * 16, 60 * 16);

    // The disc.
    const qreal discRadius = 208;
    QRadialGradient disc(centre - QPointF(60, 80), discRadius * 1.6);
    disc.setColorAt(0, QColor(0x2c, 0x58, 0x6d));
    disc.setColorAt(0.55, navy);
    disc.setColorAt(1, deep);
    painter.setPen(Qt::NoPen);
    painter.setBrush(disc);
    painter.drawEllipse(centre, discRadius, discRadius);

    // Three phases running through the starter, clipped to the disc.
    QPainterPath discPath;
    discPath.addEllipse(centre, discRadius, discRadius);
    painter.save();
    painter.setClipPath(discPath);
    painter.setPen(QPen(withAlpha(white, 0.55), 4, Qt::SolidLine, Qt::FlatCap));
    const qreal housingWidth = 170;
    const qreal unit = housingWidth / 170.0;
    for (int phase = 0; phase < 3; ++phase) {
        const qreal x = centre.x() + (phase - 1) * 44 * unit;
        painter.drawLine(QPointF(x, 0), QPointF(x, size));
    }
    // Fine concentric rings give the disc depth.
    for (int ring = 1; ring <= 3; ++ring) {
        painter.setPen(QPen(withAlpha(white, 0.05), 2));
        painter.setBrush(Qt::NoBrush);
        const qreal radius = discRadius - ring * 34;
        painter.drawEllipse(centre, radius, radius);
    }
    painter.restore();

    drawDevice(painter, QRectF(centre.x() - housingWidth / 2, centre.y() - 125, housingWidth, 250));
    return image;
}

QImage keyVisualIcon(int size)
{
    QImage image = transparentImage(size, size);
    QPainter painter(&image);
    setUpPainter(painter);
    const qreal s = size;
    const QRectF tile(0.5, 0.5, s - 1, s - 1);
    QLinearGradient background(tile.topLeft(), tile.bottomRight());
    background.setColorAt(0, QColor(0x2c, 0x58, 0x6d));
    background.setColorAt(1, deep);
    painter.setPen(Qt::NoPen);
    painter.setBrush(background);
    painter.drawRoundedRect(tile, s * 0.2, s * 0.2);

    const QPointF centre(s / 2, s / 2);
    const qreal radius = s * 0.32;
    painter.setPen(QPen(orange, std::max(1.5, s * 0.09), Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius),
                    225 * 16, -300 * 16);
    if (size >= 32) {
        const QRectF housing(centre.x() - s * 0.12, centre.y() - s * 0.17, s * 0.24, s * 0.34);
        painter.setPen(Qt::NoPen);
        painter.setBrush(white);
        painter.drawRoundedRect(housing, s * 0.035, s * 0.035);
        painter.setBrush(orange);
        painter.drawEllipse(QPointF(centre.x(), housing.bottom() - s * 0.09), s * 0.045, s * 0.045);
        painter.setBrush(navy);
        painter.drawRect(QRectF(housing.left() + s * 0.04, housing.top() + s * 0.05,
                                housing.width() - s * 0.08, s * 0.08));
    } else {
        painter.setPen(Qt::NoPen);
        painter.setBrush(white);
        painter.drawEllipse(centre, s * 0.12, s * 0.12);
    }
    return image;
}

QImage welcomeBackground()
{
    const int width = 1280;
    const int height = 910;
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    setUpPainter(painter);

    QLinearGradient base(0, 0, width, height);
    base.setColorAt(0, white);
    base.setColorAt(1, QColor(0xe6, 0xec, 0xef));
    painter.fillRect(image.rect(), base);

    // Large faint type mark behind the lower right corner.
    painter.setPen(withAlpha(navy, 0.045));
    painter.setFont(sansFont(400, QFont::Black));
    painter.drawText(QPointF(575, 860), QStringLiteral("K27"));

    // Soft rings around the place of the key visual on the left.
    const QPointF visualCentre(300, 460);
    painter.setBrush(Qt::NoBrush);
    for (int ring = 0; ring < 4; ++ring) {
        painter.setPen(QPen(withAlpha(navy, 0.06 - ring * 0.012), 2));
        const qreal radius = 290 + ring * 46;
        painter.drawEllipse(visualCentre, radius, radius);
    }

    // Title typography above the login fields.
    const qreal left = 600;
    QFont title = sansFont(76, QFont::Bold);
    painter.setFont(title);
    painter.setPen(navy);
    const QString torvex = QStringLiteral("TORVEX");
    painter.drawText(QPointF(left, 240), torvex);
    const qreal torvexWidth = QFontMetricsF(title).horizontalAdvance(torvex);
    painter.setFont(sansFont(30, QFont::Bold));
    painter.drawText(QPointF(left + torvexWidth + 4, 200), QStringLiteral("\u00ae"));
    painter.setFont(title);
    painter.setPen(orange);
    painter.drawText(QPointF(left + torvexWidth + 30, 240), QStringLiteral("K27"));

    painter.setFont(sansFont(50, QFont::Light));
    painter.setPen(navy);
    painter.drawText(QPointF(left + 2, 306), QStringLiteral("ServiceTool"));

    painter.setPen(Qt::NoPen);
    painter.setBrush(orange);
    painter.drawRoundedRect(QRectF(left + 4, 334, 96, 6), 3, 3);

    // Bottom edge: a navy band with an orange lead.
    painter.setPen(Qt::NoPen);
    painter.setBrush(navy);
    painter.drawRect(QRectF(0, height - 8, width, 8));
    painter.setBrush(orange);
    painter.drawRect(QRectF(0, height - 8, width * 0.36, 8));
    return image;
}

QImage kelmorLogo()
{
    QImage image = transparentImage(200, 56);
    QPainter painter(&image);
    setUpPainter(painter);

    const QRectF mark(4, 8, 40, 40);
    painter.setPen(Qt::NoPen);
    painter.setBrush(orange);
    painter.drawRoundedRect(mark, 9, 9);
    painter.setPen(white);
    painter.setFont(sansFont(32, QFont::Bold));
    painter.drawText(mark.adjusted(0, -3, 0, 0), Qt::AlignCenter, QStringLiteral("k"));

    QFont word = sansFont(34, QFont::Bold);
    word.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    painter.setFont(word);
    painter.setPen(navy);
    painter.drawText(QRectF(54, 0, 146, 56), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("kelmor"));
    return image;
}

QImage arrowDown()
{
    QImage image = transparentImage(16, 10);
    QPainter painter(&image);
    setUpPainter(painter);
    painter.setPen(QPen(orange, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF points[] = {{2, 2}, {8, 8}, {14, 2}};
    painter.drawPolyline(points, 3);
    return image;
}

QImage checkBox(bool checked)
{
    QImage image = transparentImage(22, 22);
    QPainter painter(&image);
    setUpPainter(painter);
    const QRectF box(1, 1, 20, 20);
    if (checked) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(orange);
        painter.drawRoundedRect(box, 4, 4);
        painter.setPen(QPen(white, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const QPointF tick[] = {{5.5, 11.5}, {9.5, 15.5}, {16.5, 7}};
        painter.drawPolyline(tick, 3);
    } else {
        painter.setPen(QPen(navy, 2));
        painter.setBrush(white);
        painter.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    }
    return image;
}

QImage loginIcon()
{
    QImage image = transparentImage(30, 30);
    QPainter painter(&image);
    setUpPainter(painter);
    painter.setPen(Qt::NoPen);
    painter.setBrush(orange);
    painter.drawEllipse(QRectF(1, 1, 28, 28));
    painter.setPen(QPen(white, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawLine(QPointF(8.5, 15), QPointF(20.5, 15));
    const QPointF head[] = {{15.5, 9.5}, {21, 15}, {15.5, 20.5}};
    painter.drawPolyline(head, 3);
    return image;
}

// A Windows icon file holding one 32-bit image per size (bitmap entries, readable everywhere).
QByteArray iconFile(const QVector<QImage> &images)
{
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(images.size());

    quint32 offset = 6 + 16 * images.size();
    QVector<QByteArray> entries;
    for (const QImage &source : images) {
        const QImage image = source.convertToFormat(QImage::Format_ARGB32);
        const int width = image.width();
        const int height = image.height();
        const int maskStride = ((width + 31) / 32) * 4;

        QByteArray entry;
        QDataStream bitmap(&entry, QIODevice::WriteOnly);
        bitmap.setByteOrder(QDataStream::LittleEndian);
        bitmap << quint32(40) << qint32(width) << qint32(2 * height) << quint16(1) << quint16(32)
               << quint32(0) << quint32(width * height * 4 + maskStride * height) << qint32(0)
               << qint32(0) << quint32(0) << quint32(0);
        for (int y = height - 1; y >= 0; --y) {
            const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            for (int x = 0; x < width; ++x) {
                bitmap << quint8(qBlue(line[x])) << quint8(qGreen(line[x])) << quint8(qRed(line[x]))
                       << quint8(qAlpha(line[x]));
            }
        }
        // The transparency comes from the alpha channel; the mask stays all opaque.
        for (int i = 0; i < maskStride * height; ++i)
            bitmap << quint8(0);

        out << quint8(width >= 256 ? 0 : width) << quint8(height >= 256 ? 0 : height) << quint8(0)
            << quint8(0) << quint16(1) << quint16(32) << quint32(entry.size()) << quint32(offset);
        offset += entry.size();
        entries.append(entry);
    }
    for (const QByteArray &entry : entries)
        data.append(entry);
    return data;
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QTextStream err(stderr);
    QTextStream out(stdout);

    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 2) {
        err << "usage: k27-imagegen <output folder>\n";
        return 2;
    }
    const QDir folder(arguments.at(1));
    if (!QDir().mkpath(folder.path())) {
        err << "cannot create " << folder.path() << "\n";
        return 1;
    }

    const QVector<QPair<QString, std::function<QImage()>>> pictures = {
        {QStringLiteral("welcome_background_typo.png"), welcomeBackground},
        {QStringLiteral("key_visual_xl.png"), keyVisualXL},
        {QStringLiteral("kelmor_logo.png"), kelmorLogo},
        {QStringLiteral("arrow_down_active.png"), arrowDown},
        {QStringLiteral("checkbox_unchecked.png"), [] { return checkBox(false); }},
        {QStringLiteral("checkbox_checked.png"), [] { return checkBox(true); }},
        {QStringLiteral("login_icon_active.png"), loginIcon},
    };
    for (const auto &picture : pictures) {
        const QString path = folder.filePath(picture.first);
        if (!picture.second().save(path, "PNG", 9)) {
            err << "cannot write " << path << "\n";
            return 1;
        }
        out << path << "\n";
    }

    QVector<QImage> iconSizes;
    for (const int size : {16, 24, 32, 48, 64})
        iconSizes.append(keyVisualIcon(size));
    const QString iconPath = folder.filePath(QStringLiteral("key_visual.ico"));
    if (!writeFile(iconPath, iconFile(iconSizes))) {
        err << "cannot write " << iconPath << "\n";
        return 1;
    }
    out << iconPath << "\n";
    return 0;
}
