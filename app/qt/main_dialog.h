#pragma once
// The main dialog's window: template 102's controls around the dialog state
// object CMainDlg. It fills and settles the boxes when it opens, converts
// the pages dropped on it, shows the log, and records its position when it
// is closed.
#include <QDialog>
#include <string>
#include <vector>

#include "app/user_interface.h"

class QCheckBox;
class QComboBox;
class QMenu;

namespace sylpic {

class CMainDlg;
class LogPane;

class MainDialog : public QDialog, public UserInterface {
    Q_OBJECT
public:
    explicit MainDialog(CMainDlg& dlg, QWidget* parent = nullptr);
    ~MainDialog() override;

    // The save direction of the data exchange: each setting takes what its
    // control shows. Only a drop runs it.
    void UpdateData();
    // What a drop of these local paths does, in their order.
    void DropPages(const std::vector<std::string>& paths);
    bool AcceptsPageDrops() const { return acceptDrops_; }
    // The window menu (the context menu): the tag options' check items and
    // the About item.
    QMenu* CreateWindowMenu();

    // UserInterface
    void LogAppended(std::string_view text) override;
    void LogReplaced(std::string_view text) override;
    void ShowMessageBox(std::string_view text) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;

public slots:
    // Escape, the close box and the window manager's close all come here.
    void reject() override;
    void ShowAboutBox();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void OnInitDialog();

    CMainDlg& dlg_;
    QComboBox* fontNameBox_ = nullptr;
    QComboBox* fontSizeBox_ = nullptr;
    QComboBox* imageFormatBox_ = nullptr;
    QCheckBox* transparentBox_ = nullptr;
    QCheckBox* deleteErrorFilesBox_ = nullptr;
    LogPane* logPane_ = nullptr;
    bool acceptDrops_ = false;
    bool inDrop_ = false;  // a conversion run is under way
    int waitDepth_ = 0;
};

}  // namespace sylpic
