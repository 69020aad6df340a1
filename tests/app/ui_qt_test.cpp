// The widget toolkit's side of the UI, off screen: real input events become
// the right notifications, the tint and the custom controls are painted, the
// modal boxes work when a person answers them and are on screen whether or
// not the main window is, timers fire, and automation requests arrive over
// the local socket. One test runs the boxes again under an X server.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocalSocket>
#include <QMouseEvent>
#include <QScreen>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <filesystem>
#include <fstream>

#include "app/qt/automation_server.h"
#include "app/qt/chart_view.h"
#include "app/qt/circle_progress.h"
#include "app/qt/color_palette.h"
#include "app/qt/device_key_button.h"
#include "app/qt/qt_ui.h"
#include "app/qt/wnd_control.h"
#include "support/e2e_harness.h"
#include "support/qt_test_app.h"
#include "support/ui_test_handler.h"
#include "support/xvfb_display.h"

using namespace rxt::ui;
using rxt::test::UiTestHandler;
using Lines = std::vector<std::string>;

namespace {

const std::string kSkin = std::string(RXT_TESTDATA_DIR) + "/skin-basic";

// Runs the event loop until `done` or a generous time is up.
template <typename F>
bool waitFor(F done, int ms = 10000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

void mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)), Qt::LeftButton, buttons,
                  Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

QColor pixel(QWidget* w, QPoint at) {
    return w->grab().toImage().pixelColor(at);
}

class QtUiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        rxt::test::qtTestApp();
        handler.useTestSkinClasses();
        ASSERT_TRUE(ui.loadIndex("res.xml"));
        ASSERT_TRUE(ui.loadLanguage("lan_en.xml"));
        ASSERT_TRUE(ui.createMainWindow(handler, "XML_MAIN", "RX-T7100 GamingMouse", 800, 572))
            << ui.lastError();
        ui.showWindow(SkinUi::Show::Show);
        ui.processEvents();
        handler.notes.clear();
    }

    template <typename T = QWidget>
    T* w(const char* name) {
        return qobject_cast<T*>(ui.widget(name));
    }

    // The application first, as in the program: the window's wake watches
    // its event loop.
    QApplication& app = rxt::test::qtTestApp();
    QtUi ui{kSkin};
    UiTestHandler handler;
};

TEST_F(QtUiTest, RealInputBecomesNotifications) {
    auto* close = w<QAbstractButton>("closebtn");
    const QPoint mid = close->rect().center();
    mouse(close, QEvent::MouseButtonPress, mid, Qt::LeftButton);
    mouse(close, QEvent::MouseButtonRelease, mid, Qt::NoButton);

    auto* edit = w<QLineEdit>("ms_gunlun_speed_edit");
    QKeyEvent key(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, "7");
    QCoreApplication::sendEvent(edit, &key);

    auto* slider = w<QSlider>("ms_DPI1_slider");
    slider->setTracking(true);
    slider->setSliderDown(true);
    slider->setSliderPosition(30);  // what a drag does, step by step
    slider->setSliderPosition(31);
    slider->setSliderDown(false);  // released

    w<QComboBox>("ms_report_fct_combo")->setCurrentIndex(1);  // chosen in the pop-up

    EXPECT_EQ(handler.noteLines(), (Lines{
                                       "click closebtn 0",
                                       "textchanged ms_gunlun_speed_edit 0",
                                       "movevaluechanged ms_DPI1_slider 30",
                                       "movevaluechanged ms_DPI1_slider 31",
                                       "valuechanged ms_DPI1_slider 31",
                                       "itemselect ms_report_fct_combo 1",
                                   }));
}

TEST_F(QtUiTest, ThePointerComingAndGoingIsNotified) {
    QWidget* picture = w("closebtn");
    ASSERT_NE(picture, nullptr);
    const QPointF at(2, 2);
    QEnterEvent enter(at, at, QPointF(picture->mapToGlobal(at.toPoint())));
    QCoreApplication::sendEvent(picture, &enter);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(picture, &leave);
    ASSERT_TRUE(ui.userHover("ms_gunlun_speed_edit", true));
    EXPECT_FALSE(ui.userHover("no_such_control", true));
    EXPECT_EQ(handler.noteLines(), (Lines{"msenter closebtn 0", "msleave closebtn 0",
                                          "msenter ms_gunlun_speed_edit 0"}));
}

