#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QSize>
#include <QStringList>
#include <QTableView>
#include <QTimer>
#include <QWidget>

#include <vector>

#include "app/DiscardQuestion.h"
#include "app/FileDialogs.h"
#include "app/RadioGroup.h"
#include "base/MessageSink.h"
#include "chart/ChartModel.h"
#include "chart/ChartView.h"
#include "datasets/DataSetRows.h"
#include "datasets/DataSetTable.h"
#include "desktop/Clipboard.h"
#include "desktop/KeyboardOutput.h"
#include "desktop/ProcessSpawn.h"
#include "desktop/ProgramLauncher.h"
#include "desktop/Spreadsheet.h"
#include "measurement/DeviceLink.h"
#include "measurement/SampleProcessing.h"
#include "measurement/StreamWatch.h"
#include "measurement/ValueFormat.h"
#include "settings/SettingsStore.h"

namespace vx {

class DataSetTableModel;

// Everything outside the window that it works with.
struct TForm1Services {
    UsbBackend& backend;
    MessageSink& messages;
    TimerFactory& timers;
    Settings& settings;
    const Folders& folders;
    KeyboardOutput& keyboard;
    ProgramLauncher& launcher;
    FileDialogs& dialogs;
    // The locale formats start-up reads.
    std::function<LocaleFormat()> localeFormat = LocaleFormatFromEnvironment;
    // Where "Clipboard + &Excel" puts the data sets, and how it starts the spreadsheet
    // program: 0 when it started, else the error number.
    Clipboard& clipboard = SystemClipboard();
    DetachedStart startDetached = SpawnDetached;
    // Asks before data sets that have not been saved are discarded.
    std::function<DiscardAnswer(const std::string& question)> askBeforeDiscard =
        AskBeforeDiscardBox;
    // Runs once the window has closed: the program ends with its window.
    std::function<void()> windowClosed = {};
    // Ends the program with an exit code, as after a data error on the stream.
    std::function<void(int code)> endProgram = [](int code) { QCoreApplication::exit(code); };
};

// The main window. The controls keep their designer names as member and object
// names; the constructor leaves every control in its design state. FormShow, run
// once the window is on screen, is the start-up sequence.
class TForm1 : public QWidget, private LinkEvents, private ProcessingHost {
  public:
    static constexpr int kClientWidth = 800;
    static constexpr int kClientHeight = 562;

    explicit TForm1(TForm1Services services, QWidget* parent = nullptr);
    ~TForm1() override;

    // Start-up and shutdown.
    void FormCreate();
    void FormShow();
    void FormClose();
    static std::string GetVersionText();

    // The device link and the poll.
    void Init_USB_DeviceClick();
    void StartupCompleteActions();
    void TimerInit2Timer();
    void TimerGetMeasTimer();
    void interface_offClick();

    // Device buttons.
    void ButtonGetFirmwareClick();
    void ButtonGetErrorClick();
    void clrDevErrorClick();
    void ZeroClick();
    void unZeroClick();
    void clrPeakClick();

    // Measurement modes and the data-set table.
    void ButtonSingleShotClick();
    void StartClick();
    void StopClick();
    void TimerZeroSingleTimer();
    void TimerSaveOffTimer();
    void CheckBoxAutoClrPeakClick();
    void CheckBoxToKeyBufClick();
    void CheckBoxHiResClick();
    void ComboBoxSampleRateChange(int index);
    void ClrLastClick();
    void ClrAllClick();
    void saveToFileClick();
    // Asks the user about data sets recorded since the last save or load before an
    // action discards them; true when the action may go on.
    bool ConfirmDiscardUnsaved();
    void loadFromFileClick();
    void ButtonExcelClick();

    // Language.
    void TranslateComponents();
    void LanguageChange(int index);
    // The chosen language: 0 English, n the file's section "LANGUAGE" + n.
    int32_t languageIndex = 0;

    // Averaging window, in samples, of a sample-rate item.
    static int32_t WindowSamples(int32_t sampleRateIndex);

