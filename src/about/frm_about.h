#pragma once

#include <string>

#include "platform/platform.h"

namespace pravelo::about {

// The About dialog's behaviour; the dialog window raises its events.
class frmAbout : public platform::AboutFormEvents {
  public:
    static constexpr std::uint32_t KeyAllAccess = 0x2003F;
    static constexpr std::uint32_t BufferSize = 1024;

    frmAbout(platform::AboutForm& form, const platform::Platform& platform)
        : form_(form), platform_(platform) {}

    void Form_Load() override;
    void cmdOK_Click() override;
    void cmdSysInfo_Click() override;

    void StartSysInfo();
    // Reads one value; false with an empty KeyVal when the key or value is missing.
    // Throws when the value holds no data at all.
    bool GetKeyValue(platform::Registry::Key KeyRoot, const std::string& KeyName,
                     const std::string& SubKeyRef, std::string& KeyVal);

  private:
    platform::AboutForm& form_;
    const platform::Platform& platform_;
};

}  // namespace pravelo::about
