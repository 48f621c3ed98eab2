// TPaletteView: the component palette: one tab per registered palette page, one button per
// class on it. Pressing a button asks for a component of that class to be dropped on the form.
#pragma once

#include <QTabWidget>

#include <functional>

class QAbstractButton;

namespace kelva {

class TClassInfo;

class TPaletteView : public QTabWidget {
public:
  explicit TPaletteView(QWidget* Parent = nullptr);

  // Builds the tabs from the palette registry as it is now (after the packages' Register).
  void Rebuild();

  // The button of the class named ClassName on Page, or null.
  QAbstractButton* ButtonOf(const QString& Page, const QString& ClassName) const;

  // Called with the class of the button pressed.
  std::function<void(const TClassInfo* Class)> OnPick;
};

} // namespace kelva
