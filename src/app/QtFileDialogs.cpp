#include "app/QtFileDialogs.h"

#include <QFileDialog>

namespace vx {

namespace {
std::optional<std::string> Chosen(const QString& name) {
    if (name.isEmpty()) {
        return std::nullopt;
    }
    return name.toStdString();
}
}  // namespace

std::optional<std::string> QtFileDialogs::AskSaveName(const std::string& lastName) {
    return Chosen(QFileDialog::getSaveFileName(nullptr, {}, QString::fromStdString(lastName), {},
                                               nullptr, QFileDialog::DontConfirmOverwrite));
}

std::optional<std::string> QtFileDialogs::AskOpenName(const std::string& lastName) {
    return Chosen(QFileDialog::getOpenFileName(nullptr, {}, QString::fromStdString(lastName)));
}

}  // namespace vx
