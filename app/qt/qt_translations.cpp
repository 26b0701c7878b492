#include "app/qt/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace sylpic {

bool InstallQtTranslations(QCoreApplication& app)
{
    // The dialog is Japanese whatever the desktop's language, so the
    // catalogue is chosen by name rather than by the locale.
    auto* translator = new QTranslator(&app);  // lives as long as the application
    if (!translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace sylpic
