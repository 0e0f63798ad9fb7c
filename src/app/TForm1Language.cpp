// The window in the chosen language: its captions at start-up, the status texts set
// at run time, and the choice of another language.
#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include "app/TForm1.h"
#include "lang/LanguageFile.h"
#include "lang/LanguageIndex.h"
#include "lang/Translation.h"

namespace vx {

namespace {

template <typename Control>
bool IsExactly(const QObject* object) {
    return object->metaObject() == &Control::staticMetaObject;
}

}  // namespace

std::string TForm1::Translated(const std::string& text) const {
    return TranslateText(text, languageIndex, store_.folders, services_.messages);
}

void TForm1::ShowStatus(const std::string& englishText) {
    ErrorString->setText(QString::fromStdString(Translated(englishText)));
}

void TForm1::FillLanguageList(const IniFile& languageFile) {
    const std::vector<std::string> names = LanguageNames(languageFile);
    Language->clear();
    for (const std::string& name : names) {
        Language->addItem(QString::fromStdString(name));
    }
    Language->setCurrentIndex(LanguageListItem(languageIndex, names.size()));
}

// Labels, buttons and check boxes by their exact kind, the series titles and the
// radio group with its items, from the control created last to the first.
void TForm1::TranslateComponents() {
    std::vector<TranslatableText> texts;
    const auto add = [&](QString text, std::function<void(const QString&)> set) {
        texts.push_back({text.toStdString(), [set = std::move(set)](const std::string& t) {
                             set(QString::fromStdString(t));
                         }});
    };
    const QObjectList& controls = children();
    for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
        QObject* control = *it;
        if (IsExactly<QLabel>(control)) {
            auto* label = static_cast<QLabel*>(control);
            if (label->pixmap().isNull()) {  // the header pictures have no caption
                add(label->text(), [label](const QString& t) { label->setText(t); });
            }
        } else if (IsExactly<QPushButton>(control) || IsExactly<QCheckBox>(control)) {
            auto* button = static_cast<QAbstractButton*>(control);
            add(button->text(), [button](const QString& t) { button->setText(t); });
        } else if (control == Chart1) {
            for (int k = 0; k < kSeriesCount; ++k) {
                if (ChartSeries* series = chart_.Series(static_cast<SeriesRole>(k))) {
                    add(QString::fromStdString(series->Title()),
                        [series](const QString& t) { series->SetTitle(t.toStdString()); });
                }
            }
            // The radio group stands in the chart; it was created just before it.
            RadioGroup* group = RadioGroupGraficMode;
            add(group->title(), [group](const QString& t) { group->setTitle(t); });
            for (int i = 0; i < group->Count(); ++i) {
                QAbstractButton* item = group->Item(i);
                add(item->text(), [item](const QString& t) { item->setText(t); });
            }
        }
    }
    vx::TranslateComponents(texts, languageIndex, store_.folders, services_.messages);
}

void TForm1::LanguageChange(int index) {
    if (!StoreLanguageIndex(index, store_.values, store_.folders, services_.messages)) {
        return;
    }
    // The texts on screen stay as they are until the restart.
    services_.messages.Show(kLanguageChangedText, kLanguageChangedCaption, MessageIcon::None,
                            [window = QPointer(this)] {
                                if (window != nullptr && !window->closed_) {
                                    window->close();
                                }
                            });
}

}  // namespace vx
