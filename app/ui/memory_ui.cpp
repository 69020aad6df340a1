#include "app/ui/memory_ui.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace rxt::ui {

namespace {

constexpr int kMaxSkinDepth = 16;

std::string hex8(uint32_t v) {
    char buf[12];
    std::snprintf(buf, sizeof buf, "%08X", v);
    return buf;
}

bool isTrue(const std::string* s) {
    return s && (*s == "true" || *s == "1");
}

int toInt(const std::string* s, int fallback) {
    if (!s || s->empty()) {
        return fallback;
    }
    char* end = nullptr;
    const long v = std::strtol(s->c_str(), &end, 10);
    return end && *end == '\0' ? static_cast<int>(std::clamp<long>(v, -1000000000, 1000000000))
                               : fallback;
}

}  // namespace

MemoryUi::MemoryUi(std::string skinFolder) : SkinUiBase(std::move(skinFolder)) {
    Control root;
    root.name = "";
    nodes_.push_back(std::move(root));
}

MemoryUi::~MemoryUi() {
    dispatcher_.close();
}

// ---- tree ----------------------------------------------------------------

MemoryUi::Control* MemoryUi::find(std::string_view name) {
    const auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : &nodes_[static_cast<size_t>(it->second)];
}

const MemoryUi::Control* MemoryUi::find(std::string_view name) const {
    const auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : &nodes_[static_cast<size_t>(it->second)];
}

MemoryUi::Control* MemoryUi::findOfKind(std::string_view name,
                                        std::initializer_list<ControlKind> kinds,
                                        std::string_view what) {
    Control* c = find(name);
    if (!c) {
        fail("no control " + std::string(name));
        return nullptr;
    }
    if (std::find(kinds.begin(), kinds.end(), c->kind) == kinds.end()) {
        fail(std::string(name) + " is a " + std::string(controlKindName(c->kind)) + ", not " +
             std::string(what));
        return nullptr;
    }
    return c;
}

const MemoryUi::Control* MemoryUi::findOfKind(std::string_view name,
                                              std::initializer_list<ControlKind> kinds) const {
    const Control* c = find(name);
    if (!c || std::find(kinds.begin(), kinds.end(), c->kind) == kinds.end()) {
        return nullptr;
    }
    return c;
}

int MemoryUi::addNode(Control c, int parent) {
    const int index = static_cast<int>(nodes_.size());
    c.parent = parent;
    if (c.kind == ControlKind::Option && c.className == "QRadioButton") {
        c.exclusive = true;
    }
    if (c.kind == ControlKind::Tabs && c.current < 0) {
        c.current = 0;
    }
    const std::string name = c.name;
    nodes_.push_back(std::move(c));
    nodes_[static_cast<size_t>(parent)].children.push_back(index);
    if (!name.empty()) {
        byName_.emplace(name, index);  // the first of a name wins
    }
    return index;
}

bool MemoryUi::addControl(std::string_view name, ControlKind kind, std::string_view parent) {
    int parentIndex = 0;
    if (!parent.empty()) {
        const auto it = byName_.find(parent);
        if (it == byName_.end()) {
            return fail("no control " + std::string(parent));
        }
        parentIndex = it->second;
    }
    Control c;
    c.name = std::string(name);
    c.kind = kind;
    c.exclusive = false;
    addNode(std::move(c), parentIndex);
    return true;
}

bool MemoryUi::setExclusive(std::string_view name, bool exclusive) {
    return change(name, [&](Control& c) { c.exclusive = exclusive; });
}

void MemoryUi::applyProperties(Control& c, const SkinNode& node) {
    for (const auto& [key, value] : node.properties) {
        c.attributes[key] = value;
    }
    if (const std::string* t = node.property("text")) {
        c.text = *t;
    } else if (const std::string* p = node.property("plainText")) {
        c.text = *p;
    }
    if (const std::string* key = node.property("textkey"); key && !key->empty()) {
        c.textKey = *key;
        c.text = translate(*key);
    }
    if (const std::string* data = node.property("userdata")) {
        c.userData = *data;
    }
    if (const std::string* e = node.property("enabled")) {
        c.enabled = *e != "false";
    }
    if (const std::string* v = node.property("visible")) {
        c.visible = *v != "false";
    }
    if (node.property("checked")) {
        c.checked = isTrue(node.property("checked"));
    }
    if (node.property("autoExclusive")) {
        c.exclusive = isTrue(node.property("autoExclusive"));
    }
    c.minimum = toInt(node.property("minimum"), c.minimum);
    c.maximum = std::max(c.minimum, toInt(node.property("maximum"), c.maximum));
    c.value = std::clamp(toInt(node.property("value"), c.value), c.minimum, c.maximum);
    if (!node.items.empty()) {
        c.items = node.items;
        if (c.kind == ControlKind::Combo) {
            c.current = 0;
        }
    }
    if (const std::string* idx = node.property("currentIndex")) {
        c.current = toInt(idx, c.current);
    }
    if (const std::string* color = node.property("color");
        color && c.kind == ControlKind::Palette) {
        std::string hex = *color;
        if (!hex.empty() && hex[0] == '#') {
            hex.erase(0, 1);
        }
        c.color = static_cast<uint32_t>(std::strtoul(hex.c_str(), nullptr, 16));
    }
}

