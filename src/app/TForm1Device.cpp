// The device link as the window runs it: start, the identity once the instrument is
// ready, the 100 ms poll, and the stop in order.
#include <QApplication>
#include <QPointer>

#include "app/TForm1.h"
#include "desktop/ExternalParameters.h"

namespace vx {

namespace {

// Averaging window, in samples, of each sample-rate item.
constexpr std::array<int32_t, 13> kWindowSamples = {1,   2,   5,    10,   20,   50,   100,
                                                    200, 500, 1000, 2000, 5000, 10000};

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

}  // namespace

int32_t TForm1::WindowSamples(int32_t sampleRateIndex) {
    return kWindowSamples.at(static_cast<size_t>(sampleRateIndex));
}

void TForm1::Init_USB_DeviceClick() {
    interface_offClick();
    startupTicks_ = 0;
    streamWatch_.Reset();
    if (!link_.Start(WindowSamples(store_.values.SampleRate))) {
        ApplyDeviceNotFoundState();
        return;
    }
    TimerInit2->start();
    // The measurement commands wait for the instrument's start-up to complete: before
    // it they would do nothing.
    SetZemlometerKeys(false);
    ClrAll->setEnabled(true);
}

void TForm1::StartupCompleteActions() {
    ApplyDeviceReadyState();
}

void TForm1::TimerInit2Timer() {
    const TMeasData* meas = link_.MeasData();
    if (meas == nullptr) {
        return;
    }
    if (!meas->IsInitDone()) {
        if (!link_.Protocol().linkActive) {
            return;
        }
        if (startupTicks_ < kStartupPatienceTicks && ++startupTicks_ == kStartupPatienceTicks) {
            ApplyNoAnswerState();
        } else if (startupTicks_ == kStartupPatienceTicks && ErrorString->text().isEmpty()) {
            // The instrument's empty error text, asked for in every pass of the
            // start-up, clears the status line: say it again.
            ShowStatus("Instrument does not answer");
        }
        return;
    }
    TimerInit2->stop();
    if (startupTicks_ >= kStartupPatienceTicks) {
        ErrorString->clear();  // it answered after all, as its error text would say
    }
    if (!TimerGetMeas->isActive()) {
        TimerGetMeas->start();
    }
    const DeviceParameters& p = link_.Protocol().Parameters();
    SerialSens->setText(Text(p.serialSensor));
    SerialDev->setText(Text(p.serialDevice));
    // The formatter puts a blank or the sign first.
    NomVal->setText(Text((formatter_.FormatValue(p.nominalValue) + " " + p.unitText).substr(1)));
}

void TForm1::TimerGetMeasTimer() {
    TMeasData* meas = link_.MeasData();
    if (meas == nullptr) {
        return;
    }
    const int32_t newSamples = meas->UnreadSamples();
    const bool recorded = processor_.ProcessSamples(*meas);

    const std::string unit = " " + link_.Protocol().Parameters().unitText;
    meas300->setText(Text(meas->GetLiveMean() + unit));
    pkMax->setText(Text(meas->GetLiveMax() + unit));
    pkMin->setText(Text(meas->GetLiveMin() + unit));
    pkMaxAvr->setText(Text(meas->GetLiveMaxAvr() + unit));
    pkMinAvr->setText(Text(meas->GetLiveMinAvr() + unit));

    State->setText(QString("%1 / %2")
                       .arg(meas->GetDataIndex() < 0 ? 0 : meas->GetDataIndex() + 1)
                       .arg(meas->GetDataListSize()));

    if (meas->IsAutoMode()) {
        tableStale = true;
    } else if (recorded) {
        // A data set from the instrument's key counts as a single shot does.
        ApplyDataSetTakenState();
        table_.BuildHeader(link_.Protocol().Parameters().unitText, store_.values.graficMode);
        table_.AddDataLine(*meas, meas->GetDataIndex(), meas->GetDataIndex(),
                           store_.values.graficMode);
        ButtonZoomClick();
    } else if (tableStale) {
        RebuildTable(*meas);
    }

    if (meas->IsConnectionLost() && !lostHandled) {
        lostHandled = true;
        if (Stop->isEnabled()) {
            StopClick();
        } else {
            ForcedSave();
        }
    }
    WatchStream(*meas, newSamples);

    LabelOverflow->setVisible(processor_.overloadHold > 0);
    TolvikCompany->setText(Text(processor_.meanOfMeansText));
    Label14->setText(QString(" %1").arg(processor_.meanCount));
}

// Lists the data sets of an automatic run once it has ended, oldest first.
void TForm1::RebuildTable(TMeasData& meas) {
    tableStale = false;
    table_.BuildHeader(link_.Protocol().Parameters().unitText, store_.values.graficMode);
    table_.BeginBatch();
    // Row r is record r from here on: a save and "CLR LAST MEASUREMENT" then take the
    // same data sets as the table shows.
    meas.PutInChronologicalOrder();
    for (int32_t i = 0; i <= meas.GetDataIndex(); ++i) {
        table_.AddDataLine(meas, i, i, store_.values.graficMode);
    }
    table_.AddBlankLine();
    table_.EndBatch();
    ButtonZoomClick();

    ErrorString->clear();
    if (meas.IsConnectionLost()) {
        ShowStatus("No connection to Device");
    }
    ApplyAutoRunEndedState();
    if (meas.IsConnectionLost()) {
        ForcedSave();
    }
}

void TForm1::WatchStream(const TMeasData& meas, int32_t newSamples) {
    // A stream that has ended for a known reason is not watched.
    if (meas.IsConnectionLost() || link_.Usb().DataError()) {
        return;
    }
    switch (streamWatch_.Poll(newSamples, meas.ShortPackets())) {
        case StreamWatch::Notice::SamplesLost:
            ShowStatus("Samples lost in the measuring stream");
            break;
        case StreamWatch::Notice::NoSamples:
            ShowStatus("No samples from the instrument");
            break;
        case StreamWatch::Notice::SamplesAgain:
            if (ErrorString->text().toStdString() == Translated("No samples from the instrument")) {
                ErrorString->clear();
            }
            break;
        case StreamWatch::Notice::None:
            break;
    }
}

void TForm1::interface_offClick() {
    link_.Protocol().linkActive = false;
    TimerGetMeas->stop();
    link_.Stop();
}

void TForm1::FormClose() {
    closed_ = true;
    interface_offClick();
    link_.Shutdown();
    chart_.ReleaseSeries();
}

// Device buttons. Two of them wait for the reply to the command before.
void TForm1::ButtonGetFirmwareClick() {
    SendWithHandshake("#I05");
}
void TForm1::ButtonGetErrorClick() {
    link_.Protocol().SendCommand("#Y00");
}
void TForm1::clrDevErrorClick() {
    SendWithHandshake("#Y01");
}
void TForm1::ZeroClick() {
    link_.Protocol().SendCommand("#A03");
}
void TForm1::unZeroClick() {
    link_.Protocol().SendCommand("#A13");
}
void TForm1::clrPeakClick() {
    link_.Protocol().SendCommand("#B03");
}

void TForm1::SendWithHandshake(const char* code) {
    CommandProtocol& protocol = link_.Protocol();
    if (protocol.commandPending) {
        return;
    }
    protocol.commandPending = true;
    protocol.SendCommand(code);
}

// What the link hands over from its worker threads arrives here, queued to the
// user-interface thread.
void TForm1::FirmwareTextReceived(const std::string& text) {
    QMetaObject::invokeMethod(
        this, [this, text] { Label1->setText(Text(text)); }, Qt::QueuedConnection);
}

void TForm1::DeviceErrorTextReceived(const std::string& text) {
    QMetaObject::invokeMethod(
        this,
        [this, text] {
            ErrorString->setText(Text(text));
            ErrorString->repaint();
        },
        Qt::QueuedConnection);
}

void TForm1::ReplyDecoded(const DecodedReply& reply) {
    QMetaObject::invokeMethod(
        this, [this, reply] { link_.Protocol().ApplyReply(reply); }, Qt::QueuedConnection);
}

void TForm1::DataErrorOccurred(const DataErrorNotice& notice) {
    QMetaObject::invokeMethod(
        this,
        [this, notice] {
            if (closed_) {
                return;
            }
            services_.messages.Show(
                notice.text, notice.caption, MessageIcon::None,
                [window = QPointer(this), exit = notice.exitAfterSave] {
                    // The box has no owner: the window may be closed
                    // or gone.
                    if (window == nullptr || window->closed_) {
                        return;
                    }
                    // The program ends only once the user has
                    // read where the data sets are.
                    window->ForcedSave([end = window->services_.endProgram, exit] {
                        if (exit) {
                            end(0);
                        }
                    });
                });
        },
        Qt::QueuedConnection);
}

// What the sample processing reaches in the window.
void TForm1::ConnectionLost() {
    ShowStatus("No connection to Device");
    SetZemlometerKeys(false);
}

// The keys go to whichever window has the focus: into one of this program's own
// windows they would press its focused button (Return) or fill its fields.
void TForm1::TypeText(const std::string& text) {
    if (QApplication::activeWindow() != nullptr) {
        return;
    }
    services_.keyboard.TypeText(text);
}

void TForm1::StartExternalProgram(const std::string& program, const ExternalValues& values) {
    services_.launcher.StartExternalProgram(
        program, BuildExternalParameters(store_.values.extParameter, values));
}

std::array<ChartSeries*, kSeriesCount> TForm1::AutoRunSeries() {
    const std::array<bool, kSeriesCount> shown = ShownSeries();
    std::array<ChartSeries*, kSeriesCount> series{};
    for (int k = 0; k < kSeriesCount; ++k) {
        series[k] = shown[k] ? chart_.Series(static_cast<SeriesRole>(k)) : nullptr;
    }
    return series;
}

void TForm1::RescaleChartAxes() {
    chart_.ZoomAll();
}

std::array<bool, kSeriesCount> TForm1::ShownSeries() const {
    return {CheckBoxMean->isChecked(), CheckBPeak1msLo->isChecked(), CheckBPeak1msUp->isChecked(),
            CheckBPeakfilteredDn->isChecked(), CheckBPeakfilteredUp->isChecked()};
}

}  // namespace vx
