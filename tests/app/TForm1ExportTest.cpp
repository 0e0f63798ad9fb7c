// "Clipboard + &Excel": the data sets read back from the clipboard by another program
// while the window's event loop runs.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <cerrno>

#include "app/GuiTestSupport.h"
#include "datasets/DataSetFileFixture.h"

namespace vx {
namespace {

// What xclip reads from the clipboard; the event loop serves the request meanwhile.
std::string ClipboardOfAnotherProgram() {
    QProcess xclip;
    QEventLoop loop;
    QObject::connect(&xclip, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&xclip, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    xclip.start("xclip", {"-o", "-selection", "clipboard"});
    loop.exec();
    EXPECT_EQ(xclip.state(), QProcess::NotRunning) << "xclip did not end";
    EXPECT_EQ(xclip.exitCode(), 0);
    return xclip.readAllStandardOutput().toStdString();
}

class WindowExportTest : public ::testing::Test {
  protected:
    WindowExportTest() {
        form.show();
        harness.instrument.SetAbsent(true);
        form.FormShow();
    }
    test::WindowHarness harness;
    TForm1& form = harness.form;
};

TEST_F(WindowExportTest, ClipboardHoldsTheFileLinesAndEachPressStartsTheSpreadsheet) {
    TMeasData& meas = *form.Link().MeasData();
    test::StoreTexts(meas, 0, test::kExample1);
    test::StoreTexts(meas, 1, test::kExample2);
    meas.dataIndex = 1;
    form.TableRows().SetCaptions(0, {test::kCaptionsN.begin(), test::kCaptionsN.end()});
    ASSERT_TRUE(form.ButtonExcel->isEnabled());
    form.ButtonExcel->click();
    EXPECT_EQ(ClipboardOfAnotherProgram(), test::kExampleFile);
    EXPECT_EQ(harness.detachedStarts, (std::vector<std::vector<std::string>>{{"localc"}}));

    // Without LibreOffice under either name: tried once each, and nothing said.
    harness.detachedStarts.clear();
    harness.detachedStartResult = ENOENT;
    form.ButtonExcel->click();
    EXPECT_EQ(harness.detachedStarts,
              (std::vector<std::vector<std::string>>{{"localc"}, {"libreoffice", "--calc"}}));
    EXPECT_TRUE(harness.messages.Shown().empty());
}

TEST_F(WindowExportTest, AfterALoadTheHeaderHasTheRebuiltCaptionsAndValuesNoBlanks) {
    const auto file = harness.temp.Path() / "example.txt";
    test::WriteBytes(file, test::kExampleFile);
    harness.dialogs.openAnswers = {file.string()};
    form.loadFromFileClick();
    ASSERT_TRUE(harness.messages.Shown().empty());
    form.ButtonExcel->click();
    EXPECT_EQ(ClipboardOfAnotherProgram(),
              "Number\t[Date]\t[Time]\t[Diff]=ms\t[Value]=N\t[Min]=N\t[Max]=N\t"
              "[MinFilt]=N\t[MaxFilt]=N\t(100ms)\r\n"
              "1\t08.12.2026\t14:03:27\t250\t12,35\t11,98\t12,71\t12,10\t12,52\r\n"
              "2\t08.12.2026\t14:03:31\t875\t25,40\t11,98\t25,77\t12,10\t25,49\r\n");
}

}  // namespace
}  // namespace vx
