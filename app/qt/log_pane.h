#pragma once
// The log pane: a read-only multi-line text that shows the whole log with
// the view moved to its end. Text arrives with "\r\n" line ends; appending
// adds only the new text, so a log of thousands of lines stays fast.
#include <QPlainTextEdit>
#include <string_view>

namespace sylpic {

class LogPane : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit LogPane(QWidget* parent = nullptr);

    void Append(std::string_view text);
    void Replace(std::string_view text);
    // The text as shown, lines ending in "\n".
    QString Text() const { return toPlainText(); }

private:
    // Inserts `text` at the end, "\r\n" read as one line break.
    void InsertAtEnd(std::string_view text);
    void ScrollToEnd();

    bool pendingCr_ = false;  // the last text ended in a "\r" not yet shown
};

}  // namespace sylpic
