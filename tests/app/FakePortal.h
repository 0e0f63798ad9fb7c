#pragma once

#include <QDBusConnection>
#include <QDBusVirtualObject>

#include <mutex>
#include <string>
#include <vector>

namespace vx::test {

// The desktop's portal as far as typing uses it: the RemoteDesktop interface with its
// properties, its Request objects and Response signals, and Session objects. It owns
// org.freedesktop.portal.Desktop on the bus it is given and records every call it gets:
// "GetAll", "CreateSession", "SelectDevices types=1 persist_mode=2 restore_token=token-1"
// (options as given), "Start", "key 0x31 down" / "key 0x31 up", "Close".
// Restore tokens are "token-1", "token-2", ...; a start restored with the last one asks
// the user nothing, any other start shows the consent dialog, answered as `answer` says.
class FakePortal final : public QDBusVirtualObject {
  public:
    enum class Answer { Grant, Refuse, Never };

    explicit FakePortal(QDBusConnection bus);
    ~FakePortal() override;
    FakePortal(const FakePortal&) = delete;
    FakePortal& operator=(const FakePortal&) = delete;

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;
    QString introspect(const QString&) const override { return {}; }

    // The desktop ends the session, as when the user withdraws the consent.
    void EndSession();

    std::vector<std::string> Calls() const;
    // The key events only.
    std::vector<std::string> Keys() const;
    int ConsentDialogs() const;

    void SetAnswer(Answer answer);

  private:
    void Respond(const QDBusMessage& call, const QString& token, uint32_t code,
                 const QVariantMap& results);

    QDBusConnection bus_;
    mutable std::mutex mutex_;
    Answer answer_ = Answer::Grant;
    std::vector<std::string> calls_;
    int consentDialogs_ = 0;
    int tokensIssued_ = 0;
    bool restoring_ = false;
    bool persist_ = false;
    QString sessionPath_;
};

// The keys that type the text: each character pressed and released, as the fake
// records them.
std::vector<std::string> KeyEventsFor(const std::string& text);

}  // namespace vx::test