TEST_F(QtUiTest, ToolkitTextsFollowTheLanguage) {
    // The file dialogs' and standard buttons' own texts come from the
    // toolkit's catalogue: Chinese in both Chinese languages, English again after.
    auto cancel = [] { return QCoreApplication::translate("QPlatformTheme", "Cancel"); };
    ui.setLanguage("cn_zh");
    EXPECT_EQ(cancel(), QString::fromUtf8("取消"));
    ui.setLanguage("cn_tw");
    EXPECT_EQ(cancel(), QString::fromUtf8("取消"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Open"), QString::fromUtf8("開啟"));
    ui.setLanguage("en");
    EXPECT_EQ(cancel(), "Cancel");
}

TEST_F(QtUiTest, TintIsPaintedOverTheControl) {
    ui.setBackgroundColor("ms_dkey_0", 0xFFFFFFFF);
    QWidget* key = ui.widget("ms_dkey_0");
    ASSERT_GT(key->width(), 4);
    const QPoint mid = key->rect().center();
    EXPECT_EQ(pixel(key, mid), QColor(255, 255, 255));

    ui.setTintColor("ms_dkey_0", 0xFFFF0000);
    ui.setTintAlpha("ms_dkey_0", 255);
    EXPECT_EQ(pixel(key, mid), QColor(255, 255, 255));  // not switched on yet
    ui.setTintEnabled("ms_dkey_0", true);
    EXPECT_EQ(pixel(key, mid), QColor(255, 0, 0));
    ui.setTintAlpha("ms_dkey_0", 128);
    const QColor half = pixel(key, mid);
    EXPECT_EQ(half.red(), 255);
    EXPECT_NEAR(half.green(), 127, 2);
    ui.setTintAlpha("ms_dkey_0", 0);
    EXPECT_EQ(pixel(key, mid), QColor(255, 255, 255));

    // The overlay follows the control's size and lets clicks through.
    ui.setTintAlpha("ms_dkey_0", 255);
    key->setMinimumSize(120, 90);
    ui.processEvents();
    EXPECT_EQ(pixel(key, QPoint(key->width() - 2, key->height() - 2)), QColor(255, 0, 0));
}

TEST_F(QtUiTest, BackgroundColourAndImage) {
    ui.setBackgroundColor("ms_dkey_0", 0xFF00FF00);
    QWidget* key = ui.widget("ms_dkey_0");
    EXPECT_EQ(pixel(key, key->rect().center()), QColor(0, 255, 0));

    QTemporaryDir dir;
    QImage blue(8, 8, QImage::Format_RGB32);
    blue.fill(QColor(0, 0, 255));
    ASSERT_TRUE(blue.save(dir.filePath("blue.png")));
    ui.setBackgroundColor("ms_dkey_0", 0);
    ui.setBackgroundImage("ms_dkey_0", dir.filePath("blue.png").toStdString());
    EXPECT_EQ(pixel(key, key->rect().center()), QColor(0, 0, 255));
}

TEST_F(QtUiTest, ClosingTheWindowDoesWhatItsCloseButtonDoes) {
    ASSERT_TRUE(ui.windowVisible());
    handler.notes.clear();
    ui.window()->close();
    // The window is not destroyed; the handler hides it as for its button.
    ASSERT_NE(ui.window(), nullptr);
    ASSERT_FALSE(handler.notes.empty());
    EXPECT_EQ(handler.notes.back(), (Notification{"click", "closebtn", 0}));
    EXPECT_TRUE(ui.windowVisible());
}

TEST_F(QtUiTest, TimersFireOnTheUiThreadUntilStopped) {
    ui.startTimer(10, 5);
    ASSERT_TRUE(waitFor([&] { return handler.timers.size() >= 3; }));
    ui.stopTimer(10);
    const size_t fired = handler.timers.size();
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 50) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    EXPECT_EQ(handler.timers.size(), fired);
    EXPECT_EQ(handler.timers.front(), 10);
}

TEST_F(QtUiTest, SentMessageWaitsForTheEventLoop) {
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        EXPECT_TRUE(ui.sendMessage(2305, 0, 0));
        returned = true;
    });
    ASSERT_TRUE(waitFor([&] { return returned.load(); }));
    worker.join();
    ASSERT_EQ(handler.messages.size(), 1u);
    EXPECT_EQ(handler.messages[0].id, 2305);
}

