#include "app/qt/message_box.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace sylpic {

void ShowProgramMessageBox(QWidget* parent, std::string_view text)
{
    QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    // The caption is the program's name: the executable's file name.
    QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(), shown, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("SylpicMessageBox"));
    box.exec();
}

}  // namespace sylpic
