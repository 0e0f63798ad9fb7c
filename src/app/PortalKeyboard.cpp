#include "app/PortalKeyboard.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QRandomGenerator>

#include "desktop/KeySyms.h"

namespace vx {
namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kDesktopPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kRemoteDesktop = QStringLiteral("org.freedesktop.portal.RemoteDesktop");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
const QString kSession = QStringLiteral("org.freedesktop.portal.Session");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

constexpr uint32_t kKeyboardDevice = 1;
// Consent that lasts until the user withdraws it.
constexpr uint32_t kPersistUntilRevoked = 2;
constexpr uint32_t kReleased = 0;
constexpr uint32_t kPressed = 1;

constexpr const char* kNoPortal =
    "This desktop offers no remote-desktop portal: values cannot be typed into other programs";
constexpr const char* kRefused =
    "Typing values into other programs was not allowed; switch \"Mean to key buffer\" on "
    "again to be asked once more";
constexpr const char* kEnded =
    "The desktop has ended the typing of values into other programs; switch \"Mean to key "
    "buffer\" on again to resume it";
constexpr const char* kNoAnswer =
    "The desktop's remote-desktop portal does not answer: values cannot be typed into other "
    "programs";
constexpr const char* kFailed =
    "The desktop's remote-desktop portal reported an error: values cannot be typed into other "
    "programs";

// Request tokens must not be guessable by other programs on the bus.
QString NewToken() {
    return QStringLiteral("vx212_%1").arg(QRandomGenerator::global()->generate64());
}

QVariantMap MapOf(const QVariant& argument) {
    return argument.canConvert<QDBusArgument>() ? qdbus_cast<QVariantMap>(argument)
                                                : argument.toMap();
}

// Portals hand the session handle over as an object path or, many of them, a string.
QString PathOf(const QVariant& value) {
    return value.metaType() == QMetaType::fromType<QDBusObjectPath>()
               ? value.value<QDBusObjectPath>().path()
               : value.toString();
}

}  // namespace

PortalKeyboard::PortalKeyboard(QDBusConnection bus, Settings& settings, const Folders& folders,
                               MessageSink& messages, TimerFactory& timers)
    : bus_(std::move(bus)),
      settings_(settings),
      store_(settings, folders, messages),
      answerTimeout_(timers.Create([this] { Fail(kNoAnswer); })),
      typing_(settings, timers, [this](char32_t character) {
          SendKey(KeySymOf(character));
          return true;
      }) {
    typing_.Hold();
}

PortalKeyboard::~PortalKeyboard() {
    CloseSession();
}

void PortalKeyboard::Prepare() {
    if (step_ == Step::Idle || step_ == Step::Off) {
        Begin();
    }
}

void PortalKeyboard::TypeText(const std::string& text) {
    if (step_ == Step::Off) {
        return;
    }
    typing_.Type(text);
    if (step_ == Step::Idle) {
        Begin();
    }
}

// The portal's properties tell whether it offers remote desktops with a keyboard,
// and from which version on consent can be kept.
void PortalKeyboard::Begin() {
    Reset(Step::Probing);
    Call(kDesktopPath, kProperties, QStringLiteral("GetAll"), {kRemoteDesktop},
         [this](const QDBusMessage& reply) { Probed(reply); });
}

void PortalKeyboard::Probed(const QDBusMessage& reply) {
    const QVariantMap properties =
        reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
            ? MapOf(reply.arguments().first())
            : QVariantMap{};
    version_ = properties.value(QStringLiteral("version")).toUInt();
    const uint32_t devices = properties.value(QStringLiteral("AvailableDeviceTypes")).toUInt();
    if (version_ == 0 || (devices & kKeyboardDevice) == 0) {
        Fail(kNoPortal);
        return;
    }
    CreateSession();
}

void PortalKeyboard::CreateSession() {
    step_ = Step::Creating;
    Request(QStringLiteral("CreateSession"), {},
            {{QStringLiteral("session_handle_token"), NewToken()}}, true);
}

void PortalKeyboard::SelectDevices() {
    step_ = Step::Selecting;
    QVariantMap options{{QStringLiteral("types"), QVariant::fromValue(kKeyboardDevice)}};
    if (version_ >= 2) {
        options.insert(QStringLiteral("persist_mode"), QVariant::fromValue(kPersistUntilRevoked));
        if (!settings_.PortalRestoreToken.empty()) {
            options.insert(QStringLiteral("restore_token"),
                           QString::fromStdString(settings_.PortalRestoreToken));
        }
    }
    Request(QStringLiteral("SelectDevices"), {QVariant::fromValue(QDBusObjectPath(sessionPath_))},
            options, true);
}

// The desktop may now show its consent dialog, which takes as long as the user does.
void PortalKeyboard::StartSession() {
    step_ = Step::Starting;
    Request(QStringLiteral("Start"),
            {QVariant::fromValue(QDBusObjectPath(sessionPath_)), QString()}, {}, false);
}

void PortalKeyboard::RequestAnswered(const QDBusMessage& response) {
    const QList<QVariant> arguments = response.arguments();
    if (response.path() != requestPath_ || arguments.size() < 2) {
        return;
    }
    StopListening();
    if (responseOwed_) {
        responseOwed_ = false;
        Paid();
    }
    const uint32_t code = arguments.at(0).toUInt();
    const QVariantMap results = MapOf(arguments.at(1));
    if (step_ == Step::Starting) {
        // 1: the user refused; 2: the dialog ended some other way.
        if (code != 0 ||
            (results.value(QStringLiteral("devices")).toUInt() & kKeyboardDevice) == 0) {
            Fail(kRefused);
            return;
        }
        SessionStarted(results);
        return;
    }
    if (code != 0) {
        Fail(kFailed);
        return;
    }
    if (step_ == Step::Creating) {
        sessionPath_ = PathOf(results.value(QStringLiteral("session_handle")));
        bus_.connect(kService, sessionPath_, kSession, QStringLiteral("Closed"), this,
                     SLOT(SessionClosed()));
        SelectDevices();
    } else if (step_ == Step::Selecting) {
        StartSession();
    }
}

