// Typing in a Wayland session: the window over the simulated instrument types through
// the remote-desktop portal, here a fake one on a session bus of the test's own.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDBusConnection>
#include <QTest>

#include <algorithm>
#include <memory>

#include "app/FakePortal.h"
#include "app/GuiTestSupport.h"
#include "app/PortalKeyboard.h"
#include "app/PrivateSessionBus.h"
#include "desktop/KeyboardRouter.h"

namespace vx {
namespace {

constexpr int kPatienceMs = 10000;  // real time the bus may take to carry a message

const std::string kNoPortal =
    "This desktop offers no remote-desktop portal: values cannot be typed into other programs";
const std::string kRefused =
    "Typing values into other programs was not allowed; switch \"Mean to key buffer\" on "
    "again to be asked once more";
const std::string kEnded =
    "The desktop has ended the typing of values into other programs; switch \"Mean to key "
    "buffer\" on again to resume it";
const std::string kNoAnswer =
    "The desktop's remote-desktop portal does not answer: values cannot be typed into other "
    "programs";

// One run of the program in a Wayland session: the window with the settings lines given,
// started up over the simulated instrument, its keyboard output choosing by the session.
class ProgramRun {
  public:
    ProgramRun(QDBusConnection bus, const std::string& settingsLines) : bus_(std::move(bus)) {
        harness.WriteSettingsFile(settingsLines);
        harness.keyboard.forwardTo = &router;
        harness.StartUp();
    }

    // The instrument's key takes a data set, and the poll handles it. The stream runs a
    // while first: the key counts only once the debounce time has passed.
    void PressInstrumentKey() {
        harness.Poll(100);
        harness.instrument.PressKey();
        harness.Poll(200);
    }

    test::WindowHarness harness;
    ManualTimerFactory keyboardTimers;  // fired one kind at a time, by interval

  private:
    QDBusConnection bus_;

  public:
    KeyboardRouter router{
        harness.settings,
        {[] {
             ADD_FAILURE() << "XTest chosen in a Wayland session";
             return std::make_unique<test::RecordingKeyboard>();
         },
         [this] {
             return std::make_unique<PortalKeyboard>(bus_, harness.settings, harness.folders,
                                                     harness.messages, keyboardTimers);
         }},
        [](const char* name) { return std::string(name) == "XDG_SESSION_TYPE" ? "wayland" : ""; }};
};

const std::string kTypingOn = "ShowKeyBufCheckBox=1\nWriteToKeyBuffer=1\nKeyBufDelayTimeMs=10\n";

class PortalTypingTest : public ::testing::Test {
  protected:
    PortalTypingTest() {
        test::EnsureApplication();
        static int count = 0;
        const QString address = QString::fromStdString(bus_.Address());
        programName_ = QStringLiteral("program-%1").arg(++count);
        portalName_ = QStringLiteral("portal-%1").arg(count);
        programBus = QDBusConnection::connectToBus(address, programName_);
        portalBus = QDBusConnection::connectToBus(address, portalName_);
    }
    ~PortalTypingTest() override {
        QDBusConnection::disconnectFromBus(programName_);
        QDBusConnection::disconnectFromBus(portalName_);
    }
    void SetUp() override {
        ASSERT_FALSE(bus_.Address().empty()) << "dbus-daemon did not start: these tests need it";
        ASSERT_TRUE(programBus.isConnected());
        ASSERT_TRUE(portalBus.isConnected());
    }

    static std::string LastCall(const test::FakePortal& portal) {
        const std::vector<std::string> calls = portal.Calls();
        return calls.empty() ? "" : calls.back();
    }
    static bool WaitFor(const std::function<bool()>& condition) {
        return QTest::qWaitFor(condition, kPatienceMs);
    }
    // Lets the pauses between the characters pass until the fake has the keys.
    static bool TypedOut(ProgramRun& run, const test::FakePortal& portal, size_t keyEvents) {
        return WaitFor([&] {
            run.keyboardTimers.Fire(10);
            return portal.Keys().size() >= keyEvents;
        });
    }
    // The calls that reached the fake after its first `from` ones, once everything the
    // program has sent has arrived: the bus keeps the messages of a sender in order.
    std::vector<std::string> CallsSince(const test::FakePortal& portal, size_t from) {
        programBus.call(QDBusMessage::createMethodCall("org.freedesktop.portal.Desktop",
                                                       "/org/freedesktop/portal/desktop",
                                                       "org.vx212.Test", "Ping"),
                        QDBus::BlockWithGui, kPatienceMs);
        std::vector<std::string> calls = portal.Calls();
        EXPECT_EQ(calls.back(), "Ping");
        calls.pop_back();
        return {calls.begin() + static_cast<std::ptrdiff_t>(from), calls.end()};
    }

