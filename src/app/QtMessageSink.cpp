#include "app/QtMessageSink.h"

#include <QThread>

#include <algorithm>

#include "base/ShortenedNames.h"

namespace vx {

QtMessageSink::QtMessageSink() = default;

void QtMessageSink::OpenBox(const QString& text, const QString& caption, MessageIcon icon,
                            std::function<void()> onClosed) {
    if (*closedAll_) {
        return;
    }
    auto* box =
        new QMessageBox(icon == MessageIcon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon,
                        caption, text, QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QMessageBox::finished, box,
                     [closedAll = closedAll_, onClosed = std::move(onClosed)] {
                         if (onClosed && !*closedAll) {
                             onClosed();
                         }
                     });
    std::erase_if(boxes_, [](const QPointer<QMessageBox>& open) { return open.isNull(); });
    boxes_.emplace_back(box);
    // open() returns at once: a box raised inside a timer slot must not stop the timer.
    box->open();
}

void QtMessageSink::Show(const std::string& text, const std::string& caption, MessageIcon icon,
                         std::function<void()> onClosed) {
    // A name of thousands of characters would make a box taller than the screen.
    const QString qtext = QString::fromStdString(ShortenLongNames(text));
    const QString qcaption = QString::fromStdString(caption);
    if (QThread::currentThread() == uiThread_.thread()) {
        OpenBox(qtext, qcaption, icon, std::move(onClosed));
        return;
    }
    QMetaObject::invokeMethod(
        &uiThread_,
        [this, qtext, qcaption, icon, onClosed = std::move(onClosed)]() mutable {
            OpenBox(qtext, qcaption, icon, std::move(onClosed));
        },
        Qt::QueuedConnection);
}

void QtMessageSink::CloseAll() {
    *closedAll_ = true;
    for (const QPointer<QMessageBox>& box : boxes_) {
        if (!box.isNull()) {
            box->close();
        }
    }
    boxes_.clear();
}

}  // namespace vx
