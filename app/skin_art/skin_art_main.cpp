// rxt-skin-art: draws the skin's pictures into a skin folder at build time
// (backgrounds and their thumbnails, the logo, the tray icon, the mouse and
// mousepad pictures behind the light previews).
//
//   rxt-skin-art OUTPUT_SKIN_FOLDER

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>

namespace {

struct Theme {
    QColor base, deep, accent;
};

QImage canvas(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A dark backdrop: a vertical gradient, a faint hexagon mesh, a glow behind
// the content and a thin accent line under the title bar.
QImage background(const Theme& t, int w = 800, int h = 572) {
    QImage image = canvas(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, h);
    fill.setColorAt(0, t.base.lighter(115));
    fill.setColorAt(1, t.deep);
    p.fillRect(image.rect(), fill);

    QRadialGradient glow(w * 0.72, h * 0.55, w * 0.55);
    QColor g = t.accent;
    g.setAlpha(38);
    glow.setColorAt(0, g);
    glow.setColorAt(1, Qt::transparent);
    p.fillRect(image.rect(), glow);

    QColor mesh = t.accent;
    mesh.setAlpha(14);
    p.setPen(QPen(mesh, 1));
    const double r = 18;
    const double dx = r * std::sqrt(3.0);
    for (int row = 0; row * r * 1.5 < h + r; ++row) {
        for (int col = -1; col * dx < w + dx; ++col) {
            const double cx = col * dx + (row % 2 ? dx / 2 : 0);
            const double cy = row * r * 1.5;
            QPolygonF hex;
            for (int k = 0; k < 6; ++k) {
                const double a = M_PI / 3 * k + M_PI / 6;
                hex << QPointF(cx + r * std::cos(a), cy + r * std::sin(a));
            }
            p.drawPolygon(hex);
        }
    }
    QLinearGradient line(0, 0, w, 0);
    QColor a = t.accent;
    line.setColorAt(0, Qt::transparent);
    a.setAlpha(160);
    line.setColorAt(0.5, a);
    line.setColorAt(1, Qt::transparent);
    p.fillRect(QRectF(0, 42, w, 1.5), line);
    return image;
}

QImage logo(const QColor& accent) {
    QImage image = canvas(56, 48);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    // Two forward chevrons.
    for (int k = 0; k < 2; ++k) {
        const double x = 6 + k * 18;
        path.moveTo(x, 6);
        path.lineTo(x + 14, 6);
        path.lineTo(x + 28, 24);
        path.lineTo(x + 14, 42);
        path.lineTo(x, 42);
        path.lineTo(x + 14, 24);
        path.closeSubpath();
    }
    QLinearGradient g(0, 0, 56, 48);
    g.setColorAt(0, accent.lighter(130));
    g.setColorAt(1, accent.darker(140));
    p.fillPath(path, g);
    return image;
}

QImage trayIcon(const QColor& accent) {
    QImage image = canvas(64, 64);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x16, 0x19, 0x20));
    p.setPen(QPen(accent, 3));
    p.drawRoundedRect(QRectF(3, 3, 58, 58), 14, 14);
    p.drawImage(QRectF(10, 12, 44, 38), logo(accent));
    return image;
}