bool MemoryUi::buildNode(const SkinNode& node, int parent, int depth) {
    if (depth > kMaxSkinDepth) {
        return fail("pages nested too deeply at " + node.className);
    }
    const ControlCreation creation =
        handler_ ? handler_->createControl(node.className) : ControlCreation::none();
    Control c;
    c.name = node.name;
    c.className = node.className;
    const bool checkable = isTrue(node.property("checkable"));
    bool ok = true;
    const SkinNode* contents = &node;
    SkinFile page;
    switch (creation.kind) {
        case ControlCreation::Kind::Page: {
            page = readSkinFile(skinPath(skinFolder(), resolve(creation.name)));
            if (!page.error.empty()) {
                ok = fail(page.error);
                c.kind = ControlKind::Container;
                break;
            }
            c.kind = ControlKind::Container;
            c.className = page.root.className;
            contents = &page.root;
            break;
        }
        case ControlCreation::Kind::Custom:
            c.className = creation.name;
            c.kind = kindForClass(creation.name, checkable);
            if (c.kind == ControlKind::Container) {
                c.kind = ControlKind::Custom;
            }
            break;
        case ControlCreation::Kind::None:
            c.kind = kindForClass(node.className, checkable);
            break;
    }
    if (c.kind == ControlKind::Slider) {
        c.maximum = 99;  // the toolkit's slider default
    }
    applyProperties(c, *contents);
    if (contents != &node) {
        // The placeholder's own name and properties win over the page's root.
        applyProperties(c, node);
        c.name = node.name;
    }
    const int index = addNode(std::move(c), parent);
    for (const auto& child : contents->children) {
        ok = buildNode(child, index, depth + 1) && ok;
    }
    return ok;
}

bool MemoryUi::loadSkin(std::string_view skin, std::string_view parent) {
    int parentIndex = 0;
    if (!parent.empty()) {
        const auto it = byName_.find(parent);
        if (it == byName_.end()) {
            return fail("no control " + std::string(parent));
        }
        parentIndex = it->second;
    }
    SkinFile file = readSkinFile(skinPath(skinFolder(), resolve(skin)));
    if (!file.error.empty()) {
        return fail(file.error);
    }
    return buildNode(file.root, parentIndex, 0);
}

void MemoryUi::setHandler(WindowHandler* handler) {
    handler_ = handler;
}

bool MemoryUi::effectivelyVisible(int index) const {
    for (int i = index; i > 0; i = nodes_[static_cast<size_t>(i)].parent) {
        const Control& c = nodes_[static_cast<size_t>(i)];
        if (!c.visible) {
            return false;
        }
        const Control& parent = nodes_[static_cast<size_t>(c.parent)];
        if (parent.kind == ControlKind::Tabs) {
            const auto& pages = parent.children;
            const auto pos = std::find(pages.begin(), pages.end(), i) - pages.begin();
            if (pos != parent.current) {
                return false;
            }
        }
    }
    return true;
}

bool MemoryUi::effectivelyEnabled(int index) const {
    for (int i = index; i > 0; i = nodes_[static_cast<size_t>(i)].parent) {
        if (!nodes_[static_cast<size_t>(i)].enabled) {
            return false;
        }
    }
    return true;
}

bool MemoryUi::effectivelyVisible(std::string_view name) const {
    const auto it = byName_.find(name);
    return it != byName_.end() && effectivelyVisible(it->second);
}

int MemoryUi::repaintCount(std::string_view name) const {
    const Control* c = find(name);
    return c ? c->repaints : 0;
}

uint32_t MemoryUi::borderColor(std::string_view name) const {
    const Control* c = find(name);
    return c ? c->border : 0;
}

