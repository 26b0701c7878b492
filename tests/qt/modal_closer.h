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
        m_keep = keep;
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, &ModalCloser::Poll, Qt::UniqueConnection);
        m_timer.start();
    }
    void Stop() { m_timer.stop(); }
    void Keep(QWidget* keep) { m_keep = keep; }

private:
    void Poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == m_keep)
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

    QTimer m_timer;
    QPointer<QWidget> m_keep;
};
