#include "app/RadioGroup.h"

#include <QVBoxLayout>

namespace vx {

RadioGroup::RadioGroup(const QString& title, const QStringList& items, QWidget* parent)
    : QGroupBox(title, parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 0, 1, 2);
    layout->setSpacing(0);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        button->setFocusPolicy(Qt::ClickFocus);
        buttons_.addButton(button, i);
        layout->addWidget(button);
    }
    // The group is one stop for Tab: its selected item.
    connect(&buttons_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        buttons_.button(id)->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
        if (checked) {
            emit ItemSelected(id);
        }
    });
}

void RadioGroup::SetItemIndex(int index) {
    if (QAbstractButton* button = buttons_.button(index)) {
        button->setChecked(true);
        return;
    }
    // An exclusive group refuses to uncheck its last checked button.
    buttons_.setExclusive(false);
    if (QAbstractButton* checked = buttons_.checkedButton()) {
        checked->setChecked(false);
    }
    buttons_.setExclusive(true);
}

QRadioButton* RadioGroup::Item(int index) const {
    return qobject_cast<QRadioButton*>(buttons_.button(index));
}

}  // namespace vx