std::vector<std::string> MemoryUi::controlNames() const {
    std::vector<std::string> names;
    for (size_t i = 1; i < nodes_.size(); ++i) {
        if (!nodes_[i].name.empty()) {
            names.push_back(nodes_[i].name);
        }
    }
    return names;
}

void MemoryUi::record(std::string line) {
    calls_.push_back(std::move(line));
}

void MemoryUi::deliver(Notification n) {
    delivered_.push_back(n);
    if (handler_) {
        handler_->notify(n);
    }
}

// ---- resources and window --------------------------------------------------

bool MemoryUi::createMainWindow(WindowHandler& handler, std::string_view skin,
                                std::string_view title, int width, int height) {
    handler_ = &handler;
    title_ = std::string(title);
    record("createMainWindow " + std::string(skin) + " " + std::to_string(width) + "x" +
           std::to_string(height));
    if (!skin.empty() && !loadSkin(skin)) {
        return false;
    }
    handler.initWindow();
    return true;
}

int MemoryUi::run() {
    running_ = true;
    while (!quit_) {
        dispatcher_.waitForWork(std::chrono::milliseconds(20));
        dispatcher_.runPending();
    }
    running_ = false;
    finishLoop();
    return quitCode_;
}

void MemoryUi::quit(int code) {
    record("quit " + std::to_string(code));
    quitCode_ = code;
    quit_ = true;
    dispatcher_.post([] {});  // wakes run()
}

void MemoryUi::showWindow(Show how) {
    static const char* const names[] = {"hide", "show", "restore", "minimize"};
    record(std::string("showWindow ") + names[static_cast<int>(how)]);
    switch (how) {
        case Show::Hide:
            windowVisible_ = false;
            break;
        case Show::Show:
        case Show::Restore:
            windowVisible_ = true;
            minimized_ = false;
            break;
        case Show::Minimize:
            minimized_ = true;
            break;
    }
    if (windowVisible_) {
        postWindowInitOnce();
    }
}

void MemoryUi::setTopmost(bool on) {
    topmost_ = on;
    record(std::string("setTopmost ") + (on ? "1" : "0"));
}

void MemoryUi::centerWindow() {
    record("centerWindow");
}

void MemoryUi::repaintWindow() {
    nodes_[0].repaints++;
    record("repaintWindow");
}

// ---- language ----------------------------------------------------------------

bool MemoryUi::loadLanguage(std::string_view file) {
    record("loadLanguage " + std::string(file));
    return SkinUiBase::loadLanguage(file);
}

void MemoryUi::setLanguage(std::string_view name) {
    SkinUiBase::setLanguage(name);
    record("setLanguage " + language());
}

void MemoryUi::reloadText() {
    record("reloadText");
    for (auto& c : nodes_) {
        if (!c.textKey.empty()) {
            c.text = translate(c.textKey);
        }
        for (Item& item : c.items) {
            if (isLanguageKey(item.userData)) {
                item.text = translate(item.userData);
            }
        }
    }
    for (auto& e : menuEntries_) {
        if (!e.textKey.empty()) {
            e.text = translate(e.textKey);
        }
    }
}

// ---- controls ----------------------------------------------------------------

bool MemoryUi::hasControl(std::string_view name) const {
    return find(name) != nullptr;
}

ControlKind MemoryUi::controlKind(std::string_view name) const {
    const Control* c = find(name);
    return c ? c->kind : ControlKind::Missing;
}

bool MemoryUi::setVisible(std::string_view name, bool visible) {
    record("setVisible " + std::string(name) + (visible ? " 1" : " 0"));
    return change(name, [&](Control& c) { c.visible = visible; });
}

bool MemoryUi::visible(std::string_view name) const {
    const Control* c = find(name);
    return c && c->visible;
}

bool MemoryUi::setEnabled(std::string_view name, bool enabled) {
    record("setEnabled " + std::string(name) + (enabled ? " 1" : " 0"));
    return change(name, [&](Control& c) { c.enabled = enabled; });
}

bool MemoryUi::enabled(std::string_view name) const {
    const Control* c = find(name);
    return c && c->enabled;
}

bool MemoryUi::setText(std::string_view name, std::string_view text) {
    record("setText " + std::string(name) + " " + std::string(text));
    return change(name, [&](Control& c) {
        c.text = std::string(text);
        c.textKey.clear();
    });
}

bool MemoryUi::setTextKey(std::string_view name, std::string_view key) {
    record("setTextKey " + std::string(name) + " " + std::string(key));
    return change(name, [&](Control& c) {
        c.textKey = std::string(key);
        c.text = translate(key);
    });
}