    test::PrivateSessionBus bus_;
    QString programName_;
    QString portalName_;
    QDBusConnection programBus{QString()};
    QDBusConnection portalBus{QString()};
};

TEST_F(PortalTypingTest, KeyDataSetTypesTheMeanAsKeySymbolsPressedAndReleasedWithPauses) {
    test::FakePortal portal(portalBus);
    ProgramRun run(programBus, kTypingOn + "DecimalSeparator=,\n");
    // Switching typing on at start-up set up the session: the consent comes now, not
    // in the middle of a value.
    ASSERT_TRUE(
        WaitFor([&] { return run.harness.StoredValue("PortalRestoreToken") == "token-1"; }));
    EXPECT_EQ(portal.Calls(),
              (std::vector<std::string>{"GetAll", "CreateSession",
                                        "SelectDevices types=1 persist_mode=2", "Start"}));
    EXPECT_EQ(portal.ConsentDialogs(), 1);

    run.harness.instrument.SetProfile([](int64_t) { return int16_t{499}; });
    run.PressInstrumentKey();
    ASSERT_EQ(run.harness.keyboard.typed.size(), 1u);
    const std::string mean = run.harness.keyboard.typed[0];
    EXPECT_EQ(mean, " 12,35");
    // Each character but Return is followed by the pause of the setting.
    int pauses = 0;
    ASSERT_TRUE(WaitFor([&] {
        pauses += run.keyboardTimers.Fire(10);
        return portal.Keys().size() >= 14;
    }));
    EXPECT_EQ(portal.Keys(), test::KeyEventsFor(mean + "\r"));
    EXPECT_EQ(pauses, 6);
    EXPECT_TRUE(run.harness.messages.Shown().empty());
}

TEST_F(PortalTypingTest, WithoutTheBoxTheFirstValueAsksTheConsentAndIsTypedOnceGiven) {
    test::FakePortal portal(portalBus);
    ProgramRun run(programBus, "WriteToKeyBuffer=1\nuseSelKeySingleShot=1\n");
    EXPECT_EQ(CallsSince(portal, 0), std::vector<std::string>{});
    run.PressInstrumentKey();
    ASSERT_EQ(run.harness.keyboard.typed.size(), 1u);
    ASSERT_TRUE(TypedOut(run, portal, 14));
    EXPECT_EQ(portal.ConsentDialogs(), 1);
    EXPECT_EQ(portal.Keys(), test::KeyEventsFor(run.harness.keyboard.typed[0] + "\r"));
}

TEST_F(PortalTypingTest, TheRestoreTokenIsOfferedAtTheNextStartWhichAsksNoSecondConsent) {
    test::FakePortal portal(portalBus);
    auto first = std::make_unique<ProgramRun>(programBus, kTypingOn);
    ASSERT_TRUE(
        WaitFor([&] { return first->harness.StoredValue("PortalRestoreToken") == "token-1"; }));
    first.reset();
    // The session closes when the program ends.
    ASSERT_TRUE(WaitFor([&] { return LastCall(portal) == "Close"; }));

    ProgramRun second(programBus, kTypingOn + "PortalRestoreToken=token-1\n");
    // The token served once; the next start hands out the one to keep.
    ASSERT_TRUE(
        WaitFor([&] { return second.harness.StoredValue("PortalRestoreToken") == "token-2"; }));
    EXPECT_EQ(portal.ConsentDialogs(), 1);
    const auto calls = portal.Calls();
    EXPECT_NE(std::find(calls.begin(), calls.end(),
                        "SelectDevices types=1 persist_mode=2 restore_token=token-1"),
              calls.end());
    second.PressInstrumentKey();
    ASSERT_TRUE(TypedOut(second, portal, 14));
    EXPECT_TRUE(second.harness.messages.Shown().empty());
}

TEST_F(PortalTypingTest, RefusedConsentSpeaksOnceAndTypesNothingUntilTypingIsSwitchedOnAgain) {
    test::FakePortal portal(portalBus);
    portal.SetAnswer(test::FakePortal::Answer::Refuse);
    ProgramRun run(programBus, kTypingOn);
    // The refused session is closed.
    ASSERT_TRUE(WaitFor([&] { return LastCall(portal) == "Close"; }));
    const size_t before = portal.Calls().size();
    run.PressInstrumentKey();
    run.PressInstrumentKey();
    EXPECT_EQ(CallsSince(portal, before), std::vector<std::string>{});
    EXPECT_EQ(run.harness.form.TableRows().Count(), 2);
    EXPECT_EQ(run.harness.messages.Shown(),
              (std::vector<test::ShownMessage>{{kRefused, "WARNING"}}));
    EXPECT_EQ(run.harness.StoredValue("PortalRestoreToken"), "");

    // Switched off and on again, typing asks once more.
    portal.SetAnswer(test::FakePortal::Answer::Grant);
    run.harness.form.CheckBoxToKeyBuf->setChecked(false);
    run.harness.form.CheckBoxToKeyBuf->setChecked(true);
    ASSERT_TRUE(
        WaitFor([&] { return run.harness.StoredValue("PortalRestoreToken") == "token-1"; }));
    EXPECT_EQ(portal.ConsentDialogs(), 2);
    run.PressInstrumentKey();
    EXPECT_TRUE(TypedOut(run, portal, 14));
    EXPECT_EQ(run.harness.messages.Shown().size(), 1u);
}

TEST_F(PortalTypingTest, APortalThatNeverAnswersLeavesThePollRunningAndSpeaksOnce) {
    test::FakePortal portal(portalBus);
    portal.SetAnswer(test::FakePortal::Answer::Never);
    ProgramRun run(programBus, kTypingOn);
    ASSERT_TRUE(WaitFor([&] { return !portal.Calls().empty(); }));
    run.PressInstrumentKey();
    EXPECT_EQ(run.harness.form.TableRows().Count(), 1);
    EXPECT_TRUE(run.harness.messages.Shown().empty());

    ASSERT_EQ(run.keyboardTimers.Fire(PortalKeyboard::kAnswerTimeoutMs), 1);
    run.PressInstrumentKey();
    run.PressInstrumentKey();
    EXPECT_EQ(run.harness.form.TableRows().Count(), 3);
    EXPECT_FALSE(run.keyboardTimers.Active(PortalKeyboard::kAnswerTimeoutMs));
    EXPECT_EQ(portal.Calls(), std::vector<std::string>{"GetAll"});
    EXPECT_EQ(run.harness.messages.Shown(),
              (std::vector<test::ShownMessage>{{kNoAnswer, "WARNING"}}));
}

TEST_F(PortalTypingTest, WithoutPortalServiceTheWaylandSessionSpeaksOnce) {
    ProgramRun run(programBus, kTypingOn);
    ASSERT_TRUE(WaitFor([&] { return !run.harness.messages.Shown().empty(); }));
    run.PressInstrumentKey();
    run.PressInstrumentKey();
    // A round trip to the bus lets any further call of the program come back answered.
    programBus.call(QDBusMessage::createMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                   "org.freedesktop.DBus", "GetId"),
                    QDBus::BlockWithGui, kPatienceMs);
    QCoreApplication::processEvents();
    EXPECT_EQ(run.harness.form.TableRows().Count(), 2);
    EXPECT_FALSE(run.keyboardTimers.Active(PortalKeyboard::kAnswerTimeoutMs));
    EXPECT_EQ(run.harness.messages.Shown(),
              (std::vector<test::ShownMessage>{{kNoPortal, "WARNING"}}));
}

TEST_F(PortalTypingTest, ASessionTheDesktopEndsSwitchesTypingOff) {
    test::FakePortal portal(portalBus);
    ProgramRun run(programBus, kTypingOn);
    ASSERT_TRUE(
        WaitFor([&] { return run.harness.StoredValue("PortalRestoreToken") == "token-1"; }));
    portal.EndSession();
    ASSERT_TRUE(WaitFor([&] { return !run.harness.messages.Shown().empty(); }));
    const size_t before = portal.Calls().size();
    run.PressInstrumentKey();
    EXPECT_EQ(CallsSince(portal, before), std::vector<std::string>{});
    EXPECT_EQ(run.harness.messages.Shown(), (std::vector<test::ShownMessage>{{kEnded, "WARNING"}}));
}

TEST_F(PortalTypingTest, NothingIsTypedWhileTheProgramsWindowIsActive) {
    test::FakePortal portal(portalBus);
    ProgramRun run(programBus, kTypingOn);
    ASSERT_TRUE(
        WaitFor([&] { return run.harness.StoredValue("PortalRestoreToken") == "token-1"; }));
    run.harness.form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&run.harness.form));
    const size_t before = portal.Calls().size();
    run.PressInstrumentKey();
    EXPECT_EQ(CallsSince(portal, before), std::vector<std::string>{});

    run.harness.form.hide();
    ASSERT_TRUE(WaitFor([] { return QApplication::activeWindow() == nullptr; }));
    run.PressInstrumentKey();
    EXPECT_TRUE(TypedOut(run, portal, 14));
    EXPECT_EQ(run.harness.form.TableRows().Count(), 2);
}

}  // namespace
}  // namespace vx
