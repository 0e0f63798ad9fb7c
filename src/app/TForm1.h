#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSize>
#include <QTableView>
#include <QTimer>
#include <QWidget>

#include <vector>

#include "app/RadioGroup.h"
#include "app/WindowSettings.h"
#include "chart/ChartModel.h"
#include "chart/ChartView.h"

namespace vx {

// The main window. The controls keep their designer names as member and object
// names; the constructor leaves every control in its design state.
class TForm1 : public QWidget {
  public:
    static constexpr int kClientWidth = 800;
    static constexpr int kClientHeight = 562;

    explicit TForm1(WindowSettings& settings, QWidget* parent = nullptr);
    ~TForm1() override;

    // The measurement group: ClrLast, ClrAll, ButtonSingleShot, Start, clrPeak, Zero,
    // CheckBoxAutoClrPeak, in that order.
    void SetZemlometerKeys(bool on);

    // Control states shared by several handlers.
    void ApplyStartupControlState();
    void ApplyDeviceNotFoundState();
    void ApplyDeviceReadyState();
    void ApplyAutoRunState();
    void ApplyAutoRunEndedState();

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

    QLabel* AddLabel(const char* name, int left, int top, const QString& caption);
    QPushButton* AddButton(const char* name, const QRect& bounds, const QString& caption,
                           bool enabled);
    QCheckBox* AddCheckBox(const char* name, const QRect& bounds, const QString& caption);
    QTimer* AddTimer(const char* name, int intervalMs);

    static constexpr int kSmallestCaptionPixels = 8;

    WindowSettings& settings_;
    ChartModel chart_;
    // Labels whose width follows their text.
    std::vector<QLabel*> autoSized_;
    // The size the anchored controls were last placed for.
    QSize placedFor_{kClientWidth, kClientHeight};
};

}  // namespace vx
