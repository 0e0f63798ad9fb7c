#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>

#include <memory>
#include <vector>

#include "base/MessageSink.h"

namespace vx {

// Message boxes without owner window, with one OK button, shown without blocking.
// Overlong names in the text are shortened to their start and end (ShortenLongNames).
// Create it on the user-interface thread; Show() may be called from any thread.
class QtMessageSink final : public MessageSink {
  public:
    QtMessageSink();
    void Show(const std::string& text, const std::string& caption, MessageIcon icon,
              std::function<void()> onClosed) override;

    // The main window has closed: every open box closes without running what was to
    // follow it, and no further box opens.
    void CloseAll();

  private:
    void OpenBox(const QString& text, const QString& caption, MessageIcon icon,
                 std::function<void()> onClosed);

    // Lives on the user-interface thread; boxes asked for elsewhere are queued to it,
    // and dropped if the sink is gone by then.
    QObject uiThread_;
    // Shared with the boxes' close handlers, which may outlive the sink.
    std::shared_ptr<bool> closedAll_ = std::make_shared<bool>(false);
    std::vector<QPointer<QMessageBox>> boxes_;
};

}  // namespace vx
