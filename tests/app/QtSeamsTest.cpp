#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QMessageBox>

#include <memory>
#include <thread>
#include <vector>

#include "app/GuiTestSupport.h"
#include "app/QtMessageSink.h"
#include "app/QtTimerFactory.h"

namespace vx {
namespace {

std::vector<QMessageBox*> OpenBoxes() {
    std::vector<QMessageBox*> boxes;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box != nullptr && box->isVisible()) {
            boxes.push_back(box);
        }
    }
    return boxes;
}

class QtSeamsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { test::EnsureApplication(); }
    void TearDown() override {
        for (QMessageBox* box : OpenBoxes()) {
            box->close();
        }
        QApplication::processEvents();
    }
};

TEST_F(QtSeamsTest, MessageBoxIsShownWithoutBlockingAndReportsItsClosing) {
    QtMessageSink sink;
    int closed = 0;
    sink.Show("Device not found", "Error", MessageIcon::None, [&] { ++closed; });

    const auto boxes = OpenBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    QMessageBox* box = boxes.front();
    EXPECT_EQ(box->text(), "Device not found");
    EXPECT_EQ(box->windowTitle(), "Error");
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    EXPECT_EQ(box->parentWidget(), nullptr);
    EXPECT_EQ(closed, 0);

    box->button(QMessageBox::Ok)->click();
    QApplication::processEvents();
    EXPECT_EQ(closed, 1);
    EXPECT_TRUE(OpenBoxes().empty());
}

// When the main window closes, its open boxes close with it and what was to follow
// them does not run; no box opens afterwards.
// A 100 kB program path once made a box taller than the screen.
TEST_F(QtSeamsTest, LongNamesAreShortenedToTheirStartAndEnd) {
    QtMessageSink sink;
    const std::string path = "/home/op/" + std::string(100000, 'x') + "/calc.exe";
    sink.Show("The program " + path + " could not be started:\nNo such file or directory", "Error",
              MessageIcon::Critical, {});
    const auto boxes = OpenBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    const std::string shown = boxes.front()->text().toStdString();
    EXPECT_EQ(shown, "The program /home/op/" + std::string(50, 'x') + "…" + std::string(50, 'x') +
                         "/calc.exe could not be started:\nNo such file or directory");
    EXPECT_LT(boxes.front()->sizeHint().height(), 600);
    EXPECT_LT(boxes.front()->sizeHint().width(), 1200);
}

TEST_F(QtSeamsTest, CloseAllClosesTheBoxesWithoutTheirFollowUp) {
    QtMessageSink sink;
    int followUps = 0;
    sink.Show("Data error, save data and repower device", "ERROR", MessageIcon::None,
              [&] { ++followUps; });
    sink.Show("Sensor Calibration Error", "Error", MessageIcon::None, [&] { ++followUps; });
    ASSERT_EQ(OpenBoxes().size(), 2u);

    sink.CloseAll();
    QApplication::processEvents();
    EXPECT_TRUE(OpenBoxes().empty());
    EXPECT_EQ(followUps, 0);
    sink.Show("Device not found", "Error", MessageIcon::None, [&] { ++followUps; });
    EXPECT_TRUE(OpenBoxes().empty());
}

TEST_F(QtSeamsTest, CriticalIconAndBoxesAskedForByAWorkerThread) {
    QtMessageSink sink;
    bool closed = false;
    std::thread worker(
        [&] { sink.Show("R2: time-out", "ERROR", MessageIcon::Critical, [&] { closed = true; }); });
    worker.join();
    // The box belongs to the user-interface thread: it opens there, on the next pass.
    EXPECT_TRUE(OpenBoxes().empty());
    QApplication::processEvents();
    const auto boxes = OpenBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes.front()->icon(), QMessageBox::Critical);
    EXPECT_EQ(boxes.front()->text(), "R2: time-out");
    boxes.front()->button(QMessageBox::Ok)->click();
    EXPECT_TRUE(closed);
}

TEST_F(QtSeamsTest, TimerMayBeDestroyedInsideItsOwnTick) {
    QtTimerFactory factory;
    int ticks = 0;
    std::unique_ptr<Timer> timer;
    timer = factory.Create([&] {
        ++ticks;
        timer.reset();
    });
    EXPECT_FALSE(timer->IsActive());
    timer->Start(0);
    EXPECT_TRUE(timer->IsActive());
    EXPECT_EQ(timer->IntervalMs(), 0);
    for (int pass = 0; pass < 100 && timer; ++pass) {
        QApplication::processEvents();
    }
    for (int pass = 0; pass < 10; ++pass) {
        QApplication::processEvents();
    }
    EXPECT_EQ(ticks, 1);
}

TEST_F(QtSeamsTest, StoppedTimerDoesNotTick) {
    QtTimerFactory factory;
    int ticks = 0;
    auto timer = factory.Create([&] { ++ticks; });
    timer->Start(0);
    timer->Stop();
    EXPECT_FALSE(timer->IsActive());
    for (int pass = 0; pass < 10; ++pass) {
        QApplication::processEvents();
    }
    EXPECT_EQ(ticks, 0);
}

}  // namespace
}  // namespace vx
