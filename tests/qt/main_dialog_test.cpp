// The main dialog driven as a user drives it: built from a settings file,
// pages dropped on it, closed with Escape; and the settings written after.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

#include "app/main_app.h"
#include "app/main_dlg.h"
#include "app/profile.h"
#include "app/qt/about_dialog.h"
#include "app/qt/log_pane.h"
#include "app/qt/main_dialog.h"
#include "app/qt/qt_translations.h"
#include "app/qt/template_controls.h"
#include "app/settings.h"
#include "modal_closer.h"
#include "res/messages.h"

using namespace sylpic;

namespace {

const std::vector<std::string> kFaces = {"NanumMyeongjo", "@NanumGothic", "NanumGothic", "Baekmuk Gulim"};

QString Message(int number)
{
    return QString::fromUtf8(LoadMessage(number));
}

void WriteFile(const QString& path, const std::string& bytes)
{
    std::ofstream out(QFile::encodeName(path).toStdString(), std::ios::binary);
    out << bytes;
}

std::string ReadFile(const QString& path)
{
    std::ifstream in(QFile::encodeName(path).toStdString(), std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

// A dialog state as start-up leaves it: the font list and the settings read
// from `profileText`.
void PrepareState(CMainDlg& dlg, const QString& profilePath, const std::string& profileText,
                  const std::vector<std::string>& faces = kFaces)
{
    WriteFile(profilePath, profileText);
    ProfileFile profile(QFile::encodeName(profilePath).toStdString());
    profile.Load();
    ReadSettings(profile, dlg);
    dlg.m_fontList = faces;
    dlg.m_nFontCount = static_cast<int>(faces.size());
}

template <typename T>
T* Control(const MainDialog& dialog, const char* name)
{
    return qobject_cast<T*>(FindControl(&dialog, name));
}

QStringList Items(const QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

// Delivers a drop of this data onto the dialog.
bool Drop(MainDialog& dialog, const QMimeData& mime)
{
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &drop);
    return enter.isAccepted();
}

// Delivers a drop of these local files onto the dialog, as a file manager would.
bool Drop(MainDialog& dialog, const QStringList& files)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& file : files)
        urls << QUrl::fromLocalFile(file);
    mime.setUrls(urls);
    return Drop(dialog, mime);
}

const char kPlainPage[] = "<html><body>no blocks here</body></html>\r\n";

}  // namespace

class MainDialogTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString Path(const QString& name) const { return dir_.filePath(name); }

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    void selectionsFollowTheSearchRule()
    {
        CMainDlg dlg;
        PrepareState(dlg, Path("rule.ini"),
                     "[sylpic]\r\nfontsize=2\r\nimgftype=png\r\nFONTNAME=Gone Font\r\nBKTRP=0\r\nDELERRF=1\r\n");
        MainDialog dialog(dlg);

        auto* fonts = Control<QComboBox>(dialog, "IDC_FONTNAME");
        // Sorted, without the vertical "@" face; the stored name matches no
        // face, so the first face is chosen.
        QCOMPARE(Items(fonts), QStringList({"Baekmuk Gulim", "NanumGothic", "NanumMyeongjo"}));
        QCOMPARE(fonts->currentText(), QString("Baekmuk Gulim"));
        QCOMPARE(dlg.m_strFontName, std::string("Baekmuk Gulim"));
        QVERIFY(dlg.m_fontList.empty());  // freed once the box is filled

        QCOMPARE(Control<QComboBox>(dialog, "IDC_FONTSIZE")->currentText(), QString("20"));
        QCOMPARE(dlg.m_strFontSize, std::string("20"));
        QCOMPARE(Control<QComboBox>(dialog, "IDC_IMGFTYPE")->currentText(), QString("PNG"));
        QCOMPARE(dlg.m_strImageFormat, std::string("PNG"));
        QCOMPARE(Control<QCheckBox>(dialog, "IDC_BKTRP")->isChecked(), false);
        QCOMPARE(Control<QCheckBox>(dialog, "IDC_DELERRF")->isChecked(), true);
        QCOMPARE(Control<LogPane>(dialog, "IDC_LOG")->Text(), QString());
        QVERIFY(dialog.AcceptsPageDrops());
    }

    void storedNamePrefixSelectsTheFirstMatchingFace()
    {
        CMainDlg dlg;
        PrepareState(dlg, Path("prefix.ini"), "[SYLPIC]\r\nFONTNAME=nanum\r\nFONTSIZE=1\r\nIMGFTYPE=x\r\n");
        MainDialog dialog(dlg);
        QCOMPARE(dlg.m_strFontName, std::string("NanumGothic"));
        QCOMPARE(Control<QComboBox>(dialog, "IDC_FONTNAME")->currentText(), QString("NanumGothic"));
        QCOMPARE(dlg.m_strFontSize, std::string("10"));
        QCOMPARE(dlg.m_strImageFormat, std::string("XBM"));
    }

    void unknownSizeAndFormatFallBackSilently()
    {
        CMainDlg dlg;
        PrepareState(dlg, Path("fallback.ini"), "[SYLPIC]\r\nFONTSIZE=13\r\nIMGFTYPE=jpeg\r\n");
        MainDialog dialog(dlg);
        QCOMPARE(dlg.m_strFontSize, std::string("12"));
        QCOMPARE(Control<QComboBox>(dialog, "IDC_FONTSIZE")->currentText(), QString("12"));
        QCOMPARE(dlg.m_strImageFormat, std::string("GIF"));
        QCOMPARE(Control<LogPane>(dialog, "IDC_LOG")->Text(), QString());
    }

    void withoutFontListTheDialogRefusesDrops()
    {
        CMainDlg dlg;
        PrepareState(dlg, Path("nofonts.ini"), "[SYLPIC]\r\nFONTNAME=NanumGothic\r\n", {});
        ModalCloser closer;
        closer.Start();
        MainDialog dialog(dlg);
        closer.Stop();
        QCOMPARE(closer.texts, QStringList({Message(IDS_NO_HANGUL_FONT)}));
        QCOMPARE(closer.captions, QStringList({QCoreApplication::applicationName()}));
        QCOMPARE(Control<LogPane>(dialog, "IDC_LOG")->Text(), Message(IDS_NO_HANGUL_FONT) + "\n");
        QCOMPARE(dlg.m_strFontName, std::string());
        QVERIFY(!dialog.AcceptsPageDrops());

        const QString page = Path("refused.htm");
        WriteFile(page, kPlainPage);
        QVERIFY(!Drop(dialog, {page}));
        QVERIFY(QFile::exists(page));  // not renamed to its source name
        QVERIFY(!QFile::exists(Path("sp_refused.htm")));
        QCOMPARE(Control<LogPane>(dialog, "IDC_LOG")->Text(), Message(IDS_NO_HANGUL_FONT) + "\n");
    }

    void dropConvertsThePageWithTheControlsSettings()
    {
        QTemporaryDir pages;
        const QString page = pages.filePath("page.htm");
        WriteFile(page, "<html><body>[[han-gug]]</body></html>\r\n");

        CMainDlg dlg;
        PrepareState(dlg, Path("drop.ini"), "[SYLPIC]\r\nFONTNAME=NanumGothic\r\nFONTSIZE=12\r\nBKTRP=1\r\n");
        MainDialog dialog(dlg);
        Control<QComboBox>(dialog, "IDC_FONTSIZE")->setEditText("13");
        Control<QComboBox>(dialog, "IDC_IMGFTYPE")->setCurrentIndex(2);
        Control<QCheckBox>(dialog, "IDC_BKTRP")->setChecked(false);
        QCOMPARE(dlg.m_strFontSize, std::string("12"));  // no drop yet

        QVERIFY(Drop(dialog, {page}));
        QCOMPARE(Control<LogPane>(dialog, "IDC_LOG")->Text(),
                 page + QString::fromUtf8("\u3000画像数 1, 作成数 1, 正常終了\n"));
        QCOMPARE(ReadFile(pages.filePath("sp_page.htm")), std::string("<html><body>[[han-gug]]</body></html>\r\n"));
        // The drop took the settings from the controls first: an XBM image.
        const QStringList images = QDir(pages.filePath("hanimg")).entryList(QDir::Files);
        QCOMPARE(images.size(), 1);
        QVERIFY(images[0].endsWith(".xbm"));
        QVERIFY(ReadFile(page).find("<img src=\"./hanimg/" + images[0].toStdString() + "\">") != std::string::npos);
        QCOMPARE(dlg.m_strFontSize, std::string("13"));
        QCOMPARE(dlg.m_strImageFormat, std::string("XBM"));
        QCOMPARE(dlg.m_bTransparent, 0);
        QVERIFY(QApplication::overrideCursor() == nullptr);  // the wait cursor is gone
    }

    void dropTakesANameThatIsNotUtf8AsItsBytes()
    {
        // "あ.htm" in Shift_JIS, sent as a file manager sends it: each byte
        // of the name percent-encoded.
        const std::string folder = QFile::encodeName(dir_.path()).toStdString() + "/";
        const std::string name = "\x82\xA0.htm";
        std::ofstream(folder + name, std::ios::binary) << kPlainPage;
        QMimeData mime;
        const QByteArray path = QByteArray::fromStdString(folder + name);
        mime.setData("text/uri-list", "file://" + path.toPercentEncoding("/") + "\r\n");

        CMainDlg dlg;
        PrepareState(dlg, Path("sjis.ini"), "");
        MainDialog dialog(dlg);
        QVERIFY(Drop(dialog, mime));
        QVERIFY(Control<LogPane>(dialog, "IDC_LOG")->Text().endsWith(QString::fromUtf8("　画像数 0, 作成数 0, 正常終了\n")));
        // QTemporaryDir cannot remove names that are not UTF-8.
        QVERIFY(std::remove((folder + "sp_" + name).c_str()) == 0 && std::remove((folder + name).c_str()) == 0);
    }

    // SYLPIC_SCREEN_DPIS: each screen's resolution, screens from left to right.
    void dropDrawsAtTheResolutionOfTheDialogsScreen()
    {
        const QStringList expected = qEnvironmentVariable("SYLPIC_SCREEN_DPIS", "96").split(',');
        QList<QScreen*> screens = QGuiApplication::screens();
        std::sort(screens.begin(), screens.end(), [](auto a, auto b) { return a->geometry().x() < b->geometry().x(); });
        QCOMPARE(screens.size(), expected.size());
        CMainDlg dlg;
        PrepareState(dlg, Path("dpi.ini"), "");
        MainDialog dialog(dlg);
        dialog.show();
        for (int i = 0; i < screens.size(); ++i) {
            dialog.move(screens[i]->geometry().topLeft() + QPoint(20, 20));
            QTRY_COMPARE(dialog.screen(), screens[i]);
            dlg.m_nScreenDpi = 0;
            const QString page = Path(QString("dpi%1.htm").arg(i));
            WriteFile(page, kPlainPage);
            QVERIFY(Drop(dialog, {page}));
            QCOMPARE(dlg.m_nScreenDpi, expected[i].toInt());
        }
    }

    void secondPageRefusedLogsTwoLines()
    {
        QTemporaryDir pages;
        const QString first = pages.filePath("one.htm");
        const QString second = pages.filePath("two.htm");
        WriteFile(first, kPlainPage);
        WriteFile(second, kPlainPage);
        WriteFile(pages.filePath("sp_two.htm"), kPlainPage);  // two.htm is generated: refused

        CMainDlg dlg;
        PrepareState(dlg, Path("two.ini"), "");
        MainDialog dialog(dlg);
        dialog.show();
        // A page dropped while message box 110 is open is refused.
        const QString third = pages.filePath("three.htm");
        WriteFile(third, kPlainPage);
        bool thirdAccepted = true;
        ModalCloser closer;
        closer.whileOpen = [&] { thirdAccepted = Drop(dialog, {third}); };
        closer.Start(&dialog);
        QVERIFY(Drop(dialog, {first, second}));
        closer.Stop();
        QVERIFY(!thirdAccepted);
        QVERIFY(!QFile::exists(pages.filePath("sp_three.htm")));

        QCOMPARE(Control<LogPane>(dialog, "IDC_LOG")->Text(),
                 first + QString::fromUtf8("　画像数 0, 作成数 0, 正常終了\n") + second + Message(IDS_NOT_PROCESSED) +
                     "\n");
        QCOMPARE(closer.texts.size(), 1);
        QVERIFY(closer.texts[0].startsWith(QString::fromUtf8("two.htm ではなく、sp_two.htm を修正")));
        QVERIFY(closer.texts[0].contains('\n') && !closer.texts[0].contains('\r'));
        QCOMPARE(closer.captions[0], QCoreApplication::applicationName());
    }

    void enterDoesNothingAndEscapeRecordsThePosition()
    {
        CMainDlg dlg;
        PrepareState(dlg, Path("escape.ini"), "[SYLPIC]\r\nXPOS=40\r\nYPOS=50\r\n");
        MainDialog dialog(dlg);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.frameGeometry().topLeft(), QPoint(40, 50));

        QTest::keyClick(&dialog, Qt::Key_Return);
        QTest::keyClick(Control<QComboBox>(dialog, "IDC_FONTSIZE")->lineEdit(), Qt::Key_Enter);
        QVERIFY(dialog.isVisible());

        dialog.move(321, 222);
        QTRY_COMPARE(dialog.frameGeometry().topLeft(), QPoint(321, 222));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(dlg.m_nPosX, 321);
        QCOMPARE(dlg.m_nPosY, 222);
    }

    void closeBoxRecordsThePosition()
    {
        CMainDlg dlg;
        PrepareState(dlg, Path("close.ini"), "[SYLPIC]\r\nXPOS=64\r\nYPOS=32\r\n");
        MainDialog dialog(dlg);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dlg.m_nPosX = dlg.m_nPosY = -1;
        QVERIFY(dialog.close());
        QCOMPARE(dlg.m_nPosX, 64);
        QCOMPARE(dlg.m_nPosY, 32);
    }

    void windowMenuHoldsTheTagOptionsAndTheAboutBox()
    {
        CMainDlg dlg;
        PrepareState(dlg, Path("about.ini"), "[SYLPIC]\r\nDIMENSIONS=1\r\n");
        MainDialog dialog(dlg);
        dialog.show();
        QMenu* menu = dialog.CreateWindowMenu();
        QStringList checks;
        for (const QAction* action : menu->actions())
            if (action->isCheckable())
                checks << action->text() + (action->isChecked() ? "+" : "-");
        QCOMPARE(checks.join(' '), QString::fromUtf8("代替テキスト(&T)- 幅と高さ(&W)+ 2倍画像(&2)- テキストで出力(&X)-"));
        menu->actions()[0]->trigger();
        QCOMPARE(dlg.m_bAltText, 1);  // at once, without a drop
        QAction* about = menu->actions().last();
        QCOMPARE(about->text(), Message(IDS_ABOUTBOX));
        QVERIFY(about->text().contains("(&A)"));  // access key A

        ModalCloser closer;
        closer.Start(&dialog);
        about->trigger();
        closer.Stop();
        QCOMPARE(closer.kinds, QStringList({"sylpic::CAboutDlg"}));
        QCOMPARE(closer.texts, QStringList({"SYLPIC Ver. 1.41"}));
        QVERIFY(dialog.isVisible());
    }

    void aboutBoxFollowsItsTemplate()
    {
        CAboutDlg about;
        const DialogUnits units(about.font());
        QCOMPARE(about.size(), QSize(units.ToPixelsX(204), units.ToPixelsY(71)));
        auto* ok = qobject_cast<QPushButton*>(FindControl(&about, "IDOK"));
        QVERIFY(ok && ok->isDefault());
        QCOMPARE(ok->geometry(), units.ToPixels(159, 51, 38, 13));
        auto* icon = qobject_cast<QLabel*>(FindControl(&about, "IDC_STATIC_ICON"));
        QVERIFY(icon && !icon->pixmap().isNull());
        QCOMPARE(icon->pos(), units.ToPixels(11, 17, 20, 20).topLeft());
        about.show();
        QTest::keyClick(ok, Qt::Key_Space);
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }

    void layoutFollowsTheTemplateUnits()
    {
        CMainDlg dlg;
        PrepareState(dlg, Path("layout.ini"), "");
        MainDialog dialog(dlg);
        const DialogUnits units(dialog.font());
        QVERIFY(units.baseX > 0 && units.baseY > 0);
        QCOMPARE(dialog.windowTitle(), QString("SYLPIC"));
        QCOMPARE(dialog.size(), QSize(units.ToPixelsX(281), units.ToPixelsY(145)));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());  // not resizable
        QVERIFY(!(dialog.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(dialog.windowFlags() & Qt::WindowCloseButtonHint);

        const QRect log = units.ToPixels(7, 36, 267, 102);
        QCOMPARE(FindControl(&dialog, "IDC_LOG")->geometry(), log);
        QCOMPARE(FindControl(&dialog, "IDC_BKTRP")->geometry(), units.ToPixels(7, 23, 40, 10));
        QCOMPARE(FindControl(&dialog, "IDC_FONTNAME")->pos(), units.ToPixels(69, 7, 0, 0).topLeft());
        QCOMPARE(FindControl(&dialog, "IDC_FONTNAME")->width(), units.ToPixelsX(71));
        QCOMPARE(FindControl(&dialog, "IDC_IMGFTYPE")->pos(), units.ToPixels(191, 21, 0, 0).topLeft());
        QCOMPARE(FindControl(&dialog, "IDC_FONTNAME")->property("controlId").toInt(), 1003);

        QCOMPARE(qobject_cast<QLabel*>(FindControl(&dialog, "IDC_STATIC_FONTNAME"))->text(),
                 QString::fromUtf8("ハングルフォント名"));
        QCOMPARE(qobject_cast<QCheckBox*>(FindControl(&dialog, "IDC_DELERRF"))->text(),
                 QString::fromUtf8("エラーファイル自動削除"));
        QCOMPARE(Items(Control<QComboBox>(dialog, "IDC_IMGFTYPE")), QStringList({"GIF", "PNG", "XBM"}));
        QCOMPARE(Items(Control<QComboBox>(dialog, "IDC_FONTSIZE")).join(','),
                 QString("8,9,10,11,12,14,16,18,20,22,24,26,28,36,48,72"));
        QVERIFY(Control<QComboBox>(dialog, "IDC_FONTSIZE")->isEditable());
        QVERIFY(!Control<QComboBox>(dialog, "IDC_FONTNAME")->isEditable());
        QVERIFY(Control<LogPane>(dialog, "IDC_LOG")->isReadOnly());
        QCOMPARE(Control<LogPane>(dialog, "IDC_LOG")->placeholderText(),
                 QString::fromUtf8("変換するページ（HTML ファイル）をここにドロップしてください"));

        // The buttons exist but never show.
        dialog.show();
        QVERIFY(!FindControl(&dialog, "IDOK")->isVisible());
        QVERIFY(!FindControl(&dialog, "IDOK")->isEnabled());
        QVERIFY(!FindControl(&dialog, "IDCANCEL")->isVisible());

        // Tab order is template order; the log pane is no tab stop.
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.focusWidget(), FindControl(&dialog, "IDC_FONTNAME"));
        QStringList order;
        QWidget* next = FindControl(&dialog, "IDC_FONTNAME");
        for (int i = 0; i < 5; ++i) {
            order << next->objectName();
            do
                next = next->nextInFocusChain();
            while (!(next->focusPolicy() & Qt::TabFocus) || !next->isVisible() || next->parentWidget() != &dialog);
        }
        QCOMPARE(order, QStringList({"IDC_FONTNAME", "IDC_FONTSIZE", "IDC_BKTRP", "IDC_DELERRF", "IDC_IMGFTYPE"}));
    }

    void startUpWritesAllSevenSettingsAfterTheDialog()
    {
        const QString ini = Path("startup.ini");
        WriteFile(ini, "[Other]\r\nkeep=me\r\n[sylpic]\r\nFontSize=2\r\nIMGFTYPE=png\r\nBKTRP=0\r\n");

        struct Host : StartUpHost {
            bool IsCodePage949Available() override { return true; }
            std::vector<std::string> FindHangulFonts() override { return kFaces; }
            void ShowMessageBox(std::string_view) override { ++boxes; }
            void RunModal(CMainDlg& dlg) override
            {
                MainDialog dialog(dlg);
                QTimer::singleShot(0, &dialog, [&dialog] {
                    // Changes that no drop follows are not saved.
                    qobject_cast<QCheckBox*>(FindControl(&dialog, "IDC_BKTRP"))->setChecked(true);
                    qobject_cast<QComboBox*>(FindControl(&dialog, "IDC_IMGFTYPE"))->setCurrentIndex(2);
                    dialog.move(150, 120);
                    QTest::keyClick(&dialog, Qt::Key_Escape);
                });
                dialog.exec();
                ran = true;
            }
            int boxes = 0;
            bool ran = false;
        } host;

        CMainApp app(QFile::encodeName(ini).toStdString());
        QVERIFY(!app.InitInstance(host));
        QVERIFY(host.ran);
        QCOMPARE(host.boxes, 0);
        QCOMPARE(ReadFile(ini), std::string("[Other]\r\nkeep=me\r\n[sylpic]\r\nFONTSIZE=20\r\nIMGFTYPE=PNG\r\n"
                                            "BKTRP=0\r\nXPOS=150\r\nYPOS=120\r\nDELERRF=0\r\n"
                                            "FONTNAME=Baekmuk Gulim\r\n"));
    }

    void qtsOwnTextsAreJapanese()
    {
        if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_ja.qm"))
            QSKIP("Qt's Japanese translations are not installed");
        QVERIFY(InstallQtTranslations(*qApp));
        LogPane pane;
        const std::unique_ptr<QMenu> menu(pane.createStandardContextMenu());
        QVERIFY(menu->actions().last()->text().startsWith(QString::fromUtf8("すべてを選択")));
    }

    void logPaneJoinsLineBreaksSplitAcrossCalls()
    {
        LogPane pane;
        pane.Append("first\r");
        pane.Append("\nsecond");
        pane.Append("\r\n");
        QCOMPARE(pane.Text(), QString("first\nsecond\n"));
        pane.Replace("");
        QCOMPARE(pane.Text(), QString());
    }

    void logPaneShowsTheEndOfALongLog()
    {
        LogPane pane;
        pane.resize(300, 120);
        pane.show();
        std::string expected;
        for (int i = 0; i < 3000; ++i) {
            const std::string line = "/pages/page" + std::to_string(i) + ".htm" + LoadMessage(IDS_NOT_PROCESSED);
            pane.Append(line);
            pane.Append("\r\n");
            expected += line + "\n";
        }
        QCOMPARE(pane.Text().toStdString(), expected);
        QCOMPARE(pane.blockCount(), 3001);  // the empty last line counts
        QVERIFY(pane.verticalScrollBar()->maximum() > 0);
        QCOMPARE(pane.verticalScrollBar()->value(), pane.verticalScrollBar()->maximum());
    }
};

QTEST_MAIN(MainDialogTest)
#include "main_dialog_test.moc"