TEST_F(QtUiTest, MessageBoxAnsweredByAPerson) {
    QString shownText;
    QString shownTitle;
    QTimer::singleShot(0, [&] {
        QDialog* box = ui.openDialog();
        ASSERT_NE(box, nullptr);
        shownText = box->findChild<QLabel*>("MessageText")->text();
        shownTitle = box->findChild<QLabel*>("MessageTitle")->text();
        box->findChild<QAbstractButton*>("confirm_btn")->click();
    });
    EXPECT_EQ(ui.messageBox("", "message_text_1", true), 1);
    EXPECT_EQ(shownText, "Please connect a device & try again");
    EXPECT_EQ(shownTitle, "Notice");  // an empty title keeps the skin's

    QTimer::singleShot(0, [&] {
        shownTitle = ui.openDialog()->findChild<QLabel*>("MessageTitle")->text();
        ui.openDialog()->findChild<QAbstractButton*>("closebtn")->click();
    });
    EXPECT_EQ(ui.messageBox("Title", "plain text", false), 0);
    EXPECT_EQ(shownTitle, "Title");

    QTimer::singleShot(0, [&] { EXPECT_TRUE(ui.answerOpenDialog(DialogAnswer::message(true))); });
    EXPECT_EQ(ui.messageBox("", "x", false), 1);
    EXPECT_EQ(ui.openDialog(), nullptr);
    EXPECT_FALSE(ui.answerOpenDialog(DialogAnswer::message(true)));
}

TEST_F(QtUiTest, MessageBoxWithoutItsSkinFileStillAsks) {
    QtUi bare(kSkin + "/no-such-folder");
    UiTestHandler h;
    QString text;
    QTimer::singleShot(0, [&] {
        text = bare.openDialog()->findChild<QLabel*>("MessageText")->text();
        bare.openDialog()->findChild<QAbstractButton*>("cancel_btn")->click();
    });
    EXPECT_EQ(bare.messageBox("", "message_text_9", true), 0);
    EXPECT_EQ(text, "message_text_9");  // no language table: the key itself
}

TEST_F(QtUiTest, PaletteDialogPresetsPaletteAndCancel) {
    // No palette skin in the test skin: the dialog's own controls are used.
    QTimer::singleShot(0, [&] {
        QDialog* d = ui.openDialog();
        d->findChild<QAbstractButton*>("ms_dpi_color_png_7")->click();
        d->findChild<QAbstractButton*>("okbtn")->click();
    });
    PaletteResult r = ui.paletteDialog(0xFF0000FF);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.color, kPresetColors[7]);

    QTimer::singleShot(0, [&] {
        QDialog* d = ui.openDialog();
        auto* palette = d->findChild<ColorPaletteWidget*>("Pallet");
        EXPECT_EQ(palette->color(), 0xFF0000FFu);  // shows the initial colour
        mouse(palette, QEvent::MouseButtonPress, QPoint(1, 1), Qt::LeftButton);
        EXPECT_EQ(d->findChild<QWidget*>("color_show_btn")->property("_rxt_bg").toUInt(),
                  palette->color());
        d->findChild<QAbstractButton*>("closebtn")->click();
    });
    r = ui.paletteDialog(0xFF0000FF);
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.color, 0xFF0000FFu);

    QTimer::singleShot(0, [&] { ui.answerOpenDialog(DialogAnswer::palette(0xFF010203)); });
    r = ui.paletteDialog(0xFF0000FF);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.color, 0xFF010203u);
    EXPECT_TRUE(handler.notes.empty());  // the dialog's clicks are its own
}

TEST_F(QtUiTest, AboutBoxIsPlacedFromTheMainWindowAndOpenOnce) {
    ui.window()->move(100, 300);
    ui.aboutBox();
    QWidget* about = ui.aboutWindow();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->windowTitle(), "关于");
    const QRect main = ui.window()->frameGeometry();
    EXPECT_EQ(about->pos(), QPoint(2 * main.left(), main.bottom() / 2 - 80));
    ui.aboutBox();
    EXPECT_EQ(ui.aboutWindow(), about);
    about->findChild<QAbstractButton*>("closebtn")->click();
    ASSERT_TRUE(waitFor([&] { return ui.aboutWindow() == nullptr; }));
}

