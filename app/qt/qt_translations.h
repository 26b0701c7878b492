#pragma once
// Qt's own texts (the log pane's context menu, the standard buttons of
// message boxes) in Japanese, like the rest of the dialog.
class QCoreApplication;

namespace sylpic {

// Installs Qt's Japanese translations, as the system's Qt installed them, on
// `app`. False when they are not installed: Qt's texts then stay in English.
bool InstallQtTranslations(QCoreApplication& app);

}  // namespace sylpic
