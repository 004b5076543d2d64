#pragma once

#include <thread>

namespace chomaru {

// Loads the machine's font configuration, once for the whole process; a
// caller that comes while another is loading it waits for that one. Plain
// fontconfig without Qt, so it may run before the QApplication exists.
void load_font_configuration();

// Loads the font configuration on its own thread from the moment it is
// made. Made before the QApplication, it overlaps the longest step before
// the first text is measured with the application's own start.
class FontConfigurationLoading {
public:
    FontConfigurationLoading() : thread_(load_font_configuration) {}
    ~FontConfigurationLoading() { thread_.join(); }
    FontConfigurationLoading(const FontConfigurationLoading&) = delete;
    FontConfigurationLoading& operator=(const FontConfigurationLoading&) = delete;

private:
    std::thread thread_;
};

}  // namespace chomaru