TEST_F(QtUiTest, SkinProblemsAreReportedAndTheRestLoads) {
    QtUi other(kSkin);
    UiTestHandler h;
    h.creations["MS_DPI_UI"] = ControlCreation::page("missing_page.ui");
    h.creations["CircleProgress"] = ControlCreation::custom("NoSuchControl");
    ASSERT_TRUE(other.loadIndex("res.xml"));
    EXPECT_FALSE(other.createMainWindow(h, "XML_MAIN", "t", 800, 572));
    EXPECT_NE(other.lastError().find("missing_page.ui"), std::string::npos);
    EXPECT_NE(other.lastError().find("NoSuchControl"), std::string::npos);
    EXPECT_TRUE(other.hasControl("ms_dpi_page"));
    EXPECT_TRUE(other.hasControl("circle"));
    EXPECT_TRUE(other.userClick("closebtn"));
    EXPECT_EQ(h.initCount, 1);

    QtUi none(kSkin);
    EXPECT_FALSE(none.createMainWindow(h, "none.ui", "t", 800, 572));
    EXPECT_EQ(none.window(), nullptr);
    EXPECT_FALSE(none.hasControl("closebtn"));
}

TEST_F(QtUiTest, AutomationOverTheLocalSocket) {
    QTemporaryDir dir;
    const QString path = dir.filePath("automation");
    AutomationServer server(ui, nullptr);
    ASSERT_TRUE(server.listen(path)) << server.errorString().toStdString();

    QLocalSocket client;
    client.connectToServer(path);
    ASSERT_TRUE(waitFor([&] { return client.state() == QLocalSocket::ConnectedState; }));
    client.write(
        "click closebtn\nget skinbtn text\nselect ms_report_fct_combo 2\n"
        "answer message 1\nget ms_report_fct_combo index\nbogus\n");
    QByteArray replies;
    ASSERT_TRUE(waitFor([&] {
        replies += client.readAll();
        return replies.count('\n') >= 6;
    }));
    EXPECT_EQ(replies.toStdString(), "ok\nok Skin\nok\nok\nok 2\nerror unknown request bogus\n");
    EXPECT_EQ(handler.noteLines(), (Lines{"click closebtn 0", "itemselect ms_report_fct_combo 2"}));
    EXPECT_EQ(ui.messageBox("", "k", true), 1);  // the queued answer
}

TEST_F(QtUiTest, AutomationAnswersABoxThatIsAlreadyOpen) {
    QTemporaryDir dir;
    const QString path = dir.filePath("automation");
    AutomationServer server(ui, nullptr);
    ASSERT_TRUE(server.listen(path));
    QLocalSocket client;
    int answered = -1;
    handler.onNotify = [&](const Notification& n) {
        if (n.sender == "closebtn") {
            // More requests arrive while the box waits for its answer.
            QTimer::singleShot(0, [&] {
                client.write("get skinbtn text\nanswer message 0\n");
                client.flush();
            });
            answered = ui.messageBox("", "message_text_1", true);
        }
    };
    client.connectToServer(path);
    ASSERT_TRUE(waitFor([&] { return client.state() == QLocalSocket::ConnectedState; }));
    client.write("click closebtn\n");
    QByteArray replies;
    ASSERT_TRUE(waitFor([&] {
        replies += client.readAll();
        return replies.count('\n') >= 3;
    }));
    EXPECT_EQ(answered, 0);
    EXPECT_EQ(replies.toStdString(), "ok\nok\nok Skin\n");
}

// ---- boxes on screen ----------------------------------------------------------

// The test skin's main window with the program's own skin files for the
// message box, the palette dialog and the about box: plain widgets with their
// controls at fixed places, wrapped in a dialog when loaded.
class ProgramSkinBoxes {
  public:
    ProgramSkinBoxes() {
        const std::string test = kSkin + "/";
        const std::string program = std::string(RXT_TESTDATA_DIR) + "/../../skin/";
        std::ofstream(dir_.filePath("res.xml").toStdString())
            << "<res>\n"
            << "<file name=\"XML_MAIN\" path=\"" << test << "main.ui\"/>\n"
            << "<file name=\"XML_DPI\" path=\"" << test << "dpi_page.ui\"/>\n"
            << "<file name=\"XML_MSG\" path=\"" << program << "msgbox.xml\"/>\n"
            << "<file name=\"XML_PALETTE\" path=\"" << program << "TvPalletDialog.xml\"/>\n"
            << "<file name=\"XML_ABOUT\" path=\"" << program << "CopyRight.xml\"/>\n"
            << "</res>\n";
    }
    std::string folder() const { return dir_.path().toStdString(); }

  private:
    QTemporaryDir dir_;
};

