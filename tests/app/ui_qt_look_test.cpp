// The look of the widget UI beyond the main window: the window's style sheet
// stays with it (file dialogs keep the desktop's look, the menu takes its
// own copy with the check marks), a colour the program sets beats the skin's
// rule for the control, and pop-up panels behave as pop-ups.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <fstream>

#include "app/qt/qt_ui.h"
#include "support/qt_test_app.h"
#include "support/ui_test_handler.h"

namespace rxt::ui {
namespace {

// A window styled as the program's: light text, a dark root, a swatch with
// a role rule, a pop-up panel with its button, and a tab layout.
constexpr const char* kMainUi = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0"><class>root</class>
<widget class="QWidget" name="root">
 <property name="geometry"><rect><x>0</x><y>0</y><width>400</width><height>300</height></rect></property>
 <property name="styleSheet"><string>QWidget { color: #d6dbe4; } QWidget#root { background-color: #101217; } QPushButton[role="swatch"] { background-color: #202020; border: 1px solid #3a4150; } QMenu { background-color: #181b22; }</string></property>
 <widget class="QPushButton" name="swatch"><property name="geometry"><rect><x>300</x><y>250</y><width>40</width><height>30</height></rect></property><property name="role" stdset="0"><string>swatch</string></property></widget>
 <widget class="QPushButton" name="spread"><property name="geometry"><rect><x>350</x><y>10</y><width>30</width><height>26</height></rect></property><property name="text"><string>...</string></property></widget>
 <widget class="QPushButton" name="under"><property name="geometry"><rect><x>20</x><y>60</y><width>80</width><height>26</height></rect></property><property name="text"><string>under</string></property></widget>
 <widget class="QStackedWidget" name="pages"><property name="geometry"><rect><x>0</x><y>200</y><width>200</width><height>40</height></rect></property>
  <widget class="QWidget" name="page0"/><widget class="QWidget" name="page1"/></widget>
 <widget class="QFrame" name="panel"><property name="geometry"><rect><x>10</x><y>40</y><width>380</width><height>100</height></rect></property>
  <property name="visible"><bool>false</bool></property>
  <property name="popupbutton" stdset="0"><string>spread</string></property>
  <widget class="QPushButton" name="second"><property name="geometry"><rect><x>200</x><y>10</y><width>80</width><height>26</height></rect></property></widget>
  <widget class="QPushButton" name="first"><property name="geometry"><rect><x>10</x><y>10</y><width>80</width><height>26</height></rect></property></widget>
 </widget>
</widget></ui>
)";

class LookTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::qtTestApp();
        write("main.ui", kMainUi);
        write("menu.xml", R"(<menu><item name="a" text="A"/><item name="b" text="B"/></menu>)");
        write(
            "lan.xml",
            R"(<language><text key="t_title">Import profile</text><text key="t_pics">Pictures</text></language>)");
        ASSERT_TRUE(ui.loadLanguage("lan.xml"));
        ASSERT_TRUE(ui.createMainWindow(handler, "main.ui", "Look", 400, 300)) << ui.lastError();
    }

    void write(const char* name, const char* text) {
        std::ofstream(dir.filePath(name).toStdString()) << text;
    }

    QWidget* w(const char* name) { return ui.widget(name); }

    void send(QWidget* to, QEvent::Type type, int key) {
        QKeyEvent e(type, key, Qt::NoModifier);
        QApplication::sendEvent(to, &e);
    }

    QApplication& app = test::qtTestApp();
    QTemporaryDir dir;
    QtUi ui{dir.path().toStdString()};
    test::UiTestHandler handler;
};

TEST_F(LookTest, TheProgramsColourBeatsTheSkinsRuleForTheControl) {
    ASSERT_TRUE(ui.setBackgroundColor("root", 0xFF4A1919));
    ASSERT_TRUE(ui.setBackgroundColor("swatch", 0xFF13294A));
    const QImage root = w("root")->grab().toImage();
    EXPECT_EQ(root.pixelColor(5, 290), QColor(0x4A, 0x19, 0x19));
    const QImage swatch = w("swatch")->grab().toImage();
    EXPECT_EQ(swatch.pixelColor(20, 15), QColor(0x13, 0x29, 0x4A));
    // Cleared, the skin's own rule is back.
    ASSERT_TRUE(ui.setBackgroundColor("root", 0));
    EXPECT_EQ(w("root")->grab().toImage().pixelColor(5, 290), QColor(0x10, 0x12, 0x17));
}

