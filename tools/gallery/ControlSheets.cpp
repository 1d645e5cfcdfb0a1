#include "ControlSheets.h"

#include "Sheet.h"
#include "ui/WrappedText.h"
#include "ui/MarkupText.h"
#include "ui/LanguageDropDown.h"
#include "ui/ErrorLine.h"
#include "ui/PictureSwitch.h"
#include "ui/SmallLink.h"
#include "ui/IconCaptionButton.h"
#include "ui/PictureBox.h"
#include "ui/OverlayPictureButton.h"
#include "ui/HelpLink.h"
#include "ui/FixedIconHelpLink.h"
#include "ui/SlimScrollBar.h"
#include "ui/BusyIndicator.h"
#include "ui/PlainLineEdit.h"
#include "ui/PictureButton.h"
#include "ui/LayeredPictureButton.h"
#include "ui/FilledLayeredPictureButton.h"
#include "ui/FadingPictureButton.h"
#include "ui/LanguageCombo.h"
#include "ui/TextLabel.h"
#include "ui/ProgressDots.h"
#include "ui/RoundedFrame.h"
#include "ui/PageTitle.h"
#include "ui/Drawing.h"
#include "platform/ProgramVersion.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QScrollBar>
#include <array>
#include <functional>

namespace {

constexpr int kPageBitmap = 3001;

enum class Look { Normal, Hover, Pushed, Latched, Disabled };
constexpr std::array<Look, 5> kLooks { Look::Normal, Look::Hover, Look::Pushed, Look::Latched, Look::Disabled };

QString LookName(Look look)
{
    switch (look) {
    case Look::Normal:
        return QStringLiteral("normal");
    case Look::Hover:
        return QStringLiteral("hover");
    case Look::Pushed:
        return QStringLiteral("pushed");
    case Look::Latched:
        return QStringLiteral("latched");
    case Look::Disabled:
        return QStringLiteral("disabled look");
    }
    return {};
}

void Apply(PictureButton& button, Look look)
{
    switch (look) {
    case Look::Normal:
        break;
    case Look::Hover: {
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QCoreApplication::sendEvent(&button, &enter);
        break;
    }
    case Look::Pushed:
        button.setDown(true);
        break;
    case Look::Latched:
        button.setLatched(true);
        break;
    case Look::Disabled:
        button.setDisabledLook(true);
        break;
    }
}

struct ButtonKind
{
    QString name;
    std::function<PictureButton*(QWidget*)> make;
    std::array<int, 4> images; // disabled, normal, pressed, hover
    QString caption;
    QSize size; // empty: caption width + 40 by 43
    QPoint onPage; // where it sits on the page background
    int bitmap = kPageBitmap;
};

void SaveSheet(Sheet& sheet, const QString& path, QStringList& failures)
{
    if (!sheet.Save(path))
        failures << QStringLiteral("cannot write %1").arg(path);
}

void Buttons(const QString& dir, QStringList& failures)
{
    Sheet sheet(QStringLiteral("Picture buttons: every member in each look (on the page background)"));
    const auto plain = [](QWidget* p) -> PictureButton* { return new PictureButton(p); };
    const std::vector<ButtonKind> kinds {
        { QStringLiteral("PictureButton NEXT"), plain, { 3045, 3042, 3044, 3043 }, QStringLiteral("NEXT   >"), {},
            { 448, 536 } },
        { QStringLiteral("PictureButton BACK"), plain, { 3045, 3042, 3044, 3043 }, QStringLiteral("<   BACK"), {},
            { 290, 536 } },
        { QStringLiteral("PictureButton close"), plain, { 3041, 3038, 3040, 3039 }, {}, { 37, 29 }, { 823, 0 } },
        { QStringLiteral("PictureButton minimise"), plain, { 3037, 3034, 3036, 3035 }, {}, { 37, 29 }, { 786, 0 } },
        { QStringLiteral("LayeredPictureButton wide"), [](QWidget* p) -> PictureButton* { return new LayeredPictureButton(p); },
            { 3033, 3030, 3032, 3031 }, QStringLiteral("START"), { 416, 45 }, { 60, 470 }, 3000 },
        { QStringLiteral("FilledLayeredPictureButton slate"), [](QWidget* p) -> PictureButton* { return new FilledLayeredPictureButton(p); },
            { 3050, 3046, 3049, 3047 }, QStringLiteral("GO TO NVR"), { 234, 44 }, { 200, 536 } },
        { QStringLiteral("FadingPictureButton NEXT"), [](QWidget* p) -> PictureButton* { return new FadingPictureButton(p); },
            { 3045, 3042, 3044, 3043 }, QStringLiteral("NEXT   >"), {}, { 448, 536 } },
        { QStringLiteral("IconCaptionButton Rescan"), [](QWidget* p) -> PictureButton* { return new IconCaptionButton(p); },
            { 4018, 4015, 4017, 4016 }, QStringLiteral("Rescan"), {}, { 700, 200 } },
        { QStringLiteral("LayeredPictureButton radio"), [](QWidget* p) -> PictureButton* { return new LayeredPictureButton(p); },
            { 4082, 4082, 4013, 4014 }, {}, { 24, 24 }, { 90, 200 } },
        { QStringLiteral("LayeredPictureButton check box"), [](QWidget* p) -> PictureButton* { return new LayeredPictureButton(p); },
            { 4009, 4009, 4010, 4010 }, {}, { 29, 24 }, { 90, 240 } },
    };
    for (const ButtonKind& kind : kinds) {
        for (const Look look : kLooks) {
            // Size first from a probe, as the pages do (caption width + 40, or + 41 with the icon).
            QSize size = kind.size;
            if (size.isEmpty()) {
                PictureButton* probe = kind.make(nullptr);
                probe->setText(kind.caption);
                const bool icon = dynamic_cast<IconCaptionButton*>(probe) != nullptr;
                size = icon ? QSize(probe->CaptionWidth() + 41, 30) : QSize(probe->CaptionWidth() + 40, 43);
                delete probe;
            }
            QWidget* stage = sheet.AddCell(kind.name + QStringLiteral(": ") + LookName(look), size + QSize(20, 20),
                kind.bitmap, kind.onPage - QPoint(10, 10));
            PictureButton* button = kind.make(stage);
            button->setGeometry(10, 10, size.width(), size.height());
            for (int slot = 0; slot < 4; ++slot)
                button->SetImage(slot, kind.images[static_cast<size_t>(slot)]);
            button->setText(kind.caption);
            if (auto* icon = dynamic_cast<IconCaptionButton*>(button))
                icon->SetIcon(3055);
            Apply(*button, look);
        }
        sheet.NewRow();
    }
    QWidget* stage = sheet.AddCell(QStringLiteral("PictureButton gradient fill"), QSize(160, 63), kPageBitmap);
    auto* gradient = new PictureButton(stage);
    gradient->setGeometry(10, 10, 140, 43);
    gradient->setFillMode(2);
    gradient->setText(QStringLiteral("FINISH"));
    SaveSheet(sheet, dir + QStringLiteral("/controls/buttons.png"), failures);
}

void TextStatics(const QString& dir, QStringList& failures)
{
    Sheet sheet(QStringLiteral("Text statics"));
    const QRect title(10, 10, 606, 38);
    {
        QWidget* stage = sheet.AddCell(QStringLiteral("TextLabel title 32 blue"), title.size() + QSize(20, 20),
            kPageBitmap, QPoint(62, 58), title);
        auto* s = new TextLabel(stage);
        s->setGeometry(title);
        s->SetTitleStyle();
        s->SetFont(32, MakeRgb(42, 169, 209), false);
        s->SetText(QStringLiteral("Select your NVR device"));
    }
    {
        QWidget* stage = sheet.AddCell(
            QStringLiteral("PageTitle"), title.size() + QSize(20, 20), kPageBitmap, QPoint(62, 58), title);
        auto* s = new PageTitle(stage);
        s->setGeometry(title);
        s->SetText(QStringLiteral("Set time zone"));
    }
    sheet.NewRow();
    struct Variant
    {
        QString name;
        std::function<void(TextLabel&)> set;
    };
    const std::vector<Variant> variants {
        { QStringLiteral("preset (Tahoma/Arial 14 bold)"), [](TextLabel& s) { s.SetStyle(); } },
        { QStringLiteral("15 grey, right-aligned"),
            [](TextLabel& s) {
                s.SetFont(15, MakeRgb(0x63, 0x65, 0x66), false);
                s.setRightAlign(true);
            } },
        { QStringLiteral("centred, 14 blue"),
            [](TextLabel& s) {
                s.SetFont(14, MakeRgb(42, 169, 209), false);
                s.setCentre(true);
            } },
        { QStringLiteral("link"),
            [](TextLabel& s) {
                s.SetFont(14, MakeRgb(42, 169, 209), true);
                s.setLink(true);
            } },
        { QStringLiteral("second line"),
            [](TextLabel& s) {
                s.SetFont(14, MakeRgb(72, 72, 72), true);
                s.setSecondLine(true, QStringLiteral("192.168.1.100"));
            } },
        { QStringLiteral("version label 14 grey"),
            [](TextLabel& s) { s.SetFont(14, MakeRgb(181, 181, 181), false); } },
    };
    for (const Variant& v : variants) {
        const QRect box(10, 10, 260, 40);
        QWidget* stage = sheet.AddCell(
            QStringLiteral("TextLabel ") + v.name, box.size() + QSize(20, 20), kPageBitmap, QPoint(300, 300), box);
        auto* s = new TextLabel(stage);
        s->setGeometry(box);
        s->SetText(
            v.name.startsWith(QStringLiteral("version")) ? QString::fromLatin1(kProgramVersion) : QStringLiteral("Password"));
        v.set(*s);
    }
    sheet.NewRow();
    {
        QWidget* stage = sheet.AddCell(QStringLiteral("SmallLink"), QSize(280, 44), kPageBitmap);
        auto* s = new SmallLink(stage);
        s->setGeometry(10, 10, 260, 24);
        s->SetText(QStringLiteral("Forgot your password?"));
        s->MakeLink();
    }
    {
        QWidget* stage = sheet.AddCell(QStringLiteral("SmallLink, no link"), QSize(280, 44), kPageBitmap);
        auto* s = new SmallLink(stage);
        s->setGeometry(10, 10, 260, 24);
        s->SetText(QStringLiteral("Forgot your password?"));
    }
    SaveSheet(sheet, dir + QStringLiteral("/controls/statics.png"), failures);
}

void FlowingTexts(const QString& dir, QStringList& failures)
{
    Sheet sheet(QStringLiteral("Flowing texts"));
    const QString instructions = QStringLiteral("Select your NVR from the list, then click <br>\"Next\"</br>. If you "
                                                "have multiple NVRs, you can identify them by the MAC ID printed on "
                                                "the label on the bottom of the device.");
    const QRect wide(10, 10, 703, 57);
    {
        QWidget* stage = sheet.AddCell(QStringLiteral("MarkupText 14 grey with emphasis"),
            wide.size() + QSize(20, 20), kPageBitmap, QPoint(67, 112), wide);
        auto* t = new MarkupText(stage);
        t->setGeometry(wide);
        t->SetFont(14, 0xFF636566u);
        t->SetText(instructions);
    }
    sheet.NewRow();
    {
        QWidget* stage = sheet.AddCell(QStringLiteral("MarkupText boxed, indent 10, prefix"), QSize(420, 110));
        auto* t = new MarkupText(stage);
        t->setGeometry(10, 10, 400, 90);
        t->SetFont(13, 0xFF484848u);
        t->setIndent(10, 4);
        t->setPrefix(true, QStringLiteral("Important:"), 0xFFE5484Du);
        t->setBox(true, 0xFFF2F4F5u, 8);
        t->SetText(QStringLiteral("Formatting will permanently erase all data on the mounted hard drive(s)."));
    }
    {
        QWidget* stage = sheet.AddCell(QStringLiteral("MarkupText centred words"), QSize(320, 70));
        auto* t = new MarkupText(stage);
        t->setGeometry(10, 10, 300, 50);
        t->SetFont(14, 0xFF2AA9D1u);
        t->setCentreWords(true);
        t->SetText(QStringLiteral("Then, click <br>\"Next\"</br> to format all mounted hard drives."));
    }
    sheet.NewRow();
    {
        QWidget* stage = sheet.AddCell(QStringLiteral("WrappedText plain 14"), QSize(420, 80));
        auto* t = new WrappedText(stage);
        t->setGeometry(10, 10, 400, 60);
        t->SetFont(14, 0xFF484848u);
        t->SetText(QStringLiteral("You will need a router with one free Ethernet port, and up to two USB hard drives "
                                  "to continue the installation process."));
    }
    {
        QWidget* stage = sheet.AddCell(QStringLiteral("MarkupText charWrap (Chinese)"), QSize(320, 80));
        SetTextLanguage(5);
        auto* t = new MarkupText(stage);
        t->setGeometry(10, 10, 300, 60);
        t->SetFont(14, 0xFF636566u);
        t->setCharWrap(true);
        t->SetText(QStringLiteral("从列表中选择您的录像机，然后单击<br>“下一步”</"
                                  "br>。如果您有多台录像机，可以通过设备底部标签上印的MAC地址来区分它们。"));
        SetTextLanguage(0);
    }
    sheet.NewRow();
    {
        QWidget* stage = sheet.AddCell(QStringLiteral("ErrorLine boxed, one line"), QSize(620, 50));
        auto* t = new ErrorLine(stage);
        t->setGeometry(10, 10, 596, 30);
        t->SetFont(13, 0xFFFFFFFFu);
        t->setIndent(4, 6);
        t->setBox(true, 0xFFE5484Du, 4);
        t->SetText(QStringLiteral("Incorrect password. Please try again."));
    }
    {
        QWidget* stage = sheet.AddCell(QStringLiteral("ErrorLine red, wrapping"), QSize(420, 70));
        auto* t = new ErrorLine(stage);
        t->setGeometry(10, 10, 400, 50);
        t->SetFont(13, 0xFFFF0000u);
        t->SetText(QStringLiteral("Must be 6-31 characters, case-sensitive, no spaces. The passwords doesn't match. "
                                  "Please try again."));
    }
    SaveSheet(sheet, dir + QStringLiteral("/controls/flowing.png"), failures);
}

void Links(const QString& dir, QStringList& failures)
{
    Sheet sheet(QStringLiteral("Links: the icon opens an overlay"));
    {
        QWidget* stage = sheet.AddCell(
            QStringLiteral("HelpLink, icon after the text"), QSize(420, 50), kPageBitmap, QPoint(66, 400));
        auto* l = new HelpLink(stage);
        l->setGeometry(10, 10, 400, 30);
        l->SetFont(14, MakeRgb(42, 169, 209));
        l->SetText(QStringLiteral("Can not find your NVR"));
        l->SetIcon(4012);
    }
    {
        QWidget* stage
            = sheet.AddCell(QStringLiteral("HelpLink, two lines"), QSize(320, 70), kPageBitmap, QPoint(66, 400));
        auto* l = new HelpLink(stage);
        l->setGeometry(10, 10, 300, 50);
        l->SetFont(14, MakeRgb(72, 72, 72));
        l->SetText(QStringLiteral("After the LED on the top of the HXT-914Q turns blue, click \"Next\"."));
        l->SetIcon(4012);
    }
    sheet.NewRow();
    {
        QWidget* stage
            = sheet.AddCell(QStringLiteral("HelpLink, icon left"), QSize(420, 50), kPageBitmap, QPoint(66, 400));
        auto* l = new HelpLink(stage);
        l->setGeometry(10, 10, 400, 30);
        l->SetFont(14, MakeRgb(42, 169, 209));
        l->setIconLeft(true);
        l->SetText(QStringLiteral("How to install your network camera?"));
        l->SetIcon(4012);
    }
    {
        QWidget* stage
            = sheet.AddCell(QStringLiteral("FixedIconHelpLink, fixed icon"), QSize(420, 50), kPageBitmap, QPoint(66, 400));
        auto* l = new FixedIconHelpLink(stage);
        l->setGeometry(10, 10, 400, 30);
        l->SetFont(14, MakeRgb(72, 72, 72), true);
        l->SetText(QStringLiteral("How to reset your HXT-914Q"));
        l->setIconPos(260, 4);
        l->SetIcon(4012);
    }
    SaveSheet(sheet, dir + QStringLiteral("/controls/links.png"), failures);
}

void Pictures(const QString& dir, QStringList& failures)
{
    Sheet sheet(QStringLiteral("Pictures and shapes"), 1500);
    {
        QWidget* stage = sheet.AddCell(QStringLiteral("OverlayPictureButton 4084 on white"), QSize(46, 46));
        auto* b = new OverlayPictureButton(stage);
        b->setGeometry(10, 10, 26, 26);
        b->setBackground(MakeRgb(255, 255, 255));
        b->SetImage(4084);
    }
    {
        QWidget* stage = sheet.AddCell(QStringLiteral("PictureBox 3064, 26x26"), QSize(46, 46), kPageBitmap);
        auto* b = new PictureBox(stage);
        b->setGeometry(10, 10, 26, 26);
        b->SetImage(3064);
    }
    struct Round
    {
        QString name;
        Argb border;
        int radius;
        QString text;
    };
    for (const Round& r : { Round { QStringLiteral("RoundedFrame grey, r 3"), 0xFFC0C0C0u, 3, {} },
             Round { QStringLiteral("RoundedFrame red (at fault)"), 0xFFFF0000u, 3, {} },
             Round { QStringLiteral("RoundedFrame radius 0"), 0xFF000000u, 0, {} },
             Round { QStringLiteral("RoundedFrame with text"), 0xFFC0C0C0u, 3, QStringLiteral("(GMT+01:00) Lisbon") } }) {
        QWidget* stage = sheet.AddCell(r.name, QSize(240, 52), kPageBitmap, QPoint(210, 170));
        auto* b = new RoundedFrame(stage);
        b->setGeometry(10, 10, 220, 32);
        b->setBorder(r.border, 1);
        b->setRadius(r.radius);
        if (!r.text.isEmpty())
            b->SetText(QStringLiteral("Verdana"), r.text, 16, 0xFF636566u);
    }
    sheet.NewRow();
    for (int index = -1; index < 4; ++index) {
        QWidget* stage = sheet.AddCell(
            QStringLiteral("PictureSwitch index %1").arg(index), QSize(620, 170), 3005, QPoint(130, 170));
        auto* g = new PictureSwitch(stage);
        g->setGeometry(10, 10, 600, 150);
        g->setIndex(index);
    }
    SaveSheet(sheet, dir + QStringLiteral("/controls/pictures.png"), failures);

    // Every picture of the program in a PictureBox at its own size, on white and on the page background.
    Sheet art(QStringLiteral("PictureBox: every PNG picture at its own size"), 1800);
    const std::vector<int> ids { 3030, 3031, 3032, 3033, 3034, 3035, 3036, 3037, 3038, 3039, 3040, 3041, 3042, 3043,
        3044, 3045, 3046, 3047, 3049, 3050, 3052, 3053, 3054, 3055, 3056, 3057, 3058, 3059, 3060, 3061, 3062, 3063,
        3064, 4009, 4010, 4011, 4012, 4013, 4014, 4015, 4016, 4017, 4018, 4019, 4020, 4051, 4052, 4053, 4054, 4059,
        4060, 4061, 4062, 4063, 4064, 4065, 4066, 4067, 4068, 4069, 4070, 4071, 4072, 4073, 4074, 4075, 4076, 4077,
        4078, 4079, 4080, 4081, 4082, 4083, 4084 };
    for (const int id : ids) {
        const auto picture = LoadPngResource(id);
        const QSize size = picture ? picture->deviceIndependentSize().toSize() : QSize(20, 20);
        if (!picture)
            failures << QStringLiteral("PNG %1 does not load").arg(id);
        QWidget* stage = art.AddCell(QString::number(id), size + QSize(16, 16), kPageBitmap, QPoint(100, 200));
        auto* box = new PictureBox(stage);
        box->setGeometry(8, 8, size.width(), size.height());
        box->SetImage(id);
    }
    SaveSheet(art, dir + QStringLiteral("/controls/artwork.png"), failures);
}

void Loading(const QString& dir, QStringList& failures)
{
    Sheet sheet(QStringLiteral("BusyIndicator: the eight frames, and the waiting box spinner"));
    for (int frame = 0; frame < 8; ++frame) {
        QWidget* stage = sheet.AddCell(QStringLiteral("frame %1").arg(frame), QSize(600, 120));
        auto* l = new BusyIndicator(stage);
        l->setGeometry(0, 0, 600, 120);
        l->SetStyle(0xFF2AA9D1u);
        l->SetText(QStringLiteral("Searching device"));
        l->Layout();
        l->Start(72);
        for (int tick = 0; tick < frame; ++tick)
            l->Tick();
        l->Stop();
        if (frame % 2 == 1)
            sheet.NewRow();
    }
    sheet.NewRow();
    for (int frame = 0; frame < 7; ++frame) {
        QWidget* stage = sheet.AddCell(QStringLiteral("4060 + %1").arg(4061 + frame), QSize(76, 76));
        stage->setStyleSheet(QStringLiteral("background: black"));
        auto* back = new RoundedFrame(stage);
        back->setGeometry(0, 0, 76, 76);
        back->setFill(0xFF202020u);
        back->setBorder(0xFF202020u, 1);
        back->setRadius(15);
        auto* ring = new PictureBox(stage);
        ring->setGeometry(8, 8, 60, 60);
        ring->SetImage(4060);
        auto* arc = new PictureBox(stage);
        arc->setGeometry(8, 8, 60, 60);
        arc->SetImage(4061 + frame);
    }
    SaveSheet(sheet, dir + QStringLiteral("/controls/loading.png"), failures);
}

void Combo(const QString& dir, QStringList& failures)
{
    const QStringList languages { QStringLiteral("English"), QStringLiteral("Português"), QStringLiteral("Pyccкий"),
        QStringLiteral("Español"), QStringLiteral("繁體中文"), QStringLiteral("简体中文") };
    struct State
    {
        QString name;
        int current;
        bool open;
        int extra; // more items than the six languages
        int scroll;
    };
    const std::vector<State> states { { QStringLiteral("closed"), 0, false, 0, 0 },
        { QStringLiteral("open, current 0"), 0, true, 0, 0 }, { QStringLiteral("open, current 5"), 5, true, 0, 0 },
        { QStringLiteral("9 items, scrolled by 2"), 1, true, 3, 2 } };
    for (const State& s : states) {
        Sheet sheet(QStringLiteral("LanguageCombo ") + s.name, 600);
        QWidget* stage = sheet.AddCell(s.name, QSize(300, 420), 3000, QPoint(50, 100));
        auto* combo = new LanguageCombo(stage);
        combo->SetStyle();
        combo->setGeometry(40, s.current >= 3 ? 360 : 200, 220, 36);
        for (const QString& l : languages)
            combo->AddItem(l);
        for (int i = 0; i < s.extra; ++i)
            combo->AddItem(QStringLiteral("Item %1").arg(7 + i));
        combo->SetCurrent(s.current);
        sheet.Render();
        if (s.open) {
            combo->OpenList();
            for (int i = 0; i < s.scroll; ++i) {
                // Down arrow of the list.
                QWidget* list = combo->list();
                const QPoint at(list->width() / 2, list->height() - 10);
                QMouseEvent press(QEvent::MouseButtonPress, at, list->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
                QCoreApplication::sendEvent(list, &press);
            }
        }
        QString file = s.name;
        file.replace(QRegularExpression(QStringLiteral("[^a-z0-9]+")), QStringLiteral("-"));
        SaveSheet(sheet, dir + QStringLiteral("/controls/combo-%1.png").arg(file), failures);
    }
}

void ScrollBar(const QString& dir, QStringList& failures)
{
    Sheet sheet(QStringLiteral("SlimScrollBar beside a list (header 3052, top band 3053)"), 1600);
    struct State
    {
        QString name;
        int rows;
        int position;
    };
    for (const State& s :
        { State { QStringLiteral("rows fit: no thumb"), 5, 0 }, State { QStringLiteral("top"), 30, 0 },
            State { QStringLiteral("middle"), 30, 8 }, State { QStringLiteral("end"), 30, 20 } }) {
        QWidget* stage = sheet.AddCell(s.name, QSize(320, 240));
        auto* header = new PictureBox(stage);
        header->setGeometry(10, 10, 286, 31);
        header->SetImage(3052);
        auto* list = new QListWidget(stage);
        list->setFrameShape(QFrame::NoFrame);
        list->setUniformItemSizes(true);
        list->setGeometry(10, 42, 286, 188);
        for (int i = 0; i < s.rows; ++i) {
            auto* item = new QListWidgetItem(QStringLiteral("  HXT-914Q    192.168.1.%1").arg(100 + i), list);
            item->setSizeHint(QSize(200, 20));
        }
        auto* bar = new SlimScrollBar(stage);
        bar->setGeometry(296, 10, 14, 220);
        bar->Attach(list);
        bar->SetImage(3053);
        sheet.Render();
        bar->FitThumb();
        list->verticalScrollBar()->setValue(s.position);
        bar->Update();
    }
    SaveSheet(sheet, dir + QStringLiteral("/controls/scrollbar.png"), failures);
}

void Indicator(const QString& dir, QStringList& failures)
{
    Sheet sheet(QStringLiteral("ProgressDots: 11 dots, radius 6, gap 6"));
    for (const int filled : { 0, 1, 5, 9, 11 }) {
        QWidget* stage
            = sheet.AddCell(QStringLiteral("filled %1").arg(filled), QSize(220, 50), kPageBitmap, QPoint(594, 73));
        auto* p = new ProgressDots(stage);
        p->setGeometry(10, 10, 200, 30);
        p->setTotal(11);
        p->setRadius(6);
        p->setGap(6);
        p->setFilled(filled);
        sheet.NewRow();
    }
    SaveSheet(sheet, dir + QStringLiteral("/controls/indicator.png"), failures);
}

void Entries(const QString& dir, QStringList& failures)
{
    Sheet sheet(QStringLiteral("PlainLineEdit in its RoundedFrame frame"));
    struct State
    {
        QString name;
        bool password;
        bool fault;
        bool disabled;
        QString text;
    };
    for (const State& s : { State { QStringLiteral("password, masked"), true, false, false, QStringLiteral("abc123") },
             State { QStringLiteral("password at fault"), true, true, false, QStringLiteral("abc") },
             State { QStringLiteral("disabled user"), false, false, true, QStringLiteral("admin") },
             State { QStringLiteral("e-mail"), false, false, false, QStringLiteral("someone@example.com") } }) {
        QWidget* stage = sheet.AddCell(s.name, QSize(234, 52), kPageBitmap, QPoint(340, 237));
        auto* frame = new RoundedFrame(stage);
        frame->setGeometry(10, 10, 214, 32);
        frame->setBorder(s.fault ? 0xFFFF0000u : 0xFFC0C0C0u, 1);
        frame->setRadius(3);
        auto* edit = new PlainLineEdit(stage);
        edit->setGeometry(20, 17, 200, 23);
        edit->SetFont(15);
        edit->setPasswordMode(s.password);
        edit->setText(s.text);
        edit->setEnabled(!s.disabled);
    }
    SaveSheet(sheet, dir + QStringLiteral("/controls/entries.png"), failures);
}

} // namespace

void ControlSheets::Render(const QString& dir, QStringList& failures)
{
    Buttons(dir, failures);
    TextStatics(dir, failures);
    FlowingTexts(dir, failures);
    Links(dir, failures);
    Pictures(dir, failures);
    Loading(dir, failures);
    Combo(dir, failures);
    ScrollBar(dir, failures);
    Indicator(dir, failures);
    Entries(dir, failures);
}
