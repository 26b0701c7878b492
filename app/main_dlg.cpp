#include "app/main_dlg.h"

#include "res/messages.h"

namespace sylpic {

CMainDlg::CMainDlg(UserInterface* ui) : m_pUi(ui) {}

CMainDlg::~CMainDlg() = default;

void CMainDlg::LogText(std::string_view text, bool newline, bool append)
{
    std::string added(text);
    if (newline)
        added += "\r\n";
    if (append) {
        m_strLog += added;
        if (m_pUi)
            m_pUi->LogAppended(added);
    } else {
        m_strLog = added;
        if (m_pUi)
            m_pUi->LogReplaced(m_strLog);
    }
}

void CMainDlg::LogMessage(int number, bool newline, bool append)
{
    LogText(LoadMessage(number), newline, append);
}

void CMainDlg::ShowMessageBox(std::string_view text)
{
    if (m_pUi)
        m_pUi->ShowMessageBox(text);
}

void CMainDlg::ReportCause(std::string_view path, std::string_view reason)
{
    if (m_pUi)
        m_pUi->ReportCause(path, reason);
}

}  // namespace sylpic
