// Placing aligned children in their parent's client area.
#include "kelva/framework/widgets/AlignLayout.h"

#include <algorithm>

namespace kelva {

std::vector<QRect> AlignedRects(const QRect& Client, const std::vector<TControl*>& Children) {
  std::vector<QRect> Rects;
  Rects.reserve(Children.size());
  for (const TControl* Child : Children)
    Rects.emplace_back(Child->Left(), Child->Top(), std::max(0, Child->Width()),
                       std::max(0, Child->Height()));
  // Strips are taken in the order the framework aligns: top, bottom, left, right, client.
  QRect Rest = Client;
  for (TAlign Pass : {alTop, alBottom, alLeft, alRight, alClient}) {
    for (std::size_t I = 0; I < Children.size(); ++I) {
      const TControl* Child = Children[I];
      if (Child->Align() != Pass || !Child->Visible()) continue;
      const int Height = std::min(std::max(0, Child->Height()), Rest.height());
      const int Width = std::min(std::max(0, Child->Width()), Rest.width());
      switch (Pass) {
      case alTop:
        Rects[I] = QRect(Rest.left(), Rest.top(), Rest.width(), Height);
        Rest.setTop(Rest.top() + Height);
        break;
      case alBottom:
        Rects[I] = QRect(Rest.left(), Rest.bottom() + 1 - Height, Rest.width(), Height);
        Rest.setBottom(Rest.bottom() - Height);
        break;
      case alLeft:
        Rects[I] = QRect(Rest.left(), Rest.top(), Width, Rest.height());
        Rest.setLeft(Rest.left() + Width);
        break;
      case alRight:
        Rects[I] = QRect(Rest.right() + 1 - Width, Rest.top(), Width, Rest.height());
        Rest.setRight(Rest.right() - Width);
        break;
      default:
        Rects[I] = Rest;
        break;
      }
    }
  }
  return Rects;
}

} // namespace kelva
