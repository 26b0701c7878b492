#include "app/qt/main_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

#include "app/main_dlg.h"
#include "app/qt/about_dialog.h"
#include "app/qt/log_pane.h"
#include "app/qt/message_box.h"
#include "app/qt/surface_resolution.h"
#include "app/qt/template_controls.h"
#include "app/settings.h"
#include "res/messages.h"

namespace {

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The local files among dropped URLs, in drop order, as file-system bytes.
std::vector<std::string> LocalPaths(const QMimeData* mime)
{
    std::vector<std::string> paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile())
            paths.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
    return paths;
}

// The tag options of the window menu, each a check item over its member.
struct TagOptionItem {
    const char* name;   // the action's object name
    const char* label;  // UTF-8, with its access key
    int CMainDlg::*member;
};
constexpr TagOptionItem kTagOptionItems[] = {
    {"AltTextAction", "代替テキスト(&T)", &CMainDlg::m_bAltText},
    {"DimensionsAction", "幅と高さ(&W)", &CMainDlg::m_bDimensions},
    {"HiDpiAction", "2倍画像(&2)", &CMainDlg::m_bHiDpi},
};

void SelectText(QComboBox* box, const std::string& text)
{
    const int index = box->findText(FromUtf8(text), Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (index >= 0)
        box->setCurrentIndex(index);
    else if (box->isEditable())
        box->setEditText(FromUtf8(text));
}

}  // namespace

MainDialog::MainDialog(CMainDlg& dlg, QWidget* parent) : QDialog(parent), m_dlg(dlg)
{
    BuildFromTemplate(this, MainDialogTemplate());
    m_cbFontName = qobject_cast<QComboBox*>(FindControl(this, "IDC_FONTNAME"));
    m_cbFontSize = qobject_cast<QComboBox*>(FindControl(this, "IDC_FONTSIZE"));
    m_cbImageFormat = qobject_cast<QComboBox*>(FindControl(this, "IDC_IMGFTYPE"));
    m_chkTransparent = qobject_cast<QCheckBox*>(FindControl(this, "IDC_BKTRP"));
    m_chkDeleteErrorFiles = qobject_cast<QCheckBox*>(FindControl(this, "IDC_DELERRF"));
    m_edLog = qobject_cast<LogPane*>(FindControl(this, "IDC_LOG"));
    for (const std::string& item : FontSizeItems())
        m_cbFontSize->addItem(FromUtf8(item));
    for (const std::string& item : ImageFormatItems())
        m_cbImageFormat->addItem(FromUtf8(item));
    m_dlg.SetUserInterface(this);
    OnInitDialog();
}

MainDialog::~MainDialog()
{
    m_dlg.SetUserInterface(nullptr);
}

void MainDialog::OnInitDialog()
{
    // The load direction of the data exchange.
    m_chkTransparent->setChecked(m_dlg.m_bTransparent != 0);
    m_chkDeleteErrorFiles->setChecked(m_dlg.m_bDeleteErrorFiles != 0);

    move(m_dlg.m_nPosX, m_dlg.m_nPosY);

    std::vector<std::string> faces;
    if (!m_dlg.m_fontList.empty()) {
        faces = FontBoxItems(m_dlg.m_fontList);
        for (const std::string& face : faces)
            m_cbFontName->addItem(FromUtf8(face));
        // The box holds the names now; the list itself is no longer needed.
        m_dlg.m_fontList.clear();
        m_dlg.m_fontList.shrink_to_fit();
        m_dlg.LogText("", false, false);
        m_bAcceptDrops = true;
    } else {
        ShowMessageBox(LoadMessage(IDS_NO_HANGUL_FONT));
        m_dlg.m_strFontName.clear();
        m_dlg.LogMessage(IDS_NO_HANGUL_FONT, true, false);
        m_bAcceptDrops = false;
    }
    setAcceptDrops(m_bAcceptDrops);

    // Font, size and format by the search rule, with their fallbacks.
    SettleDialogSelections(m_dlg, faces);
    SelectText(m_cbFontName, m_dlg.m_strFontName);
    SelectText(m_cbFontSize, m_dlg.m_strFontSize);
    SelectText(m_cbImageFormat, m_dlg.m_strImageFormat);

    m_dlg.FreeImageBits();
    m_cbFontName->setFocus();
}

