#include "app/qt/about_dialog.h"

#include "app/qt/template_controls.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    BuildFromTemplate(this, AboutBoxTemplate());
}