std::string MemoryUi::text(std::string_view name) const {
    const Control* c = find(name);
    if (c && c->kind == ControlKind::Combo) {
        // A combo shows its current row.
        return c->current >= 0 && c->current < static_cast<int>(c->items.size())
                   ? c->items[static_cast<size_t>(c->current)].text
                   : std::string();
    }
    return c ? c->text : std::string();
}

std::string MemoryUi::textKey(std::string_view name) const {
    const Control* c = find(name);
    return c ? c->textKey : std::string();
}

bool MemoryUi::setBackgroundColor(std::string_view name, uint32_t argb) {
    record("setBackgroundColor " + std::string(name) + " " + hex8(argb));
    return change(name, [&](Control& c) { c.background = argb; });
}

uint32_t MemoryUi::backgroundColor(std::string_view name) const {
    const Control* c = find(name);
    return c ? c->background : 0;
}

bool MemoryUi::setBackgroundImage(std::string_view name, std::string_view image) {
    record("setBackgroundImage " + std::string(name) + " " + std::string(image));
    return change(name, [&](Control& c) { c.image = std::string(image); });
}

std::string MemoryUi::backgroundImage(std::string_view name) const {
    const Control* c = find(name);
    return c ? c->image : std::string();
}

bool MemoryUi::setBorderColor(std::string_view name, uint32_t argb) {
    record("setBorderColor " + std::string(name) + " " + hex8(argb));
    return change(name, [&](Control& c) { c.border = argb; });
}

bool MemoryUi::setAttribute(std::string_view name, std::string_view attr, std::string_view value) {
    record("setAttribute " + std::string(name) + " " + std::string(attr) + " " +
           std::string(value));
    return change(name, [&](Control& c) { c.attributes[std::string(attr)] = std::string(value); });
}

std::string MemoryUi::attribute(std::string_view name, std::string_view attr) const {
    const Control* c = find(name);
    if (!c) {
        return {};
    }
    const auto it = c->attributes.find(attr);
    return it == c->attributes.end() ? std::string() : it->second;
}

bool MemoryUi::setUserData(std::string_view name, std::string_view data) {
    record("setUserData " + std::string(name) + " " + std::string(data));
    return change(name, [&](Control& c) { c.userData = std::string(data); });
}

std::string MemoryUi::userData(std::string_view name) const {
    const Control* c = find(name);
    return c ? c->userData : std::string();
}

bool MemoryUi::repaint(std::string_view name) {
    return change(name, [&](Control& c) { c.repaints++; });
}

// The one that loses the focus hears of it before the one that gains it.
void MemoryUi::moveFocus(std::string_view name) {
    if (focused_ == name) {
        return;
    }
    const std::string previous = std::exchange(focused_, std::string(name));
    if (!previous.empty()) {
        deliver({std::string(notify::kKillFocus), previous, 0});
    }
    deliver({std::string(notify::kSetFocus), std::string(name), 0});
}

bool MemoryUi::setFocus(std::string_view name) {
    record("setFocus " + std::string(name));
    if (!find(name)) {
        return false;
    }
    moveFocus(name);
    return true;
}

bool MemoryUi::setTintEnabled(std::string_view name, bool on) {
    return change(name, [&](Control& c) { c.tint.enabled = on; });
}

bool MemoryUi::setTintColor(std::string_view name, uint32_t argb) {
    return change(name, [&](Control& c) { c.tint.color = argb; });
}

bool MemoryUi::setTintAlpha(std::string_view name, int alpha) {
    return change(name, [&](Control& c) { c.tint.alpha = std::clamp(alpha, 0, 255); });
}

Tint MemoryUi::tint(std::string_view name) const {
    const Control* c = find(name);
    return c ? c->tint : Tint{};
}

bool MemoryUi::setKeyLight(std::string_view name, const KeyLight& light) {
    Control* c = find(name);
    // Key buttons of a skin, or any button of a tree built by hand.
    if (!c || !(c->className == custom::kDeviceKeyButton ||
                (c->className.empty() && c->kind == ControlKind::Button))) {
        return false;
    }
    c->light = light;
    c->light.level = std::clamp(light.level, 0, 255);
    return true;
}

KeyLight MemoryUi::keyLight(std::string_view name) const {
    const Control* c = find(name);
    return c ? c->light : KeyLight{};
}