// A QtUi on that skin with its main window made (not shown).
struct BoxesUi {
    explicit BoxesUi(const std::string& folder) : ui(folder) {
        handler.useTestSkinClasses();
        ok = ui.loadIndex("res.xml") && ui.loadLanguage(kSkin + "/lan_en.xml") &&
             ui.createMainWindow(handler, "XML_MAIN", "RX-T7100 GamingMouse", 800, 572);
    }
    QtUi ui;
    UiTestHandler handler;
    bool ok = false;
};

// What a person needs of an open box: a shown top-level window of its skin's
// size, wholly on its screen, the named controls shown and wholly inside it.
void expectOnScreen(QWidget* box, std::initializer_list<const char*> controls) {
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isWindow());
    EXPECT_TRUE(box->isVisible());
    ASSERT_NE(box->windowHandle(), nullptr);
    EXPECT_TRUE(box->windowHandle()->isVisible()) << "the native window was never shown";
    EXPECT_GE(box->width(), 100);
    EXPECT_GE(box->height(), 60);
    ASSERT_NE(box->screen(), nullptr);
    const QRect screen = box->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(box->frameGeometry()))
        << "box at " << box->frameGeometry().x() << "," << box->frameGeometry().y();
    for (const char* name : controls) {
        const QWidget* c = box->findChild<QWidget*>(name);
        ASSERT_NE(c, nullptr) << name;
        EXPECT_TRUE(c->isVisible()) << name;
        const QRect r(c->mapTo(box, QPoint(0, 0)), c->size());
        EXPECT_FALSE(r.isEmpty()) << name;
        EXPECT_TRUE(box->rect().contains(r)) << name << " is cut off";
    }
}

void expectCentred(const QWidget* box, QPoint centre) {
    const QPoint at = box->frameGeometry().center();
    EXPECT_LE(std::abs(at.x() - centre.x()), 3) << at.x() << " vs " << centre.x();
    EXPECT_LE(std::abs(at.y() - centre.y()), 3) << at.y() << " vs " << centre.y();
}

// Share of pixels of `shot` that match `own` (both the box's size).
double sameShare(const QImage& shot, const QImage& own) {
    if (shot.size() != own.size() || own.isNull()) {
        return 0.0;
    }
    long same = 0;
    for (int y = 0; y < own.height(); ++y) {
        for (int x = 0; x < own.width(); ++x) {
            const QColor a = shot.pixelColor(x, y);
            const QColor b = own.pixelColor(x, y);
            same += std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
                        std::abs(a.blue() - b.blue()) <=
                    12;
        }
    }
    return static_cast<double>(same) / (own.width() * own.height());
}

// What the screen shows where `box` is.
QImage screenAt(const QWidget* box) {
    const QRect g = box->geometry();
    return box->screen()->grabWindow(0, g.x(), g.y(), g.width(), g.height()).toImage();
}

// Drawn on the screen: once the platform shows the box, what the screen
// holds at its place is the box.
void expectDrawn(QWidget* box) {
    ASSERT_TRUE(waitFor([&] { return box->windowHandle()->isExposed(); }))
        << "the box was never exposed";
    const QImage own = box->grab().toImage();
    double share = 0.0;
    waitFor([&] {
        share = sameShare(screenAt(box), own);
        return share > 0.9;
    });
    EXPECT_GT(share, 0.9);
}

// Runs `check` on the open modal box once it is up, then answers it so that
// the modal loop always ends.
void whileOpen(QtUi& ui, std::function<void(QDialog*)> check) {
    QTimer::singleShot(0, [&ui, check] {
        QDialog* box = ui.openDialog();
        if (box == nullptr) {
            ADD_FAILURE() << "no box open";
            return;
        }
        check(box);
        box->done(1);
    });
}

