#pragma once
// Closes the modal windows that open while a test runs (message boxes, the
// About box), keeping what they showed, so that nothing waits for a person.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <functional>

namespace sylpic {

class ModalCloser : public QObject {
public:
    // Captions and texts of the windows closed, in order.
    QStringList captions;
    QStringList texts;
    QStringList kinds;  // class names of the windows closed
    // Runs while each window is still open, before it is closed.
    std::function<void()> whileOpen;

    // Watches for modal windows other than `keep` until Stop().
    void Start(QWidget* keep = nullptr)
    {
        keep_ = keep;
        timer_.setInterval(5);
        connect(&timer_, &QTimer::timeout, this, &ModalCloser::Poll, Qt::UniqueConnection);
        timer_.start();
    }
    void Stop() { timer_.stop(); }
    void Keep(QWidget* keep) { keep_ = keep; }

private:
    void Poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == keep_)
            return;
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog)
            return;
        captions << dialog->windowTitle();
        kinds << QString::fromLatin1(dialog->metaObject()->className());
        if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
            texts << box->text();
        } else {
            QStringList labels;
            for (QLabel* label : dialog->findChildren<QLabel*>())
                if (!label->text().isEmpty())
                    labels << label->text();
            texts << labels.join(QLatin1Char('|'));
        }
        if (whileOpen)
            whileOpen();
        dialog->reject();
    }

    QTimer timer_;
    QPointer<QWidget> keep_;
};

}  // namespace sylpic