void MemoryUi::setOptionChecked(int index, bool on, bool notifyUser) {
    Control& c = nodes_[static_cast<size_t>(index)];
    if (c.checked == on) {
        return;
    }
    if (on && c.exclusive) {
        // The sibling that was checked goes off first, as a button group does.
        for (int sibling : nodes_[static_cast<size_t>(c.parent)].children) {
            Control& s = nodes_[static_cast<size_t>(sibling)];
            if (sibling != index && s.exclusive && s.kind == ControlKind::Option && s.checked) {
                s.checked = false;
                if (notifyUser) {
                    deliver({std::string(notify::kSelectChanged), s.name, 0});
                }
            }
        }
    }
    nodes_[static_cast<size_t>(index)].checked = on;
    if (notifyUser) {
        deliver({std::string(notify::kSelectChanged), nodes_[static_cast<size_t>(index)].name,
                 on ? 1 : 0});
    }
}

bool MemoryUi::setChecked(std::string_view name, bool on) {
    record("setChecked " + std::string(name) + (on ? " 1" : " 0"));
    const auto it = byName_.find(name);
    if (it == byName_.end()) {
        return false;
    }
    setOptionChecked(it->second, on, false);
    return true;
}

bool MemoryUi::checked(std::string_view name) const {
    const Control* c = find(name);
    return c && c->checked;
}

namespace {
constexpr std::initializer_list<ControlKind> kItemKinds = {ControlKind::Combo, ControlKind::List};
}

bool MemoryUi::addItem(std::string_view name, const Item& item) {
    record("addItem " + std::string(name) + " " + item.text);
    Control* c = findOfKind(name, kItemKinds, "a combo or list");
    if (!c) {
        return false;
    }
    c->items.push_back(item);
    if (c->kind == ControlKind::Combo && c->current < 0) {
        c->current = 0;  // a combo shows its first item
    }
    return true;
}

bool MemoryUi::insertItem(std::string_view name, int index, const Item& item) {
    record("insertItem " + std::string(name) + " " + std::to_string(index) + " " + item.text);
    Control* c = findOfKind(name, kItemKinds, "a combo or list");
    if (!c || index < 0 || index > static_cast<int>(c->items.size())) {
        return false;
    }
    c->items.insert(c->items.begin() + index, item);
    if (c->current >= index) {
        c->current++;
    } else if (c->kind == ControlKind::Combo && c->current < 0) {
        c->current = 0;
    }
    return true;
}

bool MemoryUi::setItem(std::string_view name, int index, const Item& item) {
    record("setItem " + std::string(name) + " " + std::to_string(index) + " " + item.text);
    Control* c = findOfKind(name, kItemKinds, "a combo or list");
    if (!c || index < 0 || index >= static_cast<int>(c->items.size())) {
        return false;
    }
    c->items[static_cast<size_t>(index)] = item;
    return true;
}

bool MemoryUi::removeItem(std::string_view name, int index) {
    record("removeItem " + std::string(name) + " " + std::to_string(index));
    Control* c = findOfKind(name, kItemKinds, "a combo or list");
    if (!c || index < 0 || index >= static_cast<int>(c->items.size())) {
        return false;
    }
    c->items.erase(c->items.begin() + index);
    const int count = static_cast<int>(c->items.size());
    if (c->current > index) {
        c->current--;
    } else if (c->current == index) {
        // A combo moves to the row that took the place; a list loses it.
        c->current = c->kind == ControlKind::Combo ? std::min(index, count - 1) : -1;
    }
    return true;
}

bool MemoryUi::clearItems(std::string_view name) {
    record("clearItems " + std::string(name));
    Control* c = findOfKind(name, kItemKinds, "a combo or list");
    if (!c) {
        return false;
    }
    c->items.clear();
    c->current = -1;
    return true;
}

int MemoryUi::itemCount(std::string_view name) const {
    const Control* c = findOfKind(name, kItemKinds);
    return c ? static_cast<int>(c->items.size()) : 0;
}

std::optional<Item> MemoryUi::item(std::string_view name, int index) const {
    const Control* c = findOfKind(name, kItemKinds);
    if (!c || index < 0 || index >= static_cast<int>(c->items.size())) {
        return std::nullopt;
    }
    return c->items[static_cast<size_t>(index)];
}

std::vector<Item> MemoryUi::items(std::string_view name) const {
    const Control* c = findOfKind(name, kItemKinds);
    return c ? c->items : std::vector<Item>{};
}

