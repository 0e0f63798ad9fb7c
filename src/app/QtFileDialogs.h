#pragma once

#include "app/FileDialogs.h"

namespace vx {

// Qt's file dialogs without a filter or default extension; saving over an existing
// file asks nothing.
class QtFileDialogs final : public FileDialogs {
  public:
    std::optional<std::string> AskSaveName(const std::string& lastName) override;
    std::optional<std::string> AskOpenName(const std::string& lastName) override;
};

}  // namespace vx
