#include "app/qt/about_dialog.h"

#include "app/qt/template_controls.h"

namespace sylpic {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    BuildFromTemplate(this, AboutBoxTemplate());
}

}  // namespace sylpic
