// The dialog's start: the application, the start-up checks, the modal main
// dialog, and the settings written back.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "app/cli/command_line.h"
#include "app/cli/dialog_entry.h"
#include "app/main_app.h"
#include "app/main_dlg.h"
#include "app/qt/main_dialog.h"
#include "app/qt/message_box.h"
#include "app/qt/qt_translations.h"
#include "hangul/code_page.h"
#include "imaging/font_engine.h"

namespace sylpic {

namespace {

class QtStartUpHost : public StartUpHost {
public:
    bool IsCodePage949Available() override { return sylpic::IsCodePage949Available(); }
    std::vector<std::string> FindHangulFonts() override { return ListHangulFaces(); }
    void ShowMessageBox(std::string_view text) override { ShowProgramMessageBox(nullptr, text); }
    void RunModal(CMainDlg& dlg) override
    {
        MainDialog dialog(dlg);
        dialog.exec();
        dialogRan = true;
    }

    bool dialogRan = false;
};

bool HasDisplay()
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return true;
    }
    return false;
}

const char kNoDisplay[] =
    "sylpic: no display to open the dialog on; give the pages to convert as arguments "
    "(see sylpic --help)\n";

// Qt ends the program when it cannot reach the display: say so plainly and
// end with the status of a stopped run instead of an abort.
void OnQtMessage(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    if (type == QtFatalMsg) {
        std::fputs(kNoDisplay, stderr);
        std::_Exit(kExitStopped);
    }
}

}  // namespace

int RunDialog(int argc, char** argv)
{
    if (!HasDisplay()) {
        std::fputs(kNoDisplay, stderr);
        return kExitStopped;
    }
    qInstallMessageHandler(OnQtMessage);
    QApplication app(argc, argv);
    qInstallMessageHandler(nullptr);
    InstallQtTranslations(app);

    QtStartUpHost host;
    CMainApp theApp;
    theApp.InitInstance(host);
    // A start-up check that failed has shown its message box.
    return host.dialogRan ? kExitClean : kExitStopped;
}

}  // namespace sylpic
