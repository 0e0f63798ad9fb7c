#include "chart/ChartView.h"

#include <qcustomplot.h>

#include <QPainter>
#include <QPointer>
#include <QVBoxLayout>

#include <algorithm>

#include "base/LocaleFormat.h"
#include "chart/AxisFormat.h"

namespace vx {
namespace {

constexpr int kFocusFrame = 2;
constexpr int kSidePanelGap = 4;
// The designed distance from the side panel to the plot's bottom edge.
constexpr int kSidePanelBottom = 88;

// Grouped thousands and up to three decimals.
class GroupedTicker final : public QCPAxisTicker {
  public:
    explicit GroupedTicker(char decimalSeparator) : decimalSeparator_(decimalSeparator) {}

  protected:
    QString getTickLabel(double tick, const QLocale&, QChar, int) override {
        return QString::fromStdString(
            FormatGroupedValue(tick, decimalSeparator_, GroupSeparatorFor(decimalSeparator_)));
    }

  private:
    char decimalSeparator_;
};

// The increment is the smallest step between two ticks; wider ranges use a multiple
// of it, so ten thousand data sets do not draw ten thousand ticks.
class StepTicker final : public QCPAxisTickerFixed {
  public:
    StepTicker(const BottomAxisSetup& setup, char decimalSeparator)
        : decimals_(setup.decimals), decimalSeparator_(decimalSeparator) {
        setTickStep(setup.increment);
        setScaleStrategy(ssMultiples);
    }

  protected:
    QString getTickLabel(double tick, const QLocale&, QChar, int) override {
        return QString::fromStdString(FormatFixedValue(tick, decimals_, decimalSeparator_));
    }

