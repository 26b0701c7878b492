#include "app/qt/template_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "app/qt/log_pane.h"

namespace sylpic {

QIcon ProgramIcon()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/sylpic/sylpic-32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/sylpic/sylpic-16.png"), QSize(16, 16));
    return icon;
}

namespace {

QString Label(const DialogControl& control)
{
    return control.label ? QString::fromUtf8(control.label) : QString();
}

// A combo box shows its field at the template's place; the template's height
// is that of the field with its list dropped down.
QComboBox* CreateComboBox(QWidget* parent, const DialogControl& control, const DialogUnits& units)
{
    auto* box = new QComboBox(parent);
    const bool editable = control.kind == ControlKind::kDropDown;
    box->setEditable(editable);
    if (editable) {
        box->setInsertPolicy(QComboBox::NoInsert);
        box->lineEdit()->setAcceptDrops(false);  // pages dropped here go to the dialog
    }
    const QRect area = units.ToPixels(control.x, control.y, control.cx, control.cy);
    const int fieldHeight = box->sizeHint().height();
    box->setGeometry(area.x(), area.y(), area.width(), fieldHeight);
    const int itemHeight = box->fontMetrics().height();
    box->setMaxVisibleItems(std::max(1, (area.height() - fieldHeight) / itemHeight));
    return box;
}

QWidget* CreateControl(QDialog* dialog, const DialogControl& control, const DialogUnits& units)
{
    const QRect area = units.ToPixels(control.x, control.y, control.cx, control.cy);
    QWidget* widget = nullptr;
    switch (control.kind) {
    case ControlKind::kDropDownList:
    case ControlKind::kDropDown:
        return CreateComboBox(dialog, control, units);
    case ControlKind::kCheckBox:
        widget = new QCheckBox(Label(control), dialog);
        break;
    case ControlKind::kLogPane: {
        auto* pane = new LogPane(dialog);
        pane->setPlaceholderText(Label(control));
        widget = pane;
        break;
    }
    case ControlKind::kHiddenButton: {
        auto* button = new QPushButton(Label(control), dialog);
        button->setAutoDefault(false);
        button->setEnabled(control.id != IDOK);
        button->hide();
        widget = button;
        break;
    }
    case ControlKind::kDefaultButton: {
        auto* button = new QPushButton(Label(control), dialog);
        button->setDefault(true);
        QObject::connect(button, &QPushButton::clicked, dialog, &QDialog::accept);
        widget = button;
        break;
    }
    case ControlKind::kStaticText: {
        auto* label = new QLabel(Label(control), dialog);
        label->setTextFormat(Qt::PlainText);  // no access-key processing
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
        widget = label;
        break;
    }
    case ControlKind::kIcon: {
        // An icon control takes the icon's own size at the template's place.
        auto* label = new QLabel(dialog);
        label->setPixmap(ProgramIcon().pixmap(32, 32));
        label->setGeometry(area.x(), area.y(), 32, 32);
        return label;
    }
    }
    widget->setGeometry(area);
    return widget;
}

}  // namespace

DialogUnits BuildFromTemplate(QDialog* dialog, const DialogTemplate& dialogTemplate)
{
    dialog->setWindowTitle(QString::fromUtf8(dialogTemplate.caption));
    dialog->setWindowIcon(ProgramIcon());
    dialog->setFont(DialogFont());
    // A caption, a window menu and a close box; no minimise or maximise box.
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint);
    const DialogUnits units(dialog->font());
    dialog->setFixedSize(units.ToPixelsX(dialogTemplate.cx), units.ToPixelsY(dialogTemplate.cy));
    for (int i = 0; i < dialogTemplate.controlCount; ++i) {
        const DialogControl& control = dialogTemplate.controls[i];
        QWidget* widget = CreateControl(dialog, control, units);
        widget->setObjectName(QString::fromUtf8(control.name));
        widget->setProperty("controlId", control.id);
    }
    return units;
}

QWidget* FindControl(const QDialog* dialog, const char* name)
{
    return dialog->findChild<QWidget*>(QString::fromUtf8(name), Qt::FindDirectChildrenOnly);
}

}  // namespace sylpic
