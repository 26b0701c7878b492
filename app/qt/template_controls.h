#pragma once
// Builds the controls of a dialog template as Qt widgets placed from their
// dialog units. Each widget gets the template's name as its object name and
// its id as the property "controlId".
#include <QIcon>

#include "app/qt/dialog_template.h"

class QDialog;
class QWidget;

namespace sylpic {

// The program's icon, in its 32×32 and 16×16 images.
QIcon ProgramIcon();

// Gives `dialog` the template's caption, font and fixed client size, creates
// its controls in template order (which is also the tab order) and returns
// the dialog units used.
DialogUnits BuildFromTemplate(QDialog* dialog, const DialogTemplate& dialogTemplate);

// The control of `dialog` with the given object name, or nullptr.
QWidget* FindControl(const QDialog* dialog, const char* name);

}  // namespace sylpic