TEST(QtUiBoxes, ProgramSkinBoxesAreOnScreenWithTheWindowHidden) {
    rxt::test::qtTestApp();
    ProgramSkinBoxes skin;
    BoxesUi b(skin.folder());
    ASSERT_TRUE(b.ok) << b.ui.lastError();
    b.ui.showWindow(SkinUi::Show::Show);
    b.ui.showWindow(SkinUi::Show::Hide);  // as the tray click with no device does
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();

    whileOpen(b.ui, [&](QDialog* box) {
        expectOnScreen(box, {"MessageTitle", "MessageText", "confirm_btn", "cancel_btn"});
        EXPECT_EQ(box->size(), box->findChild<QWidget*>("msg_root")->size());
        expectCentred(box, screen.center());
        // Not kept with the hidden window by a window manager.
        EXPECT_EQ(box->parentWidget(), nullptr);
        EXPECT_NE(box->windowHandle()->transientParent(), b.ui.window()->windowHandle());
        EXPECT_EQ(box->findChild<QLabel*>("MessageText")->text(),
                  "Please connect a device & try again");
        expectDrawn(box);
    });
    EXPECT_EQ(b.ui.messageBox("", "message_text_1", true), 1);

    whileOpen(b.ui, [&](QDialog* box) {
        expectOnScreen(box, {"Pallet", "color_show_btn", "ms_dpi_color_png_29", "okbtn"});
        expectCentred(box, screen.center());
        EXPECT_EQ(box->parentWidget(), nullptr);
        expectDrawn(box);
    });
    EXPECT_EQ(b.ui.paletteDialog(0xFF112233).code, 1);

    b.ui.aboutBox();
    QWidget* about = b.ui.aboutWindow();
    expectOnScreen(about, {"NetText", "closebtn"});
    expectCentred(about, screen.center());
    expectDrawn(about);
    EXPECT_FALSE(b.ui.windowVisible());
}

TEST(QtUiBoxes, ProgramSkinBoxesFollowTheShownWindowAndStayOnScreen) {
    rxt::test::qtTestApp();
    ProgramSkinBoxes skin;
    BoxesUi b(skin.folder());
    ASSERT_TRUE(b.ok) << b.ui.lastError();
    QWidget* main = b.ui.window();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    main->resize(200, 150);
    b.ui.centerWindow();
    b.ui.showWindow(SkinUi::Show::Show);

    whileOpen(b.ui, [&](QDialog* box) {
        expectOnScreen(box, {"MessageText", "confirm_btn", "cancel_btn"});
        expectCentred(box, main->frameGeometry().center());
        EXPECT_EQ(box->parentWidget(), main);
    });
    EXPECT_EQ(b.ui.messageBox("", "message_text_1", true), 1);

    // Beside the window where there is room; pushed back on screen where not.
    main->move(screen.topLeft());
    whileOpen(b.ui, [&](QDialog* box) {
        expectOnScreen(box, {"Pallet", "okbtn"});
        EXPECT_EQ(box->pos(),
                  QPoint(main->frameGeometry().right() + 1, main->frameGeometry().top()));
    });
    b.ui.paletteDialog(0xFF112233);
    main->move(screen.right() - main->frameGeometry().width() - 10, screen.top() + 20);
    whileOpen(b.ui, [&](QDialog* box) {
        expectOnScreen(box, {"Pallet", "okbtn"});
        EXPECT_EQ(box->frameGeometry().right(), screen.right());
    });
    b.ui.paletteDialog(0xFF112233);

    // The about box's place from the window's edges would be off screen.
    b.ui.aboutBox();
    expectOnScreen(b.ui.aboutWindow(), {"NetText", "closebtn"});
}

TEST(QtUiBoxes, BuiltInAndLaidOutMessageBoxesAreOnScreenWithTheWindowHidden) {
    rxt::test::qtTestApp();
    UiTestHandler handler;
    handler.useTestSkinClasses();
    QtUi laidOut(kSkin);  // the test skin's box: a dialog with a layout
    ASSERT_TRUE(laidOut.loadIndex("res.xml"));
    ASSERT_TRUE(laidOut.createMainWindow(handler, "XML_MAIN", "t", 800, 572));
    laidOut.showWindow(SkinUi::Show::Hide);
    QtUi bare(kSkin + "/no-such-folder");  // no skin file, no main window
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    for (QtUi* ui : {&laidOut, &bare}) {
        whileOpen(*ui, [&](QDialog* box) {
            expectOnScreen(box, {"MessageTitle", "MessageText", "confirm_btn", "cancel_btn"});
            expectCentred(box, centre);
        });
        EXPECT_EQ(ui->messageBox("Title", "a message", false), 1);
    }
}

// Under a real X server a box that was never given a size is not mapped at
// all; this runs the boxes there, in a child of this test program that uses
// the X11 platform on its own Xvfb.
const char* const kX11Child = "RXT_TEST_X11_CHILD";

