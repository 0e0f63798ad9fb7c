// The data-set table's column widths: each column shows its caption and the widest
// text its cells can hold, measured in the table's fonts.
#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionViewItem>

#include <algorithm>
#include <cmath>
#include <ctime>

#include "app/TForm1.h"
#include "base/CalendarTime.h"

namespace vx {
namespace {

// Date-time value of a day of 2026 at hh:58:58.
double DateTime(int month, int day, int hour) {
    std::tm calendar{};
    calendar.tm_year = 2026 - 1900;
    calendar.tm_mon = month - 1;
    calendar.tm_mday = day;
    calendar.tm_hour = hour;
    calendar.tm_min = 58;
    calendar.tm_sec = 58;
    return *CalendarToDateTime(calendar);
}

// The width the table view gives a cell text, its margins included.
int CellWidth(const QTableView& view, const QString& text) {
    QStyleOptionViewItem option;
    option.font = view.font();
    option.fontMetrics = view.fontMetrics();
    option.features = QStyleOptionViewItem::HasDisplay;
    option.text = text;
    return view.style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), &view).width();
}

}  // namespace

// Every month and weekday for the names a date format may hold, every hour for
// AM and PM; value texts as far as twice the nominal value, in both resolutions.
std::array<QStringList, kTableColumns> TForm1::WidestTableTexts() {
    std::array<QStringList, kTableColumns> texts;
    texts[0] << QString::number(TMeasData::kDataListSize);
    const LocaleFormat& locale = store_.values.localeFormat;
    for (int month = 1; month <= 12; ++month) {
        for (int day = 22; day <= 28; ++day) {
            texts[1] << QString::fromStdString(FormatDateText(locale, DateTime(month, day, 0)));
        }
    }
    for (int hour = 0; hour < 24; ++hour) {
        texts[2] << QString::fromStdString(FormatTimeText(locale, DateTime(12, 28, hour)));
    }
    texts[3] << "999";
    ValueFormatter probe = formatter_;
    const double range = 2.0 * std::abs(link_.Protocol().Parameters().nominalValue);
    for (bool hiRes : {false, true}) {
        probe.hiRes = hiRes;
        for (double x = range; x >= range / 1e5 && x > 0; x /= 10) {
            for (int column = 4; column < kTableColumns; ++column) {
                texts[column] << QString::fromStdString(probe.FormatValue(-x));
            }
        }
    }
    return texts;
}

void TForm1::FitTableColumns() {
    const std::array<QStringList, kTableColumns> texts = WidestTableTexts();
    QHeaderView& header = *ListView1->horizontalHeader();
    for (int column = 0; column < kTableColumns; ++column) {
        int width = header.sectionSizeHint(column);
        for (const QString& text : texts[column]) {
            width = std::max(width, CellWidth(*ListView1, text));
        }
        header.resizeSection(column, width);
    }
}

}  // namespace vx
