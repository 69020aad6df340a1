#pragma once
// The mouse's cursor-scheme page: four schemes of 30 bullets, each bullet's
// delay and moves edited straight into the scheme's file; reset, import and
// export of a scheme and the upload of all four to the mouse.

#include <filesystem>
#include <optional>
#include <string>

#include "app/pages/macro/cursor_page_names.h"
#include "app/shell/notify_router.h"
#include "app/ui/skin_ui.h"
#include "device/device_link.h"
#include "macro/macro_catalogue.h"

namespace rxt {

struct CursorPageContext {
    ui::SkinUi* ui = nullptr;
    DeviceLink* mouse = nullptr;
    // The delivered schemes ("name_1.cur" ..): first start and reset.
    std::filesystem::path defaultsFolder;
};

class CursorPage {
  public:
    explicit CursorPage(CursorPageContext ctx);

    void addRoutes(shell::NotifyRouter& router);
    // At "windowinit": the schemes in place, scheme 0 and its bullet 0 shown.
    void setUp();

    int scheme() const { return scheme_; }
    // -1 while no bullet is selected.
    int bullet() const { return selected_ ? bullet_ : -1; }

  private:
    void chooseScheme(int scheme);
    void selectBullet(int bullet);
    void deselectBullet(int bullet);
    void loadBullet();
    void storeBullet();
    void showAxisTexts();
    void upload();
    void reset();
    void importScheme();
    void exportScheme();
    std::optional<std::filesystem::path> schemeFile() const;
    void tell(std::string_view messageKey);

    const CursorPageControls& c_ = kCursorControls;
    CursorPageContext ctx_;
    MacroCatalogue catalogue_{DeviceKind::Mouse};
    int scheme_ = 0;
    int bullet_ = 0;
    bool selected_ = false;
};

}  // namespace rxt
