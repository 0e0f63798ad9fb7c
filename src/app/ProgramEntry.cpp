#include "app/ProgramEntry.h"

#include <QApplication>
#include <QDBusConnection>
#include <QTimer>

#include <csignal>
#include <cstdlib>

#include "app/PortalKeyboard.h"
#include "app/QtFileDialogs.h"
#include "app/QtMessageSink.h"
#include "app/QtTimerFactory.h"
#include "app/StartupReport.h"
#include "app/TForm1.h"
#include "base/Folders.h"
#include "desktop/KeyboardRouter.h"
#include "desktop/ShellLauncher.h"
#include "desktop/XTestKeyboard.h"
#include "lang/Translation.h"

namespace vx {

namespace {

// Shows an error that escaped a handler and lets the program go on.
class Application final : public QApplication {
  public:
    Application(int& argc, char** argv, MessageSink& messages)
        : QApplication(argc, argv), messages_(messages) {}

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& error) {
            messages_.Show(error.what(), std::string(kApplicationTitle));
        } catch (...) {
            messages_.Show("", std::string(kApplicationTitle));
        }
        return false;
    }

  private:
    MessageSink& messages_;
};

}  // namespace

int RunProgram(int argc, char** argv, Settings& settings, UsbBackend& backend,
               const std::function<void(TForm1&)>& prepareWindow) {
    // Under a file-size limit a write beyond it would kill the program with all its
    // data sets; ignored, the write fails with EFBIG and the save says so.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication::setApplicationName(
        QString::fromUtf8(kApplicationTitle.data(), kApplicationTitle.size()));
    // The sink's boxes need the application only when they are shown.
    QtMessageSink messages;
    Application app(argc, argv, messages);
    QtTimerFactory timers;
    SystemFolders folders;
    KeyboardRouter keyboard(settings,
                            {[&]() -> std::unique_ptr<KeyboardOutput> {
                                 return std::make_unique<XTestKeyboard>(settings, messages, timers);
                             },
                             [&]() -> std::unique_ptr<KeyboardOutput> {
                                 return std::make_unique<PortalKeyboard>(
                                     QDBusConnection::sessionBus(), settings, folders, messages,
                                     timers);
                             }},
                            EnvironmentValue);
    ShellLauncher launcher(messages);
    QtFileDialogs dialogs;
    TForm1Services services{backend, messages, timers,   settings,
                            folders, keyboard, launcher, dialogs};
    // Boxes have no owner window and would keep the program running after its window.
    services.windowClosed = [&messages] {
        messages.CloseAll();
        QCoreApplication::quit();
    };
    TForm1 window(std::move(services));
    if (prepareWindow) {
        prepareWindow(window);
    }
    window.show();
    // Inside the event loop, so that an error it raises reaches the error report.
    QTimer::singleShot(0, &window, [&window] {
        window.FormShow();
        // The package check: report what the start-up showed, then end.
        if (const char* report = std::getenv(kStartupReportVariable)) {
            QCoreApplication::exit(WriteStartupReport(window, report) ? 0 : 1);
        }
    });
    return QApplication::exec();
}

}  // namespace vx
