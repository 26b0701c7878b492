#include "app/qt/log_pane.h"

#include <QScrollBar>
#include <QTextCursor>

namespace sylpic {

LogPane::LogPane(QWidget* parent) : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setFocusPolicy(Qt::ClickFocus);  // no tab stop
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Pages dropped on the pane go to the dialog.
    setAcceptDrops(false);
    viewport()->setAcceptDrops(false);
}

void LogPane::Append(std::string_view text)
{
    InsertAtEnd(text);
    ScrollToEnd();
}

void LogPane::Replace(std::string_view text)
{
    clear();
    pendingCr_ = false;
    InsertAtEnd(text);
    ScrollToEnd();
}

void LogPane::InsertAtEnd(std::string_view text)
{
    QString shown;
    shown.reserve(static_cast<qsizetype>(text.size()) + 1);
    std::string_view rest = text;
    if (pendingCr_) {
        // A "\r" held back from the last text: a line break when "\n" follows.
        if (!rest.empty() && rest.front() == '\n')
            rest.remove_prefix(1);
        shown += QLatin1Char('\n');
        pendingCr_ = false;
    }
    pendingCr_ = !rest.empty() && rest.back() == '\r';
    if (pendingCr_)
        rest.remove_suffix(1);
    QString decoded = QString::fromUtf8(rest.data(), static_cast<qsizetype>(rest.size()));
    decoded.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown += decoded;
    if (shown.isEmpty())
        return;
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(shown);
}

void LogPane::ScrollToEnd()
{
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->maximum());
}

}  // namespace sylpic
