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

namespace sylpic {

namespace {

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A local file's path exactly as the file system has it. A file manager
// sends each byte of a name that is not UTF-8 (a Shift_JIS name, say)
// percent-encoded; decoding the URL to text would turn those bytes into
// U+FFFD, so the path's bytes are taken from its encoded form instead.
std::string LocalPathBytes(const QUrl& url)
{
    const QString host = url.host();
    if (!host.isEmpty() && host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0)
        return QFile::encodeName(url.toLocalFile()).toStdString();  // a share: "//host/path"
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
}

// The local files among dropped URLs, in drop order, as file-system bytes.
std::vector<std::string> LocalPaths(const QMimeData* mime)
{
    std::vector<std::string> paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile())
            paths.push_back(LocalPathBytes(url));
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
    {"RealTextAction", "テキストで出力(&X)", &CMainDlg::m_bRealText},
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

MainDialog::MainDialog(CMainDlg& dlg, QWidget* parent) : QDialog(parent), dlg_(dlg)
{
    BuildFromTemplate(this, MainDialogTemplate());
    fontNameBox_ = qobject_cast<QComboBox*>(FindControl(this, "IDC_FONTNAME"));
    fontSizeBox_ = qobject_cast<QComboBox*>(FindControl(this, "IDC_FONTSIZE"));
    imageFormatBox_ = qobject_cast<QComboBox*>(FindControl(this, "IDC_IMGFTYPE"));
    transparentBox_ = qobject_cast<QCheckBox*>(FindControl(this, "IDC_BKTRP"));
    deleteErrorFilesBox_ = qobject_cast<QCheckBox*>(FindControl(this, "IDC_DELERRF"));
    logPane_ = qobject_cast<LogPane*>(FindControl(this, "IDC_LOG"));
    for (const std::string& item : FontSizeItems())
        fontSizeBox_->addItem(FromUtf8(item));
    for (const std::string& item : ImageFormatItems())
        imageFormatBox_->addItem(FromUtf8(item));
    dlg_.SetUserInterface(this);
    OnInitDialog();
}

MainDialog::~MainDialog()
{
    dlg_.SetUserInterface(nullptr);
}

void MainDialog::OnInitDialog()
{
    // The load direction of the data exchange.
    transparentBox_->setChecked(dlg_.m_bTransparent != 0);
    deleteErrorFilesBox_->setChecked(dlg_.m_bDeleteErrorFiles != 0);

    move(dlg_.m_nPosX, dlg_.m_nPosY);

    std::vector<std::string> faces;
    if (!dlg_.m_fontList.empty()) {
        faces = FontBoxItems(dlg_.m_fontList);
        for (const std::string& face : faces)
            fontNameBox_->addItem(FromUtf8(face));
        // The box holds the names now; the list itself is no longer needed.
        dlg_.m_fontList.clear();
        dlg_.m_fontList.shrink_to_fit();
        dlg_.LogText("", false, false);
        acceptDrops_ = true;
    } else {
        ShowMessageBox(LoadMessage(IDS_NO_HANGUL_FONT));
        dlg_.m_strFontName.clear();
        dlg_.LogMessage(IDS_NO_HANGUL_FONT, true, false);
        acceptDrops_ = false;
    }
    setAcceptDrops(acceptDrops_);

    // Font, size and format by the search rule, with their fallbacks.
    SettleDialogSelections(dlg_, faces);
    SelectText(fontNameBox_, dlg_.m_strFontName);
    SelectText(fontSizeBox_, dlg_.m_strFontSize);
    SelectText(imageFormatBox_, dlg_.m_strImageFormat);

    dlg_.FreeImageBits();
    fontNameBox_->setFocus();
}

void MainDialog::UpdateData()
{
    dlg_.m_strFontName = fontNameBox_->currentText().toStdString();
    dlg_.m_strFontSize = fontSizeBox_->currentText().toStdString();
    dlg_.m_strImageFormat = imageFormatBox_->currentText().toStdString();
    dlg_.m_bDeleteErrorFiles = deleteErrorFilesBox_->isChecked() ? 1 : 0;
    dlg_.m_bTransparent = transparentBox_->isChecked() ? 1 : 0;
}

void MainDialog::DropPages(const std::vector<std::string>& paths)
{
    // A message box shown during a drop runs its own event loop: a second
    // drop arriving then waits for no one and is refused.
    if (!acceptDrops_ || inDrop_ || paths.empty())
        return;
    inDrop_ = true;
    // Pages are drawn at the resolution of the screen the dialog is on now;
    // it may have been moved to another screen since the last drop.
    dlg_.m_nScreenDpi = SurfaceDpi(this);
    dlg_.OnDropFiles(paths, [this](CMainDlg&) { UpdateData(); });
    inDrop_ = false;
}

void MainDialog::reject()
{
    const QPoint topLeft = frameGeometry().topLeft();
    dlg_.m_nPosX = topLeft.x();
    dlg_.m_nPosY = topLeft.y();
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
        action->setChecked(dlg_.*item.member != 0);
        int CMainDlg::*member = item.member;
        connect(action, &QAction::toggled, this, [this, member](bool on) { dlg_.*member = on ? 1 : 0; });
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
    if (acceptDrops_ && !inDrop_ && !LocalPaths(event->mimeData()).empty())
        event->acceptProposedAction();
}

void MainDialog::dragMoveEvent(QDragMoveEvent* event)
{
    if (acceptDrops_ && !inDrop_)
        event->acceptProposedAction();
}

void MainDialog::dropEvent(QDropEvent* event)
{
    const std::vector<std::string> paths = LocalPaths(event->mimeData());
    if (!acceptDrops_ || paths.empty())
        return;
    event->acceptProposedAction();
    DropPages(paths);
}

void MainDialog::LogAppended(std::string_view text)
{
    logPane_->Append(text);
}

void MainDialog::LogReplaced(std::string_view text)
{
    logPane_->Replace(text);
}

void MainDialog::ShowMessageBox(std::string_view text)
{
    // The box takes the normal cursor even in the middle of a drop.
    if (waitDepth_ > 0)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    ShowProgramMessageBox(isVisible() ? this : nullptr, text);
    if (waitDepth_ > 0)
        QApplication::restoreOverrideCursor();
}

void MainDialog::BeginWaitCursor()
{
    ++waitDepth_;
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void MainDialog::EndWaitCursor()
{
    if (waitDepth_ == 0)
        return;
    --waitDepth_;
    QApplication::restoreOverrideCursor();
}

}  // namespace sylpic
