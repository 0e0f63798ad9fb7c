#include <QMessageBox>

#include "app/DiscardQuestion.h"

namespace vx {

DiscardAnswer AskBeforeDiscardBox(const std::string& question) {
    QMessageBox box(QMessageBox::Question, "WARNING", QString::fromStdString(question),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return DiscardAnswer::Save;
        case QMessageBox::No:
            return DiscardAnswer::Discard;
        default:
            return DiscardAnswer::Cancel;
    }
}

}  // namespace vx
