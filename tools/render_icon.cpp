// ledgrix-render-icon SVG DIR NAME SIZE...: renders the scalable icon into the PNGs a desktop
// icon theme looks for, DIR/<size>x<size>/apps/NAME.png, so they always match the SVG.
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: ledgrix-render-icon SVG DIR NAME SIZE...\n");
    return 2;
  }
  QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
  if (!svg.isValid()) {
    std::fprintf(stderr, "ledgrix-render-icon: %s is no readable SVG\n", argv[1]);
    return 1;
  }
  const QString root = QString::fromLocal8Bit(argv[2]);
  const QString name = QString::fromLocal8Bit(argv[3]);
  for (int i = 4; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    if (size <= 0 || size > 1024) {
      std::fprintf(stderr, "ledgrix-render-icon: size %s is out of range\n", argv[i]);
      return 2;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
      QPainter painter(&image);
      painter.setRenderHint(QPainter::Antialiasing);
      svg.render(&painter);
    }
    const QString dir = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
    const QString file = QStringLiteral("%1/%2.png").arg(dir, name);
    if (!QDir().mkpath(dir) || !image.save(file, "PNG")) {
      std::fprintf(stderr, "ledgrix-render-icon: cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
