// Draws the tray program's icons and writes them, with the resource list that names them, into the
// folder given as the only argument. Run by the build; nothing here needs a display or fonts.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <QTextStream>
#include <cstdio>
#include <functional>

namespace {

const QColor RED(0xd3, 0x2f, 0x2f);
const QColor GREEN(0x2e, 0x9d, 0x3a);
const QColor BLUE(0x1f, 0x6f, 0xd1);
const QColor YELLOW(0xf2, 0xb8, 0x00);
const QColor DARK(0x30, 0x30, 0x30);
const QColor PALE(0xc8, 0xc8, 0xc8);

constexpr int TRAY_SIZE = 32;

enum class Medium { Wireless, Wired };

QImage blank(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// Wireless icons are round, wired ones square, so the medium shows even at a glance.
void drawBase(QPainter& p, Medium medium, const QColor& colour) {
    p.setPen(QPen(colour.darker(140), 1.5));
    p.setBrush(colour);
    if (medium == Medium::Wireless) {
        p.drawEllipse(QRectF(1.5, 1.5, 29, 29));
    } else {
        p.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 5, 5);
    }
}

void drawWaves(QPainter& p, int count) {
    p.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    const QPointF source(16, 23);
    for (int i = 1; i <= count && i <= 3; ++i) {
        const double r = 4.5 * i;
        p.drawArc(QRectF(source.x() - r, source.y() - r, 2 * r, 2 * r), 50 * 16, 80 * 16);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(source, 2.2, 2.2);
}

void drawPlug(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(9, 10, 14, 10), 2, 2);
    p.drawRect(QRectF(11.5, 5, 2.5, 6));
    p.drawRect(QRectF(18, 5, 2.5, 6));
    p.drawRect(QRectF(14.5, 19, 3, 8));
}

void drawLock(QPainter& p) {
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(DARK);
    p.drawRoundedRect(QRectF(19, 20, 12, 10), 2, 2);
    p.setPen(QPen(DARK, 2.2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(21.5, 14, 7, 10), 0, 180 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(25, 25), 1.3, 1.3);
}

QImage trayIcon(Medium medium, const QColor& colour, bool vpn) {
    QImage image = blank(TRAY_SIZE, TRAY_SIZE);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawBase(p, medium, colour);
    if (medium == Medium::Wireless) {
        drawWaves(p, 3);
    } else {
        drawPlug(p);
    }
    if (vpn) drawLock(p);
    return image;
}

QImage radioOffIcon() {
    QImage image = blank(TRAY_SIZE, TRAY_SIZE);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawBase(p, Medium::Wireless, RED);
    p.setPen(QPen(Qt::white, 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 10), QPointF(22, 22));
    p.drawLine(QPointF(22, 10), QPointF(10, 22));
    return image;
}

// One frame of the "in progress" animation: waves appear one by one, then the whole icon pulses.
QImage progressFrame(Medium medium, int frame) {
    QImage image = blank(TRAY_SIZE, TRAY_SIZE);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawBase(p, medium, frame <= 3 ? YELLOW : YELLOW.lighter(100 + 8 * (frame - 3)));
    if (medium == Medium::Wireless) {
        drawWaves(p, frame <= 3 ? frame : 3);
    } else {
        drawPlug(p);
        p.setPen(Qt::NoPen);
        p.setBrush(DARK);
        for (int dot = 0; dot < 3; ++dot) {
            if (dot < frame % 4 || frame > 3) p.drawEllipse(QPointF(11 + 5 * dot, 15), 1.4, 1.4);
        }
    }
    return image;
}

QImage logoMark(int size) {
    QImage image = blank(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    QLinearGradient fill(0, 0, 32, 32);
    fill.setColorAt(0, BLUE.lighter(130));
    fill.setColorAt(1, BLUE.darker(130));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 7, 7);
    // A "T" whose bar arches like a wave.
    p.setBrush(Qt::white);
    QPainterPath bar;
    bar.moveTo(6, 11);
    bar.quadTo(16, 4, 26, 11);
    bar.lineTo(26, 14);
    bar.quadTo(16, 8, 6, 14);
    bar.closeSubpath();
    p.drawPath(bar);
    p.drawRoundedRect(QRectF(14, 10, 4, 17), 1.5, 1.5);
    return image;
}

QImage signalBars(int level) {
    QImage image = blank(60, 20);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (int bar = 0; bar < 5; ++bar) {
        const double height = 4 + 3.5 * bar;
        const QRectF r(4 + bar * 10, 19 - height, 7, height);
        p.setPen(QPen(bar < level ? GREEN.darker(130) : PALE.darker(120), 1));
        p.setBrush(bar < level ? GREEN : QColor(Qt::transparent));
        p.drawRect(r);
    }
    return image;
}

QImage wiredMark() {
    QImage image = blank(60, 20);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(DARK, 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath cable;
    cable.moveTo(4, 14);
    cable.cubicTo(14, 14, 14, 8, 26, 8);
    p.drawPath(cable);
    p.setPen(QPen(DARK.darker(110), 1));
    p.setBrush(PALE);
    p.drawRoundedRect(QRectF(26, 3, 16, 11), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(DARK);
    for (int pin = 0; pin < 4; ++pin) p.drawRect(QRectF(28.5 + 3 * pin, 5, 1.5, 3));
    return image;
}

QImage productLogo() {
    QImage image = blank(180, 60);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawImage(QRectF(6, 6, 48, 48), logoMark(96));
    // Three bands that rise to the right, for a network that gets through.
    const QColor bands[] = {BLUE.lighter(150), BLUE, BLUE.darker(140)};
    for (int i = 0; i < 3; ++i) {
        QPainterPath band;
        const double top = 40 - 9 * i;
        band.moveTo(64, 50);
        band.quadTo(110, top + 8, 172, top - 10);
        band.lineTo(172, top - 4);
        band.quadTo(112, top + 14, 64, 54);
        band.closeSubpath();
        p.fillPath(band, bands[i]);
    }
    return image;
}

struct Icon {
    QString path;  // below the resource prefix
    std::function<QImage()> draw;
};

QList<Icon> icons() {
    QList<Icon> list = {
        {"red", radioOffIcon},
        {"green", [] { return trayIcon(Medium::Wireless, GREEN, false); }},
        {"greenVPN", [] { return trayIcon(Medium::Wireless, GREEN, true); }},
        {"greenWired", [] { return trayIcon(Medium::Wired, GREEN, false); }},
        {"greenWiredVPN", [] { return trayIcon(Medium::Wired, GREEN, true); }},
        {"blue", [] { return trayIcon(Medium::Wireless, BLUE, false); }},
        {"blueVPN", [] { return trayIcon(Medium::Wireless, BLUE, true); }},
        {"blueWired", [] { return trayIcon(Medium::Wired, BLUE, false); }},
        {"blueWiredVPN", [] { return trayIcon(Medium::Wired, BLUE, true); }},
        {"Logo", [] { return logoMark(TRAY_SIZE); }},
        {"Resources/Empty.png", [] { return signalBars(0); }},
        {"Resources/VeryLow.png", [] { return signalBars(1); }},
        {"Resources/Low.png", [] { return signalBars(2); }},
        {"Resources/Good.png", [] { return signalBars(3); }},
        {"Resources/VeryGood.png", [] { return signalBars(4); }},
        {"Resources/Excellent.png", [] { return signalBars(5); }},
        {"Resources/Wired.png", wiredMark},
        {"Resources/VarnelLogo.PNG", productLogo},
    };
    for (int frame = 1; frame <= 6; ++frame) {
        list.append({QStringLiteral("yellow%1").arg(frame),
                     [frame] { return progressFrame(Medium::Wireless, frame); }});
        list.append({QStringLiteral("Wiredyellow%1").arg(frame),
                     [frame] { return progressFrame(Medium::Wired, frame); }});
    }
    return list;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral("Resources"))) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    QFile qrc(out.filePath(QStringLiteral("tamsel_icons.qrc")));
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(qrc.fileName()));
        return 1;
    }
    QTextStream list(&qrc);
    list << "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/Icons\">\n";
    for (const Icon& icon : icons()) {
        // Names without a suffix are saved as PNG too; the file name keeps the resource name.
        const QString file =
            icon.path.contains(QLatin1Char('.')) ? icon.path : icon.path + QStringLiteral(".png");
        if (!icon.draw().save(out.filePath(file), "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
        list << "  <file alias=\"" << icon.path << "\">" << file << "</file>\n";
    }
    list << "</qresource>\n</RCC>\n";
    return 0;
}
