#include "TextSheets.h"

#include "GlyphCheck.h"
#include "Sheet.h"
#include "i18n/LanguageTable.h"
#include "i18n/Localization.h"
#include "ui/WrappedText.h"
#include "ui/MarkupText.h"
#include "ui/LanguageDropDown.h"
#include "ui/ErrorLine.h"
#include "ui/IconCaptionButton.h"
#include "ui/PictureBox.h"
#include "ui/HelpLink.h"
#include "ui/BusyIndicator.h"
#include "ui/PictureButton.h"
#include "ui/LayeredPictureButton.h"
#include "ui/LanguageCombo.h"
#include "ui/TextLabel.h"
#include "ui/ProgressDots.h"
#include "ui/Drawing.h"
#include "platform/ProgramVersion.h"

#include <QFontMetrics>
#include <QRegularExpression>
#include <cmath>

namespace {

enum class Kind {
    Title, // TextLabel, title preset, 32 blue
    Static, // TextLabel with SetFont
    Flow2, // MarkupText (emphasis markup)
    Flow, // WrappedText
    Error, // ErrorLine
    PageButtons, // NEXT and BACK, each (w + 40) x 43, w the wider caption
    Button, // PictureButton of the box's size
    WideButton, // LayeredPictureButton of the box's size
    IconButton, // IconCaptionButton, caption width + 41 by 30
    Link, // HelpLink with the question-mark icon
    Loading, // BusyIndicator
};

// One text of a page. The box is where the page puts the control (page or overlay pixels); with `fits`, the box
// is one the pages size, and the text must fit in it.
struct TextCase
{
    const char* name;
    const char* key;
    const char* fallback;
    Kind kind;
    QRect box;
    int size = 14;
    uint32_t colour = 0xFF636566u; // ARGB
    bool bold = false;
    bool fits = true;
    const char* before = "";
    const char* after = "";
    bool rightAlign = false;
    int bitmap = 3001;
};

// clang-format off
const std::vector<TextCase> kCases {
    { "Title: search", "nvrsearch_01", "Select your NVR device", Kind::Title, { 72, 68, 606, 38 }, 32 },
    { "Title: password", "nvrpwd_01", "Secure your NVR", Kind::Title, { 72, 68, 606, 38 }, 32 },
    { "Title: time zone", "SetupTimeZone_title", "Set time zone", Kind::Title, { 72, 68, 606, 38 }, 32 },
    { "Title: disks", "hddformat_01", "Setup HDD for NVR", Kind::Title, { 74, 68, 530, 40 }, 32, 0, false, true, "", "", false, 3005 },
    { "Title: cameras", "camsearch_01", "Add your cameras", Kind::Title, { 72, 68, 606, 38 }, 32 },
    { "Title: cloud", "veskor_01", "Quelmo Service", Kind::Title, { 72, 68, 606, 38 }, 32 },
    { "Title: summary", "Summary_01", "Summary", Kind::Title, { 72, 68, 606, 38 }, 32 },
    { "Title: requirements", "home_04", "Requirements", Kind::Title, { 72, 68, 606, 38 }, 32, 0, false, true, "", "", false, 3008 },
    { "Title: cabling", "intro_01", "Connect your device", Kind::Title, { 72, 68, 606, 38 }, 32, 0, false, true, "", "", false, 3002 },
    { "NEXT and BACK", "Next", "NEXT", Kind::PageButtons, { 0, 536, 860, 43 } },
    { "Search: instructions", "nvrsearch_02", "Select your NVR from the list, then click <br>\"Next\"</br>.", Kind::Flow2, { 77, 122, 703, 57 }, 14 },
    { "Search: Rescan", "Rescan", "Rescan", Kind::IconButton, { 600, 200, 182, 30 }, 13 },
    { "Search: no device", "No device found!", "No device found!", Kind::Static, { 130, 300, 600, 30 }, 14, 0xFF2AA9D1u },
    { "Search: animation", "Searching device", "Searching device", Kind::Loading, { 130, 240, 600, 120 }, 16, 0xFF2AA9D1u },
    { "Search: not-found link", "nvrsearch_06", "Can not find your NVR", Kind::Link, { 76, 450, 700, 30 }, 14, 0xFF2AA9D1u, false, false },
    { "Password: subtitle (create)", "nvrpwd_02", "Create and confirm a password for your device", Kind::Static, { 77, 122, 703, 30 }, 14 },
    { "Password: subtitle (log in)", "nvrpwd_08", "Please enter the password for your device.", Kind::Static, { 77, 122, 703, 30 }, 14 },
    { "Password: label", "Password", "Password", Kind::Static, { 10, 255, 325, 32 }, 15, 0xFF636566u, false, true, "", "", true },
    { "Password: confirm label", "Confirm Password", "Confirm Password", Kind::Static, { 10, 324, 325, 32 }, 15, 0xFF636566u, false, true, "", "", true },
    { "Password: user label", "Admin", "Admin", Kind::Static, { 10, 280, 325, 32 }, 15, 0xFF636566u, false, true, "", "", true },
    { "Password: rule hint", "nvrpwd_09", "6-31 characters, case-sensitive, no spaces", Kind::Static, { 350, 283, 450, 20 }, 13 },
    { "Password: mismatch", "nvrpwd_03", "The passwords doesn't match. Please try again.", Kind::Error, { 350, 379, 428, 40 }, 13, 0xFFFF0000u },
    { "Password: rule", "nvrpwd_04", "Must be 6-31 characters, case-sensitive, no spaces.", Kind::Error, { 350, 379, 428, 40 }, 13, 0xFFFF0000u },
    { "Password: wrong", "nvrpwd_05", "Incorrect password. Please try again.", Kind::Error, { 350, 379, 428, 40 }, 13, 0xFFFF0000u },
    { "Password: not set", "nvrpwd_06", "Failed to set account password", Kind::Error, { 350, 379, 428, 40 }, 13, 0xFFFF0000u },
    { "Time zone: label", "SetupTimeZone_01", "Time zone:", Kind::Static, { 60, 184, 140, 32 }, 15, 0xFF636566u },
    { "Time zone: error (visible part)", "SetupTimeZone_error", "Failed to set time zone", Kind::Error, { 182, 258, 678, 32 }, 14, 0xFFFF0000u },
    { "Disks: Back", "Back", "BACK", Kind::Button, { 100, 536, 118, 43 }, 14, 0, false, false, "<   ", "", false, 3005 },
    { "Disks: Skip", "Skip", "Skip", Kind::Button, { 371, 536, 118, 43 }, 14, 0, false, true, "", "", false, 3005 },
    { "Camera password: title", "camsearch_05", "Please enter the password for the camera [Camera Name]", Kind::Static, { 48, 50, 409, 50 }, 14, 0xFF484848u, false, true, "", "", false, 0 },
    { "Camera password: label", "Password", "Password", Kind::Static, { 0, 125, 165, 55 }, 14, 0xFF484848u, true, true, "", ":", true, 0 },
    { "Camera password: new", "New Password", "New Password", Kind::Static, { 0, 110, 215, 60 }, 12, 0xFF484848u, true, true, "", ":", true, 0 },
    { "Camera password: confirm", "Confirm New Password", "Confirm Password", Kind::Static, { 0, 150, 215, 60 }, 12, 0xFF484848u, true, true, "", ":", true, 0 },
    { "Overlay: OK", "OK", "OK", Kind::Button, { 191, 207, 118, 43 }, 14, 0, false, true, "", "", false, 0 },
    { "Overlay: CANCEL", "_CANCEL", "CANCEL", Kind::Button, { 0, 0, 118, 43 }, 14, 0, false, true, "", "", false, 0 },
    { "Overlay: Close", "Close", "Close", Kind::Button, { 0, 0, 118, 43 }, 14, 0, false, true, "", "", false, 0 },
    { "Overlay: RETRY", "RETRY", "RETRY", Kind::Button, { 0, 0, 118, 43 }, 14, 0, false, true, "", "", false, 0 },
    { "Overlay: SKIP", "_SKIP", "SKIP", Kind::Button, { 0, 0, 118, 43 }, 14, 0, false, true, "", "", false, 0 },
    { "Overlay: RESET", "RESET", "RESET", Kind::Button, { 0, 0, 118, 43 }, 14, 0, false, true, "", "", false, 0 },
    { "Alert 440x240: title", "hddformat_04", "Important Alert", Kind::Static, { 20, 20, 400, 30 }, 18, 0xFF2B3640u, true, true, "", "", false, 0 },
    { "Alert 440x240: no disk", "hddformat_07", "Your hard drive can not be found.", Kind::Flow, { 20, 60, 400, 110 }, 14, 0xFF484848u, false, true, "", "", false, 0 },
    { "Alert 440x240: format", "hddformat_05", "Formatting will permanently erase all data on your hard drive(s)", Kind::Flow, { 20, 60, 400, 110 }, 14, 0xFF484848u, false, true, "", "", false, 0 },
    { "Not found 600x380: title", "nvrsearch_06", "Can not find your NVR", Kind::Static, { 20, 20, 540, 30 }, 18, 0xFF2AA9D1u, true, true, "", "", false, 0 },
    { "Not found 600x380: text", "nvrsearch_07", "Please make sure the Ethernet cable is connected.", Kind::Flow, { 20, 52, 560, 66 }, 14, 0xFF484848u, false, true, "", "", false, 0 },
    { "Home: welcome", "home_01", "Welcome to the Veskor NVR(HXT-914Q) Setup Wizard.", Kind::Flow, { 60, 110, 390, 120 }, 16, 0xFF484848u, false, false, "", "", false, 3000 },
    { "Home: language label", "home_02", "Select your Language:", Kind::Static, { 60, 250, 390, 30 }, 16, 0xFF2AA9D1u, true, false, "", "", false, 3000 },
    { "Home: note", "home_03", "Note: Ensure that cameras have been installed on the network.", Kind::Flow, { 60, 380, 390, 80 }, 13, 0xFF636566u, false, false, "", "", false, 3000 },
    { "Home: START", "START", "START", Kind::WideButton, { 60, 470, 416, 45 }, 16, 0, false, true, "", "", false, 3000 },
    { "Requirements: body", "home_05", "You will need a router with one free Ethernet port.", Kind::Flow, { 77, 122, 703, 50 }, 14, 0xFF484848u, false, false, "", "", false, 3008 },
    { "Cabling 1: body", "intro_02", "Connect your HXT-914Q power adapter to a power outlet.", Kind::Flow, { 77, 122, 703, 50 }, 14, 0xFF484848u, false, false, "", "", false, 3002 },
    { "Cabling 2: body", "intro_03", "Connect the ethernet cable to your HXT-914Q and router's LAN port.", Kind::Flow, { 77, 122, 703, 50 }, 14, 0xFF484848u, false, false, "", "", false, 3003 },
    { "Cabling 3: link", "intro_04", "After the LED on the top of the HXT-914Q turns blue, click \"Next\".", Kind::Link, { 77, 122, 703, 50 }, 14, 0xFF484848u, false, false, "", "", false, 3004 },
    { "Disks: instructions", "hddformat_02", "Please connect up to two hard drives to the USB ports.", Kind::Flow, { 77, 122, 703, 50 }, 14, 0xFF636566u, false, false, "", "", false, 3005 },
    { "Disks: important", "hddformat_13", "Important: Formatting will permanently erase all data.", Kind::Flow2, { 77, 440, 703, 60 }, 14, 0xFF636566u, false, false, "", "", false, 3005 },
    { "Cameras: instructions", "camsearch_02", "The setup wizard can automatically detect compatible cameras.", Kind::Flow, { 77, 122, 703, 50 }, 14, 0xFF636566u, false, false },
    { "Cloud: sign in", "veskor_02", "I already have a Quelmo account.", Kind::Static, { 110, 190, 600, 30 }, 15, 0xFF484848u, false, false },
    { "Cloud: decline", "veskor_04", "I don't want to use Quelmo service.", Kind::Flow, { 110, 270, 650, 50 }, 15, 0xFF484848u, false, false },
    { "Summary: text", "Summary_02", "Your NVR now is ready to go!", Kind::Flow2, { 77, 122, 703, 60 }, 14, 0xFF636566u, false, false },
    { "Search: note on a marked row", "nvrsearch_note_outside", "! The address is outside every network of this PC.", Kind::Flow, { 80, 389, 688, 28 }, 12, 0xFF6E6E6Eu },
    { "Search: note on a repeated row", "nvrsearch_note_repeated", "An NVR listed twice answered on two interfaces.", Kind::Flow, { 80, 389, 688, 28 }, 12, 0xFF6E6E6Eu },
    { "Password: switch to log in", "nvrpwd_switch_login", "This NVR already has a password? Log in with it.", Kind::Static, { 350, 428, 428, 22 }, 13, 0xFF2AA9D1u },
    { "Password: switch to create", "nvrpwd_switch_create", "This NVR has no password yet? Create one instead.", Kind::Static, { 350, 428, 428, 22 }, 13, 0xFF2AA9D1u },
    { "Cameras: four chosen", "camsearch_full", "{0} of {1} cameras chosen: uncheck one to choose another.", Kind::Static, { 80, 395, 688, 20 }, 12, 0xFF6E6E6Eu },
    { "Cameras: search unanswered", "camsearch_no_answer", "The NVR did not answer the search for cameras.", Kind::Static, { 80, 272, 688, 30 }, 14, 0xFF2AA9D1u },
    { "Cameras: list unreadable", "camsearch_unreadable", "The NVR's list of cameras could not be read.", Kind::Static, { 80, 272, 688, 30 }, 14, 0xFF2AA9D1u },
    { "Cameras: search again", "camsearch_again", "Search again", Kind::Static, { 330, 310, 200, 22 }, 13, 0xFF2AA9D1u },
    { "Preview: connecting", "preview_connecting", "Connecting...", Kind::Static, { 0, 0, 320, 170 }, 14, 0xFFD0D0D0u, false, true, "", "", false, 0 },
    { "Search: left out", "nvrsearch_cap", "More devices answered than one search can list: only the first {0} answers are shown.", Kind::Static, { 80, 420, 688, 20 }, 12, 0xFFC62F35u, false, true, "", "", false, 3001 },
    { "Cloud: portal host", "veskor_host_04", "Quelmo portal: {0}", Kind::Static, { 80, 484, 700, 18 }, 12, 0xFF6E6E6Eu, false, true },
    { "Portal host 440x260: title", "veskor_host_01", "Unknown portal", Kind::Static, { 80, 24, 330, 40 }, 20, 0xFFE24C3Cu, true, true, "", "", false, 0 },
    { "Portal host 440x260: text", "veskor_host_02", "The NVR names {0} as its Quelmo portal.", Kind::Flow, { 30, 72, 380, 102 }, 14, 0xFF484848u, false, true, "", "", false, 0 },
    { "Overlay: SEND", "veskor_host_03", "SEND", Kind::Button, { 0, 0, 118, 43 }, 14, 0, false, true, "", "", false, 0 },
};
// clang-format on

constexpr int kIndicatorLeft = 604;
constexpr int kIndicatorGap = 8;

QString Plain(const QString& text)
{
    QString plain = text;
    plain.remove(QStringLiteral("</br>"));
    plain.remove(QStringLiteral("<br>"));
    return plain;
}

QString Lookup(const char* key, const char* fallback)
{
    return QString::fromStdString(Text(key, fallback));
}

struct Checker
{
    QString language;
    QString caseName;
    QStringList& failures;

