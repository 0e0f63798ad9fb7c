#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/Timer.h"
#include "desktop/KeyboardOutput.h"
#include "desktop/PacedTyping.h"
#include "settings/SettingsStore.h"

namespace vx {

// Types into the focused application through the desktop's remote-desktop portal
// (org.freedesktop.portal.RemoteDesktop on the session bus), which Wayland desktops
// offer where XTest reaches only X11 programs. One session with the keyboard device is
// set up when typing is switched on or first needed; the desktop asks the user's
// consent for it. Where the portal can keep that consent (interface version 2) its
// restore token goes into the settings file at once, so later starts ask no more.
// Each character is pressed and released as its key symbol, then KeyBufDelayTimeMs
// (read at every pause) passes; Return ends the text. Texts that come while the
// session is being set up are typed once it stands.
// Every call is asynchronous: the poll never waits for the portal. A missing portal, a
// refusal, a session the desktop ends, or a call left unanswered for kAnswerTimeoutMs
// each give one box; typing then stays off until Prepare (typing switched on again).
class PortalKeyboard final : public QObject, public KeyboardOutput {
    Q_OBJECT

  public:
    static constexpr int kAnswerTimeoutMs = 5000;

    PortalKeyboard(QDBusConnection bus, Settings& settings, const Folders& folders,
                   MessageSink& messages, TimerFactory& timers);
    // Closes the session.
    ~PortalKeyboard() override;
    PortalKeyboard(const PortalKeyboard&) = delete;
    PortalKeyboard& operator=(const PortalKeyboard&) = delete;

    void TypeText(const std::string& text) override;
    void Prepare() override;

  private slots:
    void RequestAnswered(const QDBusMessage& response);
    void SessionClosed();

  private:
    enum class Step { Idle, Probing, Creating, Selecting, Starting, Ready, Off };
    using ReplyHandler = std::function<void(const QDBusMessage&)>;

    void Begin();
    void Probed(const QDBusMessage& reply);
    void CreateSession();
    void SelectDevices();
    void StartSession();
    void SessionStarted(const QVariantMap& results);
    // A method call to the portal; onReply gets the answer unless it belongs to an
    // attempt given up since.
    void Call(const QString& path, const QString& interface, const QString& method,
              const QVariantList& arguments, ReplyHandler onReply);
    // A RemoteDesktop method whose result comes as the Response of its request object.
    // responseIsDue: the portal answers at once, no user is asked.
    void Request(const QString& method, QVariantList arguments, QVariantMap options,
                 bool responseIsDue);
    void ListenForResponse(const QString& requestPath);
    void StopListening();
    // The answer time-out runs while the portal owes an answer.
    void Owe();
    void Paid();
    void SendKey(uint32_t symbol);
    void StoreRestoreToken(const QString& token);
    void CloseSession();
    void Reset(Step step);
    void Fail(const char* text);

    QDBusConnection bus_;
    Settings& settings_;
    SettingsStore store_;
    std::unique_ptr<Timer> answerTimeout_;
    Step step_ = Step::Idle;
    // Counts the attempts to set up a session; answers to an earlier one are ignored.
    uint64_t attempt_ = 0;
    int owed_ = 0;
    bool responseOwed_ = false;
    uint32_t version_ = 0;
    QString requestPath_;
    QString sessionPath_;
    // Held until the session is ready.
    PacedTyping typing_;
};

}  // namespace vx
