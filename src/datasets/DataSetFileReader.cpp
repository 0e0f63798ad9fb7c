#include "datasets/DataSetFileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "base/DateTime.h"
#include "base/ProgramError.h"
#include "base/TextEncoding.h"
#include "base/TextParse.h"
#include "datasets/DataSetFileScanner.h"
#include "measurement/ValueFormat.h"
#include "measurement/ValueText.h"

namespace vx {

namespace {

// Header words per caption of columns 1 to 8; word 1 is "Number", the last one the
// window length, which is not used.
constexpr std::array<int, 8> kCaptionWords = {1, 1, 3, 3, 3, 3, 3, 3};
constexpr int kValueColumn = 4;

// Ends the load with a message for the window.
struct LoadStop {
    FileMessage message;
};

// A file text in an error message: decoded, with control characters made visible.
std::string Quoted(const std::string& text) {
    std::string shown = Cp1252ToUtf8(text);
    for (char& c : shown) {
        if (static_cast<unsigned char>(c) < 0x20) {
            c = '?';
        }
    }
    return "'" + shown + "'";
}

int IntegerOf(const std::string& text) {
    if (const auto value = ParseWholeNumber(text)) {
        return *value;
    }
    throw ProgramError(Quoted(text) + " is not a valid integer value");
}

class Loader {
  public:
    Loader(int fd, const std::string& path, const DataSetLoadTargets& targets,
           const DataSetLoadOptions& options)
        : in_(fd), path_(path), targets_(targets), options_(options) {}

    void Run();

  private:
    std::string Word();
    std::string Field();
    void Check(DataSetFileScanner::Result result, const char* tooLong);
    void ReadHeader();
    void ReadDataLine(TableRow& row);
    void AddPoints(int number, const std::string& date, const std::string& time,
                   const std::string& ms, const std::array<std::string, kSeriesCount>& values);