void MainDialog::UpdateData()
{
    m_dlg.m_strFontName = m_cbFontName->currentText().toStdString();
    m_dlg.m_strFontSize = m_cbFontSize->currentText().toStdString();
    m_dlg.m_strImageFormat = m_cbImageFormat->currentText().toStdString();
    m_dlg.m_bDeleteErrorFiles = m_chkDeleteErrorFiles->isChecked() ? 1 : 0;
    m_dlg.m_bTransparent = m_chkTransparent->isChecked() ? 1 : 0;
}

void MainDialog::DropPages(const std::vector<std::string>& paths)
{
    // A message box shown during a drop runs its own event loop: a second
    // drop arriving then waits for no one and is refused.
    if (!m_bAcceptDrops || m_bInDrop || paths.empty())
        return;
    m_bInDrop = true;
    // Pages are drawn at the resolution of the screen the dialog is on now;
    // it may have been moved to another screen since the last drop.
    m_dlg.m_nScreenDpi = SurfaceDpi(this);
    m_dlg.OnDropFiles(paths, [this](CMainDlg&) { UpdateData(); });
    m_bInDrop = false;
}

void MainDialog::reject()
{
    const QPoint topLeft = frameGeometry().topLeft();
    m_dlg.m_nPosX = topLeft.x();
    m_dlg.m_nPosY = topLeft.y();
    QDialog::reject();
}

void MainDialog::keyPressEvent(QKeyEvent* event)
{
    // Enter neither closes the dialog nor starts anything.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);  // Escape ends the dialog through reject()
}

QMenu* MainDialog::CreateWindowMenu()
{
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("WindowMenu"));
    // Unlike the controls, a check item takes effect at once: it has no
    // data exchange that a drop would run.
    for (const TagOptionItem& item : kTagOptionItems) {
        QAction* action = menu->addAction(QString::fromUtf8(item.label));
        action->setObjectName(QString::fromUtf8(item.name));
        action->setCheckable(true);
        action->setChecked(m_dlg.*item.member != 0);
        int CMainDlg::*member = item.member;
        connect(action, &QAction::toggled, this, [this, member](bool on) { m_dlg.*member = on ? 1 : 0; });
    }
    menu->addSeparator();
    const char* about = LoadMessage(IDS_ABOUTBOX);
    if (*about) {
        QAction* action = menu->addAction(QString::fromUtf8(about));
        action->setObjectName(QStringLiteral("AboutAction"));
        connect(action, &QAction::triggered, this, &MainDialog::ShowAboutBox);
    }
    return menu;
}

void MainDialog::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = CreateWindowMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void MainDialog::ShowAboutBox()
{
    CAboutDlg about(this);
    about.exec();
}

void MainDialog::dragEnterEvent(QDragEnterEvent* event)
{
    if (m_bAcceptDrops && !m_bInDrop && !LocalPaths(event->mimeData()).empty())
        event->acceptProposedAction();
}

void MainDialog::dragMoveEvent(QDragMoveEvent* event)
{
    if (m_bAcceptDrops && !m_bInDrop)
        event->acceptProposedAction();
}

void MainDialog::dropEvent(QDropEvent* event)
{
    const std::vector<std::string> paths = LocalPaths(event->mimeData());
    if (!m_bAcceptDrops || paths.empty())
        return;
    event->acceptProposedAction();
    DropPages(paths);
}

void MainDialog::LogAppended(std::string_view text)
{
    m_edLog->Append(text);
}

void MainDialog::LogReplaced(std::string_view text)
{
    m_edLog->Replace(text);
}

void MainDialog::ShowMessageBox(std::string_view text)
{
    // The box takes the normal cursor even in the middle of a drop.
    if (m_nWaitDepth > 0)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    ShowProgramMessageBox(isVisible() ? this : nullptr, text);
    if (m_nWaitDepth > 0)
        QApplication::restoreOverrideCursor();
}

void MainDialog::BeginWaitCursor()
{
    ++m_nWaitDepth;
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void MainDialog::EndWaitCursor()
{
    if (m_nWaitDepth == 0)
        return;
    --m_nWaitDepth;
    QApplication::restoreOverrideCursor();
}
