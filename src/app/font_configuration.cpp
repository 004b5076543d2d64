#include "app/font_configuration.h"

#include <fontconfig/fontconfig.h>

#include <mutex>

namespace chomaru {

void load_font_configuration() {
    static std::once_flag loaded;
    std::call_once(loaded, [] { FcInit(); });
}

}  // namespace chomaru
