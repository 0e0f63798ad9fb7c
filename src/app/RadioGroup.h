#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>
#include <QStringList>

namespace vx {

// A framed column of radio buttons with one selected item, chosen by index.
class RadioGroup final : public QGroupBox {
    Q_OBJECT

  public:
    RadioGroup(const QString& title, const QStringList& items, QWidget* parent = nullptr);

    // -1 when no item is selected.
    int ItemIndex() const { return buttons_.checkedId(); }
    // Selecting from code notifies like a click; an index outside the items
    // selects none.
    void SetItemIndex(int index);
    QRadioButton* Item(int index) const;
    int Count() const { return static_cast<int>(buttons_.buttons().size()); }

  signals:
    // An item became the selected one.
    void ItemSelected(int index);

  private:
    QButtonGroup buttons_;
};

}  // namespace vx
