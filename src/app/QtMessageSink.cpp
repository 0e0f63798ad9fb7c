#include "app/QtMessageSink.h"

#include <QMessageBox>
#include <QThread>

namespace vx {
namespace {

void OpenBox(const QString& text, const QString& caption, MessageIcon icon,
             std::function<void()> onClosed) {
    auto* box =
        new QMessageBox(icon == MessageIcon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon,
                        caption, text, QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QMessageBox::finished, box, [onClosed = std::move(onClosed)] {
        if (onClosed) {
            onClosed();
        }
    });
    // open() returns at once: a box raised inside a timer slot must not stop the timer.
    box->open();
}

}  // namespace

QtMessageSink::QtMessageSink() = default;

void QtMessageSink::Show(const std::string& text, const std::string& caption, MessageIcon icon,
                         std::function<void()> onClosed) {
    const QString qtext = QString::fromStdString(text);
    const QString qcaption = QString::fromStdString(caption);
    if (QThread::currentThread() == uiThread_.thread()) {
        OpenBox(qtext, qcaption, icon, std::move(onClosed));
        return;
    }
    QMetaObject::invokeMethod(
        &uiThread_,
        [qtext, qcaption, icon, onClosed = std::move(onClosed)]() mutable {
            OpenBox(qtext, qcaption, icon, std::move(onClosed));
        },
        Qt::QueuedConnection);
}

}  // namespace vx
