// Renders the program's SVG icon into the PNG sizes of the hicolor theme:
//   kv_render_icon ICON.svg OUTPUT-FOLDER SIDE...   writes OUTPUT-FOLDER/SIDExSIDE/krellvane.png
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: kv_render_icon ICON.svg OUTPUT-FOLDER SIDE...\n");
    return 2;
  }
  QGuiApplication app(argc, argv);
  QSvgRenderer renderer{QString::fromLocal8Bit(argv[1])};
  if (!renderer.isValid()) {
    std::fprintf(stderr, "kv_render_icon: %s is not a usable SVG picture\n", argv[1]);
    return 1;
  }
  for (int i = 3; i < argc; ++i) {
    const int side = std::atoi(argv[i]);
    if (side <= 0) {
      std::fprintf(stderr, "kv_render_icon: bad size '%s'\n", argv[i]);
      return 2;
    }
    const QString folder = QString("%1/%2x%2").arg(QString::fromLocal8Bit(argv[2])).arg(side);
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    if (!QDir().mkpath(folder) || !image.save(folder + "/krellvane.png")) {
      std::fprintf(stderr, "kv_render_icon: cannot write %s/krellvane.png\n", qPrintable(folder));
      return 1;
    }
  }
  return 0;
}