bool MemoryUi::setCurrentIndex(std::string_view name, int index) {
    record("setCurrentIndex " + std::string(name) + " " + std::to_string(index));
    Control* c = findOfKind(name, kItemKinds, "a combo or list");
    if (!c || index < -1 || index >= static_cast<int>(c->items.size())) {
        return false;
    }
    c->current = index;
    return true;
}

int MemoryUi::currentIndex(std::string_view name) const {
    const Control* c = findOfKind(name, kItemKinds);
    return c ? c->current : -1;
}

namespace {
constexpr std::initializer_list<ControlKind> kRangeKinds = {ControlKind::Slider,
                                                            ControlKind::Progress};
}

bool MemoryUi::setRange(std::string_view name, int minimum, int maximum) {
    record("setRange " + std::string(name) + " " + std::to_string(minimum) + " " +
           std::to_string(maximum));
    Control* c = findOfKind(name, kRangeKinds, "a slider or progress bar");
    if (!c) {
        return false;
    }
    c->minimum = minimum;
    c->maximum = std::max(minimum, maximum);
    c->value = std::clamp(c->value, c->minimum, c->maximum);
    return true;
}

bool MemoryUi::setValue(std::string_view name, int value) {
    record("setValue " + std::string(name) + " " + std::to_string(value));
    Control* c = findOfKind(name, kRangeKinds, "a slider or progress bar");
    if (!c) {
        return false;
    }
    c->value = std::clamp(value, c->minimum, c->maximum);
    return true;
}

int MemoryUi::value(std::string_view name) const {
    const Control* c = findOfKind(name, kRangeKinds);
    return c ? c->value : 0;
}

int MemoryUi::minimum(std::string_view name) const {
    const Control* c = findOfKind(name, kRangeKinds);
    return c ? c->minimum : 0;
}

int MemoryUi::maximum(std::string_view name) const {
    const Control* c = findOfKind(name, kRangeKinds);
    return c ? c->maximum : 0;
}

bool MemoryUi::setCurrentPage(std::string_view name, int page) {
    record("setCurrentPage " + std::string(name) + " " + std::to_string(page));
    Control* c = findOfKind(name, {ControlKind::Tabs}, "a tab layout");
    if (!c || page < 0 || page >= static_cast<int>(c->children.size())) {
        return false;
    }
    c->current = page;
    return true;
}

int MemoryUi::currentPage(std::string_view name) const {
    const Control* c = findOfKind(name, {ControlKind::Tabs});
    return c ? c->current : -1;
}

int MemoryUi::pageCount(std::string_view name) const {
    const Control* c = findOfKind(name, {ControlKind::Tabs});
    return c ? static_cast<int>(c->children.size()) : 0;
}

bool MemoryUi::setPaletteColor(std::string_view name, uint32_t argb) {
    record("setPaletteColor " + std::string(name) + " " + hex8(argb));
    Control* c = findOfKind(name, {ControlKind::Palette}, "a colour palette");
    if (!c) {
        return false;
    }
    c->color = argb;
    return true;
}

uint32_t MemoryUi::paletteColor(std::string_view name) const {
    const Control* c = findOfKind(name, {ControlKind::Palette});
    return c ? c->color : 0;
}

void MemoryUi::notify(const Notification& n) {
    deliver(n);
}

// ---- timers and messages ------------------------------------------------------

void MemoryUi::startTimer(int id, int periodMs) {
    std::lock_guard lock(timerMutex_);
    const int period = std::max(periodMs, 1);
    timers_[id] = {period, now_ + period};
}

void MemoryUi::stopTimer(int id) {
    std::lock_guard lock(timerMutex_);
    timers_.erase(id);
}

bool MemoryUi::timerActive(int id) const {
    std::lock_guard lock(timerMutex_);
    return timers_.count(id) != 0;
}

int MemoryUi::timerPeriod(int id) const {
    std::lock_guard lock(timerMutex_);
    const auto it = timers_.find(id);
    return it == timers_.end() ? 0 : it->second.period;
}

bool MemoryUi::fireTimer(int id) {
    {
        std::lock_guard lock(timerMutex_);
        const auto it = timers_.find(id);
        if (it == timers_.end()) {
            return false;
        }
        it->second.due = now_ + it->second.period;
    }
    if (handler_) {
        handler_->onTimer(id);
    }
    return true;
}

