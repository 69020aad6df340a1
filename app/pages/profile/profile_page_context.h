#pragma once
// What the profile pages work on: the profile data's context and the
// window's controls. Without a UI the page operations do nothing.

#include "profile/profile_data.h"

namespace rxt {

namespace ui {
class SkinUi;
}

struct ProfilePageContext : ProfileContext {
    ui::SkinUi* ui = nullptr;
};

}  // namespace rxt