void PortalKeyboard::SessionStarted(const QVariantMap& results) {
    // A restore token serves once: each start hands out the next one, and a start
    // without one leaves nothing worth keeping.
    if (version_ >= 2) {
        StoreRestoreToken(results.value(QStringLiteral("restore_token")).toString());
    }
    step_ = Step::Ready;
    typing_.Resume();
}

void PortalKeyboard::SessionClosed() {
    bus_.disconnect(kService, sessionPath_, kSession, QStringLiteral("Closed"), this,
                    SLOT(SessionClosed()));
    sessionPath_.clear();
    Fail(kEnded);
}

void PortalKeyboard::Call(const QString& path, const QString& interface, const QString& method,
                          const QVariantList& arguments, ReplyHandler onReply) {
    QDBusMessage message = QDBusMessage::createMethodCall(kService, path, interface, method);
    message.setArguments(arguments);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(message), this);
    Owe();
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, watcher, attempt = attempt_, onReply = std::move(onReply)] {
                watcher->deleteLater();
                if (attempt != attempt_) {
                    return;
                }
                Paid();
                onReply(watcher->reply());
            });
}

void PortalKeyboard::Request(const QString& method, QVariantList arguments, QVariantMap options,
                             bool responseIsDue) {
    const QString token = NewToken();
    options.insert(QStringLiteral("handle_token"), token);
    QString sender = bus_.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    // Listening before the call: the response may come before the reply does.
    const QString expected = QStringLiteral("%1/request/%2/%3").arg(kDesktopPath, sender, token);
    ListenForResponse(expected);
    arguments.append(options);
    Call(kDesktopPath, kRemoteDesktop, method, arguments,
         [this, expected](const QDBusMessage& reply) {
             if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
                 Fail(kFailed);
                 return;
             }
             // Portals older than the handle convention choose the request path themselves.
             const QString handle = PathOf(reply.arguments().first());
             if (handle != expected && requestPath_ == expected) {
                 ListenForResponse(handle);
             }
         });
    if (responseIsDue) {
        responseOwed_ = true;
        Owe();
    }
}

void PortalKeyboard::ListenForResponse(const QString& requestPath) {
    StopListening();
    requestPath_ = requestPath;
    bus_.connect(kService, requestPath_, kRequest, QStringLiteral("Response"), this,
                 SLOT(RequestAnswered(QDBusMessage)));
}

void PortalKeyboard::StopListening() {
    if (!requestPath_.isEmpty()) {
        bus_.disconnect(kService, requestPath_, kRequest, QStringLiteral("Response"), this,
                        SLOT(RequestAnswered(QDBusMessage)));
        requestPath_.clear();
    }
}

void PortalKeyboard::Owe() {
    ++owed_;
    if (!answerTimeout_->IsActive()) {
        answerTimeout_->Start(kAnswerTimeoutMs);
    }
}

// Every answer gives the portal the full time again for what it still owes.
void PortalKeyboard::Paid() {
    --owed_;
    answerTimeout_->Stop();
    if (owed_ > 0) {
        answerTimeout_->Start(kAnswerTimeoutMs);
    }
}

void PortalKeyboard::SendKey(uint32_t symbol) {
    for (const uint32_t state : {kPressed, kReleased}) {
        Call(kDesktopPath, kRemoteDesktop, QStringLiteral("NotifyKeyboardKeysym"),
             {QVariant::fromValue(QDBusObjectPath(sessionPath_)), QVariantMap{},
              static_cast<int32_t>(symbol), state},
             [this](const QDBusMessage& reply) {
                 if (reply.type() != QDBusMessage::ReplyMessage) {
                     Fail(kFailed);
                 }
             });
    }
}

void PortalKeyboard::StoreRestoreToken(const QString& token) {
    const std::string value = token.toStdString();
    if (value == settings_.PortalRestoreToken) {
        return;
    }
    if (store_.Write(
            [&](IniFile& ini) { ini.WriteString(kConfigSection, "PortalRestoreToken", value); })) {
        settings_.PortalRestoreToken = value;
    }
}

void PortalKeyboard::CloseSession() {
    if (sessionPath_.isEmpty()) {
        return;
    }
    bus_.disconnect(kService, sessionPath_, kSession, QStringLiteral("Closed"), this,
                    SLOT(SessionClosed()));
    // Nobody waits for the answer: the portal also closes sessions of programs that end.
    bus_.send(
        QDBusMessage::createMethodCall(kService, sessionPath_, kSession, QStringLiteral("Close")));
    sessionPath_.clear();
}

void PortalKeyboard::Reset(Step step) {
    ++attempt_;
    owed_ = 0;
    responseOwed_ = false;
    answerTimeout_->Stop();
    typing_.Hold();
    StopListening();
    step_ = step;
}

void PortalKeyboard::Fail(const char* text) {
    CloseSession();
    Reset(Step::Off);
    typing_.Clear();
    store_.messages.Show(text, "WARNING");
}

}  // namespace vx