  private:
    int decimals_;
    char decimalSeparator_;
};

// The axis labels take a one-byte separator; a longer one falls back to '.'.
char AxisDecimalSeparator() {
    const std::string_view separator = ProcessDecimalSeparator();
    return separator.size() == 1 ? separator[0] : '.';
}

QColor ToQColor(ChartColour c) {
    return QColor(c.r, c.g, c.b);
}

QCPScatterStyle::ScatterShape ToShape(PointerShape shape) {
    switch (shape) {
        case PointerShape::Diamond:
            return QCPScatterStyle::ssDiamond;
        case PointerShape::Circle:
            return QCPScatterStyle::ssCircle;
        case PointerShape::Default:
            break;
    }
    return QCPScatterStyle::ssSquare;
}

QStringList ToStringList(const QVector<QString>& labels) {
    return QStringList(labels.begin(), labels.end());
}

// A point axis fitted exactly would cut the outermost markers in half.
void FitWithMargin(QCPAxis* axis) {
    axis->rescale();
    const QCPRange range = axis->range();
    const double margin = range.size() * 0.03;
    axis->setRange(range.lower - margin, range.upper + margin);
}

}  // namespace

ChartView::ChartView(ChartModel& model, QWidget* parent)
    : QWidget(parent),
      model_(model),
      plot_(new QCustomPlot(this)),
      sidePlace_(new QCPLayoutElement(plot_)),
      decimalSeparator_(AxisDecimalSeparator()) {
    auto* layout = new QVBoxLayout(this);
    // Room for the focus frame.
    layout->setContentsMargins(kFocusFrame, kFocusFrame, kFocusFrame, kFocusFrame);
    layout->addWidget(plot_);
    setFocusPolicy(Qt::StrongFocus);
    plot_->setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(plot_);
    plot_->installEventFilter(this);

    QFont titleFont = font();
    titleFont.setBold(true);
    plot_->plotLayout()->insertRow(0);
    plot_->plotLayout()->addElement(
        0, 0, new QCPTextElement(plot_, QString::fromStdString(model_.Title()), titleFont));

    // The legend stands right of the plot, at the top, the side panel below it.
    auto* side = new QCPLayoutGrid;
    plot_->plotLayout()->addElement(1, 1, side);
    side->addElement(0, 0, plot_->legend);
    side->addElement(1, 0, sidePlace_);
    side->addElement(2, 0, new QCPLayoutElement(plot_));
    side->setRowSpacing(kSidePanelGap);
    side->setMargins(QMargins(0, 0, 1, 1));  // room for the legend's frame
    side->setRowStretchFactor(0, 0.001);
    side->setRowStretchFactor(1, 0.001);
    plot_->plotLayout()->setColumnStretchFactor(1, 0.001);
    plot_->legend->setFont(font());
    plot_->legend->setVisible(true);
    plot_->legend->setIconSize(16, 10);
    connect(plot_, &QCustomPlot::afterLayout, this, &ChartView::PlaceSidePanel);

    plot_->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    connect(plot_->xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
            [this] { UserMovedAxis(ChartAxis::Bottom); });
    connect(plot_->yAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
            [this] { UserMovedAxis(ChartAxis::Left); });

    model_.SetChangeHandler([view = QPointer<ChartView>(this)] {
        if (view) {
            view->ScheduleRedraw();
        }
    });
    drawnGeneration_ = model_.SeriesGeneration() + 1;
    Redraw();
}

ChartView::~ChartView() = default;

void ChartView::SetSidePanel(QWidget* panel) {
    sidePanel_ = panel;
    panel->setParent(plot_);
    panel->installEventFilter(this);
    panel->show();
    PlaceSidePanel();
}

// The panel's place in the layout, below the legend, takes the panel's size, so the
// right column is wide enough for both; the layout is redone at every redraw and
// resize, and the panel follows it.
void ChartView::PlaceSidePanel() {
    if (sidePanel_ == nullptr) {
        return;
    }
    const QSize wanted = sidePanel_->sizeHint()
                             .expandedTo(sidePanel_->minimumSizeHint())
                             .expandedTo(sidePanel_->minimumSize());
    if (sidePlace_->minimumSize() != wanted) {
        sidePlace_->setMinimumSize(wanted);
        sidePlace_->setMaximumSize(QWIDGETSIZE_MAX, wanted.height());
        plot_->replot(QCustomPlot::rpQueuedReplot);
    }
    // As designed, the panel keeps its distance to the chart's bottom edge, but never
    // climbs onto the legend.
    const QRect place = sidePlace_->outerRect();
    const int top = std::max(place.top(), plot_->height() - kSidePanelBottom - wanted.height());
    sidePanel_->setGeometry(place.right() + 1 - wanted.width(), top, wanted.width(),
                            wanted.height());
}

QRect ChartView::PlotRect() const {
    return plot_->geometry();
}

// The legend's frame is drawn one pixel right of and below its rectangle.
QRect ChartView::LegendRect() const {
    return plot_->legend->outerRect().adjusted(0, 0, 1, 1).translated(plot_->pos());
}

QRect ChartView::SidePanelRect() const {
    return sidePanel_ != nullptr ? sidePanel_->geometry().translated(plot_->pos()) : QRect();
}

// The side panel asks for a new layout when its size hint changed (a new caption).
bool ChartView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == plot_ &&
        (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        update();
    }
    if (watched == sidePanel_ && event->type() == QEvent::LayoutRequest) {
        PlaceSidePanel();
    }
    return QWidget::eventFilter(watched, event);
}

// Keyboard focus shows as a frame around the plot.
void ChartView::paintEvent(QPaintEvent*) {
    if (!plot_->hasFocus()) {
        return;
    }
    QPainter painter(this);
    const QRect inner = rect().adjusted(kFocusFrame, kFocusFrame, -kFocusFrame, -kFocusFrame);
    painter.setClipRegion(QRegion(rect()).subtracted(inner));
    painter.fillRect(rect(), palette().color(QPalette::Highlight));
}

void ChartView::SetDecimalSeparator(char separator) {
    decimalSeparator_ = separator;
    ScheduleRedraw();
}

void ChartView::ScheduleRedraw() {
    if (redrawPending_) {
        return;
    }
    redrawPending_ = true;
    QMetaObject::invokeMethod(this, &ChartView::Redraw, Qt::QueuedConnection);
}