    DeviceLink& Link() { return link_; }
    DataSetRows& TableRows() { return tableRows_; }

    // The table shows data sets loaded from a file.
    bool loadedDataShown = false;
    // The automatic mode recorded data sets that are not listed yet.
    bool tableStale = false;
    // The reaction to a reported loss of connection has run.
    bool lostHandled = false;

    // The measurement group: ClrLast, ClrAll, ButtonSingleShot, Start, clrPeak, Zero,
    // CheckBoxAutoClrPeak, in that order.
    void SetZemlometerKeys(bool on);

    // Control states shared by several handlers.
    void ApplyStartupControlState();
    void ApplyDeviceNotFoundState();
    void ApplyDeviceReadyState();
    void ApplyDataSetTakenState();
    void ApplyAutoRunState();
    void ApplyAutoRunEndedState();
    void ApplyNoAnswerState();

    // Ticks of TimerInit2 (10 ms) the instrument's start-up may take before the status
    // line says that it does not answer.
    static constexpr int kStartupPatienceTicks = 300;

    // The chart and its display group.
    ChartModel& Chart() { return chart_; }
    void InitSeriesType();
    void setXAxis();
    void SetGraficMode(bool on);
    void RadioGroupGraficModeClick();
    void CheckBPeak1msUpClick();
    void CheckBPeakfilteredUpClick();
    void CheckBoxMeanClick();
    void CheckBPeakfilteredDnClick();
    void CheckBPeak1msLoClick();
    void ButtonZoomClick();

    // Header and information block.
    QLabel* Image3;
    QLabel* Image1;
    QLabel* Label10;
    QLabel* ErrorString;
    QLabel* Label2;
    QLabel* Label1;
    QLabel* Label9;
    QLabel* SerialDev;
    QLabel* Label11;
    QLabel* SerialSens;
    QLabel* Label4;
    QLabel* NomVal;
    QLabel* Label12;
    QLabel* State;

    // Live values.
    QCheckBox* CheckBPeak1msUp;
    QLabel* pkMax;
    QCheckBox* CheckBPeakfilteredUp;
    QLabel* pkMaxAvr;
    QCheckBox* CheckBoxMean;
    QLabel* meas300;
    QCheckBox* CheckBPeakfilteredDn;
    QLabel* pkMinAvr;
    QCheckBox* CheckBPeak1msLo;
    QLabel* pkMin;
    QLabel* LabelOverflow;
    QLabel* Label13;
    QLabel* Label14;
    QLabel* Label7;
    QLabel* TolvikCompany;

    // Command buttons.
    QPushButton* clrPeak;
    QPushButton* Zero;
    QPushButton* ClrLast;
    QPushButton* ClrAll;
    QPushButton* ButtonSingleShot;
    QPushButton* Start;
    QPushButton* Stop;
    QPushButton* loadFromFile;
    QPushButton* saveToFile;
    QPushButton* ButtonExcel;
    QPushButton* ButtonZoom;

    // Selection controls.
    QComboBox* Language;
    QComboBox* ComboBoxSampleRate;
    QCheckBox* CheckBoxHiRes;
    QCheckBox* CheckBoxToKeyBuf;
    QCheckBox* CheckBoxAutoClrPeak;
    RadioGroup* RadioGroupGraficMode;

    // Data displays.
    QTableView* ListView1;
    ChartView* Chart1;

    // Timers, all stopped at design time.
    QTimer* TimerInit2;
    QTimer* TimerGetMeas;
    QTimer* TimerZeroSingle;
    QTimer* TimerSaveOff;

