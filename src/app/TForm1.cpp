#include "app/TForm1.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QEvent>
#include <QFontMetrics>
#include <QResizeEvent>
#include <QStyle>
#include <QStyleOptionButton>

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
    // Every control but the chart and the table has a fixed place: a smaller window
    // would cut the buttons on the right and the live values at the bottom.
    setMinimumSize(kClientWidth, kClientHeight);
    resize(kClientWidth, kClientHeight);
    move(0, 0);
    CreateControls();
    SetTabOrder();
    ConnectDisplayHandlers();
    ConnectHandlers();
    link_.SetStartupCompleteHandler([this] { StartupCompleteActions(); });
    FormCreate();
    FitTexts();
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

// The chart follows all four edges, the table the left and right ones, by the change
// of size: code may have moved either of them in between. The radio group stands in
// the chart.
void TForm1::resizeEvent(QResizeEvent* event) {
    const QSize now = event->size();
    const int dx = now.width() - placedFor_.width();
    const int dy = now.height() - placedFor_.height();
    placedFor_ = now;
    if (dx != 0 || dy != 0) {
        Chart1->resize(Chart1->width() + dx, Chart1->height() + dy);
        ListView1->resize(ListView1->width() + dx, ListView1->height());
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

// Labels grow with their text, buttons keep their designed size. DejaVu Sans is
// wider than the designed face, and translations are longer than English: a caption
// that does not fit its button, or its room beside the next control, is drawn in
// the largest size that fits, down to kSmallestCaptionPixels.
void TForm1::FitTexts() {
    const auto fit = [](QWidget& control, QFont designed, auto width, int room) {
        while (designed.pixelSize() > kSmallestCaptionPixels && width(designed) > room) {
            designed.setPixelSize(designed.pixelSize() - 1);
        }
        if (control.font() != designed) {
            control.setFont(designed);
        }
    };
    for (QAbstractButton* button : findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly)) {
        fit(
            *button, font(), [button](const QFont& f) { return CaptionWidth(*button, f); },
            button->width());
    }
    for (const LabelRoom& caption : labelRooms_) {
        QLabel* label = caption.label;
        fit(
            *label, caption.designed,
            [label](const QFont& f) { return QFontMetrics(f).horizontalAdvance(label->text()); },
            caption.room);
    }
    for (QLabel* label : autoSized_) {
        label->adjustSize();
    }
}

void TForm1::FitLabelInto(QLabel* label, int room) {
    labelRooms_.push_back({label, label->font(), room});
}

// The width the style gives a button or check box with its caption in the given font.
int TForm1::CaptionWidth(const QAbstractButton& button, const QFont& font) {
    QStyleOptionButton option;
    option.initFrom(&button);
    option.fontMetrics = QFontMetrics(font);
    option.text = button.text();
    const QSize text = option.fontMetrics.size(Qt::TextShowMnemonic, button.text());
    const QStyle::ContentsType kind = qobject_cast<const QCheckBox*>(&button) != nullptr
                                          ? QStyle::CT_CheckBox
                                          : QStyle::CT_PushButton;
    return button.style()->sizeFromContents(kind, &option, text, &button).width();
}

}  // namespace vx
