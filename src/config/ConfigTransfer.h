// Moving the configuration image between the tool and the controller: the whole image, the two
// commands without data (restart, reset to defaults) and byte-range writes that report their own
// failure. Keeps `shadowCopy` and `imageInSync` so that live sending knows what the controller
// holds, and the read copy's `held` so that the questions before a write name what it changes.
#pragma once

#include <cstdint>
#include <functional>

namespace korvex {

class DeviceAccess;
class UiHost;
struct ConfigImage;
struct LanguageState;
struct MonitorState;
struct PortState;

class ConfigTransfer {
public:
    ConfigTransfer(DeviceAccess& device, UiHost& host, ConfigImage& image, MonitorState& monitor,
                   const LanguageState& language, const PortState& ports)
        : device_(device), host_(host), image_(image), monitor_(monitor), language_(language),
          ports_(ports) {}

    // The views redraw from the image after a read (invalidate, then refresh the pages); the
    // refresh may itself write defaults into the image. Unset where nothing is shown.
    std::function<void()> refreshViews;
    // Runs just before the controller's whole configuration is replaced (a write, a reset to
    // defaults that was answered Yes); unset where nothing is kept.
    std::function<void()> beforeReplace;

    int ReadConfiguration();
    int WriteConfiguration();
    // Asks first; 0 also when the user declines, which resetAnswered() then tells.
    int ResetToDefaults();
    bool resetAnswered() const { return resetAnswered_; }
    int RestartDevice();
    int WriteBlock(int area, int offset, const std::uint8_t* bytes, int count);

private:
    bool resetAnswered_ = false;
    // A write the controller accepted into its configuration.
    void NoteHeld(int offset, const std::uint8_t* bytes, int count);

    DeviceAccess& device_;
    UiHost& host_;
    ConfigImage& image_;
    MonitorState& monitor_;
    const LanguageState& language_;
    const PortState& ports_;
};

} // namespace korvex