TEST_F(LookTest, FileDialogsKeepTheDesktopsLookAndReadTheirTexts) {
    ui.showWindow(SkinUi::Show::Show);
    QString title, filters;
    QWidget* parent = w("root");
    QWindow* transient = nullptr;
    QColor labelText;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<QFileDialog*>(ui.openDialog());
        if (d == nullptr) {
            ADD_FAILURE() << "no file dialog open";
            return;
        }
        title = d->windowTitle();
        filters = d->nameFilters().join("|");
        parent = d->parentWidget();
        transient = d->windowHandle() ? d->windowHandle()->transientParent() : nullptr;
        if (auto* label = d->findChild<QLabel*>()) {
            labelText = label->palette().color(label->foregroundRole());
        }
        d->reject();
    });
    FileDialogOptions options;
    options.title = "t_title";
    options.filters = {{"t_pics", "*.png;*.jpg"}, {"(*.*)", "*.*"}};
    options.folder = dir.path().toStdString();
    EXPECT_EQ(ui.openFileDialog(options), std::nullopt);
    EXPECT_EQ(title, "Import profile");
    EXPECT_EQ(filters, "Pictures (*.png *.jpg)|(*.*)");
    // Not a child of the styled window: its texts are not the skin's light
    // grey on the desktop's light background, and it still stays over the
    // window.
    EXPECT_EQ(parent, nullptr);
    EXPECT_EQ(transient, w("root")->windowHandle());
    EXPECT_TRUE(labelText.isValid());
    EXPECT_NE(labelText, QColor(0xd6, 0xdb, 0xe4));
}

TEST_F(LookTest, TheMenuTakesTheSkinsLookAndShowsTheCheckMarks) {
    ui.setMenuChecked("b", true);
    ASSERT_TRUE(ui.openMenu("menu.xml", {10, 10}, {MenuItem{"exit", "Close"}}));
    QMenu* menu = ui.menu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->parentWidget(), nullptr);
    EXPECT_TRUE(menu->styleSheet().contains("QMenu"));
    std::map<QString, QAction*> actions;
    for (QAction* a : menu->actions()) {
        actions[a->objectName()] = a;
    }
    EXPECT_TRUE(actions.at("b")->isCheckable());
    EXPECT_TRUE(actions.at("b")->isChecked());
    EXPECT_FALSE(actions.at("a")->isCheckable());
    EXPECT_FALSE(actions.at("exit")->isCheckable());
    ui.closeMenu();
    // A mark taken away shows unchecked in the next menu.
    ui.setMenuChecked("b", false);
    ASSERT_TRUE(ui.openMenu("menu.xml", {10, 10}, {}));
    for (QAction* a : ui.menu()->actions()) {
        if (a->objectName() == "b") {
            EXPECT_TRUE(a->isCheckable());
            EXPECT_FALSE(a->isChecked());
        }
    }
    ui.closeMenu();
}

TEST_F(LookTest, APopUpPanelClosesOnEscAnOutsidePressAndAPageSwitch) {
    ui.showWindow(SkinUi::Show::Show);
    QWidget* panel = w("panel");
    ui.setVisible("panel", true);
    send(w("root"), QEvent::KeyPress, Qt::Key_Escape);
    EXPECT_FALSE(panel->isVisible());

    // A press on its own button leaves the toggling to the button.
    ui.setVisible("panel", true);
    QMouseEvent onButton(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                         Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w("spread"), &onButton);
    EXPECT_TRUE(panel->isVisible());
    QMouseEvent inside(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                       Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w("first"), &inside);
    EXPECT_TRUE(panel->isVisible());
    QMouseEvent outside(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                        Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w("swatch"), &outside);
    EXPECT_FALSE(panel->isVisible());

    ui.setVisible("panel", true);
    ASSERT_TRUE(ui.setCurrentPage("pages", 1));
    EXPECT_FALSE(panel->isVisible());
}

TEST_F(LookTest, TabStaysInTheOpenPanelAndFollowsTheScreen) {
    ui.showWindow(SkinUi::Show::Show);
    ui.setVisible("panel", true);
    w("under")->setFocus();
    // From the control under the panel Tab goes into the panel, to its first
    // control on the screen (left), then the next, then round again.
    send(w("under"), QEvent::KeyPress, Qt::Key_Tab);
    EXPECT_EQ(w("root")->focusWidget(), w("first"));
    send(w("first"), QEvent::KeyPress, Qt::Key_Tab);
    EXPECT_EQ(w("root")->focusWidget(), w("second"));
    send(w("second"), QEvent::KeyPress, Qt::Key_Tab);
    EXPECT_EQ(w("root")->focusWidget(), w("first"));
    // With the panel closed, the window's order is the screen's: rows from
    // the top, left to right.
    ui.setVisible("panel", false);
    EXPECT_EQ(w("spread")->nextInFocusChain(), w("first"));
    EXPECT_EQ(w("second")->nextInFocusChain(), w("under"));
}

TEST_F(LookTest, TheWindowCarriesTheProgramsIconEvenWithoutAPicture) {
    ui.setProgramIcon("no-such-picture.png");
    EXPECT_FALSE(w("root")->windowIcon().isNull());
    EXPECT_FALSE(QApplication::windowIcon().isNull());
    EXPECT_FALSE(ui.programIcon().availableSizes().isEmpty());
}

}  // namespace
}  // namespace rxt::ui
