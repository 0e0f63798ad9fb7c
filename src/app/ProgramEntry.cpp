#include "app/ProgramEntry.h"

#include <QApplication>
#include <QTimer>

#include "app/QtFileDialogs.h"
#include "app/QtMessageSink.h"
#include "app/QtTimerFactory.h"
#include "app/TForm1.h"
#include "base/Folders.h"
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
    QApplication::setApplicationName(
        QString::fromUtf8(kApplicationTitle.data(), kApplicationTitle.size()));
    // The sink's boxes need the application only when they are shown.
    QtMessageSink messages;
    Application app(argc, argv, messages);
    QtTimerFactory timers;
    SystemFolders folders;
    XTestKeyboard keyboard(settings, messages);
    ShellLauncher launcher(messages);
    QtFileDialogs dialogs;
    TForm1 window({backend, messages, timers, settings, folders, keyboard, launcher, dialogs});
    if (prepareWindow) {
        prepareWindow(window);
    }
    window.show();
    // Inside the event loop, so that an error it raises reaches the error report.
    QTimer::singleShot(0, &window, [&window] { window.FormShow(); });
    return QApplication::exec();
}

}  // namespace vx
