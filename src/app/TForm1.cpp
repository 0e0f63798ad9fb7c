#include "app/TForm1.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QEvent>
#include <QFontMetrics>
#include <QResizeEvent>
#include <QStyle>

#include "app/HeaderPicture.h"
#include "app/WindowFonts.h"

namespace vx {

TForm1::TForm1(TForm1Services services, QWidget* parent)
    : QWidget(parent),
      services_(std::move(services)),
      store_(services_.settings, services_.folders, services_.messages),
      link_(services_.backend, services_.messages, *this, services_.timers),
      formatter_(link_.Protocol().Parameters().nominalValue),
      processor_(link_.Protocol(), formatter_, services_.settings, *this, services_.messages),
      table_(tableRows_, chart_, services_.messages, [this] { return ShownSeries(); }) {
    setObjectName("Form1");
    setWindowTitle("ZEMLOVIEW 418 USB");
    setWindowIcon(DrawWindowIcon());
    setFont(SansFont(11));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    // Below this size the chart would shrink to nothing and lose its anchoring.
    setMinimumSize(420, 320);
    resize(kClientWidth, kClientHeight);
    move(0, 0);
    CreateControls();
    FitTexts();
    SetTabOrder();
    ConnectDisplayHandlers();
    ConnectHandlers();
    link_.SetStartupCompleteHandler([this] { StartupCompleteActions(); });
    FormCreate();
}

// The link stops before anything it reports to goes. The chart goes first of the
// controls: it draws the chart model, a member that is gone before the child widgets
// are deleted.
TForm1::~TForm1() {
    if (!closed_) {
        FormClose();
    }
    delete Chart1;
}

// The question about unsaved data sets comes before the link's stop order.
void TForm1::closeEvent(QCloseEvent* event) {
    if (!closed_) {
        if (!ConfirmDiscardUnsaved()) {
            event->ignore();
            return;
        }
        FormClose();
    }
    QWidget::closeEvent(event);
    if (services_.windowClosed) {
        services_.windowClosed();
    }
}

QLabel* TForm1::AddLabel(const char* name, int left, int top, const QString& caption) {
    auto* label = new QLabel(caption, this);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->move(left, top);
    label->adjustSize();
    autoSized_.push_back(label);
    return label;
}

QPushButton* TForm1::AddButton(const char* name, const QRect& bounds, const QString& caption,
                               bool enabled) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setGeometry(bounds);
    button->setEnabled(enabled);
    return button;
}

QCheckBox* TForm1::AddCheckBox(const char* name, const QRect& bounds, const QString& caption) {
    auto* box = new QCheckBox(caption, this);
    box->setObjectName(name);
    box->setGeometry(bounds);
    return box;
}

QTimer* TForm1::AddTimer(const char* name, int intervalMs) {
    auto* timer = new QTimer(this);
    timer->setObjectName(name);
    timer->setInterval(intervalMs);
    return timer;
}

// The chart follows all four edges, the radio group the right and bottom ones, by
// the change of size: code may have moved either of them in between.
void TForm1::resizeEvent(QResizeEvent* event) {
    const QSize now = event->size();
    const int dx = now.width() - placedFor_.width();
    const int dy = now.height() - placedFor_.height();
    placedFor_ = now;
    if (dx != 0 || dy != 0) {
        Chart1->resize(Chart1->width() + dx, Chart1->height() + dy);
        RadioGroupGraficMode->move(RadioGroupGraficMode->x() + dx, RadioGroupGraficMode->y() + dy);
    }
    QWidget::resizeEvent(event);
}

// A label or button whose text changed asks its parent for a new layout; without a
// layout the window answers by fitting the control to its text.
bool TForm1::event(QEvent* event) {
    if (event->type() == QEvent::LayoutRequest) {
        FitTexts();
    }
    return QWidget::event(event);
}

// Labels grow with their text. Buttons keep their designed size: DejaVu Sans is
// wider than the designed face, so a caption that does not fit gets a smaller font.
void TForm1::FitTexts() {
    for (QLabel* label : autoSized_) {
        label->adjustSize();
    }
    for (QAbstractButton* button : findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly)) {
        QFont fitted = font();
        while (fitted.pixelSize() > kSmallestCaptionPixels &&
               CaptionWidth(*button, fitted) > button->width()) {
            fitted.setPixelSize(fitted.pixelSize() - 1);
        }
        if (button->font() != fitted) {
            button->setFont(fitted);
        }
    }
}

// The width a caption needs in the given font, with the style's frame and margins
// or check indicator.
int TForm1::CaptionWidth(const QAbstractButton& button, const QFont& font) {
    const QStyle& style = *button.style();
    const int text = QFontMetrics(font).size(Qt::TextShowMnemonic, button.text()).width();
    if (qobject_cast<const QCheckBox*>(&button) != nullptr) {
        return text + style.pixelMetric(QStyle::PM_IndicatorWidth) +
               style.pixelMetric(QStyle::PM_CheckBoxLabelSpacing) + 2;
    }
    return text + style.pixelMetric(QStyle::PM_ButtonMargin) +
           2 * style.pixelMetric(QStyle::PM_DefaultFrameWidth);
}

}  // namespace vx
