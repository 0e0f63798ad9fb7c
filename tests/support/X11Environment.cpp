// The X server of the tests that need a real one: an Xvfb of their own, with key
// repeat off, and the application on it through the xcb platform.
#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>
#include <memory>

#include "desktop/ProcessSpawn.h"
#include "support/XvfbServer.h"

namespace vx::test {
namespace {

class X11Environment final : public ::testing::Environment {
  public:
    void SetUp() override {
        // Servers of tests that start at the same moment can report a display that then
        // takes no connection: such a server is replaced by a new one.
        for (int attempt = 0; attempt < kServerAttempts && !ServerAnswers(); ++attempt) {
            server_ = std::make_unique<XvfbServer>();
        }
        ASSERT_TRUE(ServerAnswers()) << "Xvfb did not start: these tests need it";
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        static int argc = 1;
        static char name[] = "x11_tests";
        static char* argv[] = {name, nullptr};
        application_ = std::make_unique<QApplication>(argc, argv);
    }
    // The application goes before its server does.
    void TearDown() override {
        application_.reset();
        server_.reset();
    }

  private:
    static constexpr int kServerAttempts = 5;

    // Takes a connection, and key repeat is off.
    bool ServerAnswers() const {
        if (server_ == nullptr || server_->Display().empty()) {
            return false;
        }
        setenv("DISPLAY", server_->Display().c_str(), 1);
        return RunForOutput({"xset", "r", "off"}).has_value();
    }

    std::unique_ptr<XvfbServer> server_;
    std::unique_ptr<QApplication> application_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new X11Environment);

}  // namespace
}  // namespace vx::test
