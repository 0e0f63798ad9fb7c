#include "app/WindowLook.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionComboBox>

#include "chart/ChartView.h"

namespace vx::test {
namespace {

std::string Name(const QWidget& w) {
    return w.objectName().isEmpty() ? w.metaObject()->className() : w.objectName().toStdString();
}

std::string Describe(const QWidget& w, const QString& text, int needs, int has) {
    return Name(w) + " \"" + text.toStdString() + "\" needs " + std::to_string(needs) +
           " px, has " + std::to_string(has);
}

// The part of a control that is drawn: a label's ink, a check box's indicator and
// caption, any other control as a whole.
QRect DrawnRect(const QWidget& w) {
    if (const auto* label = qobject_cast<const QLabel*>(&w); label && label->pixmap().isNull()) {
        const QFontMetrics metrics(label->font());
        const QRect contents = label->contentsRect();
        return metrics.tightBoundingRect(label->text())
            .translated(label->x() + contents.x(), label->y() + contents.y() + metrics.ascent());
    }
    if (qobject_cast<const QCheckBox*>(&w) != nullptr) {
        return {w.pos(), QSize(w.sizeHint().width(), w.height())};
    }
    return w.geometry();
}

void CheckTextFits(const QWidget& w, std::vector<std::string>& problems) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(&w)) {
        if (button->sizeHint().width() > button->width()) {
            problems.push_back(Describe(w, button->text(), button->sizeHint().width(), w.width()));
        }
    } else if (const auto* label = qobject_cast<const QLabel*>(&w)) {
        const int needs = label->fontMetrics().horizontalAdvance(label->text());
        if (needs > label->contentsRect().width()) {
            problems.push_back(Describe(w, label->text(), needs, label->contentsRect().width()));
        }
    } else if (const auto* group = qobject_cast<const QGroupBox*>(&w)) {
        if (group->minimumSizeHint().width() > group->width()) {
            problems.push_back(
                Describe(w, group->title(), group->minimumSizeHint().width(), w.width()));
        }
    } else if (const auto* combo = qobject_cast<const QComboBox*>(&w)) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        const int has =
            combo->style()
                ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo)
                .width();
        const QString text =
            combo->currentIndex() < 0 ? combo->placeholderText() : combo->currentText();
        const int needs = combo->fontMetrics().horizontalAdvance(text);
        if (needs > has) {
            problems.push_back(Describe(w, text, needs, has));
        }
    }
}

// Visible controls side by side: none may run into another or out of the parent.
void CheckApart(const QWidget& parent, std::vector<std::string>& problems) {
    std::vector<const QWidget*> shown;
    for (const QWidget* w : parent.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w->isVisible()) {
            shown.push_back(w);
        }
    }
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const QRect drawn = DrawnRect(*shown[i]);
        if (drawn.right() >= parent.width() || drawn.bottom() >= parent.height()) {
            problems.push_back(Name(*shown[i]) + " runs out of " + Name(parent));
        }
        for (std::size_t j = i + 1; j < shown.size(); ++j) {
            if (drawn.intersects(DrawnRect(*shown[j]))) {
                problems.push_back(Name(*shown[i]) + " runs into " + Name(*shown[j]));
            }
        }
    }
}

void CheckChart(const ChartView& chart, std::vector<std::string>& problems) {
    const QRect inside = chart.PlotRect();
    const QRect legend = chart.LegendRect();
    const QRect panel = chart.SidePanelRect();
    if (!inside.contains(legend)) {
        problems.push_back("the legend leaves " + Name(chart));
    }
    if (!panel.isNull() && (!inside.contains(panel) || panel.intersects(legend))) {
        problems.push_back("the radio group leaves " + Name(chart) + " or covers its legend");
    }
}

}  // namespace

std::vector<std::string> LookProblems(const QWidget& window) {
    std::vector<std::string> problems;
    CheckApart(window, problems);
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisible()) {
            continue;
        }
        CheckTextFits(*w, problems);
        if (const auto* group = qobject_cast<const QGroupBox*>(w)) {
            CheckApart(*group, problems);
        }
        if (const auto* chart = qobject_cast<const ChartView*>(w)) {
            CheckChart(*chart, problems);
        }
    }
    return problems;
}

}  // namespace vx::test
