// The window's controls in their design state.
#include <QHeaderView>
#include <QPalette>

#include "app/HeaderPicture.h"
#include "app/TForm1.h"
#include "app/WindowFonts.h"

namespace vx {
namespace {

const QStringList kSampleRateItems{"  1 ms | 1000 Hz", "  2 ms |  500 Hz", "  5 ms |  200 Hz",
                                   " 10 ms |  100 Hz", " 20 ms |   50 Hz", " 50 ms |   20 Hz",
                                   "100 ms |   10 Hz", "200 ms |    5 Hz", "500 ms |    2 Hz",
                                   "   1 s |    1 Hz", "   2 s |  0,5 Hz", "   5 s |  0,2 Hz",
                                   "  10 s |  0,1 Hz"};

QLabel* HeaderImage(QWidget* parent, const char* name, bool alternative) {
    auto* image = new QLabel(parent);
    image->setObjectName(name);
    image->setGeometry(0, -3, kHeaderWidth, kHeaderHeight);
    image->setPixmap(DrawHeaderPicture(alternative, image->devicePixelRatioF()));
    return image;
}

}  // namespace

void TForm1::CreateControls() {
    Image3 = HeaderImage(this, "Image3", false);
    Image1 = HeaderImage(this, "Image1", true);
    CreateInformationBlock();
    CreateLiveValues();
    CreateButtons();
    CreateSelectionControls();
    CreateDataDisplays();
    CreateServiceControls();
    TimerInit2 = AddTimer("TimerInit2", 10);
    TimerGetMeas = AddTimer("TimerGetMeas", 100);
    TimerZeroSingle = AddTimer("TimerZeroSingle", 250);
    TimerSaveOff = AddTimer("TimerSaveOff", 200);
}

void TForm1::CreateInformationBlock() {
    Label10 = AddLabel("Label10", 282, 58, "ZEMLOVIEW 418 USB");
    Label10->setFont(SansFont(27));
    ErrorString = AddLabel("ErrorString", 536, 62, "Initialisation");
    ErrorString->setFont(SansFont(19));
    QPalette red = ErrorString->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    ErrorString->setPalette(red);
    // On the button-face background a label would draw in the button-text colour.
    ErrorString->setForegroundRole(QPalette::WindowText);

    Label2 = AddLabel("Label2", 8, 97, "Firmware:");
    Label1 = AddLabel("Label1", 120, 97, "-");
    Label9 = AddLabel("Label9", 8, 122, "Serial No. Device:");
    SerialDev = AddLabel("SerialDev", 120, 122, "-");
    Label11 = AddLabel("Label11", 8, 147, "Serial No. Sensor:");
    SerialSens = AddLabel("SerialSens", 120, 147, "-");
    Label4 = AddLabel("Label4", 8, 172, "Nominal Value:");
    NomVal = AddLabel("NomVal", 120, 172, "-");
    Label12 = AddLabel("Label12", 8, 197, "Actual Dataset:");
    State = AddLabel("State", 120, 197, "-");

    // Each caption up to the next control: the title to the status line, the status
    // line to the window's edge, the information captions to their values.
    FitLabelInto(Label10, 248);
    FitLabelInto(ErrorString, kClientWidth - 8 - ErrorString->x());
    for (QLabel* caption : {Label2, Label9, Label11, Label4, Label12}) {
        FitLabelInto(caption, Label1->x() - caption->x() - 4);
    }
}

void TForm1::CreateLiveValues() {
    const QFont value = MonoFont(32, true);
    CheckBPeak1msUp = AddCheckBox("CheckBPeak1msUp", {8, 285, 200, 17}, "Maximum");
    pkMax = AddLabel("pkMax", 8, 300, "-");
    pkMax->setFont(value);
    CheckBPeakfilteredUp =
        AddCheckBox("CheckBPeakfilteredUp", {8, 340, 200, 17}, "Maximum averaged");
    pkMaxAvr = AddLabel("pkMaxAvr", 8, 357, "-");
    pkMaxAvr->setFont(value);
    pkMaxAvr->hide();
    CheckBoxMean = AddCheckBox("CheckBoxMean", {8, 395, 200, 17}, "Mean value");
    meas300 = AddLabel("meas300", 8, 410, "-");
    meas300->setFont(MonoFont(48, true));
    CheckBPeakfilteredDn =
        AddCheckBox("CheckBPeakfilteredDn", {8, 460, 200, 17}, "Minimum averaged");
    pkMinAvr = AddLabel("pkMinAvr", 8, 475, "-");
    pkMinAvr->setFont(value);
    CheckBPeak1msLo = AddCheckBox("CheckBPeak1msLo", {8, 515, 200, 17}, "Minimum");
    pkMin = AddLabel("pkMin", 8, 530, "-");
    pkMin->setFont(value);

    LabelOverflow = AddLabel("LabelOverflow", 276, 379, "!");
    LabelOverflow->setFont(SansFont(96));
    LabelOverflow->hide();
    Label13 = AddLabel("Label13", 190, 341, "Numbers");
    Label13->hide();
    Label14 = AddLabel("Label14", 190, 357, "-");
    Label14->setFont(value);
    Label14->hide();
    Label7 = AddLabel("Label7", 190, 396, "Mean of means");
    Label7->hide();
    for (QLabel* caption : {Label13, Label7}) {
        FitLabelInto(caption, 308 - caption->x() - 8);  // up to the chart
    }
    TolvikCompany = AddLabel("TolvikCompany", 190, 410, "---");
    TolvikCompany->setFont(value);
    TolvikCompany->hide();
}

void TForm1::CreateButtons() {
    clrPeak = AddButton("clrPeak", {10, 222, 100, 22}, "Clr &Peak", false);
    Zero = AddButton("Zero", {10, 250, 100, 22}, "Z&ero", false);
    ClrLast = AddButton("ClrLast", {116, 222, 129, 22}, "&CLR LAST MEASUREMENT", false);
    ClrAll = AddButton("ClrAll", {116, 250, 129, 22}, "CL&R ALL MEASUREMENTS", false);
    ButtonSingleShot = AddButton("ButtonSingleShot", {250, 222, 120, 50}, "S&INGLE SHOT", false);
    Start = AddButton("Start", {375, 222, 140, 22}, "ST&ART AUTO", false);
    Stop = AddButton("Stop", {375, 250, 140, 22}, "ST&OP AUTO", false);
    loadFromFile = AddButton("loadFromFile", {540, 222, 100, 22}, "&LOAD", true);
    saveToFile = AddButton("saveToFile", {540, 250, 100, 22}, "&SAVE", false);
    // The right-hand column reaches the chart's right edge, for longer translations.
    ButtonExcel = AddButton("ButtonExcel", {645, 222, 147, 22}, "Clipboard + &Excel", false);
    ButtonZoom = AddButton("ButtonZoom", {645, 250, 147, 22}, "&ZOOM ALL", true);
}

void TForm1::CreateSelectionControls() {
    Language = new QComboBox(this);
    Language->setObjectName("Language");
    Language->setGeometry(8, 62, 91, 19);
    Language->setFont(SansFont(9));
    Language->setPlaceholderText("Language");

    ComboBoxSampleRate = new QComboBox(this);
    ComboBoxSampleRate->setObjectName("ComboBoxSampleRate");
    ComboBoxSampleRate->setGeometry(112, 62, 154, 21);
    ComboBoxSampleRate->setFont(MonoFont(9));
    ComboBoxSampleRate->addItems(kSampleRateItems);
    ComboBoxSampleRate->setPlaceholderText("---");
    ComboBoxSampleRate->setCurrentIndex(-1);

    // Below the language list, not on it, and wide enough for its caption.
    CheckBoxHiRes = AddCheckBox("CheckBoxHiRes", {8, 82, 64, 17}, "Hi. Res.");
    CheckBoxHiRes->hide();
    CheckBoxToKeyBuf = AddCheckBox("CheckBoxToKeyBuf", {8, 106, 196, 17}, "Mean to key buffer");
    CheckBoxToKeyBuf->hide();
    CheckBoxAutoClrPeak =
        AddCheckBox("CheckBoxAutoClrPeak", {251, 255, 118, 17}, "Clear peak auto");
    CheckBoxAutoClrPeak->hide();

    RadioGroupGraficMode =
        new RadioGroup("grafic mode", {"number", "time", "time with lines"}, this);
    RadioGroupGraficMode->setObjectName("RadioGroupGraficMode");
    RadioGroupGraficMode->setGeometry(667, 395, 111, 63);
    // Never smaller than designed; taller where three items need it.
    RadioGroupGraficMode->setMinimumSize(111, 63);
    RadioGroupGraficMode->SetItemIndex(0);
}

void TForm1::CreateDataDisplays() {
    ListView1 = new QTableView(this);
    ListView1->setObjectName("ListView1");
    // Up to the chart's right edge, as the buttons below it.
    ListView1->setGeometry(210, 97, 582, 117);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setShowGrid(false);
    ListView1->setWordWrap(false);
    // The columns are as wide as their texts; a bar that came with the rows would
    // take the room of a row.
    ListView1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ListView1->setSortingEnabled(false);
    // Tab leaves the table for the next control.
    ListView1->setTabKeyNavigation(false);
    ListView1->verticalHeader()->hide();
    ListView1->verticalHeader()->setDefaultSectionSize(16);
    ListView1->horizontalHeader()->setSectionsClickable(false);
    ListView1->horizontalHeader()->setHighlightSections(false);
    ListView1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    Chart1 = new ChartView(chart_, this);
    Chart1->setObjectName("Chart1");
    Chart1->setGeometry(308, 278, 484, 270);
    // The radio group stands in the chart, below its legend.
    Chart1->SetSidePanel(RadioGroupGraficMode);
}

void TForm1::CreateServiceControls() {
    const QRect hidden(0, 0, 75, 25);
    Init_USB_Device = AddButton("Init_USB_Device", hidden, "Init Device", true);
    interface_off = AddButton("interface_off", hidden, "remove device", true);
    ButtonGetFirmware = AddButton("ButtonGetFirmware", hidden, "Get Firmware", true);
    ButtonGetError = AddButton("ButtonGetError", hidden, "Get Error", true);
    clrDevError = AddButton("clrDevError", hidden, "Clr Error", true);
    unZero = AddButton("unZero", hidden, "Zero = 0", true);
    for (QPushButton* button :
         {Init_USB_Device, interface_off, ButtonGetFirmware, ButtonGetError, clrDevError, unZero}) {
        button->hide();
    }
}

void TForm1::SetTabOrder() {
    const std::vector<QWidget*> order{ButtonGetFirmware,
                                      clrPeak,
                                      Init_USB_Device,
                                      clrDevError,
                                      ButtonGetError,
                                      Zero,
                                      unZero,
                                      CheckBoxHiRes,
                                      ComboBoxSampleRate,
                                      interface_off,
                                      ListView1,
                                      ButtonSingleShot,
                                      ClrAll,
                                      ClrLast,
                                      Start,
                                      Stop,
                                      saveToFile,
                                      Chart1,
                                      loadFromFile,
                                      ButtonZoom,
                                      Language,
                                      CheckBPeak1msUp,
                                      CheckBPeakfilteredUp,
                                      CheckBoxMean,
                                      CheckBPeakfilteredDn,
                                      CheckBPeak1msLo,
                                      RadioGroupGraficMode->Item(0),
                                      RadioGroupGraficMode->Item(1),
                                      RadioGroupGraficMode->Item(2),
                                      ButtonExcel,
                                      CheckBoxAutoClrPeak,
                                      CheckBoxToKeyBuf};
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
}

}  // namespace vx
