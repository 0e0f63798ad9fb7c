#include "datasets/DataSetRows.h"

#include <algorithm>

namespace vx {

DataSetRows::DataSetRows()
    : captions_{"Number",    "[Date]",    "[Time]",       "[Diff] = ms", "[Value] = ?",
                "[Min] = ?", "[Max] = ?", "[MinAvr] = ?", "[MaxAvr] = ?"} {}

template <typename Apply>
void DataSetRows::Announce(Change change, int first, int last, Apply apply) {
    if (observer_.before) {
        observer_.before(change, first, last);
    }
    apply();
    if (observer_.after) {
        observer_.after(change);
    }
}

void DataSetRows::SetCaptions(int firstColumn, std::vector<std::string> captions) {
    const int last = firstColumn + static_cast<int>(captions.size()) - 1;
    Announce(Change::Captions, firstColumn, last,
             [&] { std::move(captions.begin(), captions.end(), captions_.begin() + firstColumn); });
}

void DataSetRows::Append(TableRow row) {
    Announce(Change::Append, Count(), Count(), [&] { rows_.push_back(std::move(row)); });
}

void DataSetRows::AppendAll(std::vector<TableRow> rows) {
    if (rows.empty()) {
        return;
    }
    const int first = Count();
    Announce(Change::Append, first, first + static_cast<int>(rows.size()) - 1, [&] {
        rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()),
                     std::make_move_iterator(rows.end()));
    });
}

bool DataSetRows::Remove(int row) {
    if (row < 0 || row >= Count()) {
        return false;
    }
    Announce(Change::Remove, row, row, [&] { rows_.erase(rows_.begin() + row); });
    return true;
}

void DataSetRows::Clear() {
    Announce(Change::Clear, 0, Count() - 1, [&] { rows_.clear(); });
}

}  // namespace vx
