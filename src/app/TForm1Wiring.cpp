// Which handler each control and timer runs, and the table view's model.
#include <QHeaderView>
#include <QTimer>

#include "app/TForm1.h"
#include "datasets/DataSetTableModel.h"

namespace vx {

void TForm1::ConnectHandlers() {
    const auto onClick = [this](QPushButton* button, void (TForm1::*handler)()) {
        connect(button, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
    };
    onClick(Init_USB_Device, &TForm1::Init_USB_DeviceClick);
    onClick(interface_off, &TForm1::interface_offClick);
    onClick(ButtonGetFirmware, &TForm1::ButtonGetFirmwareClick);
    onClick(ButtonGetError, &TForm1::ButtonGetErrorClick);
    onClick(clrDevError, &TForm1::clrDevErrorClick);
    onClick(Zero, &TForm1::ZeroClick);
    onClick(unZero, &TForm1::unZeroClick);
    onClick(clrPeak, &TForm1::clrPeakClick);
    onClick(ButtonSingleShot, &TForm1::ButtonSingleShotClick);
    onClick(Start, &TForm1::StartClick);
    onClick(Stop, &TForm1::StopClick);
    onClick(ClrLast, &TForm1::ClrLastClick);
    onClick(ClrAll, &TForm1::ClrAllClick);
    onClick(saveToFile, &TForm1::saveToFileClick);
    onClick(loadFromFile, &TForm1::loadFromFileClick);
    onClick(ButtonExcel, &TForm1::ButtonExcelClick);

    connect(CheckBoxAutoClrPeak, &QCheckBox::toggled, this, [this] { CheckBoxAutoClrPeakClick(); });
    connect(CheckBoxToKeyBuf, &QCheckBox::toggled, this, [this] { CheckBoxToKeyBufClick(); });
    connect(CheckBoxHiRes, &QCheckBox::toggled, this, [this] { CheckBoxHiResClick(); });
    // Only the user's own choice: selecting an item from code runs no handler.
    connect(ComboBoxSampleRate, &QComboBox::activated, this,
            [this](int index) { ComboBoxSampleRateChange(index); });
    connect(Language, &QComboBox::activated, this, [this](int index) { LanguageChange(index); });

    connect(TimerInit2, &QTimer::timeout, this, [this] { TimerInit2Timer(); });
    connect(TimerGetMeas, &QTimer::timeout, this, [this] { TimerGetMeasTimer(); });
    connect(TimerZeroSingle, &QTimer::timeout, this, [this] { TimerZeroSingleTimer(); });
    connect(TimerSaveOff, &QTimer::timeout, this, [this] { TimerSaveOffTimer(); });

    tableModel_ = new DataSetTableModel(tableRows_, this);
    ListView1->setModel(tableModel_);
    // Once per change of the captions, never from the rows themselves.
    FitTableColumns();
    connect(tableModel_, &DataSetTableModel::headerDataChanged, this,
            [this] { FitTableColumns(); });
    // Once per update, however many rows it brought.
    connect(tableModel_, &DataSetTableModel::rowsAppended, ListView1,
            [this] { ListView1->scrollToBottom(); });
}

}  // namespace vx
