#pragma once

#include <QObject>

#include "base/MessageSink.h"

namespace vx {

// Message boxes without owner window, with one OK button, shown without blocking.
// Create it on the user-interface thread; Show() may be called from any thread.
class QtMessageSink final : public MessageSink {
  public:
    QtMessageSink();
    void Show(const std::string& text, const std::string& caption, MessageIcon icon,
              std::function<void()> onClosed) override;

  private:
    // Lives on the user-interface thread; boxes asked for elsewhere are queued to it,
    // and dropped if the sink is gone by then.
    QObject uiThread_;
};

}  // namespace vx