// Top view of the mouse: body, button split, wheel, logo window.
QImage mouse(const QColor& accent) {
    const int w = 180, h = 300;
    QImage image = canvas(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath body;
    body.moveTo(90, 8);
    body.cubicTo(150, 8, 166, 60, 166, 130);
    body.cubicTo(166, 220, 150, 292, 90, 292);
    body.cubicTo(30, 292, 14, 220, 14, 130);
    body.cubicTo(14, 60, 30, 8, 90, 8);
    QLinearGradient shell(0, 0, w, 0);
    shell.setColorAt(0, QColor(0x1d, 0x21, 0x2a));
    shell.setColorAt(0.5, QColor(0x2c, 0x31, 0x3d));
    shell.setColorAt(1, QColor(0x1a, 0x1d, 0x25));
    p.fillPath(body, shell);
    p.setPen(QPen(QColor(0x46, 0x4d, 0x5c), 2));
    p.drawPath(body);
    // Button split and the line across the palm.
    p.setPen(QPen(QColor(0x0d, 0x0f, 0x13), 3));
    p.drawLine(QPointF(90, 10), QPointF(90, 118));
    QPainterPath palm;
    palm.moveTo(22, 124);
    palm.quadTo(90, 140, 158, 124);
    p.drawPath(palm);
    // Wheel.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x0d, 0x0f, 0x13));
    p.drawRoundedRect(QRectF(80, 48, 20, 60), 9, 9);
    QLinearGradient wheel(0, 52, 0, 104);
    wheel.setColorAt(0, QColor(0x55, 0x5c, 0x6b));
    wheel.setColorAt(0.5, QColor(0x8a, 0x92, 0xa3));
    wheel.setColorAt(1, QColor(0x55, 0x5c, 0x6b));
    p.setBrush(wheel);
    p.drawRoundedRect(QRectF(84, 52, 12, 52), 6, 6);
    // Logo window.
    QColor glow = accent;
    glow.setAlpha(70);
    p.setBrush(glow);
    p.drawEllipse(QPointF(90, 200), 15, 15);
    return image;
}

QImage mousepad(const QColor& accent) {
    const int w = 430, h = 300;
    QImage image = canvas(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF pad(6, 6, w - 12, h - 12);
    QLinearGradient fill(0, 0, w, h);
    fill.setColorAt(0, QColor(0x1f, 0x23, 0x2c));
    fill.setColorAt(1, QColor(0x13, 0x15, 0x1b));
    p.setBrush(fill);
    p.setPen(QPen(QColor(0x3a, 0x40, 0x4e), 3));
    p.drawRoundedRect(pad, 16, 16);
    // A fine weave so the surface reads as cloth.
    QColor thread(255, 255, 255, 8);
    p.setPen(QPen(thread, 1));
    for (int x = 14; x < w - 14; x += 6) {
        p.drawLine(x, 14, x, h - 14);
    }
    p.drawImage(QRectF(w - 86, h - 70, 56, 48), logo(accent.darker(160)));
    return image;
}

bool save(const QImage& image, const QString& path) {
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "rxt-skin-art: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace

// A small mouse with one of its buttons marked: the key page's button
// pictures, dim normally ("_normal") and lit in the accent under the
// pointer ("_down").
QImage buttonPicture(const QString& part, bool lit, const QColor& accent) {
    const int w = 64, h = 64;
    QImage image = canvas(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath body;
    body.addRoundedRect(QRectF(18, 6, 28, 52), 13, 13);
    p.fillPath(body, QColor(0x22, 0x26, 0x30));
    p.setPen(QPen(QColor(0x46, 0x4d, 0x5c), 1.5));
    p.drawPath(body);
    p.drawLine(QPointF(32, 7), QPointF(32, 26));
    p.drawLine(QPointF(19, 26), QPointF(45, 26));
    QColor mark = lit ? accent : QColor(0x8a, 0x93, 0xa3);
    p.setPen(Qt::NoPen);
    p.setBrush(mark);
    QPainterPath shape;
    if (part == "left") {
        shape.addRoundedRect(QRectF(19.5, 7.5, 12, 18), 6, 6);
    } else if (part == "right") {
        shape.addRoundedRect(QRectF(32.5, 7.5, 12, 18), 6, 6);
    } else if (part == "wheel") {
        shape.addRoundedRect(QRectF(29, 10, 6, 13), 3, 3);
    } else if (part == "dpi") {
        shape.addRoundedRect(QRectF(28, 29, 8, 6), 2, 2);
    } else {
        // Side buttons on the left flank: forward above, back below.
        const double y = part == "forward" ? 28 : 40;
        shape.moveTo(16, y);
        shape.lineTo(6, y + 5);
        shape.lineTo(16, y + 10);
        shape.closeSubpath();
    }
    p.drawPath(shape);
    if (lit) {
        QColor halo = accent;
        halo.setAlpha(60);
        p.setPen(QPen(halo, 3));
        p.setBrush(Qt::NoBrush);
        p.drawPath(shape);
    }
    return image;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: rxt-skin-art OUTPUT_SKIN_FOLDER\n");
        return 2;
    }
    // Drawing only: no display needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString out = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(out + "/common")) {
        std::fprintf(stderr, "rxt-skin-art: cannot create %s/common\n", argv[1]);
        return 1;
    }
    const QColor accent(0x19, 0xb5, 0xe6);
    const Theme themes[] = {
        {QColor(0x15, 0x18, 0x1f), QColor(0x0a, 0x0b, 0x0f), accent},  // default
        {QColor(0x12, 0x1b, 0x2b), QColor(0x07, 0x0b, 0x14),
         QColor(0x2f, 0x7d, 0xff)},  // deep blue
        {QColor(0x22, 0x12, 0x12), QColor(0x0e, 0x07, 0x07), QColor(0xff, 0x4a, 0x2f)},  // ember
        {QColor(0x1b, 0x13, 0x26), QColor(0x0b, 0x07, 0x12), QColor(0xb0, 0x5c, 0xff)},  // violet
        {QColor(0x0f, 0x21, 0x20), QColor(0x05, 0x0e, 0x0e), QColor(0x22, 0xe0, 0xb0)},  // teal
    };
    bool ok = save(background(themes[0]), out + "/common/background.png");
    for (int i = 1; i <= 4; ++i) {
        const QImage bg = background(themes[i]);
        ok = save(bg, out + QString("/common/bg_%1.png").arg(i)) && ok;
        ok = save(bg.scaled(104, 76, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
                  out + QString("/common/bg_%1_thumb.png").arg(i)) &&
             ok;
    }
    ok = save(logo(accent), out + "/common/logo.png") && ok;
    ok = save(trayIcon(accent), out + "/common/tray.png") && ok;
    ok = save(mouse(accent), out + "/common/mouse.png") && ok;
    ok = save(mousepad(accent), out + "/common/mousepad.png") && ok;
    ok = QDir().mkpath(out + "/ms") && ok;
    for (const char* part : {"left", "wheel", "right", "forward", "back", "dpi"}) {
        for (bool lit : {false, true}) {
            ok = save(buttonPicture(part, lit, accent),
                      out + QString("/ms/key_%1_%2.png").arg(part, lit ? "down" : "normal")) &&
                 ok;
        }
    }
    return ok ? 0 : 1;
}
