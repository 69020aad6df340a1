// The skin folder's readers fed arbitrary text: the XML reader, and the skin
// index, language table, menu and skin file readers on whatever it accepts.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/ui/skin_file.h"
#include "app/ui/skin_resources.h"
#include "app/ui/xml_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const rxt::ui::XmlResult xml = rxt::ui::parseXml(text);
    if (!xml.root) {
        return 0;
    }
    (void)rxt::ui::readSkinIndex(*xml.root);
    (void)rxt::ui::readLanguageTable(*xml.root);
    (void)rxt::ui::readMenu(*xml.root);
    const rxt::ui::SkinFile skin = rxt::ui::readSkin(*xml.root);
    (void)skin;
    return 0;
}
