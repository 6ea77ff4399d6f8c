// Switches the process locale for one test and restores it afterwards.
#pragma once

#include <clocale>
#include <string>

namespace usbio2::testing {

class LocaleGuard {
  public:
    explicit LocaleGuard(const char* name) : previous_(std::setlocale(LC_ALL, nullptr)) {
        active_ = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~LocaleGuard() { std::setlocale(LC_ALL, previous_.c_str()); }
    bool active() const { return active_; }

  private:
    std::string previous_;
    bool active_ = false;
};

}  // namespace usbio2::testing