    void glyphs(const QString& text, const QFont& font)
    {
        const auto missing = GlyphCheck::Missing(Plain(text), font);
        if (!missing.empty())
            failures << QStringLiteral("%1 / %2: no glyph in %3 for %4")
                            .arg(language, caseName, font.families().join(QLatin1Char(',')),
                                GlyphCheck::Describe(missing));
    }

    void fits(bool ok, const QString& what)
    {
        if (!ok)
            failures << QStringLiteral("%1 / %2: %3").arg(language, caseName, what);
    }
};

void CheckFlow(FlowingText& text, const TextCase& c, Checker& check)
{
    const int needed = text.MeasureHeight();
    check.fits(
        needed <= c.box.height(), QStringLiteral("needs %1 px, the box is %2 px high").arg(needed).arg(c.box.height()));
    const FlowLayout layout = text.LayoutWords(true);
    for (const FlowPlacement& word : layout.words) {
        if (word.rect.right() > layout.area.right()) {
            check.fits(false, QStringLiteral("the word \"%1\" is wider than the box").arg(word.text));
            break;
        }
    }
}

void Place(const TextCase& c, QWidget* stage, QPoint at, Checker& check, int language)
{
    const QString text = QString::fromUtf8(c.before) + Lookup(c.key, c.fallback) + QString::fromUtf8(c.after);
    const QRect geometry(at, c.box.size());
    const bool chinese = language >= 4;
    switch (c.kind) {
    case Kind::Title:
    case Kind::Static: {
        auto* s = new TextLabel(stage);
        s->setGeometry(geometry);
        if (c.kind == Kind::Title) {
            s->SetTitleStyle();
            s->SetFont(32, MakeRgb(42, 169, 209), false);
        } else {
            s->SetFont(c.size, RgbFromArgb(c.colour), c.bold);
            s->setRightAlign(c.rightAlign);
        }
        s->SetText(text);
        check.glyphs(text, s->DrawingFont());
        if (c.fits) {
            const QSize needed = MeasureTextBlock(s->DrawingFont(), text, Qt::TextWordWrap, c.box.width()).toSize();
            check.fits(needed.width() <= c.box.width() && needed.height() <= c.box.height(),
                QStringLiteral("needs %1x%2 px, the box is %3x%4")
                    .arg(needed.width())
                    .arg(needed.height())
                    .arg(c.box.width())
                    .arg(c.box.height()));
            // Titles share their row with the progress dots, which start at x 604.
            const int room = kIndicatorLeft - kIndicatorGap - c.box.left();
            if (c.kind == Kind::Title)
                check.fits(needed.width() <= room,
                    QStringLiteral("title is %1 px wide and runs into the progress dots (%2 px free)")
                        .arg(needed.width())
                        .arg(room));
        }
        break;
    }
    case Kind::Flow2:
    case Kind::Flow:
    case Kind::Error: {
        FlowingText* f = c.kind == Kind::Flow2 ? static_cast<FlowingText*>(new MarkupText(stage))
            : c.kind == Kind::Flow             ? static_cast<FlowingText*>(new WrappedText(stage))
                                               : static_cast<FlowingText*>(new ErrorLine(stage));
        f->setGeometry(geometry);
        f->SetFont(c.size, c.colour);
        f->setCharWrap(chinese);
        f->SetText(text);
        check.glyphs(text, MakeFont(ChooseFontFamily(QStringLiteral("Verdana")), c.size, true));
        if (c.fits)
            CheckFlow(*f, c, check);
        break;
    }
    case Kind::PageButtons: {
        const QString next = Lookup("Next", "NEXT") + QStringLiteral("   >");
        const QString back = QStringLiteral("<   ") + Lookup("Back", "BACK");
        PictureButton probe;
        probe.setText(next);
        int w = probe.CaptionWidth();
        probe.setText(back);
        w = std::max(w, probe.CaptionWidth());
        const QRect backRect(370 - w, at.y(), w + 40, 43);
        const QRect nextRect(448, at.y(), w + 40, 43);
        for (const auto& [caption, r] : { std::pair { back, backRect }, std::pair { next, nextRect } }) {
            auto* b = new PictureButton(stage);
            b->setGeometry(r);
            const std::array<int, 4> images { 3045, 3042, 3044, 3043 };
            for (int slot = 0; slot < 4; ++slot)
                b->SetImage(slot, images[static_cast<size_t>(slot)]);
            b->setText(caption);
            check.glyphs(caption, MakeFont(ChooseFontFamily(QStringLiteral("Verdana")), b->CaptionSize(), true));
        }
        check.fits(backRect.left() >= 0 && nextRect.right() < 860,
            QStringLiteral("the buttons are %1 px wide and leave the page").arg(w + 40));
        break;
    }
    case Kind::Button:
    case Kind::WideButton: {
        PictureButton* b = c.kind == Kind::WideButton ? new LayeredPictureButton(stage) : new PictureButton(stage);
        b->setGeometry(geometry);
        const std::array<int, 4> images = c.kind == Kind::WideButton ? std::array<int, 4> { 3033, 3030, 3032, 3031 }
                                                                     : std::array<int, 4> { 3045, 3042, 3044, 3043 };
        for (int slot = 0; slot < 4; ++slot)
            b->SetImage(slot, images[static_cast<size_t>(slot)]);
        b->setText(text);
        check.glyphs(text, MakeFont(ChooseFontFamily(QStringLiteral("Verdana")), b->CaptionSize(), true));
        if (c.fits)
            // Between the button picture's rounded corners (radius 6).
            check.fits(b->CaptionWidth() + 12 <= c.box.width(),
                QStringLiteral("caption %1 px wide in a %2 px button").arg(b->CaptionWidth()).arg(c.box.width()));
        break;
    }
    case Kind::IconButton: {
        auto* b = new IconCaptionButton(stage);
        b->setText(text);
        const int w = b->CaptionWidth() + 41;
        b->setGeometry(at.x() + c.box.width() - w, at.y(), w, 30);
        const std::array<int, 4> images { 4018, 4015, 4017, 4016 };
        for (int slot = 0; slot < 4; ++slot)
            b->SetImage(slot, images[static_cast<size_t>(slot)]);
        b->SetIcon(3055);
        check.glyphs(text, MakeFont(ChooseFontFamily(QStringLiteral("Verdana")), 13, true));
        check.fits(w <= c.box.width(), QStringLiteral("Rescan is %1 px wide").arg(w));
        break;
    }
    case Kind::Link: {
        auto* l = new HelpLink(stage);
        l->setGeometry(geometry);
        l->SetFont(c.size, RgbFromArgb(c.colour));
        l->SetText(text);
        l->SetIcon(4012);
        check.glyphs(text, MakeFont(ChooseFontFamily(QStringLiteral("Verdana")), c.size, false));
        check.fits(
            l->linkRect().right() < c.box.width() + 20 || !c.fits, QStringLiteral("the link icon leaves the box"));
        break;
    }
    case Kind::Loading: {
        auto* l = new BusyIndicator(stage);
        l->setGeometry(geometry);
        l->SetStyle(c.colour);
        l->SetText(text);
        l->Layout();
        l->Start(72);
        for (int i = 0; i < 3; ++i)
            l->Tick();
        l->Stop();
        check.glyphs(text, MakeFont(ChooseFontFamily(QStringLiteral("Verdana")), 16, false));
        check.fits(l->textRect().left() >= 0 && l->frameRect().right() < c.box.width(),
            QStringLiteral("text and spinner do not fit %1 px").arg(c.box.width()));
        break;
    }
    }
}

// The recorder search page as the user sees it: the frame every page shares and the search page's texts.
void SearchPage(Sheet& sheet, int language, Checker& check)
{
    QWidget* page = sheet.AddCell(QStringLiteral("Page: recorder search (frame and texts)"), QSize(860, 640), 3001);
    const auto button = [page](QRect r, std::array<int, 4> images, const QString& caption) {
        auto* b = new PictureButton(page);
        b->setGeometry(r);
        for (int slot = 0; slot < 4; ++slot)
            b->SetImage(slot, images[static_cast<size_t>(slot)]);
        b->setText(caption);
        return b;
    };
    button(QRect(823, 0, 37, 29), { 3041, 3038, 3040, 3039 }, {});
    button(QRect(786, 0, 37, 29), { 3037, 3034, 3036, 3035 }, {});
    auto* title = new TextLabel(page);
    title->setGeometry(72, 68, 606, 38);
    title->SetTitleStyle();
    title->SetFont(32, MakeRgb(42, 169, 209), false);
    title->SetText(Lookup("nvrsearch_01", "Select your NVR device"));
    auto* dots = new ProgressDots(page);
    dots->setGeometry(604, 83, 200, 30);
    dots->setTotal(11);
    dots->setRadius(6);
    dots->setGap(6);
    dots->setFilled(5);
    auto* instructions = new MarkupText(page);
    instructions->setGeometry(77, 122, 703, 57);
    instructions->SetFont(14, 0xFF636566u);
    instructions->setCharWrap(language >= 4);
    instructions->SetText(Lookup("nvrsearch_02", "Select your NVR from the list, then click <br>\"Next\"</br>."));
    const int h = instructions->MeasureHeight();
    auto* rescan = new IconCaptionButton(page);
    rescan->setText(Lookup("Rescan", "Rescan"));
    const int rescanWidth = rescan->CaptionWidth() + 41;
    rescan->setGeometry(782 - rescanWidth, h + 133, rescanWidth, 30);
    for (int slot = 0; slot < 4; ++slot)
        rescan->SetImage(slot, std::array<int, 4> { 4018, 4015, 4017, 4016 }[static_cast<size_t>(slot)]);
    rescan->SetIcon(3055);
    auto* header = new PictureBox(page);
    header->setGeometry(80, h + 168, 688, 31);
    header->SetImage(3052);
    auto* band = new PictureBox(page);
    band->setGeometry(768, h + 168, 14, 31);
    band->SetImage(3053);
    auto* loading = new BusyIndicator(page);
    loading->setGeometry(130, h + 168 + 110 - 60, 600, 120);
    loading->SetStyle(0xFF2AA9D1u);
    loading->SetText(Lookup("Searching device", "Searching device"));
    loading->Layout();
    auto* link = new HelpLink(page);
    link->setGeometry(76, h + 418, 600, 30);
    link->SetFont(14, MakeRgb(42, 169, 209));
    link->SetText(Lookup("nvrsearch_06", "Can not find your NVR"));
    link->SetIcon(4012);
    const QString next = Lookup("Next", "NEXT") + QStringLiteral("   >");
    const QString back = QStringLiteral("<   ") + Lookup("Back", "BACK");
    PictureButton probe;
    probe.setText(next);
    int w = probe.CaptionWidth();
    probe.setText(back);
    w = std::max(w, probe.CaptionWidth());
    button(QRect(370 - w, 536, w + 40, 43), { 3045, 3042, 3044, 3043 }, back);
    button(QRect(448, 536, w + 40, 43), { 3045, 3042, 3044, 3043 }, next)->setDisabledLook(true);
    auto* version = new TextLabel(page);
    version->setGeometry(770, 600, 90, 60);
    version->SetFont(14, MakeRgb(181, 181, 181), false);
    version->SetText(QString::fromLatin1(kProgramVersion));
    check.caseName = QStringLiteral("search page");
    check.fits(h + 418 + 30 <= 536, QStringLiteral("the not-found link reaches the buttons"));
}

void LanguageComboSheet(Sheet& sheet, int language, Checker& check)
{
    QWidget* stage
        = sheet.AddCell(QStringLiteral("Home: language list (open)"), QSize(300, 300), 3000, QPoint(50, 150));
    auto* combo = new LanguageCombo(stage);
    combo->SetStyle();
    combo->setGeometry(40, 36 * language + 30, 220, 36); // the open list stays on the stage
    for (int i = 0; i < LanguageTable::kCount; ++i) {
        const QString label = QString::fromUtf8(LanguageTable::Entry(i).label);
        combo->AddItem(label);
        check.caseName = QStringLiteral("language list");
        check.glyphs(label, MakeFont(combo->fontFamily(), combo->fontSize(), false));
    }
    combo->SetCurrent(language);
    sheet.Render();
    combo->OpenList();
}

} // namespace

