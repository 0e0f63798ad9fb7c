#include <QClipboard>
#include <QGuiApplication>

#include "desktop/Clipboard.h"

namespace vx {

namespace {

// Plain text on the clipboard selection; Qt keeps serving it to other programs while
// the event loop runs.
class QtClipboard final : public Clipboard {
  public:
    void SetText(const std::string& text) override {
        QGuiApplication::clipboard()->setText(QString::fromStdString(text), QClipboard::Clipboard);
    }
};

}  // namespace

Clipboard& SystemClipboard() {
    static QtClipboard clipboard;
    return clipboard;
}

}  // namespace vx