void MemoryUi::advance(int ms) {
    const int64_t end = now_ + std::max(ms, 0);
    for (;;) {
        int id = 0;
        {
            std::lock_guard lock(timerMutex_);
            auto next = timers_.end();
            for (auto it = timers_.begin(); it != timers_.end(); ++it) {
                if (it->second.due <= end &&
                    (next == timers_.end() || it->second.due < next->second.due)) {
                    next = it;
                }
            }
            if (next == timers_.end()) {
                now_ = end;
                return;
            }
            id = next->first;
            now_ = next->second.due;
            next->second.due = now_ + next->second.period;
        }
        if (handler_) {
            handler_->onTimer(id);
        }
    }
}

void MemoryUi::processEvents() {
    dispatcher_.runPending();
}

// ---- dialogs -------------------------------------------------------------------

int MemoryUi::messageBox(std::string_view title, std::string_view message, bool isKey) {
    record("messageBox " + std::string(title) + "|" + std::string(message) + (isKey ? "|key" : ""));
    return scriptedMessageBox(message).value_or(0);
}

PaletteResult MemoryUi::paletteDialog(uint32_t initial) {
    record("paletteDialog " + hex8(initial));
    return scriptedPalette(initial).value_or(PaletteResult{2, initial});
}

void MemoryUi::aboutBox() {
    record("aboutBox");
    aboutOpen_ = true;
}

std::optional<std::string> MemoryUi::openFileDialog(const FileDialogOptions& options) {
    record("openFileDialog " + options.title);
    lastFileDialog_ = options;
    const auto a = takeAnswer(DialogAnswer::Kind::Open);
    if (a && a->accept) {
        return a->path;
    }
    return std::nullopt;
}

std::optional<std::string> MemoryUi::saveFileDialog(const FileDialogOptions& options) {
    record("saveFileDialog " + options.title);
    lastFileDialog_ = options;
    const auto a = takeAnswer(DialogAnswer::Kind::Save);
    if (a && a->accept) {
        std::string path = a->path;
        // A name without an extension gets the default one, as the dialog does.
        const auto slash = path.find_last_of('/');
        const auto dot = path.find_last_of('.');
        if (!options.defaultExtension.empty() &&
            (dot == std::string::npos || (slash != std::string::npos && dot < slash))) {
            path += "." + options.defaultExtension;
        }
        return path;
    }
    return std::nullopt;
}

void MemoryUi::openUrl(std::string_view url) {
    record("openUrl " + std::string(url));
}

// ---- menu and tray ------------------------------------------------------------

bool MemoryUi::openMenu(std::string_view file, Point at, const std::vector<MenuItem>& topItems) {
    record("openMenu " + std::string(file) + " " + std::to_string(at.x) + "," +
           std::to_string(at.y));
    closeMenu();
    MenuFile menu = readMenuFile(skinPath(skinFolder(), resolve(file)));
    if (!menu.error.empty()) {
        return fail(menu.error);
    }
    std::vector<MenuEntry> entries;
    for (const auto& item : topItems) {
        entries.push_back({item.name, item.text, {}, false, {}});
    }
    for (auto& e : menu.entries) {
        if (!e.textKey.empty()) {
            e.text = translate(e.textKey);
        }
        entries.push_back(std::move(e));
    }
    menuEntries_ = std::move(entries);
    menuPoint_ = at;
    menuOpen_ = true;
    return true;
}

void MemoryUi::closeMenu() {
    menuOpen_ = false;
    menuEntries_.clear();
}

bool MemoryUi::menuHas(const std::vector<MenuEntry>& entries, std::string_view item) const {
    for (const auto& e : entries) {
        if ((!e.separator && e.children.empty() && e.name == item) || menuHas(e.children, item)) {
            return true;
        }
    }
    return false;
}

bool MemoryUi::trayMessage(std::string_view title, std::string_view text) {
    if (!tray_ || !trayArea_) {
        return false;
    }
    record("trayMessage " + std::string(title));
    trayMessages_.emplace_back(title, text);
    return true;
}

bool MemoryUi::createTray(std::string_view icon, std::string_view tooltip) {
    record("createTray " + std::string(icon) + " " + std::string(tooltip));
    tray_ = true;
    return true;
}

void MemoryUi::removeTray() {
    record("removeTray");
    tray_ = false;
}

// ---- the user ------------------------------------------------------------------

MemoryUi::Control* MemoryUi::userTarget(std::string_view name,
                                        std::initializer_list<ControlKind> kinds) {
    Control* c = findOfKind(name, kinds, "the right kind of control");
    if (!c) {
        return nullptr;
    }
    const int index = byName_.find(name)->second;
    if (!effectivelyVisible(index)) {
        fail(std::string(name) + " is not visible");
        return nullptr;
    }
    if (!effectivelyEnabled(index)) {
        fail(std::string(name) + " is disabled");
        return nullptr;
    }
    return c;
}