TEST(QtUiBoxesOnX11, ChildShowsTheBoxesWithTheWindowHidden) {
    if (std::getenv(kX11Child) == nullptr) {
        GTEST_SKIP() << "run by QtUiBoxes.BoxesAreMappedAndDrawnOnAnXServer";
    }
    rxt::test::qtTestApp();
    ASSERT_EQ(QGuiApplication::platformName(), "xcb");
    ProgramSkinBoxes skin;
    BoxesUi b(skin.folder());
    ASSERT_TRUE(b.ok) << b.ui.lastError();
    b.ui.showWindow(SkinUi::Show::Show);
    b.ui.showWindow(SkinUi::Show::Hide);

    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    whileOpen(b.ui, [&](QDialog* box) {
        expectOnScreen(box, {"MessageText", "confirm_btn", "cancel_btn"});
        expectCentred(box, centre);
        expectDrawn(box);
    });
    EXPECT_EQ(b.ui.messageBox("", "message_text_1", true), 1);
    whileOpen(b.ui, [&](QDialog* box) {
        expectOnScreen(box, {"Pallet", "okbtn"});
        expectDrawn(box);
    });
    b.ui.paletteDialog(0xFF112233);
    b.ui.aboutBox();
    expectOnScreen(b.ui.aboutWindow(), {"NetText", "closebtn"});
    expectDrawn(b.ui.aboutWindow());
}

TEST(QtUiBoxes, BoxesAreMappedAndDrawnOnAnXServer) {
    if (std::getenv(kX11Child) != nullptr) {
        GTEST_SKIP();
    }
    const QString plugin = QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platforms/libqxcb.so";
    if (!rxt::test::XvfbDisplay::installed() || !QFile::exists(plugin)) {
        GTEST_SKIP() << "needs Xvfb and the toolkit's X11 platform (scripts/setup installs them)";
    }
    rxt::test::XvfbDisplay display;
    const std::string name = display.start();
    ASSERT_FALSE(name.empty()) << "Xvfb did not start";
    QTemporaryDir dir;
    const std::filesystem::path output = dir.filePath("child.log").toStdString();
    rxt::e2e::Child child;
    ASSERT_TRUE(child.start({std::filesystem::read_symlink("/proc/self/exe").string(),
                             "--gtest_filter=QtUiBoxesOnX11.*"},
                            {{"DISPLAY", name},
                             {"QT_QPA_PLATFORM", "xcb"},
                             {kX11Child, "1"},
                             // The X libraries keep caches to the end.
                             {"ASAN_OPTIONS", "detect_leaks=0"}},
                            output));
    const std::optional<int> code = child.wait(std::chrono::seconds(120));
    const std::string log = child.output();
    ASSERT_TRUE(code.has_value()) << "the child did not end\n" << log;
    EXPECT_EQ(*code, 0) << log;
    EXPECT_NE(log.find("[  PASSED  ] 1 test"), std::string::npos) << log;
    EXPECT_EQ(log.find("SKIPPED"), std::string::npos) << log;
}

TEST(QtControls, CircleProgressSweepsFromItsMinimum) {
    rxt::test::qtTestApp();
    CCircleProgressUI circle;
    circle.resize(100, 100);
    circle.setRange(0, 200);
    circle.setValue(50);
    EXPECT_DOUBLE_EQ(circle.sweepDegrees(), 90.0);
    circle.setRange(100, 300);
    circle.setValue(200);
    EXPECT_DOUBLE_EQ(circle.sweepDegrees(), 180.0);
    circle.setRange(5, 5);  // an empty range shows nothing
    EXPECT_DOUBLE_EQ(circle.sweepDegrees(), 0.0);

    circle.setBackgroundColor(QColor(0, 0, 0));
    circle.setForegroundColor(QColor(255, 0, 0));
    circle.setRange(0, 100);
    circle.setValue(25);  // from the bottom, clockwise: the lower left quarter
    const QImage image = circle.grab().toImage();
    EXPECT_EQ(image.pixelColor(8, 60), QColor(255, 0, 0));       // lower left ring
    EXPECT_EQ(image.pixelColor(8, 40), QColor(0, 0, 0));         // upper left ring
    EXPECT_EQ(image.pixelColor(92, 60), QColor(0, 0, 0));        // lower right ring
    EXPECT_EQ(image.pixelColor(50, 50), QColor(255, 255, 255));  // white centre

    circle.setBkColorText("#FF00FF00");
    EXPECT_EQ(circle.backgroundColor(), QColor(0, 255, 0));
    circle.setBkColorText("junk");
    EXPECT_EQ(circle.backgroundColor(), QColor(0, 255, 0));
}