void ChartView::Redraw() {
    redrawPending_ = false;
    if (drawnGeneration_ != model_.SeriesGeneration()) {
        RebuildGraphs();
    }
    for (int role = 0; role < plot_->graphCount(); ++role) {
        const ChartSeries& series = *model_.Series(static_cast<SeriesRole>(role));
        QVector<double> xs, ys;
        xs.reserve(static_cast<qsizetype>(series.Count()));
        ys.reserve(static_cast<qsizetype>(series.Count()));
        for (const ChartPoint& p : series.Points()) {
            xs.push_back(p.x);
            ys.push_back(p.y);
        }
        QCPGraph* graph = plot_->graph(role);
        graph->setName(QString::fromStdString(series.Title()));
        graph->setData(xs, ys, true);
    }
    UpdateAxes();
    FitAutomaticAxes();
    plot_->replot();
    emit Redrawn();
}

void ChartView::RebuildGraphs() {
    drawnGeneration_ = model_.SeriesGeneration();
    plot_->clearGraphs();
    if (!model_.HasSeries()) {
        return;
    }
    for (int role = 0; role < kSeriesCount; ++role) {
        const ChartSeries& series = *model_.Series(static_cast<SeriesRole>(role));
        const QColor colour = ToQColor(series.Colour());
        QCPGraph* graph = plot_->addGraph();
        graph->setPen(QPen(colour));
        if (series.Kind() == SeriesKind::Line) {
            graph->setLineStyle(QCPGraph::lsLine);
            graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssNone));
        } else {
            graph->setLineStyle(QCPGraph::lsNone);
            graph->setScatterStyle(QCPScatterStyle(ToShape(series.Pointer()), colour, colour, 7));
        }
    }
}

void ChartView::UpdateAxes() {
    plot_->yAxis->setLabel(QString::fromStdString(model_.LeftAxisTitle()));
    plot_->yAxis->setTicker(QSharedPointer<QCPAxisTicker>(new GroupedTicker(decimalSeparator_)));
    plot_->xAxis->setLabel(QString::fromStdString(model_.BottomAxis().title));
    plot_->xAxis->setTicker(
        QSharedPointer<QCPAxisTicker>(new StepTicker(model_.BottomAxis(), decimalSeparator_)));
}

void ChartView::FitAutomaticAxes() {
    bool hasPoints = false;
    for (int i = 0; i < plot_->graphCount(); ++i) {
        hasPoints = hasPoints || !plot_->graph(i)->data()->isEmpty();
    }
    // Without points the axes keep the range they have.
    if (!hasPoints) {
        return;
    }
    settingRange_ = true;
    if (model_.IsAutomatic(ChartAxis::Bottom)) {
        FitWithMargin(plot_->xAxis);
    }
    if (model_.IsAutomatic(ChartAxis::Left)) {
        FitWithMargin(plot_->yAxis);
    }
    settingRange_ = false;
}

// A drag or zoom by the user switches the axis's automatic scaling off, until
// "ZOOM ALL" switches it on again.
void ChartView::UserMovedAxis(ChartAxis axis) {
    if (!settingRange_ && model_.IsAutomatic(axis)) {
        model_.SetAutomatic(axis, false);
    }
}

std::vector<DrawnGraph> ChartView::DrawnGraphs() const {
    std::vector<DrawnGraph> graphs;
    for (int i = 0; i < plot_->graphCount(); ++i) {
        const QCPGraph* graph = plot_->graph(i);
        graphs.push_back({graph->name(), graph->lineStyle() != QCPGraph::lsNone,
                          graph->scatterStyle().shape() != QCPScatterStyle::ssNone,
                          graph->pen().color(), graph->dataCount()});
    }
    return graphs;
}

QString ChartView::DrawnTitle() const {
    auto* title = qobject_cast<QCPTextElement*>(plot_->plotLayout()->element(0, 0));
    return title != nullptr ? title->text() : QString();
}

QString ChartView::LeftAxisLabel() const {
    return plot_->yAxis->label();
}
QString ChartView::BottomAxisLabel() const {
    return plot_->xAxis->label();
}
QStringList ChartView::LeftTickLabels() const {
    return ToStringList(plot_->yAxis->tickVectorLabels());
}
QStringList ChartView::BottomTickLabels() const {
    return ToStringList(plot_->xAxis->tickVectorLabels());
}

std::pair<double, double> ChartView::LeftRange() const {
    return {plot_->yAxis->range().lower, plot_->yAxis->range().upper};
}

std::pair<double, double> ChartView::BottomRange() const {
    return {plot_->xAxis->range().lower, plot_->xAxis->range().upper};
}

}  // namespace vx