    DataSetFileScanner in_;
    const std::string& path_;
    const DataSetLoadTargets& targets_;
    const DataSetLoadOptions& options_;
    // Data lines read so far: the store index of the next one.
    int32_t dataSets_ = 0;
    int64_t timeOrigin_ = 0;
    int timeRows_ = 0;
};

void Loader::Check(DataSetFileScanner::Result result, const char* tooLong) {
    if (result == DataSetFileScanner::Result::TooLong) {
        throw LoadStop{{"Line " + std::to_string(in_.Line()) + " of the file " + path_ + " holds " +
                            tooLong + ": the file cannot be read further",
                        "Error"}};
    }
    if (result == DataSetFileScanner::Result::ReadFailed) {
        throw LoadStop{
            {"The file " + path_ + " could not be read: " + std::strerror(in_.ReadError()),
             "Error"}};
    }
}

std::string Loader::Word() {
    std::string word;
    Check(in_.Word(word), "a word of 1000 or more characters");
    return word;
}

std::string Loader::Field() {
    std::string field;
    Check(in_.Field(field), "a date or time field of 49 or more characters");
    return field;
}

void Loader::Run() {
    // A first word too long for the word buffer is no "Number" either.
    std::string first;
    const auto result = in_.Word(first);
    const bool tooLong = result == DataSetFileScanner::Result::TooLong;
    if (!tooLong) {
        Check(result, nullptr);
    }
    if (tooLong || first != "Number") {
        throw LoadStop{{"unknown file format", "Error"}};
    }
    if (targets_.clear) {
        targets_.clear();
    }
    ReadHeader();

    // The rows reach the table in one piece, also when a line ends the load.
    std::vector<TableRow> rows;
    try {
        while (!in_.AtEnd()) {
            targets_.loadedDataShown = true;
            rows.emplace_back();
            ReadDataLine(rows.back());
        }
    } catch (...) {
        targets_.rows.AppendAll(std::move(rows));
        throw;
    }
    targets_.rows.AppendAll(std::move(rows));
}

void Loader::ReadHeader() {
    std::vector<std::string> captions;
    for (int column = 1; column <= static_cast<int>(kCaptionWords.size()); ++column) {
        std::string caption;
        for (int k = 0; k < kCaptionWords[column - 1]; ++k) {
            caption += Word();
        }
        caption = Cp1252ToUtf8(caption);
        if (column == kValueColumn) {
            targets_.chart.SetLeftAxisTitle(caption);
        }
        captions.push_back(std::move(caption));
    }
    targets_.rows.SetCaptions(1, std::move(captions));
    Word();
}

void Loader::ReadDataLine(TableRow& row) {
    const std::string number = Word();
    if (number.empty()) {
        return;
    }
    // The store holds the data sets in the order of the table's rows, whatever the
    // numbers say, so that a save or export after the load gives exactly these rows.
    TMeasData* meas = targets_.meas;
    const int storeSize = meas != nullptr ? meas->GetDataListSize() : TMeasData::kDataListSize;
    if (dataSets_ >= storeSize) {
        throw LoadStop{{"Line " + std::to_string(in_.Line()) + " of the file " + path_ +
                            ": the store holds no more than " + std::to_string(storeSize) +
                            " data sets; the file cannot be read further",
                        "Error"}};
    }
    row[0] = Cp1252ToUtf8(number);
    const int n = IntegerOf(number);
    const int32_t i = dataSets_++;

    Field();  // the TAB after the number
    const std::string date = Field();
    const std::string time = Field();
    row[1] = Cp1252ToUtf8(date);
    row[2] = Cp1252ToUtf8(time);
    if (meas != nullptr) {
        meas->SetDateText(i, row[1]);
        meas->SetTimeText(i, row[2]);
    }
    // The milliseconds, then the values in series order.
    const std::string ms = Word();
    row[3] = Cp1252ToUtf8(ms);
    std::array<std::string, kSeriesCount> values;
    for (int k = 0; k < kSeriesCount; ++k) {
        values[k] = Word();
        row[4 + k] = Cp1252ToUtf8(values[k]);
    }
    if (meas != nullptr) {
        meas->SetMsText(i, row[3]);
        for (int k = 0; k < kSeriesCount; ++k) {
            meas->SetSeriesText(i, static_cast<SeriesRole>(k), row[4 + k]);
        }
        meas->AdvanceDataIndex();
    }
    // A time text too short for hh:mm:ss gets no points.
    if (time.size() < 8 || !targets_.chart.HasSeries()) {
        return;
    }
    AddPoints(n, date, time, ms, values);
}

void Loader::AddPoints(int number, const std::string& date, const std::string& time,
                       const std::string& ms, const std::array<std::string, kSeriesCount>& values) {
    const bool timeAxis = !IsNumberAxis(options_.graficMode);
    double x = number;
    if (timeAxis) {
        const std::string dateTime = date + " " + time;
        const auto day = ParseDateTimeText(options_.locale, Cp1252ToUtf8(dateTime));
        if (!day) {
            throw ProgramError(Quoted(dateTime) + " is not a valid date and time");
        }
        const int64_t t = DateTimeToMilliseconds(*day) + IntegerOf(ms);
        if (timeRows_ == 0) {
            timeOrigin_ = t;
        }
        x = static_cast<double>(t - timeOrigin_) / 1000.0;
    }
    for (int k = 0; k < kSeriesCount; ++k) {
        if (!options_.shownSeries[k]) {
            continue;
        }
        std::string copy = values[k];
        ToLocaleSeparator(copy, options_.decimalSeparator);
        const auto y = ParseValueText(copy, options_.decimalSeparator);
        if (!y) {
            throw ProgramError(Quoted(values[k]) + " is not a valid floating point value");
        }
        targets_.chart.AddPoint(static_cast<SeriesRole>(k), x, *y);
    }
    if (timeAxis) {
        ++timeRows_;
    }
}

}  // namespace

std::optional<FileMessage> LoadDataSetFile(const std::string& path,
                                           const DataSetLoadTargets& targets,
                                           const DataSetLoadOptions& options) {
    // Without blocking: opening a FIFO would wait for a writer. Only a regular file
    // is a data-set file; a FIFO or a device could feed the reader for ever.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat st {};
    if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (fd >= 0) {
            close(fd);
        }
        return FileMessage{"File not found", "ERROR"};
    }
    struct Closer {
        int fd;
        ~Closer() { close(fd); }
    } closer{fd};
    try {
        Loader(fd, path, targets, options).Run();
    } catch (const LoadStop& stop) {
        return stop.message;
    }
    return std::nullopt;
}

}  // namespace vx
