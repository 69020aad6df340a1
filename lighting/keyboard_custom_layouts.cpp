#include "lighting/keyboard_custom_layouts.h"

namespace rxt {

KeyboardCustomLayouts& keyboardCustomLayouts() {
    static KeyboardCustomLayouts layouts;
    return layouts;
}

}  // namespace rxt