void TextSheets::Render(const QString& dir, QStringList& failures)
{
    for (int language = 0; language < LanguageTable::kCount; ++language) {
        const LanguageEntry& entry = LanguageTable::Entry(language);
        if (!InstallPack(language)) {
            qWarning("gallery: no pack for %s, skipped", entry.packFile);
            continue;
        }
        SelectLanguage(language);
        SetTextLanguage(language);
        QString name = QString::fromUtf8(entry.packFile);
        name.chop(4);
        Sheet sheet(
            QStringLiteral("%1 (%2): the pages' texts in their boxes").arg(name, QString::fromUtf8(entry.label)), 1500);
        Checker check { name, QString(), failures };
        SearchPage(sheet, language, check);
        sheet.NewRow();
        for (const TextCase& c : kCases) {
            check.caseName = QString::fromUtf8(c.name);
            QSize stageSize = c.box.size() + QSize(20, 20);
            QPoint origin = c.box.topLeft() - QPoint(10, 10);
            QRect box(QPoint(10, 10), c.box.size());
            if (c.kind == Kind::PageButtons) {
                stageSize = QSize(860, 63);
                origin = QPoint(0, c.box.top() - 10);
                box = QRect();
            }
            const QString label = check.caseName + (c.fits ? QString() : QStringLiteral(" (box not sized)"));
            QWidget* stage = sheet.AddCell(label, stageSize, c.bitmap, origin, box);
            Place(c, stage, c.kind == Kind::PageButtons ? QPoint(0, 10) : QPoint(10, 10), check, language);
        }
        sheet.NewRow();
        LanguageComboSheet(sheet, language, check);
        const QString path = dir + QStringLiteral("/text/%1-%2.png").arg(language).arg(name);
        if (!sheet.Save(path))
            failures << QStringLiteral("cannot write %1").arg(path);
    }
    SelectLanguage(0);
    SetTextLanguage(0);
}
