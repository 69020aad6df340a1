// rxt-grab: saves a picture of one X window (or the whole screen) as PNG, for
// the screenshots of the program's pages and the end-to-end tests.
//
//   rxt-grab WINDOW_ID|root OUTPUT.png

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <string_view>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: rxt-grab WINDOW_ID|root OUTPUT.png\n");
        return 2;
    }
    // It pictures X windows: an inherited offscreen platform (as under the
    // test runner) would give it a screen with nothing on it.
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        std::fprintf(stderr, "rxt-grab: no screen\n");
        return 1;
    }
    WId window = 0;
    if (std::string_view(argv[1]) != "root") {
        char* end = nullptr;
        window = static_cast<WId>(std::strtoull(argv[1], &end, 0));
        if (end == argv[1] || *end != '\0' || window == 0) {
            std::fprintf(stderr, "rxt-grab: not a window id: %s\n", argv[1]);
            return 2;
        }
    }
    const QPixmap picture = screen->grabWindow(window);
    // PNG, or PPM for a name ending in ".ppm" (readable without an image library).
    const QString out = QString::fromLocal8Bit(argv[2]);
    const char* format = out.endsWith(".ppm") ? "PPM" : "PNG";
    if (picture.isNull() ||
        !picture.toImage().convertToFormat(QImage::Format_RGB32).save(out, format)) {
        std::fprintf(stderr, "rxt-grab: cannot grab or save %s\n", argv[2]);
        return 1;
    }
    std::printf("%dx%d\n", picture.width(), picture.height());
    return 0;
}
