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
#include <QtMath>
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

// Colours of the status pictures.
const QColor grey(0x87, 0x87, 0x87);
const QColor green(0x3a, 0xa6, 0x5c);
const QColor amber(0xf2, 0xa9, 0x00);
const QColor red(0xd7, 0x26, 0x2b);

// What a device picture shows: the status colour of the ring and the display, whether the
// ring turns (the motor runs), and which terminal row is marked as the fault's place.
struct DeviceState
{
    QColor colour;
    bool running = false;
    bool supplyMarked = false;
    bool loadMarked = false;
    bool symbol = false; // warning triangle or error cross on the display
    bool error = false;
};

DeviceState deviceState(const QString &kind)
{
    DeviceState state;
    if (kind == QLatin1String("standby")) {
        state.colour = grey;
    } else if (kind == QLatin1String("operating")) {
        state.colour = green;
        state.running = true;
    } else {
        state.error = kind.startsWith(QLatin1String("error"));
        state.colour = state.error ? red : amber;
        state.symbol = true;
        state.supplyMarked = kind.endsWith(QLatin1String("_supply"));
        state.loadMarked = kind.endsWith(QLatin1String("_load"));
    }
    return state;
}

void drawWarningSign(QPainter &painter, const QPointF &centre, qreal size, const QColor &colour,
                     bool error)
{
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    if (error) {
        painter.drawEllipse(centre, size / 2, size / 2);
        painter.setPen(QPen(white, size * 0.14, Qt::SolidLine, Qt::RoundCap));
        const qreal arm = size * 0.2;
        painter.drawLine(centre + QPointF(-arm, -arm), centre + QPointF(arm, arm));
        painter.drawLine(centre + QPointF(arm, -arm), centre + QPointF(-arm, arm));
    } else {
        QPainterPath triangle;
        triangle.moveTo(centre.x(), centre.y() - size * 0.5);
        triangle.lineTo(centre.x() + size * 0.56, centre.y() + size * 0.46);
        triangle.lineTo(centre.x() - size * 0.56, centre.y() + size * 0.46);
        triangle.closeSubpath();
        painter.setPen(QPen(colour, size * 0.08, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(triangle);
        painter.setPen(QPen(deep, size * 0.12, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(centre + QPointF(0, -size * 0.18), centre + QPointF(0, size * 0.14));
        painter.drawPoint(centre + QPointF(0, size * 0.32));
    }
    painter.restore();
}

// One device picture: the starter of the family (Serra: light single housing; Serra Plus:
// dark housing with an orange side module), its status shown by ring, display and terminals.
QImage devicePicture(bool plus, const QString &kind)
{
    const int width = 260;
    const int height = 340;
    QImage image = transparentImage(width, height);
    QPainter painter(&image);
    setUpPainter(painter);
    const DeviceState state = deviceState(kind);

    // A soft halo in the status colour behind the device.
    QRadialGradient halo(QPointF(width / 2.0, height / 2.0), width * 0.62);
    halo.setColorAt(0, withAlpha(state.colour, 0.22));
    halo.setColorAt(1, withAlpha(state.colour, 0.0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(halo);
    painter.drawEllipse(QPointF(width / 2.0, height / 2.0), width * 0.62, width * 0.62);

    const qreal housingWidth = plus ? 196 : 150;
    const QRectF housing((width - housingWidth) / 2, 22, housingWidth, 296);
    const qreal unit = 150.0 / 170.0;

    // Shadow and body.
    painter.setBrush(withAlpha(deep, 0.35));
    painter.drawRoundedRect(housing.translated(0, 6), 16, 16);
    QLinearGradient body(housing.topLeft(), housing.bottomRight());
    if (plus) {
        body.setColorAt(0, QColor(0x35, 0x5d, 0x70));
        body.setColorAt(1, deep);
    } else {
        body.setColorAt(0, QColor(0xfb, 0xfc, 0xfd));
        body.setColorAt(1, QColor(0xd9, 0xe1, 0xe6));
    }
    painter.setBrush(body);
    painter.drawRoundedRect(housing, 16, 16);

    // Serra Plus: the orange communication module on the right with its vents.
    QRectF mainPart = housing;
    if (plus) {
        const QRectF module(housing.right() - 44, housing.top() + 40, 34, housing.height() - 80);
        painter.setBrush(orange);
        painter.drawRoundedRect(module, 7, 7);
        painter.setBrush(withAlpha(white, 0.55));
        for (int vent = 0; vent < 6; ++vent)
            painter.drawRoundedRect(
                QRectF(module.left() + 8, module.top() + 18 + vent * 16, module.width() - 16, 5), 2,
                2);
        painter.setPen(white);
        painter.setFont(sansFont(15, QFont::Black));
        painter.drawText(QRectF(module.left(), module.bottom() - 34, module.width(), 26),
                         Qt::AlignCenter, QStringLiteral("+"));
        painter.setPen(Qt::NoPen);
        mainPart.setRight(module.left() - 2);
    }

    // Terminal rows: supply on top (L1 L2 L3), load below (T1 T2 T3).
    const qreal terminalRadius = 11 * unit;
    for (int row = 0; row < 2; ++row) {
        const qreal y = row == 0 ? housing.top() + 24 : housing.bottom() - 24;
        const bool marked = row == 0 ? state.supplyMarked : state.loadMarked;
        for (int phase = 0; phase < 3; ++phase) {
            const QPointF centre(mainPart.center().x() + (phase - 1) * 38 * unit, y);
            if (marked) {
                painter.setBrush(withAlpha(state.colour, 0.35));
                painter.drawEllipse(centre, terminalRadius * 1.75, terminalRadius * 1.75);
            }
            painter.setBrush(marked ? state.colour : (plus ? QColor(0x0a, 0x18, 0x22) : navy));
            painter.drawEllipse(centre, terminalRadius, terminalRadius);
            painter.setBrush(QColor(0x9a, 0xab, 0xb5));
            painter.drawEllipse(centre, terminalRadius * 0.45, terminalRadius * 0.45);
        }
    }

    // Front panel with display.
    const QRectF panel(mainPart.left() + 14, housing.top() + 50, mainPart.width() - 28,
                       housing.height() - 100);
    painter.setBrush(plus ? QColor(0x0b, 0x1d, 0x2a) : navy);
    painter.drawRoundedRect(panel, 9, 9);
    const QRectF display(panel.left() + 10, panel.top() + 12, panel.width() - 20, 56);
    QLinearGradient screen(display.topLeft(), display.bottomLeft());
    screen.setColorAt(0, deep);
    screen.setColorAt(1, QColor(0x0a, 0x30, 0x48));
    painter.setBrush(screen);
    painter.drawRoundedRect(display, 5, 5);
    painter.setPen(orange);
    painter.setFont(sansFont(20, QFont::Bold));
    painter.drawText(display.adjusted(0, 2, 0, -display.height() / 2), Qt::AlignCenter,
                     plus ? QStringLiteral("K27+") : QStringLiteral("K27"));
    // The display's second line stays free: the program draws the state's word there in the
    // language it speaks (StatusPicture).

    // Status ring: grey when idle, a turning green arc when running, a full ring with the
    // sign in its middle on a fault.
    const QPointF ringCentre(panel.center().x(), panel.bottom() - 50);
    const qreal ringRadius = 30;
    const QRectF ringBox(ringCentre.x() - ringRadius, ringCentre.y() - ringRadius, 2 * ringRadius,
                         2 * ringRadius);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(withAlpha(white, 0.2), 6));
    painter.drawEllipse(ringCentre, ringRadius, ringRadius);
    if (state.running) {
        painter.setPen(QPen(state.colour, 6, Qt::SolidLine, Qt::RoundCap));
        for (int arc = 0; arc < 3; ++arc)
            painter.drawArc(ringBox, (90 - arc * 120) * 16, -80 * 16);
        painter.setPen(Qt::NoPen);
        painter.setBrush(state.colour);
        painter.drawEllipse(ringCentre, 9, 9);
    } else if (state.symbol) {
        painter.setPen(QPen(state.colour, 6));
        painter.drawEllipse(ringCentre, ringRadius, ringRadius);
        drawWarningSign(painter, ringCentre, 30, state.colour, state.error);
    } else {
        painter.setPen(QPen(state.colour, 6, Qt::SolidLine, Qt::RoundCap));
        painter.drawArc(ringBox, 90 * 16, -40 * 16);
        painter.setPen(Qt::NoPen);
        painter.setBrush(state.colour);
        painter.drawEllipse(ringCentre, 7, 7);
    }
    return image;
}

// The direction of rotation: a round arrow in a disc, clockwise for forwards.
QImage directionPicture(bool forward)
{
    const int size = 180;
    QImage image = transparentImage(size, size);
    QPainter painter(&image);
    setUpPainter(painter);
    const QPointF centre(size / 2.0, size / 2.0);
    QRadialGradient disc(centre - QPointF(25, 30), size * 0.75);
    disc.setColorAt(0, QColor(0x2c, 0x58, 0x6d));
    disc.setColorAt(1, deep);
    painter.setPen(Qt::NoPen);
    painter.setBrush(disc);
    painter.drawEllipse(centre, size * 0.47, size * 0.47);

    const qreal radius = size * 0.28;
    const QRectF arcBox(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    painter.setPen(QPen(orange, 13, Qt::SolidLine, Qt::FlatCap));
    painter.setBrush(Qt::NoBrush);
    // Qt's angles run anticlockwise; the arc ends where the head sits.
    const int startAngle = forward ? 120 : 60;
    const int span = forward ? -270 : 270;
    painter.drawArc(arcBox, startAngle * 16, span * 16);
    const qreal endAngle = qDegreesToRadians(qreal(startAngle + span));
    const QPointF tip(centre.x() + radius * std::cos(endAngle),
                      centre.y() - radius * std::sin(endAngle));
    // The head points along the arc's direction at its end.
    const qreal direction = forward ? endAngle - M_PI / 2 : endAngle + M_PI / 2;
    const QPointF along(std::cos(direction), -std::sin(direction));
    const QPointF across(-along.y(), along.x());
    QPainterPath head;
    head.moveTo(tip + along * 20);
    head.lineTo(tip + across * 17 - along * 4);
    head.lineTo(tip - across * 17 - along * 4);
    head.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(orange);
    painter.drawPath(head);

    painter.setPen(white);
    painter.setFont(sansFont(30, QFont::Bold));
    painter.drawText(QRectF(0, 0, size, size), Qt::AlignCenter,
                     forward ? QStringLiteral("R") : QStringLiteral("L"));
    return image;
}

// A three-phase motor seen from the side: finned body, terminal box, shaft.
QImage motorPicture()
{
    const int width = 260;
    const int height = 180;
    QImage image = transparentImage(width, height);
    QPainter painter(&image);
    setUpPainter(painter);
    painter.setPen(Qt::NoPen);

    // Feet.
    painter.setBrush(deep);
    painter.drawRoundedRect(QRectF(40, 150, 150, 14), 4, 4);
    // Body with cooling fins.
    const QRectF body(30, 50, 170, 100);
    QLinearGradient metal(body.topLeft(), body.bottomLeft());
    metal.setColorAt(0, QColor(0x4d, 0x74, 0x87));
    metal.setColorAt(0.5, navy);
    metal.setColorAt(1, deep);
    painter.setBrush(metal);
    painter.drawRoundedRect(body, 18, 18);
    painter.setBrush(withAlpha(white, 0.13));
    for (int fin = 0; fin < 7; ++fin)
        painter.drawRoundedRect(
            QRectF(body.left() + 14, body.top() + 10 + fin * 12.5, body.width() - 44, 4), 2, 2);
    // End shield and shaft.
    painter.setBrush(QColor(0x9a, 0xab, 0xb5));
    painter.drawRoundedRect(QRectF(body.right() - 14, body.top() + 12, 22, body.height() - 24), 6,
                            6);
    painter.setBrush(QColor(0xc8, 0xd2, 0xd8));
    painter.drawRect(QRectF(body.right() + 8, body.center().y() - 8, 36, 16));
    // Terminal box on top.
    painter.setBrush(orange);
    painter.drawRoundedRect(QRectF(80, 24, 70, 32), 6, 6);
    painter.setBrush(white);
    for (int phase = 0; phase < 3; ++phase)
        painter.drawEllipse(QPointF(96 + phase * 19, 40), 4.5, 4.5);
    // The fan cover at the back.
    painter.setBrush(QColor(0x35, 0x5d, 0x70));
    painter.drawRoundedRect(QRectF(14, 60, 22, 80), 8, 8);
    return image;
}

// The switch-like indicator of a protection check box: a pill with its pictogram, orange and
// knob right when on, grey and knob left when off.
QImage protectionSwitch(const QString &glyph, bool on)
{
    const int width = 96;
    const int height = 40;
    QImage image = transparentImage(width, height);
    QPainter painter(&image);
    setUpPainter(painter);
    const QRectF pill(1, 1, width - 2, height - 2);
    painter.setPen(Qt::NoPen);
    painter.setBrush(on ? orange : QColor(0xc3, 0xcb, 0xd0));
    painter.drawRoundedRect(pill, pill.height() / 2, pill.height() / 2);

    const qreal knobRadius = pill.height() / 2 - 4;
    const QPointF knob(on ? pill.right() - 4 - knobRadius : pill.left() + 4 + knobRadius,
                       pill.center().y());
    painter.setBrush(white);
    painter.drawEllipse(knob, knobRadius, knobRadius);
    painter.setPen(on ? orange : grey);
    painter.setFont(sansFont(13, QFont::Bold));
    painter.drawText(
        QRectF(knob.x() - knobRadius, knob.y() - knobRadius, 2 * knobRadius, 2 * knobRadius),
        Qt::AlignCenter, on ? QStringLiteral("I") : QStringLiteral("0"));

    // The pictogram on the free side of the pill.
    const QRectF free = on
        ? QRectF(pill.left() + 6, pill.top(), pill.width() - 2 * knobRadius - 16, pill.height())
        : QRectF(knob.x() + knobRadius + 4, pill.top(), pill.right() - knob.x() - knobRadius - 10,
                 pill.height());
    painter.setPen(on ? white : navy);
    painter.setFont(sansFont(14, QFont::Bold));
    painter.drawText(free, Qt::AlignCenter, glyph);
    return image;
}

// The slide switch of the service mode: knob left for the Platform, right for the Display.
QImage slideButton(bool left)
{
    const int width = 64;
    const int height = 30;
    QImage image = transparentImage(width, height);
    QPainter painter(&image);
    setUpPainter(painter);
    const QRectF track(1, 3, width - 2, height - 6);
    painter.setPen(Qt::NoPen);
    painter.setBrush(left ? orange : navy);
    painter.drawRoundedRect(track, track.height() / 2, track.height() / 2);
    const qreal knobRadius = height / 2.0 - 1;
    const QPointF knob(left ? 1 + knobRadius : width - 1 - knobRadius, height / 2.0);
    painter.setBrush(withAlpha(deep, 0.3));
    painter.drawEllipse(knob + QPointF(0, 1), knobRadius, knobRadius);
    painter.setBrush(white);
    painter.drawEllipse(knob, knobRadius - 1, knobRadius - 1);
    return image;
}

// List icon of commands addressed to the Display.
QImage monitorIcon()
{
    QImage image = transparentImage(24, 24);
    QPainter painter(&image);
    setUpPainter(painter);
    painter.setPen(Qt::NoPen);
    painter.setBrush(navy);
    painter.drawRoundedRect(QRectF(2, 3, 20, 14), 2.5, 2.5);
    painter.setBrush(QColor(0x7f, 0xc4, 0xe8));
    painter.drawRect(QRectF(4, 5, 16, 10));
    painter.setBrush(navy);
    painter.drawRect(QRectF(10.5, 17, 3, 3));
    painter.setBrush(orange);
    painter.drawRoundedRect(QRectF(6, 19.5, 12, 2.5), 1, 1);
    return image;
}

// List icon of commands addressed to the Platform: the controller's tower.
QImage towerIcon()
{
    QImage image = transparentImage(24, 24);
    QPainter painter(&image);
    setUpPainter(painter);
    painter.setPen(Qt::NoPen);
    painter.setBrush(navy);
    painter.drawRoundedRect(QRectF(6, 1.5, 12, 21), 2.5, 2.5);
    painter.setBrush(QColor(0x9a, 0xab, 0xb5));
    for (int slot = 0; slot < 3; ++slot)
        painter.drawRect(QRectF(8.5, 4.5 + slot * 3.5, 7, 1.6));
    painter.setBrush(orange);
    painter.drawEllipse(QPointF(12, 18), 2, 2);
    return image;
}

// The small key visual of the main window's head: disc, ring and device.
QImage keyVisualS()
{
    return keyVisualXL().scaled(96, 96, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// The main window's and the connect screen's background: a navy head band that carries the
// white title, a light working area below and the orange and navy foot line.
QImage mainBackground()
{
    const int width = 1280;
    const int height = 910;
    const int head = 118;
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    setUpPainter(painter);

    QLinearGradient base(0, head, width, height);
    base.setColorAt(0, white);
    base.setColorAt(1, QColor(0xe6, 0xec, 0xef));
    painter.fillRect(image.rect(), base);

    painter.setPen(withAlpha(navy, 0.035));
    painter.setFont(sansFont(400, QFont::Black));
    painter.drawText(QPointF(575, 860), QStringLiteral("K27"));

    QLinearGradient band(0, 0, width, 0);
    band.setColorAt(0, deep);
    band.setColorAt(1, navy);
    painter.fillRect(QRectF(0, 0, width, head), band);
    painter.setPen(QPen(withAlpha(white, 0.06), 2));
    painter.setBrush(Qt::NoBrush);
    for (int ring = 0; ring < 4; ++ring) {
        const qreal radius = 120 + ring * 60;
        painter.drawEllipse(QPointF(width - 160, head / 2.0), radius, radius);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(orange);
    painter.drawRect(QRectF(0, head, width * 0.36, 4));

    painter.setBrush(navy);
    painter.drawRect(QRectF(0, height - 8, width, 8));
    painter.setBrush(orange);
    painter.drawRect(QRectF(0, height - 8, width * 0.36, 8));
    return image;
}

// The connect screen's picture: a USB plug heading for its socket.
QImage usbConnect()
{
    const int width = 320;
    const int height = 200;
    QImage image = transparentImage(width, height);
    QPainter painter(&image);
    setUpPainter(painter);
    painter.setPen(Qt::NoPen);

    // Cable and plug from the left.
    painter.setPen(QPen(navy, 12, Qt::SolidLine, Qt::RoundCap));
    QPainterPath cable;
    cable.moveTo(6, 170);
    cable.cubicTo(60, 170, 40, 100, 96, 100);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(cable);
    painter.setPen(Qt::NoPen);
    painter.setBrush(navy);
    painter.drawRoundedRect(QRectF(90, 78, 58, 44), 8, 8);
    painter.setBrush(QColor(0xc8, 0xd2, 0xd8));
    painter.drawRect(QRectF(146, 86, 34, 28));
    painter.setBrush(navy);
    painter.drawRect(QRectF(154, 93, 8, 6));
    painter.drawRect(QRectF(166, 101, 8, 6));

    // The gap with the orange motion marks.
    painter.setPen(QPen(orange, 5, Qt::SolidLine, Qt::RoundCap));
    for (int mark = 0; mark < 3; ++mark) {
        const qreal x = 194 + mark * 13;
        painter.drawLine(QPointF(x, 88), QPointF(x + 6, 100));
        painter.drawLine(QPointF(x + 6, 100), QPointF(x, 112));
    }

    // The socket on the device's side.
    painter.setPen(Qt::NoPen);
    painter.setBrush(deep);
    painter.drawRoundedRect(QRectF(240, 50, 74, 100), 12, 12);
    painter.setBrush(QColor(0x0a, 0x30, 0x48));
    painter.drawRoundedRect(QRectF(254, 82, 46, 36), 4, 4);
    painter.setBrush(orange);
    painter.drawRect(QRectF(262, 92, 30, 10));
    painter.drawEllipse(QPointF(277, 134), 5, 5);
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
    if (arguments.size() != 2 && arguments.size() != 3) {
        err << "usage: k27-imagegen <image folder> [<icon theme folder>]\n";
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
        {QStringLiteral("main_background.png"), mainBackground},
        {QStringLiteral("key_visual_s.png"), keyVisualS},
        {QStringLiteral("usb_connect.png"), usbConnect},
        {QStringLiteral("forward.png"), [] { return directionPicture(true); }},
        {QStringLiteral("backward.png"), [] { return directionPicture(false); }},
        {QStringLiteral("motor.png"), motorPicture},
        {QStringLiteral("monitor.png"), monitorIcon},
        {QStringLiteral("tower.png"), towerIcon},
        {QStringLiteral("slide_button_left.png"), [] { return slideButton(true); }},
        {QStringLiteral("slide_button_right.png"), [] { return slideButton(false); }},
    };
    QVector<QPair<QString, std::function<QImage()>>> allPictures = pictures;
    // The protection switches: one pictogram each, on and off.
    const QVector<QPair<QString, QString>> switches = {
        {QStringLiteral("softstart"), QStringLiteral("↗")},
        {QStringLiteral("auto_reset"), QStringLiteral("↻")},
        {QStringLiteral("undercurrent"), QStringLiteral("I<")},
        {QStringLiteral("undervoltage"), QStringLiteral("U<")},
        {QStringLiteral("overvoltage"), QStringLiteral("U>")},
        {QStringLiteral("load_asymmetry"), QStringLiteral("≠")},
    };
    for (const auto &protection : switches) {
        for (const bool on : {true, false}) {
            allPictures.append(
                {protection.first + (on ? QStringLiteral("_on.png") : QStringLiteral("_off.png")),
                 [glyph = protection.second, on] { return protectionSwitch(glyph, on); }});
        }
    }
    // The device pictures: two families, eight states each.
    for (const bool plus : {false, true}) {
        for (const char *kind : {"standby", "operating", "warning", "warning_load",
                                 "warning_supply", "error", "error_load", "error_supply"}) {
            const QString name
                = QStringLiteral("torvex_k27_serra%1_%2.png")
                      .arg(plus ? QStringLiteral("+") : QString(), QLatin1String(kind));
            allPictures.append({name, [plus, kind = QString::fromLatin1(kind)] {
                                    return devicePicture(plus, kind);
                                }});
        }
    }
    for (const auto &picture : allPictures) {
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

    // The program's icon for desktop menus: one PNG per size of the hicolor theme.
    if (arguments.size() == 3) {
        const QDir theme(arguments.at(2));
        for (const int size : {16, 32, 48, 64, 128, 256}) {
            const QString sizeFolder
                = theme.filePath(QStringLiteral("hicolor/%1x%1/apps").arg(size));
            const QString path = QDir(sizeFolder).filePath(QStringLiteral("k27-servicetool.png"));
            if (!QDir().mkpath(sizeFolder) || !keyVisualIcon(size).save(path, "PNG", 9)) {
                err << "cannot write " << path << "\n";
                return 1;
            }
            out << path << "\n";
        }
    }
    return 0;
}
