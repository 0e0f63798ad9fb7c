#include "app/FakePortal.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>

#include <fmt/format.h>

namespace vx::test {
namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kDesktopPath = QStringLiteral("/org/freedesktop/portal/desktop");

QVariantMap MapOf(const QVariant& argument) {
    return qdbus_cast<QVariantMap>(argument.value<QDBusArgument>());
}

std::string KeyEvent(uint32_t symbol, bool pressed) {
    return fmt::format("key {:#x} {}", symbol, pressed ? "down" : "up");
}

// Where the request or session of a caller's token lives.
QString PathFor(const QString& kind, const QDBusMessage& call, const QString& token) {
    QString sender = call.service().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("%1/%2/%3/%4").arg(kDesktopPath, kind, sender, token);
}

}  // namespace

FakePortal::FakePortal(QDBusConnection bus) : bus_(std::move(bus)) {
    bus_.registerVirtualObject(kDesktopPath, this, QDBusConnection::SubPath);
    bus_.registerService(kService);
}

FakePortal::~FakePortal() {
    bus_.unregisterService(kService);
    bus_.unregisterObject(kDesktopPath, QDBusConnection::UnregisterTree);
}

void FakePortal::SetAnswer(Answer answer) {
    std::lock_guard lock(mutex_);
    answer_ = answer;
}

std::vector<std::string> FakePortal::Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

std::vector<std::string> FakePortal::Keys() const {
    std::vector<std::string> keys;
    for (const std::string& call : Calls()) {
        if (call.starts_with("key ")) {
            keys.push_back(call);
        }
    }
    return keys;
}

int FakePortal::ConsentDialogs() const {
    std::lock_guard lock(mutex_);
    return consentDialogs_;
}

void FakePortal::EndSession() {
    std::lock_guard lock(mutex_);
    bus_.send(QDBusMessage::createSignal(sessionPath_,
                                         QStringLiteral("org.freedesktop.portal.Session"),
                                         QStringLiteral("Closed"))
              << QVariantMap{});
}

void FakePortal::Respond(const QDBusMessage& call, const QString& token, uint32_t code,
                         const QVariantMap& results) {
    const QString request = PathFor(QStringLiteral("request"), call, token);
    bus_.send(call.createReply(QVariant::fromValue(QDBusObjectPath(request))));
    bus_.send(QDBusMessage::createSignal(request, QStringLiteral("org.freedesktop.portal.Request"),
                                         QStringLiteral("Response"))
              << code << results);
}

bool FakePortal::handleMessage(const QDBusMessage& message, const QDBusConnection&) {
    if (message.type() != QDBusMessage::MethodCallMessage) {
        return false;
    }
    std::lock_guard lock(mutex_);
    const QString member = message.member();
    const QList<QVariant> arguments = message.arguments();
    if (member == "NotifyKeyboardKeysym") {
        calls_.push_back(KeyEvent(arguments.at(2).toUInt(), arguments.at(3).toUInt() == 1));
    } else if (member != "SelectDevices") {
        calls_.push_back(member.toStdString());
    }
    if (answer_ == Answer::Never) {
        return true;
    }
    if (member == "GetAll") {
        bus_.send(message.createReply(QVariant::fromValue(
            QVariantMap{{QStringLiteral("version"), QVariant::fromValue(2u)},
                        {QStringLiteral("AvailableDeviceTypes"), QVariant::fromValue(7u)}})));
    } else if (member == "CreateSession") {
        const QVariantMap options = MapOf(arguments.at(0));
        sessionPath_ = PathFor(QStringLiteral("session"), message,
                               options.value(QStringLiteral("session_handle_token")).toString());
        Respond(message, options.value(QStringLiteral("handle_token")).toString(), 0,
                {{QStringLiteral("session_handle"), sessionPath_}});
    } else if (member == "SelectDevices") {
        const QVariantMap options = MapOf(arguments.at(1));
        std::string call = "SelectDevices";
        for (const char* key : {"types", "persist_mode", "restore_token"}) {
            if (options.contains(key)) {
                call += fmt::format(" {}={}", key, options.value(key).toString().toStdString());
            }
        }
        calls_.push_back(call);
        const QString token = options.value(QStringLiteral("restore_token")).toString();
        restoring_ = !token.isEmpty() && token == QStringLiteral("token-%1").arg(tokensIssued_);
        persist_ = options.value(QStringLiteral("persist_mode")).toUInt() == 2;
        Respond(message, options.value(QStringLiteral("handle_token")).toString(), 0, {});
    } else if (member == "Start") {
        const QString token =
            MapOf(arguments.at(2)).value(QStringLiteral("handle_token")).toString();
        if (!restoring_) {
            ++consentDialogs_;
        }
        if (!restoring_ && answer_ == Answer::Refuse) {
            Respond(message, token, 1, {});
        } else {
            QVariantMap results{{QStringLiteral("devices"), QVariant::fromValue(1u)}};
            if (persist_) {
                results.insert(QStringLiteral("restore_token"),
                               QStringLiteral("token-%1").arg(++tokensIssued_));
            }
            Respond(message, token, 0, results);
        }
    } else {
        bus_.send(message.createReply());
    }
    return true;
}

std::vector<std::string> KeyEventsFor(const std::string& text) {
    std::vector<std::string> keys;
    for (const char c : text) {
        const uint32_t symbol = c == '\r' ? 0xFF0D : static_cast<unsigned char>(c);
        keys.push_back(KeyEvent(symbol, true));
        keys.push_back(KeyEvent(symbol, false));
    }
    return keys;
}

}  // namespace vx::test
