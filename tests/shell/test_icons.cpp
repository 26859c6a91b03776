// The code-drawn icons: every tool bar, menu and mode picture has one, they
// are drawn (not empty) and tell their actions apart. With SOVA_ICON_SHEET
// set to a file name the test also writes all of them to one picture.
#include "shell/ui/Icons.h"

#include <QApplication>
#include <QPainter>
#include <QSet>
#include <QtTest>

namespace {
int paintedPixels(const QImage &img) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      n += qAlpha(img.pixel(x, y)) > 0 ? 1 : 0;
  return n;
}
QImage imageOf(const QIcon &icon, int size = 48) {
  return icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
}
} // namespace

class TestIcons : public QObject {
  Q_OBJECT
private slots:
  void everyIconIsDrawnAndDistinct();
};

void TestIcons::everyIconIsDrawnAndDistinct() {
  QList<QPair<QString, QImage>> all;
  for (int b = 1; b <= 12; ++b)
    all << qMakePair(QStringLiteral("main %1").arg(b), imageOf(MainToolIcon(b)));
  for (int b = 1; b <= 9; ++b)
    all << qMakePair(QStringLiteral("measure %1").arg(b), imageOf(MeasureToolIcon(b)));
  for (int g = int(ToolGlyph::Measure); g <= int(ToolGlyph::Function); ++g)
    all << qMakePair(QStringLiteral("glyph %1").arg(g), ToolPixmap(ToolGlyph(g), 48, 1).toImage());
  for (int t : {14, 15})
    all << qMakePair(QStringLiteral("tray %1").arg(t), imageOf(TrayIcon(t), 32));
  for (int m = 0; m <= 2; ++m)
    all << qMakePair(QStringLiteral("sound %1").arg(m), imageOf(SoundModeIcon(m), 32));
  for (int s = 1; s <= 3; ++s)
    all << qMakePair(QStringLiteral("style %1").arg(s), imageOf(PictureStyleIcon(s), 32));
  for (bool male : {true, false})
    all << qMakePair(QStringLiteral("sex %1").arg(male), imageOf(SexIcon(male), 32));
  for (bool hi : {false, true})
    all << qMakePair(QStringLiteral("mode %1").arg(hi), ModePicture(hi).toImage());

  for (const auto &[name, img] : all)
    QVERIFY2(paintedPixels(img) > img.width() * img.height() / 8, qPrintable(name));
  QVERIFY(MainToolIcon(0).isNull() && MainToolIcon(13).isNull() && MeasureToolIcon(10).isNull());
  // Different actions look different (custom functions differ by their number).
  QSet<QByteArray> seen;
  for (int g = int(ToolGlyph::Measure); g <= int(ToolGlyph::Function); ++g) {
    const QImage img = ToolPixmap(ToolGlyph(g), 48).toImage();
    const QByteArray bytes(reinterpret_cast<const char *>(img.constBits()), img.sizeInBytes());
    QVERIFY2(!seen.contains(bytes), qPrintable(QStringLiteral("glyph %1 repeats another").arg(g)));
    seen.insert(bytes);
  }
  QVERIFY(imageOf(MainToolIcon(6)) != imageOf(MainToolIcon(7)));
  QVERIFY(ModePicture(true).toImage() != ModePicture(false).toImage());

  const QString sheetFile = qEnvironmentVariable("SOVA_ICON_SHEET");
  if (!sheetFile.isEmpty()) {
    const int cell = 72, cols = 10;
    QImage sheet(cols * cell, ((int(all.size()) + cols - 1) / cols) * cell, QImage::Format_RGB32);
    sheet.fill(QColor(236, 236, 236));
    QPainter p(&sheet);
    p.setFont(QFont(QString(), 7));
    for (int i = 0; i < all.size(); ++i) {
      const QPoint at((i % cols) * cell, (i / cols) * cell);
      p.drawImage(at + QPoint((cell - all[i].second.width()) / 2, 4), all[i].second);
      p.drawText(QRect(at + QPoint(0, cell - 14), QSize(cell, 12)), Qt::AlignCenter, all[i].first);
    }
    p.end();
    QVERIFY(sheet.save(sheetFile));
  }
}

QTEST_MAIN(TestIcons)
#include "test_icons.moc"
