// Drawing a glyph's text rows as pixels.
#include "kelva/framework/widgets/Glyphs.h"

#include <QColor>
#include <QImage>
#include <QPixmap>

#include <algorithm>

namespace kelva {

namespace {

QColor PixelColour(char Pixel) {
  switch (Pixel) {
  case '#':
    return QColor(0, 0, 0);
  case 'o':
    return QColor(128, 128, 128);
  case 'w':
    return QColor(255, 255, 255);
  default:
    return QColor(0, 0, 128);
  }
}

QPixmap Picture(const TStrings& Rows, int FirstColumn, int Width, int Scale) {
  const int Height = Rows.Count();
  QImage Image(Width * Scale, Height * Scale, QImage::Format_ARGB32);
  Image.fill(Qt::transparent);
  for (int Y = 0; Y < Height; ++Y) {
    const std::string& Row = Rows[Y];
    for (int X = 0; X < Width; ++X) {
      const std::size_t Column = static_cast<std::size_t>(FirstColumn + X);
      if (Column >= Row.size() || Row[Column] == '.') continue;
      const QColor Colour = PixelColour(Row[Column]);
      for (int Dy = 0; Dy < Scale; ++Dy)
        for (int Dx = 0; Dx < Scale; ++Dx)
          Image.setPixelColor(X * Scale + Dx, Y * Scale + Dy, Colour);
    }
  }
  return QPixmap::fromImage(Image);
}

} // namespace

QIcon GlyphIcon(const TStrings& Rows, int NumGlyphs, int Scale) {
  QIcon Icon;
  std::size_t Widest = 0;
  for (int Y = 0; Y < Rows.Count(); ++Y) Widest = std::max(Widest, Rows[Y].size());
  if (Widest == 0 || Rows.Count() == 0) return Icon;
  const int Images = std::max(1, NumGlyphs);
  const int Width = static_cast<int>(Widest) / Images;
  if (Width == 0) return Icon;
  Icon.addPixmap(Picture(Rows, 0, Width, Scale), QIcon::Normal);
  if (Images >= 2) Icon.addPixmap(Picture(Rows, Width, Width, Scale), QIcon::Disabled);
  return Icon;
}

} // namespace kelva
