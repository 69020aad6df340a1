#include "app/qt/skin_loader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "app/qt/chart_view.h"
#include "app/qt/circle_progress.h"
#include "app/qt/color_palette.h"
#include "app/qt/device_key_button.h"
#include "app/qt/wnd_control.h"

namespace rxt::ui {

namespace {
constexpr int kMaxPageDepth = 16;

// The loader's constructor loads every designer plugin under the library
// paths (Qt Quick and QML with them, a fifth of start-up), yet the skin's own
// classes come from createWidget. The paths are hidden from it meanwhile.
// Loaders are made on the UI thread only.
QStringList& savedLibraryPaths() {
    static QStringList paths;
    return paths;
}

QObject* withoutLibraryPaths(QObject* parent) {
    savedLibraryPaths() = QCoreApplication::libraryPaths();
    QCoreApplication::setLibraryPaths({});
    return parent;
}
}  // namespace

SkinLoader::SkinLoader(QString folder, WindowHandler* handler, QObject* parent, int depth)
    : QUiLoader(withoutLibraryPaths(parent)),
      folder_(std::move(folder)),
      handler_(handler),
      depth_(depth) {
    QCoreApplication::setLibraryPaths(savedLibraryPaths());
    setWorkingDirectory(QDir(folder_));
}

bool SkinLoader::isCustom(const QString& c) {
    return c == QLatin1String(custom::kCircleProgress.data()) ||
           c == QLatin1String(custom::kDeviceKeyButton.data()) ||
           c == QLatin1String(custom::kWnd.data()) ||
           c == QLatin1String(custom::kChartView.data()) ||
           c == QLatin1String(custom::kColorPalette.data());
}

QWidget* SkinLoader::createCustom(const QString& c, QWidget* parent, const QString& folder) {
    if (c == QLatin1String(custom::kCircleProgress.data())) {
        return new CCircleProgressUI(parent);
    }
    if (c == QLatin1String(custom::kDeviceKeyButton.data())) {
        auto* key = new CDeviceKeyButtonUI(parent);
        key->setImageFolder(folder);
        return key;
    }
    if (c == QLatin1String(custom::kWnd.data())) {
        return new CWndUI(parent);
    }
    if (c == QLatin1String(custom::kChartView.data())) {
        return new CChartViewUI(parent);
    }
    if (c == QLatin1String(custom::kColorPalette.data())) {
        return new ColorPaletteWidget(parent);
    }
    return nullptr;
}

QWidget* SkinLoader::loadFile(const QString& path, QWidget* parent) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        errors_ << path + ": cannot be read";
        return nullptr;
    }
    QWidget* w = load(&file, parent);
    if (!w) {
        errors_ << path + ": " + errorString();
    }
    return w;
}

QWidget* SkinLoader::createWidget(const QString& className, QWidget* parent, const QString& name) {
    const ControlCreation creation =
        handler_ ? handler_->createControl(className.toStdString()) : ControlCreation::none();
    QWidget* w = nullptr;
    switch (creation.kind) {
        case ControlCreation::Kind::Page: {
            if (depth_ >= kMaxPageDepth) {
                errors_ << "pages nested too deeply at " + className;
                break;
            }
            // A loader of its own: the toolkit's loader is not re-entrant.
            SkinLoader pageLoader(folder_, handler_, nullptr, depth_ + 1);
            pageLoader.resolvePage = resolvePage;
            const QString file = QString::fromStdString(creation.name);
            const QString path = resolvePage ? resolvePage(file) : QDir(folder_).filePath(file);
            w = pageLoader.loadFile(path, parent);
            errors_ << pageLoader.errors();
            break;
        }
        case ControlCreation::Kind::Custom:
            w = createCustom(QString::fromStdString(creation.name), parent, folder_);
            if (!w) {
                errors_ << "no custom control " + QString::fromStdString(creation.name);
            }
            break;
        case ControlCreation::Kind::None:
            w = isCustom(className) ? createCustom(className, parent, folder_)
                                    : QUiLoader::createWidget(className, parent, name);
            if (!w) {
                errors_ << "unknown class " + className + " (" + name + ")";
            }
            break;
    }
    if (!w) {
        w = new QWidget(parent);  // keeps the rest of the tree
    }
    w->setObjectName(name);
    return w;
}

}  // namespace rxt::ui
