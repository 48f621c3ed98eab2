// The Qt buttons of a navigator's widget, for programs and tests that press them.
#pragma once

#include "kelva/framework/forms/DBCtrls.h"

class QToolButton;
class QWidget;

namespace kelva {

// The button for Button inside the widget TQtFormView made for a TDBNavigator, or null.
QToolButton* NavigatorButton(QWidget* NavigatorWidget, TNavigateBtn Button);

} // namespace kelva
