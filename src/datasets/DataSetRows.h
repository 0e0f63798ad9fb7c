#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace vx {

inline constexpr int kTableColumns = 9;
using TableRow = std::array<std::string, kTableColumns>;

// What the data-set table shows: its column captions and its rows. The window's
// view draws it; observers hear of every change so the view can follow cheaply.
class DataSetRows {
  public:
    enum class Change { Append, Remove, Clear, Captions };
    // Told before and after every change, with the rows it touches, as a Qt model
    // must announce them.
    struct Observer {
        std::function<void(Change, int first, int last)> before;
        std::function<void(Change)> after;
    };

    DataSetRows();

    const std::array<std::string, kTableColumns>& Captions() const { return captions_; }
    // Sets the captions of the columns from firstColumn on and tells the observer once.
    void SetCaptions(int firstColumn, std::vector<std::string> captions);

    int Count() const { return static_cast<int>(rows_.size()); }
    const TableRow& Row(int i) const { return rows_[i]; }
    void Append(TableRow row);
    // Appends many rows and tells the observer once.
    void AppendAll(std::vector<TableRow> rows);
    // False, and nothing changes, when there is no such row.
    bool Remove(int row);
    void Clear();

    void SetObserver(Observer observer) { observer_ = std::move(observer); }

  private:
    template <typename Apply>
    void Announce(Change change, int first, int last, Apply apply);

    std::array<std::string, kTableColumns> captions_;
    std::vector<TableRow> rows_;
    Observer observer_;
};

}  // namespace vx
