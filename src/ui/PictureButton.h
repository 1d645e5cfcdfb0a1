#pragma once
// Picture button with four state images (disabled, normal, pressed, hover) and a white bold caption; also a
// toggle or a choice-group member, or a web-address button. Its numbered variants differ in drawing only.

#include "ui/FittedPicture.h"

#include <QAbstractButton>
#include <QImage>
#include <array>

class PictureButton : public QAbstractButton
{
    Q_OBJECT
public:
    explicit PictureButton(QWidget* parent = nullptr);

    // Releases the picture in slot (0 disabled, 1 normal, 2 pressed, 3 hover), then loads PNG id into it, scaled to
    // the button's size.
    void SetImage(int slot, int pngId);
    // The picture of slot as painting draws it (scaled to the button's size).
    const QImage& image(int slot) const;

    // Width in pixels of the caption in the caption font.
    int CaptionWidth() const;

    // The look (0 disabled, 1 normal, 2 pressed, 3 hover) the next paint draws.
    int State() const;

    void setDisabledLook(bool on);
    bool disabledLook() const { return disabledLookOn; }
    void setLatched(bool on);
    bool latched() const { return latchedOn; }
    bool hovering() const { return hoveringOn; }
    void setFillMode(int mode);
    int fillMode() const { return fill; }
    void setFontSize(int pixels);
    void setLargeCaption(bool on);
    bool largeCaption() const { return large; }
    void setUrlMode(bool on, const QString& address);
    // choiceMode on; radio: a choice-group member posting value, else a toggle.
    void setChoiceMode(bool on, bool radio = false, int value = 0);
    bool choiceMode() const { return choice; }
    bool radio() const { return radioMember; }
    int choiceValue() const { return value; }
    void setNotifyToggle(bool on);

    // The caption's pixel size in this member's drawing.
    virtual int CaptionSize() const;

    // Does what a click does (for the keyboard and assistive tools); nothing while disabled.
    void Press();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

    // Draws the state picture for state.
    virtual void PaintLook(QPainter& painter, int state) const;
    virtual void PaintCaption(QPainter& painter) const;
    // The outline the keyboard focus mark follows (the button's picture shape).
    virtual qreal FocusRadius() const { return 4; }
    // Whether a toggle of this member posts its notification.
    virtual bool PostsToggle() const { return true; }
    QString captionFamily() const { return family; }
    int fontSizeField() const { return fontSize; }

private:
    // What a press of the button starts before it is released: the web address, the toggle or the choice.
    void Activate();

    std::array<FittedPicture, 4> images;
    bool disabledLookOn = false;
    bool latchedOn = false;
    bool hoveringOn = false;
    bool tracking = false;
    int fill = 0;
    QString family;
    int fontSize = 14;
    bool large = false;
    bool urlMode = false;
    QString url;
    bool choice = false;
    bool radioMember = false;
    int value = 0;
    bool notifyToggle = false;
};

// The web address a url button opens: the given address, with "http://" in front when it names no scheme.
QString UrlForAddress(const QString& address);