TEST(QtControls, DeviceKeyButtonAttributesAndLight) {
    rxt::test::qtTestApp();
    CDeviceKeyButtonUI key;
    key.resize(40, 40);
    key.setProperty("tvnametextcolor", "#FF0000");
    EXPECT_EQ(key.nameTextColor(), "#FF0000");
    key.setNameTextColor("00FF00");
    EXPECT_EQ(key.nameTextColor(), "00FF00");
    key.setNameTextColor("nonsense");
    EXPECT_EQ(key.nameTextColor(), "00FF00");  // refused, kept

    key.setLight({true, 0xFF0000FF, 255});
    EXPECT_EQ(key.grab().toImage().pixelColor(20, 20), QColor(0, 0, 255));
    key.setLight({false, 0xFF0000FF, 255});
    EXPECT_NE(key.grab().toImage().pixelColor(20, 20), QColor(0, 0, 255));

    QTemporaryDir dir;
    QImage shape(40, 40, QImage::Format_ARGB32);
    shape.fill(Qt::transparent);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 20; ++x) {
            shape.setPixelColor(x, y, QColor(255, 255, 255));  // left half only
        }
    }
    ASSERT_TRUE(shape.save(dir.filePath("light.png")));
    key.setImageFolder(dir.path());
    key.setLightImage("light.png");
    key.setLight({true, 0xFFFF0000, 255});
    const QImage image = key.grab().toImage();
    EXPECT_EQ(image.pixelColor(10, 20), QColor(255, 0, 0));
    EXPECT_NE(image.pixelColor(30, 20), QColor(255, 0, 0));
    key.setLightImage("missing.png");  // falls back to a plain light
    EXPECT_EQ(key.grab().toImage().pixelColor(30, 20), QColor(255, 0, 0));
}

TEST(QtControls, PalettePicksColoursWhereClicked) {
    rxt::test::qtTestApp();
    ColorPaletteWidget palette;
    palette.resize(360, 200);
    std::vector<uint32_t> picked;
    QObject::connect(&palette, &ColorPaletteWidget::colorPicked,
                     [&](uint32_t c) { picked.push_back(c); });
    palette.setColor(0xFF00FF00);
    EXPECT_TRUE(picked.empty());  // the program's colour is not a pick
    EXPECT_EQ(palette.colorText(), "#FF00FF00");
    mouse(&palette, QEvent::MouseButtonPress, QPoint(0, 0), Qt::LeftButton);  // red, saturated
    ASSERT_EQ(picked.size(), 1u);
    EXPECT_EQ(QColor::fromRgba(picked[0]).hue(), 0);
    EXPECT_EQ(QColor::fromRgba(picked[0]).saturation(), 255);
    mouse(&palette, QEvent::MouseMove, QPoint(900, -40), Qt::LeftButton);  // outside: clamped
    ASSERT_EQ(picked.size(), 2u);
    EXPECT_EQ(palette.color(), picked[1]);
    // The brightness bar keeps the hue and darkens it.
    mouse(&palette, QEvent::MouseButtonPress, QPoint(0, 199), Qt::LeftButton);
    EXPECT_EQ(QColor::fromRgba(palette.color()).value(), 0);
}

TEST(QtControls, WndFollowsItsControl) {
    rxt::test::qtTestApp();
    QWidget window;
    window.resize(300, 200);
    auto* place = new CWndUI(&window);
    place->setGeometry(10, 20, 100, 50);
    auto* inner = new QWidget(&window);
    place->attach(inner);
    EXPECT_EQ(inner->geometry(), QRect(10, 20, 100, 50));
    window.show();
    EXPECT_TRUE(inner->isVisible());
    place->setGeometry(30, 40, 60, 70);
    EXPECT_EQ(inner->geometry(), QRect(30, 40, 60, 70));
    place->hide();
    EXPECT_FALSE(inner->isVisible());
    place->move(5, 6);  // while hidden: placed when shown again
    place->show();
    EXPECT_TRUE(inner->isVisible());
    EXPECT_EQ(inner->geometry(), QRect(5, 6, 60, 70));
}

TEST(QtControls, ChartViewTakesItsAttributes) {
    rxt::test::qtTestApp();
    CChartViewUI chart;
    chart.resize(100, 100);
    EXPECT_EQ(chart.view(), "pie");
    chart.setProperty("view", "histpgram");
    EXPECT_EQ(chart.view(), "histpgram");
    chart.addItem("a", 3);
    chart.addItem("b", -1);  // kept, as nothing
    ASSERT_EQ(chart.items().size(), 2u);
    EXPECT_EQ(chart.items()[1].value, 0);
    EXPECT_FALSE(chart.grab().isNull());
}

}  // namespace
