// Renders the program's SVG icon as a square PNG for the desktop's icon theme:
//   render_icon ICON.svg SIZE OUT.png
// Built and run at build time, so the PNGs always show the SVG as it is now.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: render_icon ICON.svg SIZE OUT.png\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");  // no display is needed to paint into an image
  QGuiApplication application(argc, argv);
  const int size = std::atoi(argv[2]);
  if (size < 1 || size > 4096) {
    std::fprintf(stderr, "render_icon: %s is not a size in pixels\n", argv[2]);
    return 2;
  }
  QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
  if (!svg.isValid()) {
    std::fprintf(stderr, "render_icon: %s is not a readable SVG file\n", argv[1]);
    return 1;
  }
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  svg.render(&painter, QRectF(0, 0, size, size));
  painter.end();
  if (!image.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
    std::fprintf(stderr, "render_icon: %s could not be written\n", argv[3]);
    return 1;
  }
  return 0;
}