bool MemoryUi::userClick(std::string_view name) {
    Control* c = userTarget(name, {ControlKind::Button, ControlKind::Option});
    if (!c) {
        return false;
    }
    if (c->kind == ControlKind::Option) {
        // A checked exclusive option stays checked.
        if (!(c->checked && c->exclusive)) {
            setOptionChecked(byName_.find(name)->second, !c->checked, true);
        }
        return true;
    }
    deliver({std::string(notify::kClick), std::string(name), 0});
    return true;
}

bool MemoryUi::userCheck(std::string_view name, bool on) {
    Control* c = userTarget(name, {ControlKind::Option});
    if (!c) {
        return false;
    }
    if (!on && c->checked && c->exclusive) {
        return fail(std::string(name) + " is one of exclusive options: choose another instead");
    }
    setOptionChecked(byName_.find(name)->second, on, true);
    return true;
}

bool MemoryUi::userSelect(std::string_view name, int index) {
    Control* c = userTarget(name, kItemKinds);
    if (!c) {
        return false;
    }
    if (index < 0 || index >= static_cast<int>(c->items.size())) {
        return fail("no row " + std::to_string(index) + " in " + std::string(name));
    }
    const bool changed = c->current != index;
    c->current = index;
    const bool list = c->kind == ControlKind::List;
    if (changed) {
        deliver({std::string(notify::kItemSelect), std::string(name), index});
    }
    if (list) {
        deliver({std::string(notify::kItemClick), std::string(name), index});
    }
    return true;
}

bool MemoryUi::userSlide(std::string_view name, int v) {
    return userMoveSlider(name, v, notify::kValueChanged);
}

bool MemoryUi::userDrag(std::string_view name, int v) {
    return userMoveSlider(name, v, notify::kMoveValueChanged);
}

bool MemoryUi::userMoveSlider(std::string_view name, int v, std::string_view type) {
    Control* c = userTarget(name, {ControlKind::Slider});
    if (!c) {
        return false;
    }
    v = std::clamp(v, c->minimum, c->maximum);
    if (c->value != v) {
        c->value = v;
        deliver({std::string(type), std::string(name), v});
    }
    return true;
}

bool MemoryUi::userType(std::string_view name, std::string_view text) {
    Control* c = userTarget(name, {ControlKind::Edit});
    if (!c) {
        return false;
    }
    c->text = std::string(text);
    c->textKey.clear();
    deliver({std::string(notify::kTextChanged), std::string(name), 0});
    return true;
}

bool MemoryUi::userFocus(std::string_view name) {
    if (!userTarget(name, {ControlKind::Edit, ControlKind::Button, ControlKind::Option,
                           ControlKind::Combo, ControlKind::List, ControlKind::Slider,
                           ControlKind::Custom, ControlKind::Palette})) {
        return false;
    }
    moveFocus(name);
    return true;
}

bool MemoryUi::userHover(std::string_view name, bool inside) {
    if (!find(name)) {
        return fail("no control " + std::string(name));
    }
    deliver(
        {std::string(inside ? notify::kMouseEnter : notify::kMouseLeave), std::string(name), 0});
    return true;
}

bool MemoryUi::userBlur(std::string_view name) {
    if (!find(name)) {
        return fail("no control " + std::string(name));
    }
    if (focused_ != name) {
        return fail(std::string(name) + " does not have the focus");
    }
    focused_.clear();
    deliver({std::string(notify::kKillFocus), std::string(name), 0});
    return true;
}

bool MemoryUi::userColor(std::string_view name, uint32_t argb) {
    Control* c = userTarget(name, {ControlKind::Palette});
    if (!c) {
        return false;
    }
    c->color = argb;
    deliver({std::string(notify::kColorChanged), std::string(name), static_cast<int64_t>(argb)});
    return true;
}

bool MemoryUi::userMenu(std::string_view item) {
    if (!menuOpen_) {
        return fail("no menu is open");
    }
    if (!menuHas(menuEntries_, item)) {
        return fail("no menu item " + std::string(item));
    }
    closeMenu();
    deliver({std::string(notify::kMenu), std::string(item), 0});
    return true;
}

bool MemoryUi::userTray(bool left) {
    if (!tray_) {
        return fail("no tray icon");
    }
    deliver({std::string(notify::kTray), "tray", left ? kTrayLeftUp : kTrayRightUp});
    return true;
}

}  // namespace rxt::ui