    // Service controls that stay hidden.
    QPushButton* Init_USB_Device;
    QPushButton* interface_off;
    QPushButton* ButtonGetFirmware;
    QPushButton* ButtonGetError;
    QPushButton* clrDevError;
    QPushButton* unZero;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreateControls();
    void FitTexts();
    static int CaptionWidth(const QAbstractButton& button, const QFont& font);
    void CreateInformationBlock();
    void CreateLiveValues();
    void CreateButtons();
    void CreateSelectionControls();
    void CreateDataDisplays();
    void CreateServiceControls();
    void SetTabOrder();
    void ConnectDisplayHandlers();
    void DisplayBoxClick(const QCheckBox* box, const char* key, QLabel* label);
    void ConnectHandlers();
    void RebuildTable(TMeasData& meas);
    // The stored data sets as the lines of a data-set file, header first.
    std::vector<std::string> DataLines();
    // The save behind "&SAVE"; true when the file was written.
    bool SaveDataSets();
    // The save a data error or a lost connection forces: the user's save, then,
    // whatever became of it, the rescue file and the message that names it.
    // afterMessage runs once that message is closed (at once when there was nothing
    // to rescue).
    void ForcedSave(std::function<void()> afterMessage = {});
    // The poll's watch on the measuring stream: lost samples, a silent stream.
    void WatchStream(const TMeasData& meas, int32_t newSamples);
    // Data sets recorded since the last save, load or clear that are still stored.
    int64_t UnsavedDataSets() const;
    // Sets the table's column widths for its captions and the widest cell texts.
    void FitTableColumns();
    std::array<QStringList, kTableColumns> WidestTableTexts();
    void SendWithHandshake(const char* code);
    std::string Translated(const std::string& text) const;
    // Puts a status text, translated, into the status line.
    void ShowStatus(const std::string& englishText);
    void FillLanguageList(const IniFile& languageFile);
    std::array<bool, kSeriesCount> ShownSeries() const;

    // LinkEvents: queued to the user-interface thread.
    void FirmwareTextReceived(const std::string& text) override;
    void DeviceErrorTextReceived(const std::string& text) override;
    void DataErrorOccurred(const DataErrorNotice& notice) override;
    void ReplyDecoded(const DecodedReply& reply) override;
    // ProcessingHost.
    void ConnectionLost() override;
    void TypeText(const std::string& text) override;
    void StartExternalProgram(const std::string& program, const ExternalValues& values) override;
    std::array<ChartSeries*, kSeriesCount> AutoRunSeries() override;
    void RescaleChartAxes() override;

    QLabel* AddLabel(const char* name, int left, int top, const QString& caption);
    QPushButton* AddButton(const char* name, const QRect& bounds, const QString& caption,
                           bool enabled);
    QCheckBox* AddCheckBox(const char* name, const QRect& bounds, const QString& caption);
    QTimer* AddTimer(const char* name, int intervalMs);

    // The smallest character height a caption is drawn in, as the drop-down lists are.
    static constexpr int kSmallestCaptionPixels = 9;
    // A caption label, the font it was designed in and the width it may take.
    struct LabelRoom {
        QLabel* label;
        QFont designed;
        int room;
    };
    void FitLabelInto(QLabel* label, int room);

    TForm1Services services_;
    SettingsStore store_;
    ChartModel chart_;
    DeviceLink link_;
    ValueFormatter formatter_;
    SampleProcessor processor_;
    DataSetRows tableRows_;
    DataSetTable table_;
    DataSetTableModel* tableModel_ = nullptr;
    bool closed_ = false;
    // Ticks of TimerInit2 since the link started.
    int startupTicks_ = 0;
    StreamWatch streamWatch_;
    // The sample processing's count of recorded data sets when they were last saved,
    // loaded or cleared, moved on by each unsaved data set cleared since.
    int64_t savedAtCount_ = 0;
    // The names last chosen in the save and the open dialog.
    std::string lastSaveName_;
    std::string lastOpenName_;
    // Labels whose width follows their text.
    std::vector<QLabel*> autoSized_;
    // Labels whose text may only take so much room.
    std::vector<LabelRoom> labelRooms_;
    // The size the anchored controls were last placed for.
    QSize placedFor_{kClientWidth, kClientHeight};
};

}  // namespace vx
