#include "ui/AccessibleControls.h"

#include "ui/ButtonAccess.h"
#include "ui/ComboAccess.h"
#include "ui/ControlAccess.h"
#include "ui/EditAccess.h"
#include "ui/FlowingText.h"
#include "ui/HelpLink.h"
#include "ui/LanguageCombo.h"
#include "ui/LanguageDropDown.h"
#include "ui/ListAccess.h"
#include "ui/OneLineText.h"
#include "ui/OverlayAccess.h"
#include "ui/PictureButton.h"
#include "ui/ProgressAccess.h"
#include "ui/RoundedFrame.h"
#include "ui/TextAccess.h"

#include <QLineEdit>
#include <QPointer>
#include <QVariant>
#include <QWidget>

namespace {

constexpr const char* kKeyProperty = "hxtAccessibleKey";
constexpr const char* kFallbackProperty = "hxtAccessibleFallback";
constexpr const char* kLabelProperty = "hxtAccessibleLabel";

InputGate& Gate()
{
    static InputGate gate = nullptr;
    return gate;
}

// A button caption without the arrows that decorate NEXT and BACK.
QString CaptionName(QString caption)
{
    caption = caption.trimmed();
    if (caption.startsWith(QLatin1Char('<')))
        caption = caption.mid(1).trimmed();
    if (caption.endsWith(QLatin1Char('>')))
        caption = caption.chopped(1).trimmed();
    return caption;
}

// A flowing text without its emphasis markup.
QString PlainText(QString text)
{
    text.replace(QStringLiteral("</br>"), QStringLiteral(" "));
    text.replace(QStringLiteral("<br>"), QStringLiteral(" "));
    return text.simplified();
}

// Every family's interfaces in turn; the first that knows the control makes its interface.
QAccessibleInterface* MakeInterface(const QString&, QObject* object)
{
    if (object == nullptr || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    using Family = QAccessibleInterface* (*)(QWidget*);
    for (Family family : { &ListAccessFor, &OverlayAccessFor, &ButtonAccessFor, &TextAccessFor, &ComboAccessFor,
             &ProgressAccessFor, &EditAccessFor }) {
        if (QAccessibleInterface* made = family(widget))
            return made;
    }
    return nullptr;
}

} // namespace

void InstallAccessibleControls()
{
    static const bool installed = [] {
        QAccessible::installFactory(&MakeInterface);
        return true;
    }();
    (void)installed;
}

void SetInputGate(InputGate gate)
{
    Gate() = gate;
}

bool InputReaches(const QWidget* widget)
{
    return Gate() == nullptr || Gate()(widget);
}

void SetAccessibleText(QWidget* widget, const char* key, const char* fallback)
{
    if (widget == nullptr)
        return;
    widget->setProperty(kKeyProperty, QString::fromUtf8(key));
    widget->setProperty(kFallbackProperty, QString::fromUtf8(fallback));
}

void SetAccessibleLabel(QWidget* widget, QWidget* label)
{
    if (widget != nullptr)
        widget->setProperty(kLabelProperty, QVariant::fromValue(QPointer<QWidget>(label)));
}

QString AccessibleNameOf(const QWidget* widget)
{
    if (widget == nullptr)
        return QString();
    if (const QVariant key = widget->property(kKeyProperty); key.isValid())
        return PackText(key.toString(), widget->property(kFallbackProperty).toString());
    // The language combo's open list is named as its combo is.
    const auto* dropDown = qobject_cast<const LanguageDropDown*>(widget);
    const QVariant label = dropDown != nullptr ? QVariant::fromValue(QPointer<QWidget>(dropDown->combo()))
                                               : widget->property(kLabelProperty);
    if (label.isValid()) {
        if (QWidget* labelWidget = label.value<QPointer<QWidget>>()) {
            // A label reads "Password:"; the control it names is "Password".
            QString name = AccessibleNameOf(labelWidget);
            while (name.endsWith(QLatin1Char(':')) || name.endsWith(QChar(0xFF1A)))
                name.chop(1);
            return name.trimmed();
        }
    }
    if (!widget->accessibleName().isEmpty())
        return widget->accessibleName();
    if (const auto* button = qobject_cast<const PictureButton*>(widget))
        return CaptionName(button->text());
    if (const auto* text = qobject_cast<const OneLineText*>(widget))
        return text->text().simplified();
    if (const auto* text = qobject_cast<const FlowingText*>(widget))
        return PlainText(text->text());
    if (const auto* link = qobject_cast<const HelpLink*>(widget))
        return link->text().simplified();
    if (const auto* box = qobject_cast<const RoundedFrame*>(widget))
        return box->text().simplified();
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget))
        return edit->placeholderText();
    if (const auto* combo = qobject_cast<const LanguageCombo*>(widget))
        return combo->ItemText(combo->current());
    return widget->toolTip();
}
